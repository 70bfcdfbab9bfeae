#pragma once

#include "base/status.h"
#include "store/ledger_file.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// Copies of a ledger: made while it stays open, checked before they count as made.
namespace store {

// Writes a consistent copy of the ledger open on `db` to `target` and checks it: the
// copy is whole and holds as many rows in each table as the ledger. Only a checked copy
// takes the name `target`; nothing is left behind when the copy fails.
Result<LedgerCheck> copyLedger(QSqlDatabase db, const QString& target);

// The folder of the automatic copies of the ledger at `ledgerPath`: beside it.
QString automaticCopiesFolder(const QString& ledgerPath);

// How many automatic copies are kept; the oldest go first.
inline constexpr int kAutomaticCopiesKept = 10;

// Why an automatic copy is made; part of its name.
inline const QString kBeforeYearDeletion = QStringLiteral("prima-eliminazione-anno");
inline const QString kBeforeUpgrade = QStringLiteral("prima-aggiornamento");

// Copies the ledger open on `db` into the folder of the automatic copies under a name
// made of `when` and `why`, then keeps only the newest copies. Returns the copy's path.
Result<QString> automaticCopy(QSqlDatabase db, const QString& ledgerPath, const QString& why,
                              const QDateTime& when = QDateTime::currentDateTime());

} // namespace store
