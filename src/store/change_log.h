#pragma once

#include "base/status.h"

#include <QList>
#include <QString>

// Reading the record of changes, table Modifiche: every change of the ledger's rows with
// who made it, when, from which computer, what it was and the row before and after, as
// JSON objects. The program only ever adds to it.
namespace store {

struct ChangeEntry {
    QString when; // the desk's local time, "yyyy-MM-dd HH:mm:ss"
    QString operatorName;
    QString computer;
    QString action;
    QString before; // JSON object of the row; empty for an insertion
    QString after;  // empty for a deletion
};

// The changes of the row `key` of `table`, oldest first.
Result<QList<ChangeEntry>> rowChanges(const QString& table, qint64 key);

} // namespace store
