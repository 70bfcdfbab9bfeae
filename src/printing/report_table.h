#pragma once

#include "printing/report_layout.h"
#include "printing/row_source.h"
#include "spreadsheets/table_export.h"

#include <QStringList>
#include <memory>

// A report as a spreadsheet table: the same rows the pages print, in the same order.
namespace report {

// The layout's title and selection lines and those of its table columns whose field
// prints, each with the kind its field's format gives and a total where the report
// footer sums the column.
table_export::TableShape tableSpecOf(const ReportLayout& layout);

// The row columns those table columns read, in the same order.
QStringList tableColumnNames(const ReportLayout& layout);

// The report's table as a source: the shape above over `rows`, in print order; no table
// when the layout describes none.
table_export::TableSource tableSourceOf(const ReportLayout& layout,
                                        std::shared_ptr<RowSource> rows);

} // namespace report
