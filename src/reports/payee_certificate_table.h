#pragma once

#include "reports/payee_certificate.h"
#include "spreadsheets/table.h"

// The certification fields of a year as a table, one row per payee, for typing into the
// certification software: the shape (title, agent and year, captions) and the rows, the
// amounts in cents, each column named by its point ("punto 8 Imponibile"). Points 4, 7, 8
// and 9 are totalled; the last column warns of a point-6 code of the numbering before
// the certification of 2021 incomes, which is never converted.
table_export::TableShape certificateTableShape(const CertificateYear& year,
                                               const QString& subjectPattern = {});
QList<QVariantList> certificateTableRows(const CertificateYear& year);
