#pragma once

#include <QString>

// `velarco --copy-database SOURCE TARGET`: copies a whole ledger between a SQLite file
// and a PostgreSQL server database (either way, or between two of a kind), without a
// window. Exit statuses: 0 copied and checked, 2 bad options, 3 a database could not be
// opened, 4 the target already holds data, 5 the copy or its check failed.
// `value` holds the two addresses the command line gave, one a line.
int copyDatabaseWithoutWindow(const QString& value, char* argv[]);
