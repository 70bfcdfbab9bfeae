#pragma once

#include <QString>

// Where a ledger lives: a SQLite file, or a database on a PostgreSQL server named by a
// URL of the form postgresql://user@host:port/dbname. A password is never part of it:
// it comes from PGPASSWORD, ~/.pgpass or the operator, and is never written anywhere.
namespace store {

struct LedgerAddress {
    bool server = false; // false: `path` names a SQLite file
    QString path;
    QString user;
    QString host;
    int port = 5432;
    QString database;

    // The text the address was read from, without any password.
    QString display() const;
};

// Whether `text` names a server ledger rather than a file.
bool isServerAddress(const QString& text);

// Reads a file path or a server URL; `error` receives an Italian reason when the URL is
// malformed or carries a password.
LedgerAddress parseLedgerAddress(const QString& text, QString* error = nullptr);

} // namespace store
