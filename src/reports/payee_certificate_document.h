#pragma once

#include "reports/line_document.h"
#include "reports/payee_certificate.h"

#include <QDate>

// The printed certification of a year: a summary page for the agent (one line per payee,
// what was remitted and what is missing, the grand total, the marks of what needs a
// look), then each payee's certificate from the top of a page.
LineDocument payeeCertificateDocument(const CertificateYear& year, const QDate& signedOn);
// The summary page alone.
LineDocument certificateSummaryDocument(const CertificateYear& year);
// One payee's certificate as a document of its own, to send: the agent, the payee, the
// year's totals (points 4, 6, 7, 8 and 9), the invoices, place, date and the signature
// line; nothing of what the agent remitted.
LineDocument payeeCertificate(const CertificateYear& year, const PayeeCertificate& payee,
                              const QDate& signedOn);

namespace payee_certificate {
inline const QString kName = QStringLiteral("Attestazione");
inline const QString kNoTaxCode = QStringLiteral("senza codice fiscale");
} // namespace payee_certificate
