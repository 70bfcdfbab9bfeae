#pragma once

#include <QString>

class QSqlError;

// The operator's reading of a database failure: for the common causes an Italian
// sentence that says what to do, followed by the database's own text as a detail line.
namespace store {

QString reasonFor(const QSqlError& error);

// The same for a failure known only by the database's code and text.
QString reasonFor(int code, const QString& databaseText);

} // namespace store
