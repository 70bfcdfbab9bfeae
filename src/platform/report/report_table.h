#pragma once

#include "platform/export/table_export.h"
#include "platform/report/report_layout.h"
#include "platform/report/row_source.h"

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

// The table's rows: those of `rows`, which must outlive them, in print order.
std::unique_ptr<table_export::RowSource> tableRowsOf(const ReportLayout& layout, RowSource& rows);

// Writes the report's table over every row of `rows`, in print order, to `path`.
table_export::ExportResult exportReportTable(table_export::FileFormat format, const QString& path,
                                             const ReportLayout& layout, RowSource& rows,
                                             const table_export::Progress& progress = {});

} // namespace report
