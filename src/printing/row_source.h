#pragma once

#include "base/status.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace report {

// A run of consecutive rows of a source, row by row.
struct RowWindow {
    qint64 first = 0; // index of the first row held
    int rows = 0;
    int width = 0; // values per row: the columns that were read
    std::vector<QVariant> values;

    // `row` counts from the first row held, `column` from the first column read.
    const QVariant& value(int row, int column) const {
        return values[std::size_t(row) * std::size_t(width) + std::size_t(column)];
    }
};

// The rows a report prints, in the order it prints them, as stored values: amounts in
// integer cents, dates as ISO text. The number of rows is known before any is read,
// and rows are read a window at a time, so nothing needs the whole result in memory.
class RowSource {
public:
    virtual ~RowSource() = default;

    virtual const QStringList& columns() const = 0;
    virtual qint64 rowCount() const = 0;
    // Reads rows [first, first + count), cut at the last row, into `window`: only the
    // given columns (positions in columns(), in that order), or every column when none
    // is given.
    virtual Status read(qint64 first, int count, RowWindow& window,
                        const QList<int>& columns = {}) = 0;

    // The position of `name`, ignoring letter case, or -1.
    int columnIndex(const QString& name) const;
};

// Walks every row of a source from the first, holding one window at a time.
class RowCursor {
public:
    static constexpr int kDefaultWindowRows = 512;

    explicit RowCursor(RowSource& source, int windowRows = kDefaultWindowRows,
                       QList<int> columns = {});

    // Moves to the next row; false after the last row or when a read failed.
    bool next();
    // A value of the current row: a position in the source's columns, or in the given
    // columns when the cursor was made with some.
    const QVariant& value(int column) const {
        return window_.value(int(row_ - window_.first), column);
    }
    qint64 row() const { return row_; }
    const Status& status() const { return status_; }

private:
    RowSource& source_;
    int windowRows_;
    QList<int> columns_;
    RowWindow window_;
    qint64 row_ = -1;
    Status status_ = Status::success();
};

} // namespace report
