#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>

// A table to be written to a spreadsheet file: a title, a few lines that say what was
// selected, column captions with the kind of their values, and rows of stored values.
namespace table_export {

enum class CellKind {
    Text,  // the stored value as text
    Money, // integer cents, written as a number of euros with two decimals
    Rate,  // integer cents of percent, written as a number (2000 -> 20)
    Date,  // ISO date text, written as a date
    Flag,  // "S" or "N"
};

struct Column {
    QString caption;
    CellKind kind = CellKind::Text;
    bool totalled = false; // a total of the column closes the table
};

struct TableShape {
    QString title; // also names the sheet
    // Label and value of each line above the header: user, year, selection.
    QList<std::pair<QString, QString>> selection;
    QList<Column> columns;
};

// One value ready for a file: what it is and the one field that holds it.
struct Cell {
    enum class Type { Empty, Text, Number, Date };
    Type type = Type::Empty;
    QString text;     // Text
    qint64 cents = 0; // Number: money or rate in cents
    QDate date;       // Date
};

// Reads a stored value as a cell of `kind`. A value that does not read as its kind
// (text in an amount column, a malformed date) is kept as text rather than lost.
Cell cellOf(CellKind kind, const QVariant& value);

// The rows of a table, read one at a time in the order they are written.
class RowSource {
public:
    virtual ~RowSource() = default;
    // The number of rows, for progress; -1 when unknown.
    virtual qint64 size() const = 0;
    // Fills `values` (one per column) with the next row; false at the end or on a
    // failure, which error() then names.
    virtual bool next(QVariantList& values) = 0;
    virtual QString error() const { return {}; }
};

// A table ready to be written: its shape and its rows, read from the first each time they
// are asked for. A source without rows or columns is no table.
struct TableSource {
    TableShape shape;
    std::function<std::unique_ptr<RowSource>()> rows;
    bool isEmpty() const { return !rows || shape.columns.isEmpty(); }
};

// Told the rows written so far and the total (-1 when unknown); false stops the work.
using Progress = std::function<bool(qint64 done, qint64 total)>;

} // namespace table_export
