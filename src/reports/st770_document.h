#pragma once

#include "base/status.h"
#include "printing/report_layout.h"
#include "printing/row_source.h"
#include "spreadsheets/table.h"

#include <memory>

// The printed prospectus of the remittances for the annual return: per user (one block
// each in the general one) the rows of quadro ST section I with totals per tax code, then
// the differences to mend before filing, and the notes on what is not confirmed. Its
// lines are made a user's block at a time, and the table of its rows (one per return
// row, columns named by point) is read a user's block at a time as it is exported.
struct St770Pages {
    bool isEmpty = true; // no user has rows or differences in the year
    report::ReportLayout layout;
    std::shared_ptr<report::RowSource> lines;
    table_export::TableSource table;
};

// The prospectus of user `userId`, or of every user when `general`, for `year`. Its lines
// are made once, into a scratch file that lives as long as `lines`.
Result<St770Pages> st770Pages(const QString& userId, int year, bool general);

namespace st770 {
inline const QString kName = QStringLiteral("Prospetto770");
inline const QString kGeneralName = QStringLiteral("Prospetto770G");
} // namespace st770
