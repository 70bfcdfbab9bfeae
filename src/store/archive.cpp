#include "store/archive.h"

#include "store/change_record.h"
#include "store/connection.h"
#include "store/copies.h"
#include "store/dialect.h"
#include "store/sqlite_engine.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace store {

LedgerCheck checkOpenLedger() {
    return checkLedger(connection());
}

Result<LedgerCheck> saveCopy(const QString& target) {
    if (QFileInfo(target).absoluteFilePath() == databasePath()) {
        Result<LedgerCheck> refused;
        refused.status = Status::failure(QStringLiteral("la copia non può sostituire l'archivio "
                                                        "stesso: scegliere un altro file"));
        return refused;
    }
    return copyLedger(connection(), target);
}

Result<QString> copyBeforeYearDeletion() {
    // A ledger on a server is copied by the server's own backups (pg_dump), not by a file
    // copy of the program.
    if (currentEngine() == Engine::PostgreSQL)
        return {Status::success(), QString()};
    return automaticCopy(connection(), databasePath(), kBeforeYearDeletion);
}

Result<QString> restoreFrom(const QString& copy, const std::function<void()>& beforeClosing) {
    Result<QString> result;
    const auto fail = [&result](const QString& reason) {
        result.status = Status::failure(reason);
        return result;
    };
    const QString path = databasePath();
    if (isReadOnly())
        return fail(QStringLiteral("l'archivio è in sola lettura: non può essere sostituito"));
    if (QFileInfo(copy).absoluteFilePath() == path)
        return fail(QStringLiteral("il file scelto è l'archivio aperto"));
    {
        const Result<LedgerCheck> check = checkFile(copy);
        if (!check.ok())
            return fail(QStringLiteral("il file scelto non è una copia utilizzabile: ") +
                        check.error());
        if (!check.value.whole())
            return fail(QStringLiteral("il file scelto è danneggiato: ") +
                        check.value.problems.join(QStringLiteral("; ")));
    }

    const QFileInfo ledger(path);
    result.value = ledger.dir().filePath(ledger.completeBaseName() +
                                         QDateTime::currentDateTime().toString(QStringLiteral(
                                             "'-prima-del-ripristino-'yyyy-MM-dd_HH-mm-ss'.db'")));
    if (const Result<LedgerCheck> kept = copyLedger(connection(), result.value); !kept.ok())
        return fail(QStringLiteral("l'archivio attuale non è stato conservato: ") + kept.error());

    // The copy is written beside the ledger first, so that the ledger is replaced in one
    // step by a file already checked.
    const QString incoming = path + QStringLiteral(".ripristino");
    {
        const ReadOnlyLedger source(copy);
        const Result<LedgerCheck> written = source.opened().ok()
                                                ? copyLedger(source.db(), incoming)
                                                : Result<LedgerCheck>{source.opened(), {}};
        if (!written.ok())
            return fail(written.error());
    }
    beforeClosing();
    closeDatabase();
    const bool replaced = std::rename(QFile::encodeName(incoming).constData(),
                                      QFile::encodeName(path).constData()) == 0;
    if (!replaced)
        QFile::remove(incoming);
    // A log left by the replaced file must never be read into the new one.
    for (const QString& companion : engine::companionFiles(path))
        QFile::remove(companion);
    const Status reopened = openDatabase(path);
    if (!replaced)
        return fail(QStringLiteral("impossibile sostituire il file dell'archivio"));
    if (!reopened.ok())
        return fail(reopened.error());
    // The restored ledger's own record goes on with the restore, one entry.
    if (Status s = recordWholeLedger(connection(), Azione::Ripristino); !s.ok())
        return fail(QStringLiteral("l'archivio è stato ripristinato, ma il ripristino non è "
                                   "stato annotato nel registro delle modifiche: ") +
                    s.error());
    return result;
}

QString engineDescription() {
    if (currentEngine() == Engine::PostgreSQL)
        return dialect::serverDescription(connection());
    return engine::description(connection());
}

} // namespace store
