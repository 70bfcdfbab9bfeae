#pragma once

#include "base/status.h"
#include "spreadsheets/table.h"

#include <QList>
#include <optional>

namespace table_export {

// Writes one table to one file: the title and selection lines, the header, the rows in
// the order given, then the totals.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    virtual Status open(const QString& path, const TableShape& shape) = 0;
    // One cell per column.
    virtual Status write(const QList<Cell>& row) = 0;
    // `totals` holds the sum of each totalled column and no value for the others; it is
    // empty when the table has no totalled column or no row.
    virtual Status close(const QList<std::optional<qint64>>& totals) = 0;
};

} // namespace table_export
