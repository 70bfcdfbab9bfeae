#pragma once

#include "printing/report_layout.h"
#include "store/keyed_query.h"

// The subjects registry: one block per subject, for the "Elenco Soggetti" command.
// Each call gives a fresh layout with the report's own page set-up.
report::ReportLayout Anagrafe();

namespace anagrafe {
// The rows the report is bound to: every subject, in name order (see store/name_order.h).
inline KeyedQuery query() {
    return {QStringLiteral("Soggetti"),
            QStringLiteral("ID"),
            QStringLiteral("*"),
            {},
            QStringLiteral("ordine, denominazione, ID"),
            {}};
}
} // namespace anagrafe
