#pragma once

#include <QString>
#include <QVariant>

// Amounts as the ledger stores them (integer cents, and in older files or other
// programs' tables reals and decimal text), read as cents, and cents as the operator
// reads them. Shared by the report engine and the exports.
namespace money {

// Millionths of a cent. Amounts are summed in this unit, so that values stored with a
// fraction of a cent (older files, other programs) add up exactly and a total is
// rounded once, at the end.
__extension__ using MicroCents = __int128;
inline constexpr qint64 kMicroCentsPerCent = 1000000;

// Cents in the Italian form with grouped thousands: 123450 -> "1.234,50".
QString formatCents(qint64 cents);

// Reads a stored amount to the millionth of a cent: integers, reals and decimal text
// ("12345.6"). False for a null or non-numeric value or one far beyond any amount.
bool microCentsOf(const QVariant& value, MicroCents& micro);

// Rounds half away from zero to whole cents; false outside the range of Amount.
bool roundToCents(MicroCents micro, qint64& cents);

// Reads a stored amount as integer cents, as the grid shows it: a value stored with a
// fraction of a cent is rounded half away from zero. False for a null or non-numeric
// value, or one outside the range of Amount.
bool centsOf(const QVariant& value, qint64& cents);

} // namespace money
