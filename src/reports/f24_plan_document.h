#pragma once

#include "reports/f24_plan.h"
#include "reports/line_document.h"
#include "spreadsheets/table.h"

// The printed F24 plan of a due month: per user (one block each in the general plan,
// with name and codice fiscale) the lines to pay with their total, the lines of the month
// already remitted with their date, and the late ones of earlier months.
LineDocument f24PlanDocument(const F24Plan& plan, bool general);

// The same plan as a table, one row per F24 line: user, codice fiscale, the block the line
// stands in (to pay, remitted, late, regularisation), code, reference month and year,
// amount, invoices and remittance date.
table_export::TableSource f24PlanTable(const F24Plan& plan, bool general);

namespace f24_plan {
inline const QString kName = QStringLiteral("F24");
inline const QString kGeneralName = QStringLiteral("F24G");
} // namespace f24_plan
