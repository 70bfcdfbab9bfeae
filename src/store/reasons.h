#pragma once

#include "base/status.h"

#include <QString>

class QSqlError;

// The operator's reading of a database failure: for the common causes an Italian
// sentence that says what to do, followed by the database's own text as a detail line.
namespace store {

QString reasonFor(const QSqlError& error);

// The same for a failure known only by the database's code and text.
QString reasonFor(int code, const QString& databaseText);

// What kind of failure `error` is, from the engine's code (or, for a failure the driver
// reports without one, from the engine's own words; see engine::codeOfText).
ErrorKind kindOf(const QSqlError& error);

// The failure `error` is: its kind, and reasonFor() for the operator.
Status failureOf(const QSqlError& error);

} // namespace store
