#pragma once

#include <QString>

// On a ledger kept on a PostgreSQL server, its copies, their restore and the check of its
// data are the server's job (pg_dump, pg_restore, the server's own checks), not the
// program's file commands. What the operator is told instead, in Italian.
namespace store {

enum class ServerJob {
    Check,              // "Verifica archivio", --check
    Copy,               // "Salva copia dell'archivio…", --backup
    Restore,            // "Ripristina da una copia…"
    CopyBeforeDeletion, // the automatic copy before a year's records are deleted
};

// Why the program does not do `job` on the server ledger at `address`, which of the
// server's tools does it, and the copy of the ledger to a local SQLite file the program
// makes instead (`velarco --copy-database`).
QString serverJobText(ServerJob job, const QString& address);

} // namespace store
