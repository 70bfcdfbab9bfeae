#pragma once

#include "values/amount.h"

#include <QDate>
#include <QString>
#include <optional>

// The values of tables written by a database export tool: numbers with a decimal point,
// dates in ISO or American form, flags "S"/"N". Each reader gives no value for text it
// cannot read; the caller names the field in its refusal.
namespace importing {

// "1234.5", "-0.125", "20", ".5" as exact cents, rounded half away from zero; never
// through a binary floating-point number. Empty text is zero.
std::optional<Amount> amountFromDecimalText(const QString& text);

// "2021-03-15", "2021-03-15 00:00:00" or "03/15/21 00:00:00" (a two-digit year up to
// the two digits of `today`'s year is 20yy, otherwise 19yy). Empty text is an invalid
// date (no date); text that is none of these forms gives no value.
std::optional<QDate> dateFromText(const QString& text, const QDate& today);

// "S" or "N" (any case; empty is "N").
std::optional<QString> flagFromText(const QString& text);

// A whole number: "12", or "12.0" as a numeric column may be written. Empty gives none.
std::optional<qint64> wholeFromText(const QString& text);

} // namespace importing
