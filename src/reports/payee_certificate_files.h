#pragma once

#include "reports/payee_certificate.h"

#include <QDate>
#include <QStringList>

// The certification of a year as files to send: one PDF per payee and the summary, in a
// folder.
namespace payee_certificate {

// The file name of each payee's certificate, in the order of `year.payees`:
// `<codice fiscale>_<anno>.pdf`; `soggetto<ID>_<anno>.pdf` without a codice fiscale;
// `<codice fiscale>_<ID>_<anno>.pdf` for a codice fiscale two payees share.
QStringList fileNames(const CertificateYear& year);
// The summary's name: `riepilogo_<anno>.pdf`.
QString summaryFileName(const CertificateYear& year);

// Writes every payee's certificate and the summary into `folder`, each file complete or
// not at all, replacing a file of the same name. Gives the paths written, the summary
// last; nothing to certify is a failure with the no-data text.
Result<QStringList> writeFolder(const QString& userId, const QString& year,
                                const QString& subjectPattern, const QString& folder,
                                const QDate& signedOn = QDate::currentDate());

} // namespace payee_certificate
