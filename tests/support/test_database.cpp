#include "support/test_database.h"

#include "store/connection.h"
#include "store/name_order.h"

#include <QSqlQuery>
#include <QTest>
#include <QVariant>

TestDatabase::TestDatabase() : dir_(std::make_unique<QTemporaryDir>()) {
    const Status s = store::openDatabase(path());
    if (!s.ok())
        error_ = s.error();
}

TestDatabase::~TestDatabase() {
    store::closeDatabase();
}

QString TestDatabase::path() const {
    return dir_->filePath(QStringLiteral("Database.db"));
}

void TestDatabase::exec(const QString& sql, const QVariantList& values) {
    const Result<QSqlQuery> r = store::run(sql, values);
    if (!r.ok())
        QFAIL(qPrintable(sql + QStringLiteral(": ") + r.error()));
}

qint64 TestDatabase::addSubject(const QString& name, bool user) {
    Result<QSqlQuery> r = store::run(
        QStringLiteral(
            "INSERT INTO Soggetti (denominazione, ordine, codice, utente) VALUES (?, ?, ?, ?)"),
        {name, store::nameKey(name), QString(QStringLiteral("CF") + name.left(8)),
         user ? QStringLiteral("S") : QStringLiteral("N")});
    return r.ok() ? r.value.lastInsertId().toLongLong() : -1;
}
