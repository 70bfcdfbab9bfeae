#pragma once

#include "platform/report/report_layout.h"

// The subjects registry: one block per subject, for the "Elenco Soggetti" command.
// Each call gives a fresh layout with the report's own page set-up.
report::ReportLayout Anagrafe();

namespace anagrafe {
// The query the report is bound to: every subject, in name order (see store/name_order.h).
inline const QString kQuery =
    QStringLiteral("SELECT * FROM Soggetti ORDER BY ordine, denominazione, ID");
} // namespace anagrafe
