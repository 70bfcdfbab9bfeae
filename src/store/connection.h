#pragma once

#include "base/status.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>

class QSqlQuery;

// The one connection of the program, opened once at start-up and kept open.
namespace store {

inline constexpr const char* kConnectionName = "Connessione";

// What a command opens the ledger for.
enum class Access {
    Change,  // reading and writing, every write recorded in the record of changes
    Consult, // reading only: once any layout step is done the connection refuses writes,
             // so it sets up no record of changes (a report starts sooner)
};

// Opens (creating and seeding when new, upgrading when older) the database file.
// On failure the connection is removed again and the reason names the file. Another
// program's database and a ledger of a newer layout are refused unchanged; a ledger the
// program may not write is opened for reading only.
Status openDatabase(const QString& path, Access access = Access::Change);

// Opens a ledger that must already exist, for a command that reads or adds to it: a
// mistyped file path is refused ("archivio non trovato: PATH", not found) instead of
// becoming a new, empty ledger.
Status openExistingDatabase(const QString& path, Access access = Access::Change);

// Whether the open ledger is read only: every write is refused.
bool isReadOnly();

// Why the open ledger is read only.
enum class ReadOnlyCause {
    None,
    File,        // the file or its folder may not be written
    ReaderRole,  // on a server, the operator's role may only read (velarco_lettore)
    OlderLayout, // on a server, a layout this operator's role may not upgrade
};
ReadOnlyCause readOnlyCause();

// The refusal of any write on the open ledger, in Italian and by its cause, before anything
// is attempted (kind ReadOnly); success when it may be written.
Status writesRefused();

// The absolute path of the open ledger file, or the address of the server ledger; empty
// when none is open.
QString databasePath();

// Closes and removes the connection; used by tests that reopen a file.
void closeDatabase();

QSqlDatabase connection();

// Prepares `sql` on the connection, binds `values` by position and runs it.
// The query is returned ready to be walked; every operator value arrives bound.
Result<QSqlQuery> run(const QString& sql, const QVariantList& values = {});

// Runs `query`, prepared and with its values bound, as run() does.
bool exec(QSqlQuery& query);

// Told of every statement the program runs through run() and exec(), with its bound values,
// as it runs; a test records them to check their plans. None is told when no watcher is set
// (the default): an empty watcher stops the watching.
using StatementWatcher = std::function<void(const QString& sql, const QVariantList& values)>;
void watchStatements(StatementWatcher watcher);

// The failure of a query: its kind and the reason for the operator (see reasons.h).
Status failureOf(const QSqlQuery& query);

// While one lives, the connection reads the file through a small page cache, not a memory
// map and the everyday large cache: a read through the whole ledger (a long report) would
// otherwise keep every page it went through resident in the program. Nests; the everyday
// reads come back when the last one ends. Made and ended only while no query is walked.
class UnmappedReads {
public:
    UnmappedReads();
    ~UnmappedReads();
    UnmappedReads(const UnmappedReads&) = delete;
    UnmappedReads& operator=(const UnmappedReads&) = delete;
};

} // namespace store
