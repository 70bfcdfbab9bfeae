#pragma once

#include <QString>

// The ledger the operator last opened from the window ("Archivio" menu), opened again at
// the next start when no --database is given. Only its path or address is kept in the
// program's settings, never a password.
namespace remembered_ledger {

QString last();
void remember(const QString& ledger);

} // namespace remembered_ledger
