#pragma once

#include <QString>

// The PostgreSQL server of the tests: its URL from VELARCO_TEST_PG, or from the file
// VELARCO_TEST_PG_FILE that tests/support/postgres-cluster writes (with the password
// file beside it, handed to libpq as PGPASSWORD).
namespace test_server {

// The URL of the server's database `database`; empty with `error` set when no server.
QString url(const QString& database, QString* error);

// Runs statements on the server's maintenance database, outside any transaction.
bool administer(const QStringList& statements, QString* error);

} // namespace test_server
