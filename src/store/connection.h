#pragma once

#include "store/status.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;

// The one connection of the program, opened once at start-up and kept open.
namespace store {

inline constexpr const char* kConnectionName = "Connessione";

// Opens (creating and seeding when new, upgrading when older) the database file.
// On failure the connection is removed again and the reason names the file.
Status openDatabase(const QString& path);

// Closes and removes the connection; used by tests that reopen a file.
void closeDatabase();

QSqlDatabase connection();

// Prepares `sql` on the connection, binds `values` by position and runs it.
// The query is returned ready to be walked; every operator value arrives bound.
Result<QSqlQuery> run(const QString& sql, const QVariantList& values = {});

// The database's reason for a failed query, for the operator.
QString reasonOf(const QSqlQuery& query);

// While one lives, the connection reads the file through its page cache only, not
// through a memory map: a read through the whole ledger (a long report) would otherwise
// keep every page of the file resident in the program. Nests; the map comes back when
// the last one ends. Made and ended only while no query is being walked.
class UnmappedReads {
public:
    UnmappedReads();
    ~UnmappedReads();
    UnmappedReads(const UnmappedReads&) = delete;
    UnmappedReads& operator=(const UnmappedReads&) = delete;
};

} // namespace store
