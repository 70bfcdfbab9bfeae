#pragma once

#include "store/status.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <utility>

// Creation and upgrade of the database layout. The layout version lives in the
// database (see dialect::storedVersion); each step brings it from one version to the next.
namespace store::schema {

inline constexpr int kCurrentVersion = 6;

int versionOf(QSqlDatabase db);

// The legal interest rate of each year the program knows (hundredths of a percent),
// seeded into the rate table.
const QList<std::pair<int, qint64>>& seededLegalRates();

// Runs every missing step, each in its own transaction, then gives the names that have
// no sort key yet (rows another tool wrote) theirs. `today` decides the years seeded
// into a new database. A database newer than this program is refused.
Status upgrade(QSqlDatabase db, const QDate& today);

} // namespace store::schema
