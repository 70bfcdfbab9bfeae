#include "store/change_record.h"

#include "store/dialect.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTimeZone>
#include <array>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace store {
namespace {

constexpr std::array<const char*, 9> kWords = {
    "inserimento",  "correzione", "cancellazione", "tabelle",     "cancellazione anno",
    "importazione", "ripristino", "copia",         "manutenzione"};

// The action each connection's writes are recorded as now; none: by their kind.
QHash<QString, QString>& currentActions() {
    static QHash<QString, QString> actions;
    return actions;
}

// The name the desk's user logged in with.
QString loginName() {
#ifdef Q_OS_UNIX
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
#endif
    const QString name = qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
    return name.isEmpty() ? QStringLiteral("sconosciuto") : name;
}

} // namespace

QString actionWord(Azione action) {
    return QString::fromUtf8(kWords.at(std::size_t(action)));
}

QStringList recordedActionWords() {
    QStringList words;
    for (std::size_t i = 0; i + 1 < kWords.size(); ++i)
        words.append(QString::fromUtf8(kWords.at(i)));
    return words;
}

RecordedAs::RecordedAs(QSqlDatabase db, Azione action)
    : db_(std::move(db)), previous_(currentActions().value(db_.connectionName())) {
    const QString word = actionWord(action);
    begun_ = dialect::setChangeAction(db_, word);
    if (begun_.ok())
        currentActions().insert(db_.connectionName(), word);
}

RecordedAs::~RecordedAs() {
    if (!begun_.ok())
        return;
    dialect::setChangeAction(db_, previous_);
    currentActions().insert(db_.connectionName(), previous_);
}

Status openChangeRecord(QSqlDatabase db) {
    if (Status s = dialect::openChangeContext(db, loginName(), QSysInfo::machineHostName(),
                                              QString::fromUtf8(QTimeZone::systemTimeZoneId()));
        !s.ok())
        return s;
    // A connection opened again keeps recording as the work that was running.
    const QString action = currentActions().value(db.connectionName());
    return action.isEmpty() ? Status::success() : dialect::setChangeAction(db, action);
}

Status recordChanges(QSqlDatabase db) {
    return dialect::recordChangesOnConnection(db);
}

Status recordWholeLedger(QSqlDatabase db, Azione action) {
    const Result<QString> who = dialect::sessionOperator(db, loginName());
    if (!who.ok())
        return who.status;
    const QDateTime now = QDateTime::currentDateTime();
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("INSERT INTO Modifiche (utc, locale, operatore, computer, "
                                      "azione) VALUES (?, ?, ?, ?, ?)")))
        return Status::failure(query.lastError().text());
    for (const QVariant& value :
         {QVariant(now.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"))),
          QVariant(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))), QVariant(who.value),
          QVariant(QSysInfo::machineHostName()), QVariant(actionWord(action))})
        query.addBindValue(value);
    if (!query.exec())
        return Status::failure(query.lastError().text());
    return Status::success();
}

} // namespace store
