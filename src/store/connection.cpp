#include "store/connection.h"

#include "store/schema.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace store {
namespace {

const char* const kPragmas[] = {
    "PRAGMA journal_mode = WAL",
    "PRAGMA synchronous = FULL",
    "PRAGMA foreign_keys = OFF",
    // One user's rows lie scattered through a large ledger: a bigger page cache and
    // a memory map keep the ledger grid query from thrashing.
    "PRAGMA cache_size = -65536",
};

const QString kMapped = QStringLiteral("PRAGMA mmap_size = 268435456");
const QString kUnmapped = QStringLiteral("PRAGMA mmap_size = 0");
int unmappedReaders = 0;

Status fail(const QString& path, const QString& reason) {
    closeDatabase();
    return Status::failure(QStringLiteral("Impossibile aprire il database \"%1\": %2")
                               .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

Status openDatabase(const QString& path) {
    closeDatabase();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(path, QStringLiteral("il percorso non è un file"));
    if (!info.exists() && !QFileInfo(info.absolutePath()).isDir())
        return fail(path, QStringLiteral("la cartella non esiste"));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return fail(path, db.lastError().text());

    QSqlQuery query(db);
    // Reading the schema fails at once on a file that is not a database.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return fail(path, query.lastError().text());
    for (const char* pragma : kPragmas) {
        if (!query.exec(QString::fromUtf8(pragma)))
            return fail(path, query.lastError().text());
    }
    if (!query.exec(unmappedReaders > 0 ? kUnmapped : kMapped))
        return fail(path, query.lastError().text());
    if (Status s = schema::upgrade(db, QDate::currentDate()); !s.ok())
        return fail(path, s.error());
    return Status::success();
}

void closeDatabase() {
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
}

QSqlDatabase connection() {
    return QSqlDatabase::database(kConnectionName, false);
}

Result<QSqlQuery> run(const QString& sql, const QVariantList& values) {
    Result<QSqlQuery> result{Status::success(), QSqlQuery(connection())};
    QSqlQuery& query = result.value;
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        result.status = Status::failure(reasonOf(query));
        return result;
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec())
        result.status = Status::failure(reasonOf(query));
    return result;
}

// A pragma that cannot be set leaves reads as they were: slower or larger, still right.
UnmappedReads::UnmappedReads() {
    if (unmappedReaders++ == 0)
        QSqlQuery(connection()).exec(kUnmapped);
}

UnmappedReads::~UnmappedReads() {
    if (--unmappedReaders == 0)
        QSqlQuery(connection()).exec(kMapped);
}

QString reasonOf(const QSqlQuery& query) {
    const QSqlError error = query.lastError();
    QString reason = error.databaseText();
    if (reason.isEmpty())
        reason = error.text();
    if (reason.isEmpty())
        reason = QStringLiteral("errore sconosciuto del database");
    return reason;
}

} // namespace store
