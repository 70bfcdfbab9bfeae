#pragma once

#include "base/status.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Everything that depends on the database engine at the level of files: how a ledger
// file is recognised and opened, the settings of the connection, the check of the
// file and the consistent copy of an open ledger. Another engine replaces this file.
namespace store::engine {

// The engine as the operator is told about it, with its version.
QString description(QSqlDatabase db);

// Whether the file can be a database of this engine: empty, or starting with the
// engine's header. A file of another kind is never opened, so it is never changed.
bool looksLikeDatabase(const QString& path);

// The files the engine keeps beside a database while it is open.
QStringList companionFiles(const QString& path);

// Whether the program may write the file and the folder the engine writes beside it.
bool writable(const QString& path);

// Adds the connection `name` to `path`. A read-only connection never writes the file
// (not even its journal mode), so a refused file stays as it was.
Status open(const QString& name, const QString& path, bool readOnly);

// The settings of the program's connection; a read-only connection gets only those
// that write nothing.
Status configure(QSqlDatabase db, bool readOnly);

// From now on the connection reads only: a write fails instead of being made.
Status refuseWrites(QSqlDatabase db);

// The problems the engine finds in the file; empty when it is whole.
Result<QStringList> integrityProblems(QSqlDatabase db);

// The engine's result code of a failure known only by its text (the driver reports some
// failures, a failed commit among them, without the code, and a constraint's code does not
// say which constraint refused the value); -1 when the text is not known.
int codeOfText(const QString& databaseText);

// Writes a consistent copy of the open database to `target`, which must not exist or be
// empty, while the database stays open and usable.
Status copyInto(QSqlDatabase db, const QString& target);

} // namespace store::engine
