#pragma once

#include "platform/export/table.h"
#include "reports/line_document.h"
#include "reports/st770_rows.h"

// The printed prospectus of the remittances for the annual return: per user (one block
// each in the general one) the rows of quadro ST section I with totals per tax code, then
// the differences to mend before filing, and the notes on what is not confirmed.
LineDocument st770Document(const st770::Prospectus& prospectus, bool general);

// The same rows as a table, one row per return row, columns named by point.
table_export::TableSource st770Table(const st770::Prospectus& prospectus, bool general);

namespace st770 {
inline const QString kName = QStringLiteral("Prospetto770");
inline const QString kGeneralName = QStringLiteral("Prospetto770G");
} // namespace st770
