#include "support/test_server.h"

#include "store/ledger_address.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace test_server {
namespace {

QString readLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

QString serverUrl(QString* error) {
    QString url = qEnvironmentVariable("VELARCO_TEST_PG");
    if (url.isEmpty()) {
        const QString file = qEnvironmentVariable("VELARCO_TEST_PG_FILE");
        url = readLine(file);
        const QString password =
            readLine(QFileInfo(file).absoluteDir().filePath(QStringLiteral("password")));
        if (!password.isEmpty() && qEnvironmentVariableIsEmpty("PGPASSWORD"))
            qputenv("PGPASSWORD", password.toUtf8());
    }
    if (url.isEmpty() && error)
        *error = QStringLiteral("no test server: set VELARCO_TEST_PG or VELARCO_TEST_PG_FILE");
    return url;
}

} // namespace

QString url(const QString& database, QString* error) {
    const QString base = serverUrl(error);
    if (base.isEmpty())
        return {};
    store::LedgerAddress address = store::parseLedgerAddress(base, error);
    address.database = database;
    return address.display();
}

bool administer(const QStringList& statements, QString* error) {
    const QString base = serverUrl(error);
    if (base.isEmpty())
        return false;
    const store::LedgerAddress address = store::parseLedgerAddress(base, error);
    const QString name = QStringLiteral("test-administration");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setUserName(address.user);
        db.setDatabaseName(address.database);
        ok = db.open();
        if (!ok && error)
            *error = db.lastError().text();
        QSqlQuery query(db);
        for (const QString& sql : statements) {
            if (!ok)
                break;
            ok = query.exec(sql);
            if (!ok && error)
                *error = sql + QStringLiteral(": ") + query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace test_server
