#pragma once

#include "platform/report/report_layout.h"

#include <QString>
#include <QVariant>

namespace report {

// The page text of one value in the given format; a null value prints as nothing.
QString formatValue(const QVariant& value, Format format);

// Cents in the Italian form with grouped thousands: 123450 -> "1.234,50".
QString formatCents(qint64 cents);

// Reads a stored amount as integer cents; false for a null or non-numeric value, or
// one outside the range of Amount.
// Values stored as text of an integer are accepted so that a sum never goes through
// floating point.
bool centsOf(const QVariant& value, qint64& cents);

} // namespace report
