#pragma once

#include "spreadsheets/table_writer.h"

#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace table_export {

// An Excel workbook of one sheet named after the table: the title and selection lines,
// a frozen header with a filter, typed cells (amounts "#,##0.00", dates dd/mm/yyyy),
// totals as SUM formulas that carry their value, and columns as wide as their text.
// Rows go to the file as they come, so memory does not grow with the table.
class XlsxWriter : public TableWriter {
public:
    ~XlsxWriter() override;
    Status open(const QString& path, const TableShape& shape) override;
    Status write(const QList<Cell>& row) override;
    Status close(const QList<std::optional<qint64>>& totals) override;

    // The table's title as Excel accepts a sheet name: at most 31 characters, none of
    // []:*?/\, no apostrophe at either end.
    static QString sheetName(const QString& title);

private:
    Status writeCell(int row, int column, const Cell& cell, lxw_format* format);
    void widen(int column, qsizetype characters);

    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* money_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* lines_ = nullptr; // text that wraps onto its lines
    lxw_format* moneyTotal_ = nullptr;
    QList<Column> columns_;
    std::vector<qsizetype> widths_; // in characters
    int headerRow_ = 0;
    int nextRow_ = 0;
};

} // namespace table_export
