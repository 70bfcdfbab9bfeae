#pragma once

#include "reports/report_catalogue.h"

// The documents of the ledger written line by line (the certification of a year, the
// F24 plans), prepared like the catalogue's lists so that they preview, print and export
// the same way; their tables are the certification fields, one row per payee, and the
// F24 lines and the return's remittance rows. `Attestazione`, `F24` and `Prospetto770`
// are one user's (`F24` in the due year and month of the request, `Prospetto770` in the
// reference year), `F24G` and `Prospetto770G` every user's; the catalogue describes them.
Result<PreparedReport> prepareLedgerDocument(const ReportRequest& request,
                                             const QDate& printDate = QDate::currentDate());
