#pragma once

#include "base/status.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The lookup tables the operator maintains (years, tax codes, rates, the legal interest
// rates, the due-date deferrals and the return deadlines): what a cell may hold, how it is shown,
// and the statements that read and write them.
namespace lookup {

enum class Table { Years, TaxCodes, Rates, LegalRates, Deferrals, ReturnDeadlines };

// A value the editor will not write, with the message for the operator.
struct Refusal {
    QString text;
    QString title;
};

// What the operator typed into a cell, checked and converted to the stored value.
struct CellValue {
    QVariant stored;
    std::optional<Refusal> refusal;

    bool ok() const { return !refusal.has_value(); }
};

// The table's name in the database ("Anno", "Tributo", "Percentuale", "TassoLegale",
// "Proroghe", "ScadenzaDichiarazione").
QString tableName(Table table);
// The column the entry lists read, which a row cannot be without
// ("Anno", "codice", "Percentuale", "anno", "originale", "violazione").
QString keyColumn(Table table);
// The heading of a column in the editor's grid.
QString columnHeading(const QString& column);

// Checks `typed` for `column` of `table`: a year of four digits, a non-empty tax
// code, a rate that reads as an amount above 0 and at most 100 (stored in cents), a
// legal rate from 0 to 100, a date dd/mm/yyyy (stored ISO), S or N for whether a return
// deadline is confirmed; notes are free text.
CellValue checkCell(Table table, const QString& column, const QString& typed);
// How a stored value is shown and edited: rates as "20", "4,5", dates as dd/mm/yyyy.
QString displayText(Table table, const QString& column, const QVariant& stored);

// The message for a write the database refused.
Refusal refusedByDatabase(const Status& refused);

// Every column and row of a table, in the order the database returns them;
// the first column is the row key `ID`.
struct Rows {
    QStringList columns;
    QList<QVariantList> rows;
};
Result<Rows> loadRows(Table table);

// Each write runs in its own transaction; a refused write changes nothing.
Result<qint64> insertRow(Table table, const QString& column, const QVariant& value);
Status updateCell(Table table, qint64 id, const QString& column, const QVariant& value);
Status deleteRow(Table table, qint64 id);

} // namespace lookup
