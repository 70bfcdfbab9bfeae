#pragma once

#include "spreadsheets/sheet_table.h"

#include <QString>

namespace sheet {

// Reads the first sheet of an Excel workbook (.xlsx): shared and inline strings, the
// cached results of formulas, numbers, booleans, and numbers shown with a date format as
// dates. Numbers keep their exact decimal reading (see Value::text).
Table readXlsx(const QString& path);

// The shortest decimal text that reads back as `number` (no exponent, "." before the
// fraction): 1234.56 gives "1234.56", 0.1 + 0.2 gives "0.30000000000000004".
QString shortestDecimal(double number);

// The day of an Excel serial number (its time of day dropped); invalid outside the
// calendar Excel counts, and for the 29 February 1900 it counts but never was.
QDate dateOfSerial(double serial, bool date1904);

} // namespace sheet
