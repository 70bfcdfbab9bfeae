#pragma once

#include "reports/line_document.h"
#include "reports/payee_certificate.h"

#include <QDate>

// The printed certification of a year: a summary page (one line per payee, the grand
// total, the marks of what needs a look), then a page per payee with the agent, the
// payee, the year's totals, the invoices, place, date and the signature line.
LineDocument payeeCertificateDocument(const CertificateYear& year, const QDate& signedOn);

namespace payee_certificate {
inline const QString kName = QStringLiteral("Attestazione");
inline const QString kNoTaxCode = QStringLiteral("senza codice fiscale");
} // namespace payee_certificate
