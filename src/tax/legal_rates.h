#pragma once

#include <QMap>

// The legal interest rate of each calendar year, in hundredths of a percent (1,6% is
// 160), as the Percentuale table holds rates.
namespace tax {

using LegalRates = QMap<int, qint64>;

// The rates the program knows, seeded into a new database and used when no database
// gives them.
const LegalRates& knownLegalRates();

} // namespace tax
