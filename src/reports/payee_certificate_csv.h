#pragma once

#include "reports/payee_certificate.h"
#include "store/status.h"

// The certification fields of a year, one row per payee, for typing into the
// certification software: a CSV file for Italian spreadsheets (";" between fields,
// decimal comma). Written whole or not at all.
Status writeCertificateCsv(const CertificateYear& year, const QString& path);

// The rows without the header, for tests and other writers.
QList<QStringList> certificateCsvRows(const CertificateYear& year);
QStringList certificateCsvHeader();
