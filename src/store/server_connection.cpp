#include "store/server_connection.h"

#include "store/change_record.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/prepared_writes.h"
#include "store/reasons.h"
#include "store/schema.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>

namespace store {
namespace {

PasswordPrompt& prompt() {
    static PasswordPrompt ask;
    return ask;
}

bool lost = false;

bool wantsPassword(const QString& reason) {
    return reason.contains(QLatin1String("password"), Qt::CaseInsensitive);
}

Status fail(const LedgerAddress& address, const QString& reason) {
    closeDatabase();
    return Status::failure(
        QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(address.display(), reason));
}

} // namespace

std::optional<QString> connectServer(const QString& connectionName, const LedgerAddress& address) {
    QSqlDatabase db =
        QSqlDatabase::addDatabase(dialect::driverName(Engine::PostgreSQL), connectionName);
    if (!db.isValid())
        return QStringLiteral("il driver PostgreSQL di Qt non è installato");
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setUserName(address.user);
    db.setDatabaseName(address.database);
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=Velarco"));
    // libpq reads PGPASSWORD and ~/.pgpass itself; the operator is asked only when the
    // server still wants a password, and what is typed lives in this connection only.
    while (!db.open()) {
        const QString reason = db.lastError().text();
        if (!wantsPassword(reason) || !prompt())
            return reason;
        const std::optional<QString> password = prompt()(address.display(), reason);
        if (!password)
            return reason;
        db.setPassword(*password);
    }
    return std::nullopt;
}

void setPasswordPrompt(PasswordPrompt ask) {
    prompt() = std::move(ask);
}

Result<ReadOnlyCause> openServerDatabase(const LedgerAddress& address, Access access) {
    closeDatabase();
    lost = false;
    Result<ReadOnlyCause> result{Status::success(), ReadOnlyCause::None};
    if (const std::optional<QString> reason = connectServer(kConnectionName, address)) {
        result.status = fail(address, *reason);
        return result;
    }
    const Result<int> version = dialect::storedVersion(connection());
    const Result<dialect::RoleRights> rights = dialect::roleRights(connection());
    if (Status s = version.ok() ? rights.status : version.status; !s.ok()) {
        result.status = fail(address, s.error());
        return result;
    }
    // What the role may not do is never attempted: the ledger opens for reading.
    if (version.value < schema::kCurrentVersion && !rights.value.upgrade) {
        if (version.value == 0) {
            result.status = fail(address, QStringLiteral("il database non ha ancora le tabelle "
                                                         "dell'archivio e questo operatore non "
                                                         "può crearle: l'amministratore "
                                                         "(velarco_amministratore) deve aprirlo "
                                                         "una volta con questo programma"));
            return result;
        }
        result.value = ReadOnlyCause::OlderLayout;
    } else if (!rights.value.write) {
        result.value = ReadOnlyCause::ReaderRole;
    }
    // A ledger only consulted is written only for a layout step that is due; then it refuses
    // every write, as a ledger the role may not change does.
    const bool writes = result.value == ReadOnlyCause::None &&
                        (access == Access::Change || version.value < schema::kCurrentVersion);
    Status opened = writes ? openChangeRecord(connection()) : Status::success();
    if (opened.ok() && writes)
        opened = schema::upgrade(connection(), QDate::currentDate());
    if (opened.ok() && (result.value != ReadOnlyCause::None || access == Access::Consult))
        opened = dialect::readOnlySession(connection());
    if (!opened.ok())
        result.status = fail(address, opened.error());
    return result;
}

bool isConnectionLoss(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P")))
        return true;
    // libpq's own reports of a broken connection carry no SQLSTATE.
    const QString text = error.text();
    return code.isEmpty() && (text.contains(QLatin1String("server closed the connection")) ||
                              text.contains(QLatin1String("no connection to the server")) ||
                              text.contains(QLatin1String("connection to server")) ||
                              text.contains(QLatin1String("could not send data")) ||
                              text.contains(QLatin1String("could not receive data")));
}

Status noteFailure(const QSqlError& error) {
    if (currentEngine() != Engine::PostgreSQL || !isConnectionLoss(error))
        return failureOf(error);
    lost = true;
    return Status::failure(ErrorKind::ConnectionLost,
                           QStringLiteral("connessione al server interrotta (%1); al prossimo "
                                          "comando il programma si ricollegherà")
                               .arg(reasonFor(error).trimmed()));
}

Status reconnectIfLost() {
    if (!lost)
        return Status::success();
    forgetPreparedWrites();
    QSqlDatabase db = connection();
    db.close();
    if (!db.open())
        return Status::failure(
            QStringLiteral("il server non risponde: %1").arg(db.lastError().text().trimmed()));
    lost = false;
    return isReadOnly() ? dialect::readOnlySession(db) : openChangeRecord(db);
}

} // namespace store
