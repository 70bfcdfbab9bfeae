#pragma once

#include "platform/export/table.h"
#include "reports/payee_certificate.h"

// The certification fields of a year as a table, one row per payee, for typing into the
// certification software: the shape (title, agent and year, captions) and the rows, the
// amounts in cents. Points 4, 7, 8 and 9 are totalled.
table_export::TableShape certificateTableShape(const CertificateYear& year,
                                               const QString& subjectPattern = {});
QList<QVariantList> certificateTableRows(const CertificateYear& year);
