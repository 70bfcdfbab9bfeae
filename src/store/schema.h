#pragma once

#include "store/status.h"

#include <QDate>
#include <QSqlDatabase>

// Creation and upgrade of the database layout. The layout version lives in
// PRAGMA user_version; each step brings a database from one version to the next.
namespace store::schema {

inline constexpr int kCurrentVersion = 3;

int versionOf(QSqlDatabase db);

// Runs every missing step, each in its own transaction, then gives the names that have
// no sort key yet (rows another tool wrote) theirs. `today` decides the years seeded
// into a new database. A database newer than this program is refused.
Status upgrade(QSqlDatabase db, const QDate& today);

} // namespace store::schema
