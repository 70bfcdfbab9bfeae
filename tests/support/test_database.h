#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A fresh database opened as the program's connection: a file in a temporary folder,
// or, when VELARCO_TEST_ENGINE=postgresql, a new database on the test server (see
// tests/support/postgres-cluster), dropped again at the end.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    // What store::openDatabase() opens: the file, or the server URL.
    QString path() const;

    // Whether the tests run against the PostgreSQL server.
    static bool onServer();

    // Runs a statement with bound values, failing the test on error; for fixtures.
    static void exec(const QString& sql, const QVariantList& values = {});
    // Makes every following write fail (or succeed again), as a read-only database does.
    static void setReadOnly(bool readOnly);
    // Part of the database's reason for refusing a write while read-only.
    static QString readOnlyReason();
    // A second connection to this ledger, as another operator's program holds it; an
    // invalid one when it cannot open. Closed with the TestDatabase.
    QSqlDatabase secondConnection() const;
    // Takes the ledger back to the layout `version`, as an older program left it: closes the
    // program's connection and runs `statements` (the undoing of the later steps) and the
    // storing of the version on a connection of its own; the test then opens it again.
    static void rewind(const QString& ledger, int version, const QStringList& statements);
    // How many entries of the record of changes are of `action` on `table`.
    static qint64 changesRecorded(const QString& action, const QString& table);
    // Inserts a subject, with its name's sort key as the program writes it; returns its ID.
    static qint64 addSubject(const QString& name, bool user = false);

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString serverUrl_;
    QString error_;
};
