#pragma once

#include "printing/report_layout.h"

#include <QString>
#include <QVariant>

namespace report {

// The page text of one value in the given format; a null value prints as nothing.
QString formatValue(const QVariant& value, Format format);

} // namespace report
