#pragma once

#include "base/status.h"
#include "store/connection.h"
#include "store/ledger_address.h"

#include <QString>
#include <functional>
#include <optional>

class QSqlError;

// The connection to a ledger on a PostgreSQL server: opening it with the password the
// standard sources give (PGPASSWORD, ~/.pgpass) or the operator types, and opening it
// again at the next command after the server was lost.
namespace store {

// Asked when the server wants a password the standard sources do not give; `reason` is
// the server's answer to the last attempt. No value: the operator gave up.
using PasswordPrompt =
    std::function<std::optional<QString>(const QString& address, const QString& reason)>;
void setPasswordPrompt(PasswordPrompt prompt);

// Adds the connection `connectionName` to the server database at `address` and opens
// it; the server's reason when it could not (the connection is then left to remove).
std::optional<QString> connectServer(const QString& connectionName, const LedgerAddress& address);

// Opens the program's connection on the server ledger at `address`, creating or
// upgrading its tables as far as the role's rights go: a role that may only read, or may
// not upgrade an older layout, opens it read only (the cause is returned).
Result<ReadOnlyCause> openServerDatabase(const LedgerAddress& address, Access access);

// Whether `error` says the connection to the server is gone.
bool isConnectionLoss(const QSqlError& error);

// Remembers that the connection was lost when `error` says so; the failure `error` is
// (see reasons.h), a ConnectionLost that names the loss when it was one.
Status noteFailure(const QSqlError& error);

// Opens the connection again when it was lost; run before every command.
Status reconnectIfLost();

} // namespace store
