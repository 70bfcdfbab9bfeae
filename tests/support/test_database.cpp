#include "support/test_database.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/ledger_address.h"
#include "store/name_order.h"
#include "store/server_connection.h"
#include "support/test_server.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>
#include <QVariant>

namespace {

// One database per test process, made afresh for every TestDatabase.
QString serverDatabaseName() {
    return QStringLiteral("velarco_test_%1").arg(QCoreApplication::applicationPid());
}

QStringList dropStatement() {
    return {QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(serverDatabaseName())};
}

} // namespace

bool TestDatabase::onServer() {
    return qEnvironmentVariable("VELARCO_TEST_ENGINE") == QLatin1String("postgresql");
}

TestDatabase::TestDatabase() : dir_(std::make_unique<QTemporaryDir>()) {
    if (onServer()) {
        serverUrl_ = test_server::url(serverDatabaseName(), &error_);
        if (serverUrl_.isEmpty() ||
            !test_server::administer(
                dropStatement() +
                    QStringList{QStringLiteral("CREATE DATABASE %1").arg(serverDatabaseName())},
                &error_))
            return;
    }
    const Status s = store::openDatabase(path());
    if (!s.ok())
        error_ = s.error();
}

namespace {
const QString kSecond = QStringLiteral("second operator");
} // namespace

QSqlDatabase TestDatabase::secondConnection() const {
    if (QSqlDatabase::contains(kSecond))
        return QSqlDatabase::database(kSecond);
    const store::LedgerAddress address = store::parseLedgerAddress(path());
    if (address.server) {
        if (store::connectServer(kSecond, address))
            return {};
        return QSqlDatabase::database(kSecond);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kSecond);
    db.setDatabaseName(address.path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    return db.open() ? db : QSqlDatabase();
}

void TestDatabase::rewind(const QString& ledger, int version, const QStringList& statements) {
    store::closeDatabase();
    const QString name = QStringLiteral("rewind");
    {
        const store::LedgerAddress address = store::parseLedgerAddress(ledger);
        QSqlDatabase db;
        if (address.server) {
            if (const std::optional<QString> reason = store::connectServer(name, address))
                QFAIL(qPrintable(*reason));
            db = QSqlDatabase::database(name);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(address.path);
            QVERIFY(db.open());
        }
        QSqlQuery query(db);
        // On a server the triggers that record changes are the layout's too (layout 10 made them).
        const QStringList undone =
            version < 10 && address.server
                ? statements + QStringList{"DROP FUNCTION velarco_registra_modifica() CASCADE"}
                : statements;
        for (const QString& sql : undone)
            QVERIFY2(query.exec(sql), qPrintable(sql + ": " + query.lastError().text()));
        QVERIFY(store::dialect::storeVersion(db, version).ok());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TestDatabase::~TestDatabase() {
    if (QSqlDatabase::contains(kSecond)) {
        QSqlDatabase::database(kSecond, false).close();
        QSqlDatabase::removeDatabase(kSecond);
    }
    store::closeDatabase();
    if (!serverUrl_.isEmpty())
        test_server::administer(dropStatement(), nullptr);
}

QString TestDatabase::path() const {
    return onServer() ? serverUrl_ : dir_->filePath(QStringLiteral("Database.db"));
}

void TestDatabase::exec(const QString& sql, const QVariantList& values) {
    const Result<QSqlQuery> r = store::run(sql, values);
    if (!r.ok())
        QFAIL(qPrintable(sql + QStringLiteral(": ") + r.error()));
}

void TestDatabase::setReadOnly(bool readOnly) {
    const QString on = readOnly ? QStringLiteral("ON") : QStringLiteral("OFF");
    exec(onServer() ? QStringLiteral("SET default_transaction_read_only = ") + on
                    : QStringLiteral("PRAGMA query_only = ") + on);
}

QString TestDatabase::readOnlyReason() {
    return onServer() ? QStringLiteral("read-only transaction")
                      : QStringLiteral("readonly database");
}

qint64 TestDatabase::changesRecorded(const QString& action, const QString& table) {
    Result<QSqlQuery> r =
        store::run(QStringLiteral("SELECT count(*) FROM Modifiche WHERE "
                                  "azione = ? AND tabella IS NOT DISTINCT FROM ?"),
                   {action, table.isEmpty() ? QVariant() : QVariant(table)});
    return r.ok() && r.value.next() ? r.value.value(0).toLongLong() : -1;
}

qint64 TestDatabase::addSubject(const QString& name, bool user) {
    Result<QSqlQuery> r = store::run(
        store::dialect::insertReturningKey(QStringLiteral(
            "INSERT INTO Soggetti (denominazione, ordine, codice, utente) VALUES (?, ?, ?, ?)")),
        {name, store::nameKey(name), QString(QStringLiteral("CF") + name.left(8)),
         user ? QStringLiteral("S") : QStringLiteral("N")});
    return r.ok() ? store::dialect::insertedId(r.value) : -1;
}
