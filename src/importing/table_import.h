#pragma once

#include "base/status.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Brings a whole ledger in from the six tables of another program, each exported as a
// comma-separated file with a header row: one transaction, into an empty ledger only.
namespace importing {

struct RefusedRow {
    int line = 0;
    QString reason; // Italian
};

// What became of one file's rows.
struct TableOutcome {
    QString table;
    int read = 0;
    int written = 0;
    int alreadyPresent = 0; // lookup values the ledger already held
    QList<RefusedRow> refused;
    QStringList ignoredColumns;
};

// One figure counted in the files' written rows and again in the ledger before the
// transaction is committed.
struct Check {
    QString what; // Italian
    bool money = false;
    qint64 inFiles = 0;
    qint64 inLedger = 0;

    bool ok() const { return inFiles == inLedger; }
};

struct TablesOutcome {
    QList<TableOutcome> tables;
    QList<Check> checks;
};

// Reads Soggetti, Ritenute, Anno, periodo, Tributo and Percentuale from `folder` (file
// names in any letter case, ".csv"), refuses the rows that do not read, and writes the
// others into the open ledger, which must hold no subject and no record. Keys of
// subjects and records are kept; lookup values are added to those already there. Any
// failure (a file missing or unreadable, a ledger not empty, a database error, a check
// that differs) leaves the ledger as it was; the outcome then says how far it got.
Result<TablesOutcome> importTables(const QString& folder, const QDate& today);

// The outcome, one Italian line each: per table rows read, written, already present and
// refused (with line and reason), then the checks.
QStringList outcomeLines(const TablesOutcome& outcome);

} // namespace importing
