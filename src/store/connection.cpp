#include "store/connection.h"

#include "store/change_record.h"
#include "store/copies.h"
#include "store/ledger_file.h"
#include "store/prepared_writes.h"
#include "store/reasons.h"
#include "store/schema.h"
#include "store/server_connection.h"
#include "store/sqlite_engine.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace store {
namespace {

// How the connection reads the file. Ordinarily through a memory map and a large page
// cache: one user's rows lie scattered through a large ledger, and the grid query would
// otherwise thrash. A report that reads the whole ledger page by page reads through a
// small page cache only while it runs: either would keep every page it went through
// resident, the map the file's, the cache a copy of them up to its size.
const QStringList kEverydayReads = {QStringLiteral("PRAGMA mmap_size = 268435456"),
                                    QStringLiteral("PRAGMA cache_size = -65536")};
const QStringList kWholeLedgerReads = {QStringLiteral("PRAGMA mmap_size = 0"),
                                       QStringLiteral("PRAGMA cache_size = -2048")};
int unmappedReaders = 0;

// The first statement that fails, if any, leaves the others unset.
bool setReads(const QStringList& statements, QSqlQuery& query) {
    for (const QString& statement : statements) {
        if (!query.exec(statement))
            return false;
    }
    return true;
}

StatementWatcher& watcher() {
    static StatementWatcher watching;
    return watching;
}

struct OpenLedger {
    QString path;
    ReadOnlyCause readOnly = ReadOnlyCause::None;
};

OpenLedger& openLedger() {
    static OpenLedger ledger;
    return ledger;
}

Status fail(const QString& path, const QString& reason) {
    closeDatabase();
    return Status::failure(QStringLiteral("Impossibile aprire il database \"%1\": %2")
                               .arg(QDir::toNativeSeparators(path), reason));
}

// What the file holds, read without writing to it. A missing or empty file is a new
// ledger, created readable by its owner only.
Result<LedgerFacts> inspect(const QString& path, bool readOnly) {
    Result<LedgerFacts> result;
    const QFileInfo info(path);
    if (info.exists() && info.size() > 0) {
        const ReadOnlyLedger probe(path);
        result.status = probe.opened();
        result.value = probe.facts();
        // Before any upgrade step runs, the ledger as it was is kept as a copy.
        if (result.ok() && !readOnly && probe.facts().kind == FileKind::Ledger &&
            probe.facts().version < schema::kCurrentVersion) {
            const Result<QString> copy = automaticCopy(probe.db(), path, kBeforeUpgrade);
            if (!copy.ok())
                result.status = Status::failure(
                    QStringLiteral("la copia prima dell'aggiornamento non è riuscita: ") +
                    copy.error());
        }
        return result;
    }
    if (readOnly) {
        result.status = Status::failure(QStringLiteral("il file non può essere creato: la "
                                                       "cartella è in sola lettura"));
        return result;
    }
    if (!info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            result.status = Status::failure(file.errorString());
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return result;
}

} // namespace

Status openExistingDatabase(const QString& path, Access access) {
    if (!isServerAddress(path) && !QFileInfo::exists(path))
        return Status::failure(ErrorKind::NotFound,
                               QStringLiteral("archivio non trovato: %1").arg(path));
    return openDatabase(path, access);
}

Status openDatabase(const QString& path, Access access) {
    if (isServerAddress(path)) {
        QString error;
        const LedgerAddress address = parseLedgerAddress(path, &error);
        if (!error.isEmpty())
            return Status::failure(error);
        const Result<ReadOnlyCause> opened = openServerDatabase(address, access);
        if (!opened.ok())
            return opened.status;
        openLedger() = {address.display(), opened.value};
        return Status::success();
    }
    closeDatabase();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(path, QStringLiteral("il percorso non è un file"));
    if (!info.exists() && !QFileInfo(info.absolutePath()).isDir())
        return fail(path, QStringLiteral("la cartella non esiste"));

    // Nothing is written to the file until it is known to be a ledger this program reads.
    const bool readOnly = !engine::writable(path);
    const Result<LedgerFacts> facts = inspect(path, readOnly);
    if (!facts.ok())
        return fail(path, facts.error());
    if (readOnly && facts.value.version != schema::kCurrentVersion)
        return fail(path, QStringLiteral("l'archivio è in sola lettura e di una versione "
                                         "precedente: va aggiornato su un disco scrivibile"));

    if (Status s = engine::open(kConnectionName, path, readOnly); !s.ok())
        return fail(path, s.error());
    if (Status s = engine::configure(connection(), readOnly); !s.ok())
        return fail(path, s.error());
    if (QSqlQuery query(connection());
        !setReads(unmappedReaders > 0 ? kWholeLedgerReads : kEverydayReads, query))
        return fail(path, failureOf(query).error());
    if (!readOnly) {
        if (Status s = openChangeRecord(connection()); !s.ok())
            return fail(path, s.error());
        if (Status s = schema::upgrade(connection(), QDate::currentDate()); !s.ok())
            return fail(path, s.error());
        const Status s = access == Access::Consult ? engine::refuseWrites(connection())
                                                   : recordChanges(connection());
        if (!s.ok())
            return fail(path, s.error());
    }
    openLedger() = {QFileInfo(path).absoluteFilePath(),
                    readOnly ? ReadOnlyCause::File : ReadOnlyCause::None};
    return Status::success();
}

bool isReadOnly() {
    return openLedger().readOnly != ReadOnlyCause::None;
}

ReadOnlyCause readOnlyCause() {
    return openLedger().readOnly;
}

Status writesRefused() {
    QString reason;
    switch (openLedger().readOnly) {
    case ReadOnlyCause::None:
        return Status::success();
    case ReadOnlyCause::File:
        reason = QStringLiteral("L'archivio è aperto in sola lettura: si possono consultare i "
                                "dati e stampare, ma non inserire, modificare o eliminare.\nPer "
                                "lavorarci, copiarlo su un disco scrivibile o chiedere il "
                                "permesso di scrittura.");
        break;
    case ReadOnlyCause::ReaderRole:
        reason = QStringLiteral("Questo operatore può soltanto consultare l'archivio: si possono "
                                "vedere i dati e stampare, ma non inserire, modificare o "
                                "eliminare.\nPer lavorarci, chiedere all'amministratore il ruolo "
                                "velarco_operatore.");
        break;
    case ReadOnlyCause::OlderLayout:
        reason = QStringLiteral("L'archivio sul server è di una versione precedente, che questo "
                                "operatore non può aggiornare: è aperto in sola lettura.\n"
                                "L'amministratore (velarco_amministratore) deve aprirlo una volta "
                                "con questo programma.");
        break;
    }
    return Status::failure(ErrorKind::ReadOnly, reason);
}

QString databasePath() {
    return openLedger().path;
}

void closeDatabase() {
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    forgetPreparedWrites();
    {
        QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
    openLedger() = {};
}

QSqlDatabase connection() {
    return QSqlDatabase::database(kConnectionName, false);
}

Result<QSqlQuery> run(const QString& sql, const QVariantList& values) {
    if (Status s = reconnectIfLost(); !s.ok())
        return {s, QSqlQuery(connection())};
    Result<QSqlQuery> result{Status::success(), QSqlQuery(connection())};
    QSqlQuery& query = result.value;
    query.setForwardOnly(true);
    // A statement without values runs unprepared: PostgreSQL prepares no table definition.
    if (values.isEmpty()) {
        if (watcher())
            watcher()(sql, {});
        if (!query.exec(sql))
            result.status = failureOf(query);
        return result;
    }
    if (!query.prepare(sql)) {
        result.status = failureOf(query);
        return result;
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!exec(query))
        result.status = failureOf(query);
    return result;
}

bool exec(QSqlQuery& query) {
    if (watcher())
        watcher()(query.lastQuery(), query.boundValues());
    return query.exec();
}

void watchStatements(StatementWatcher watching) {
    watcher() = std::move(watching);
}

// A pragma that cannot be set leaves reads as they were: slower or larger, still right.
UnmappedReads::UnmappedReads() {
    if (QSqlQuery query(connection()); unmappedReaders++ == 0)
        setReads(kWholeLedgerReads, query);
}

UnmappedReads::~UnmappedReads() {
    if (QSqlQuery query(connection()); --unmappedReaders == 0)
        setReads(kEverydayReads, query);
}

Status failureOf(const QSqlQuery& query) {
    return noteFailure(query.lastError());
}

} // namespace store
