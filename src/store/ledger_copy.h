#pragma once

#include <QList>
#include <QString>
#include <functional>

// Copies a whole ledger between two databases of either engine (a SQLite file, a
// PostgreSQL server database), keeping every key.
namespace store {

enum class CopyOutcome {
    Copied,
    SourceNotOpened,
    TargetNotOpened,
    TargetHoldsData,
    Failed, // the copy or its check; nothing was written to the target's tables
};

// What the check compared for one table, equal on both sides when the copy is done.
struct TableFigures {
    QString table;
    qint64 rows = 0;
    qint64 cents = 0; // the sum of the table's amount columns
};

struct CopyResult {
    CopyOutcome outcome = CopyOutcome::Failed;
    QString message; // Italian, for the operator
    QList<TableFigures> figures;
};

// Copies `source` into `target` in one transaction on the target, creating its tables
// when it has none and refusing it when it holds subjects, records or changes. Before the
// commit, the rows and the money sums of every table are compared on both sides, and the
// copy adds its one entry to the target's record of changes (after the comparison).
// `progress` hears about every table and every few thousand rows.
CopyResult copyLedger(const QString& source, const QString& target,
                      const std::function<void(const QString&)>& progress = {});

} // namespace store
