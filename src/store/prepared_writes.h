#pragma once

#include "base/status.h"

#include <QSqlQuery>
#include <QString>

// The single-statement writes the program repeats (a record saved, corrected, deleted) keep
// their prepared statement while the connection lives: preparing one costs more than running
// it (on a file it compiles the triggers of the record of changes, on a server it costs round
// trips to prepare and to deallocate).
namespace store {

// The query of `sql` on the connection, prepared the first time it is asked for. The caller
// binds, runs and finishes it before asking for another write.
Result<QSqlQuery*> preparedWrite(const QString& sql);

// Forgets every prepared write: run when the connection closes or is opened again.
void forgetPreparedWrites();

} // namespace store
