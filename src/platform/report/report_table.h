#pragma once

#include "platform/export/table.h"
#include "platform/report/report_layout.h"

#include <QStringList>

// A report as a spreadsheet table: the same rows the pages print, in the same order.
namespace report {

// The layout's title and selection lines and those of its table columns whose field
// prints, each with the kind its field's format gives and a total where the report
// footer sums the column.
table_export::TableShape tableSpecOf(const ReportLayout& layout);

// The row columns those table columns read, in the same order.
QStringList tableColumnNames(const ReportLayout& layout);

} // namespace report
