#include "store/copies.h"

#include "store/sqlite_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace store {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// An empty file readable by the owner only, for the engine to fill.
Status createEmpty(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Status::failure(QStringLiteral("impossibile creare il file \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    file.close();
    file.setPermissions(kOwnerOnly);
    return Status::success();
}

void removeWithCompanions(const QString& path) {
    QFile::remove(path);
    for (const QString& companion : engine::companionFiles(path))
        QFile::remove(companion);
}

QString differenceOf(const QList<TableCount>& ledger, const QList<TableCount>& copy) {
    for (int i = 0; i < ledger.size(); ++i) {
        if (i >= copy.size() || copy.at(i).rows != ledger.at(i).rows)
            return QStringLiteral("la copia non ha le stesse righe dell'archivio nella tabella %1")
                .arg(ledger.at(i).table);
    }
    return {};
}

const QRegularExpression& automaticCopyName() {
    static const QRegularExpression name(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d-\\d{3}_[a-z-]+\\.db$"));
    return name;
}

void keepNewest(const QString& folder) {
    QStringList copies;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        if (automaticCopyName().match(name).hasMatch())
            copies.append(name);
    }
    while (copies.size() > kAutomaticCopiesKept)
        removeWithCompanions(QDir(folder).filePath(copies.takeFirst()));
}

} // namespace

Result<LedgerCheck> copyLedger(QSqlDatabase db, const QString& target) {
    Result<LedgerCheck> result;
    const QString partial = target + QStringLiteral(".parziale");
    removeWithCompanions(partial);
    if (Status s = createEmpty(partial); !s.ok()) {
        result.status = s;
        return result;
    }
    const auto fail = [&](const QString& reason) {
        removeWithCompanions(partial);
        result.status = Status::failure(reason);
        return result;
    };
    if (Status s = engine::copyInto(db, partial); !s.ok())
        return fail(s.error());
    const LedgerCheck source = checkLedger(db);
    {
        const Result<LedgerCheck> copy = checkFile(partial);
        if (!copy.ok())
            return fail(QStringLiteral("la copia non si apre: ") + copy.error());
        if (!copy.value.whole())
            return fail(QStringLiteral("la copia non è integra: ") +
                        copy.value.problems.join(QStringLiteral("; ")));
        if (const QString difference = differenceOf(source.counts, copy.value.counts);
            !difference.isEmpty())
            return fail(difference);
        result.value = copy.value;
    }
    // The checked copy takes the name in one step, replacing an older file of that name.
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return fail(QStringLiteral("impossibile dare alla copia il nome \"%1\"")
                        .arg(QDir::toNativeSeparators(target)));
    removeWithCompanions(partial);
    return result;
}

QString automaticCopiesFolder(const QString& ledgerPath) {
    const QFileInfo ledger(ledgerPath);
    return ledger.dir().filePath(ledger.completeBaseName() + QStringLiteral(" - copie"));
}

Result<QString> automaticCopy(QSqlDatabase db, const QString& ledgerPath, const QString& why,
                              const QDateTime& when) {
    Result<QString> result;
    const QString folder = automaticCopiesFolder(ledgerPath);
    if (!QDir().mkpath(folder)) {
        result.status = Status::failure(QStringLiteral("impossibile creare la cartella \"%1\"")
                                            .arg(QDir::toNativeSeparators(folder)));
        return result;
    }
    QFile::setPermissions(folder, kOwnerOnly | QFileDevice::ExeOwner);
    const QString name =
        when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz_")) + why + QStringLiteral(".db");
    result.value = QDir(folder).filePath(name);
    result.status = copyLedger(db, result.value).status;
    if (result.ok())
        keepNewest(folder);
    return result;
}

} // namespace store
