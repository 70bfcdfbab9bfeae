#include "store/sqlite_engine.h"

#include "store/reasons.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace store::engine {
namespace {

const QByteArray kHeader("SQLite format 3", 16); // with its closing NUL

const char* const kWritePragmas[] = {
    "PRAGMA journal_mode = WAL",
    "PRAGMA synchronous = FULL",
    // A save writes about a dozen pages with its entry in the record of changes: at SQLite's
    // 1,000 pages one save in 90 paid a checkpoint, at 2,000 (8 MiB of log) one in 180.
    "PRAGMA wal_autocheckpoint = 2000",
};

const char* const kCommonPragmas[] = {
    // The memory map and the page cache are set by the connection.
    "PRAGMA foreign_keys = OFF",
};

constexpr int kCantOpen = 14;

Status exec(QSqlDatabase db, const QString& sql) {
    QSqlQuery query(db);
    if (!query.exec(sql))
        return failureOf(query.lastError());
    return Status::success();
}

// Reading the schema fails at once on a file that cannot be read.
Status firstRead(QSqlDatabase db) {
    return exec(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

bool openedAs(QSqlDatabase db, const QString& name, const QString& options, QSqlError* error) {
    db.setDatabaseName(name);
    db.setConnectOptions(options);
    if (db.open())
        return true;
    *error = db.lastError();
    return false;
}

} // namespace

QString description(QSqlDatabase db) {
    QString version;
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("SELECT sqlite_version()")) && query.next())
        version = query.value(0).toString();
    return version.isEmpty() ? QStringLiteral("SQLite") : QStringLiteral("SQLite ") + version;
}

bool looksLikeDatabase(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(kHeader.size());
    return start.isEmpty() || start == kHeader;
}

QStringList companionFiles(const QString& path) {
    return {path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
            path + QStringLiteral("-journal")};
}

bool writable(const QString& path) {
    const QFileInfo file(path);
    // The log and the index of the log are created in the ledger's folder.
    return QFileInfo(file.absolutePath()).isWritable() && (!file.exists() || file.isWritable());
}

Status open(const QString& name, const QString& path, bool readOnly) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
    QSqlError error;
    if (!readOnly) {
        if (openedAs(db, path, busy, &error))
            return firstRead(db);
        return failureOf(error);
    }
    // A ledger left in WAL mode on a medium that cannot be written has no index of its
    // log and none can be made: it is then read as a file nobody changes.
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    const QString options = busy + QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
    for (const QString& mode :
         {QStringLiteral("?mode=ro"), QStringLiteral("?mode=ro&immutable=1")}) {
        if (!openedAs(db, uri + mode, options, &error))
            return failureOf(error);
        QSqlQuery probe(db);
        if (probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return Status::success();
        error = probe.lastError();
        probe = QSqlQuery();
        db.close();
        if ((error.nativeErrorCode().toInt() & 0xff) != kCantOpen)
            break;
    }
    return failureOf(error);
}

Status refuseWrites(QSqlDatabase db) {
    return exec(db, QStringLiteral("PRAGMA query_only = 1"));
}

Status configure(QSqlDatabase db, bool readOnly) {
    if (!readOnly) {
        for (const char* pragma : kWritePragmas) {
            if (Status s = exec(db, QString::fromUtf8(pragma)); !s.ok())
                return s;
        }
    } else if (Status s = refuseWrites(db); !s.ok()) {
        return s;
    }
    for (const char* pragma : kCommonPragmas) {
        if (Status s = exec(db, QString::fromUtf8(pragma)); !s.ok())
            return s;
    }
    return Status::success();
}

Result<QStringList> integrityProblems(QSqlDatabase db) {
    Result<QStringList> result;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA integrity_check"))) {
        result.status = failureOf(query.lastError());
        return result;
    }
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok"))
            result.value.append(line);
    }
    if (query.lastError().isValid())
        result.status = failureOf(query.lastError());
    return result;
}

int codeOfText(const QString& databaseText) {
    struct Known {
        const char* text;
        int code;
    };
    static const Known known[] = {
        {"database is locked", 5},
        {"database table is locked", 6},
        {"attempt to write a readonly database", 8},
        {"disk I/O error", 10},
        {"database disk image is malformed", 11},
        {"database or disk is full", 13},
        {"unable to open database file", 14},
        {"file is not a database", 26},
        {"UNIQUE constraint failed", 2067},
    };
    for (const Known& k : known) {
        if (databaseText.startsWith(QLatin1String(k.text)))
            return k.code;
    }
    return -1;
}

Status copyInto(QSqlDatabase db, const QString& target) {
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("VACUUM INTO ?")))
        return failureOf(query.lastError());
    query.addBindValue(target);
    if (!query.exec())
        return failureOf(query.lastError());
    return Status::success();
}

} // namespace store::engine
