#pragma once

#include "spreadsheets/table_writer.h"

#include <QByteArray>
#include <cstdio>

namespace table_export {

// Text for spreadsheets set to Italian: UTF-8 with a byte-order mark, ";" between
// fields, decimal commas, dates dd/mm/yyyy, CRLF line ends, fields quoted as RFC 4180
// says. Text that a spreadsheet would run as a formula gets a leading apostrophe.
class CsvWriter : public TableWriter {
public:
    ~CsvWriter() override;
    Status open(const QString& path, const TableShape& shape) override;
    Status write(const QList<Cell>& row) override;
    Status close(const QList<std::optional<qint64>>& totals) override;

    // One field of a column of `kind` as written, quoted when needed.
    static QString field(const Cell& cell, CellKind kind = CellKind::Text);

private:
    void addLine(const QStringList& fields);
    Status flush();

    std::FILE* file_ = nullptr;
    QList<Column> columns_;
    QByteArray buffer_;
};

} // namespace table_export
