#pragma once

#include "reports/report_catalogue.h"

// The documents of the ledger written line by line (the certification of a year, the
// F24 plans), prepared like the catalogue's lists so that they preview, print and export
// the same way. `Attestazione` and `F24` are one user's (`F24` in the due year and month
// of the request), `F24G` every user's.
QStringList ledgerDocumentNames();
bool isLedgerDocument(const QString& name);
bool ledgerDocumentNeedsUser(const QString& name);
bool ledgerDocumentNeedsMonth(const QString& name);
Result<PreparedReport> prepareLedgerDocument(const ReportRequest& request,
                                             const QDate& printDate = QDate::currentDate());

// Whether the document is also a table for a spreadsheet: the certification of a year
// is, one row per payee; the F24 plans are not.
bool ledgerDocumentHasTable(const QString& name);

// Writes the document's table (see above) to `path`. Nothing to certify fails with the
// no-data text; the file is then not written.
Status exportLedgerDocumentTable(const ReportRequest& request, table_export::FileFormat format,
                                 const QString& path);
