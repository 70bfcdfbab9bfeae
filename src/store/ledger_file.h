#pragma once

#include "base/status.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// What a database file holds, told without writing to it, and the check of a ledger.
namespace store {

// The six tables of a ledger, in the order of the layout.
const QStringList& ledgerTables();

enum class FileKind {
    Empty,   // no tables at all: it may become a new ledger
    Ledger,  // the six tables and a layout version
    Foreign, // tables of another program
};

struct LedgerFacts {
    FileKind kind = FileKind::Empty;
    int version = 0;
};

Result<LedgerFacts> factsOf(QSqlDatabase db);

// Refuses, with the reason, a file this program must not open: another program's
// database, or a ledger of a newer layout.
Status acceptable(const LedgerFacts& facts);

struct TableCount {
    QString table;
    qint64 rows = 0;
};

struct LedgerCheck {
    QStringList problems; // empty: the file is whole
    QList<TableCount> counts;

    bool whole() const { return problems.isEmpty(); }
};

// The engine's check of the whole file and the rows of the six tables. A read that
// fails on the way is a problem of the file, not a failure to check.
LedgerCheck checkLedger(QSqlDatabase db);

// Opens `path` on a connection of its own for reading only, as the program's connection
// would be opened; the connection is removed when the object goes, and with it the
// engine's empty files that reading made beside the file.
class ReadOnlyLedger {
public:
    explicit ReadOnlyLedger(const QString& path);
    ~ReadOnlyLedger();
    ReadOnlyLedger(const ReadOnlyLedger&) = delete;
    ReadOnlyLedger& operator=(const ReadOnlyLedger&) = delete;

    // Whether the file opened and is a ledger (or an empty database) this program can open.
    const Status& opened() const { return opened_; }
    const LedgerFacts& facts() const { return facts_; }
    QSqlDatabase db() const;

private:
    QString name_;
    QStringList madeBeside_;
    Status opened_ = Status::success();
    LedgerFacts facts_;
};

// Checks the ledger file at `path`: a failure when it cannot be opened as a ledger.
Result<LedgerCheck> checkFile(const QString& path);

} // namespace store
