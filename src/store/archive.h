#pragma once

#include "base/status.h"
#include "store/ledger_file.h"

#include <QString>
#include <functional>

// The file-level commands on the open ledger: its check, its copies, its replacement.
namespace store {

// The check of the open ledger.
LedgerCheck checkOpenLedger();

// A checked copy of the open ledger at `target`, made while it stays open.
Result<LedgerCheck> saveCopy(const QString& target);

// The automatic copy made before the records of a year are deleted; its path.
Result<QString> copyBeforeYearDeletion();

// Replaces the open ledger with the ledger at `copy`, which must check whole and be of a
// layout this program opens. The replaced ledger is first kept beside it as a dated copy,
// whose path is returned; then the ledger is opened again. `beforeClosing` runs just
// before the ledger is closed, when everything is ready: nothing may read it after that.
// When the replacement fails before that point the open ledger stays as it was.
Result<QString> restoreFrom(
    const QString& copy, const std::function<void()>& beforeClosing = [] {});

// The engine holding the open ledger, as the operator is told about it.
QString engineDescription();

} // namespace store
