#pragma once

#include "spreadsheets/sheet_table.h"
#include "values/amount.h"

#include <QDate>
#include <QString>
#include <optional>

// The values of spreadsheet cells as the fields of a record read them. Each reader takes
// a cell that is not empty and gives no value when the cell does not read as its kind.
namespace importing {

// Exact cents. A number cell reads its decimal text, never a binary fraction; text is
// Italian ("1.234,56", "1234,56"), plain ("1234.56") or with English grouping
// ("1,234.56"); a euro sign and blanks around are ignored. A single full stop before
// three digits is the Italian thousands separator ("1.234" is 1234,00).
std::optional<Amount> amountOfCell(const sheet::Value& cell);
std::optional<Amount> amountFromText(const QString& text);

// A date cell, a serial number, or text "15/03/2021", "15-3-2021", "15.03.2021",
// "2021-03-15" (a time after it is ignored) or "15/03/21" (a two-digit year up to
// `today`'s two digits is 20yy, otherwise 19yy).
std::optional<QDate> dateOfCell(const sheet::Value& cell, const QDate& today);

// A boolean cell, or "S"/"N", "Sì"/"Si"/"No", "X", "Vero"/"Falso", "True"/"False", "1"/"0".
std::optional<bool> flagOfCell(const sheet::Value& cell);

// The text a cell shows: text trimmed, numbers in their decimal text, dates dd/MM/yyyy,
// booleans "S"/"N".
QString textOfCell(const sheet::Value& cell);

} // namespace importing
