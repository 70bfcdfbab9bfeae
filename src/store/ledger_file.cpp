#include "store/ledger_file.h"

#include "store/reasons.h"
#include "store/schema.h"
#include "store/sqlite_engine.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace store {

const QStringList& ledgerTables() {
    static const QStringList tables = {QStringLiteral("Soggetti"), QStringLiteral("Ritenute"),
                                       QStringLiteral("Anno"),     QStringLiteral("periodo"),
                                       QStringLiteral("Tributo"),  QStringLiteral("Percentuale")};
    return tables;
}

Result<LedgerFacts> factsOf(QSqlDatabase db) {
    Result<LedgerFacts> result;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                   "name NOT LIKE 'sqlite!_%' ESCAPE '!'"))) {
        result.status = failureOf(query.lastError());
        return result;
    }
    QStringList tables;
    while (query.next())
        tables.append(query.value(0).toString().toLower());
    const int version = schema::versionOf(db);
    if (version < 0) {
        result.status = Status::failure(QStringLiteral("versione dell'archivio illeggibile"));
        return result;
    }
    bool everyTable = true;
    for (const QString& table : ledgerTables())
        everyTable = everyTable && tables.contains(table.toLower());
    if (tables.isEmpty() && version == 0)
        result.value = {FileKind::Empty, 0};
    else if (everyTable && version >= 1)
        result.value = {FileKind::Ledger, version};
    else
        result.value = {FileKind::Foreign, version};
    return result;
}

Status acceptable(const LedgerFacts& facts) {
    if (facts.kind == FileKind::Foreign)
        return Status::failure(QStringLiteral("non è un archivio Velarco"));
    if (facts.version > schema::kCurrentVersion)
        return Status::failure(
            QStringLiteral(
                "il database è di una versione più recente (%1) di questo programma (%2)")
                .arg(facts.version)
                .arg(schema::kCurrentVersion));
    return Status::success();
}

LedgerCheck checkLedger(QSqlDatabase db) {
    LedgerCheck check;
    const Result<QStringList> problems = engine::integrityProblems(db);
    check.problems = problems.value;
    if (!problems.ok())
        check.problems.append(problems.error());
    for (const QString& table : ledgerTables()) {
        QSqlQuery query(db);
        // The table names are the program's own, never the operator's.
        if (!query.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)) ||
            !query.next()) {
            check.problems.append(table + QStringLiteral(": ") + reasonFor(query.lastError()));
            continue;
        }
        check.counts.append({table, query.value(0).toLongLong()});
    }
    return check;
}

ReadOnlyLedger::ReadOnlyLedger(const QString& path) {
    static std::atomic<int> serial{0};
    name_ = QStringLiteral("Lettura-%1").arg(++serial);
    if (!QFileInfo(path).isFile()) {
        opened_ = Status::failure(QStringLiteral("il file non esiste"));
        return;
    }
    if (!engine::looksLikeDatabase(path)) {
        opened_ = Status::failure(QStringLiteral("il file non è un database"));
        return;
    }
    for (const QString& companion : engine::companionFiles(path)) {
        if (!QFileInfo::exists(companion))
            madeBeside_.append(companion);
    }
    opened_ = engine::open(name_, path, true);
    if (!opened_.ok())
        return;
    const Result<LedgerFacts> facts = factsOf(db());
    facts_ = facts.value;
    opened_ = facts.ok() ? acceptable(facts_) : facts.status;
}

ReadOnlyLedger::~ReadOnlyLedger() {
    if (!QSqlDatabase::contains(name_))
        return;
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
    // A reader leaves the index of the log behind; an empty log holds nothing either.
    for (const QString& companion : madeBeside_) {
        const QFileInfo file(companion);
        if (file.exists() && (file.size() == 0 || companion.endsWith(QLatin1String("-shm"))))
            QFile::remove(companion);
    }
}

QSqlDatabase ReadOnlyLedger::db() const {
    return QSqlDatabase::database(name_, false);
}

Result<LedgerCheck> checkFile(const QString& path) {
    Result<LedgerCheck> result;
    const ReadOnlyLedger ledger(path);
    if (!ledger.opened().ok()) {
        result.status = ledger.opened();
        return result;
    }
    if (ledger.facts().kind != FileKind::Ledger) {
        result.status = Status::failure(QStringLiteral("non è un archivio Velarco"));
        return result;
    }
    result.value = checkLedger(ledger.db());
    return result;
}

} // namespace store
