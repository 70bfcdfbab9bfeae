#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A fresh database in a temporary folder, opened as the program's connection.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    QString path() const;

    // Runs a statement with bound values, failing the test on error; for fixtures.
    static void exec(const QString& sql, const QVariantList& values = {});
    // Inserts a subject, with its name's sort key as the program writes it; returns its ID.
    static qint64 addSubject(const QString& name, bool user = false);

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString error_;
};
