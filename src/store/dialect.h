#pragma once

#include "base/status.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlQuery;

// Every difference between the two engines a ledger can live on, SQLite (a file on one
// desk) and PostgreSQL (a server shared by an office). Every other query is written in
// the SQL both understand.
namespace store {

enum class Engine { SQLite, PostgreSQL };

Engine engineOf(const QSqlDatabase& db);
// The engine of the program's connection.
Engine currentEngine();

namespace dialect {

QString driverName(Engine engine);

// A table definition with its column types resolved: {key} an integer key the database
// numbers, {integer} whole numbers and cents, {text}, {date} a date; {digits:NAME} the
// condition that column NAME holds digits only; {then key} closes an index's column list
// with the row's key (SQLite ends every index with it by itself; on PostgreSQL a list in
// the index's order, ending with the key as every grid's order does, then reads the
// index alone, with no sort and no table row); {key as text} the row's key as text, an
// index column that answers `CAST(table.ID AS TEXT) = text column`, the join of a record's
// user to its subject. On PostgreSQL text compares and sorts by code point, as SQLite
// does, whatever the server's locale.
QString definition(Engine engine, const QString& sql);

// A condition that `column` holds digits only.
QString onlyDigits(Engine engine, const QString& column);

// `column` equals one bound value, ignoring letter case.
QString equalsIgnoringCase(const QString& column);

// `column` matches one bound LIKE pattern, ignoring letter case.
QString likeIgnoringCase(const QString& column);

// The month ("01" to "12") and the year ("2024") of the date in `column`, as text.
QString monthText(const QString& column);
QString yearText(const QString& column);

// Conditions that `column` holds a date, or none (a file may hold empty text for none).
QString hasDate(const QString& column);
QString noDate(const QString& column);

// The month (1 to 12) of the date in `column`, a number; empty for no date.
QString monthOf(const QString& column);

// Sets `query` to receive its whole result at once where that is the quick way to read a
// long one: SQLite steps its statement as a forward-only result is walked, while Qt's
// PostgreSQL driver walks a forward-only result asking the server for one row at a time.
void readWholeResults(QSqlQuery& query);

// Whether a single statement runs best as its own transaction, without BEGIN and COMMIT:
// a server does so for a statement outside a transaction block, and the two round trips
// of BEGIN and COMMIT would only add to a save's time.
bool singleStatementsRunAlone();

// PostgreSQL folds unquoted names to lower case: the name of a column of a result
// read from `table`, as the schema spells it.
QString fieldName(Engine engine, const QString& table, const QString& name);

// An INSERT that yields the key of the row it adds, read by insertedId().
QString insertReturningKey(const QString& insert);
qint64 insertedId(QSqlQuery& query);

// After rows were written with their keys given: the next key the database hands out
// follows the largest one of `table` (SQLite keeps track by itself).
Status continueKeysAfter(QSqlDatabase db, const QString& table);

// The server and its version, as the operator is told ("PostgreSQL 15.5").
QString serverDescription(QSqlDatabase db);

// The layout version kept in the database; 0 for an empty database.
Result<int> storedVersion(QSqlDatabase db);
Status storeVersion(QSqlDatabase db, int version);

// The record of changes (the table Modifiche; see store/change_record.h), whose triggers
// are written in each engine's own language (store/dialect_changes.cpp).

// The statements that make the record append-only: an UPDATE or DELETE of one of its rows
// (on PostgreSQL also a TRUNCATE) is refused with an Italian reason.
QStringList appendOnlyTriggers(Engine engine);

// The statements of the layout that record every write to the ledger's tables: on a server
// persistent triggers; none on a file, whose triggers belong to each connection (below).
QStringList ledgerRecordingTriggers(Engine engine);

// What the record of this connection's writes says of who writes from where: on a file the
// operating system's `login`, the `computer` and the desk's `timeZone` are the connection's
// own; on a server the role is the session's and the local time the desk's zone when the
// server knows it.
Status openChangeContext(QSqlDatabase db, const QString& login, const QString& computer,
                         const QString& timeZone);

// The action the following writes of the connection are recorded as; empty: by their kind.
Status setChangeAction(QSqlDatabase db, const QString& action);

// On a file, the triggers of this connection that record its writes to the ledger's tables
// (another program's writes to the file are not recorded); made after any layout step.
Status recordChangesOnConnection(QSqlDatabase db);

// The operator the record names for this connection: the session's role on a server.
Result<QString> sessionOperator(QSqlDatabase db, const QString& login);

// What the connecting role may do with the ledger on a server: write its data (the ledger,
// the lookup tables and the record of changes), and change its layout (it owns the tables,
// or, in a database without them, may create them). On a file both are the file's.
struct RoleRights {
    bool write = true;
    bool upgrade = true;
};
Result<RoleRights> roleRights(QSqlDatabase db);

// Makes every following transaction of the connection read only.
Status readOnlySession(QSqlDatabase db);

} // namespace dialect
} // namespace store
