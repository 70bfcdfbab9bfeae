#include "app/ledger_commands.h"

#include "app/exit_status.h"
#include "app/startup_options.h"
#include "store/copies.h"
#include "store/ledger_address.h"
#include "store/ledger_file.h"
#include "store/server_jobs.h"

#include <QDir>
#include <QStringList>
#include <cstdio>

namespace ledger_commands {
namespace {

void say(std::FILE* stream, const QString& text) {
    std::fputs(qPrintable(QStringLiteral("Velarco: ") + text + QLatin1Char('\n')), stream);
}

QString countsText(const store::LedgerCheck& check) {
    QStringList parts;
    for (const store::TableCount& count : check.counts)
        parts.append(QStringLiteral("%1 %2").arg(count.table).arg(count.rows));
    return parts.join(QStringLiteral(", "));
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

int check(const QString& path) {
    const Result<store::LedgerCheck> result = store::checkFile(path);
    if (!result.ok()) {
        say(stderr, QStringLiteral("impossibile aprire l'archivio \"%1\": %2")
                        .arg(shown(path), result.error()));
        return kNoDatabase;
    }
    if (!result.value.whole()) {
        say(stderr, QStringLiteral("l'archivio \"%1\" è danneggiato: ripristinarlo da una copia.")
                        .arg(shown(path)));
        for (const QString& problem : result.value.problems)
            std::fputs(qPrintable(QStringLiteral("  ") + problem + QLatin1Char('\n')), stderr);
        return kDamaged;
    }
    say(stdout, QStringLiteral("l'archivio \"%1\" è integro (%2)")
                    .arg(shown(path), countsText(result.value)));
    return kExported;
}

int backup(const QString& path, const QString& target) {
    const store::ReadOnlyLedger ledger(path);
    if (!ledger.opened().ok() || ledger.facts().kind != store::FileKind::Ledger) {
        const QString reason = ledger.opened().ok() ? QStringLiteral("non è un archivio Velarco")
                                                    : ledger.opened().error();
        say(stderr,
            QStringLiteral("impossibile aprire l'archivio \"%1\": %2").arg(shown(path), reason));
        return kNoDatabase;
    }
    const Result<store::LedgerCheck> copy = store::copyLedger(ledger.db(), target);
    if (!copy.ok()) {
        say(stderr, QStringLiteral("la copia \"%1\" non è stata scritta: %2")
                        .arg(shown(target), copy.error()));
        return kExportFailed;
    }
    say(stdout, QStringLiteral("copia scritta e verificata in \"%1\" (%2)")
                    .arg(shown(target), countsText(copy.value)));
    return kExported;
}

} // namespace

int run(const StartupOptions& options, const QString& path) {
    if (store::isServerAddress(path)) {
        const store::ServerJob job =
            options.command == Command::Check ? store::ServerJob::Check : store::ServerJob::Copy;
        say(stderr, store::serverJobText(job, store::parseLedgerAddress(path).display()));
        return kBadArguments;
    }
    return options.command == Command::Check
               ? check(path)
               : backup(path, options.values.value(QStringLiteral("backup")));
}

} // namespace ledger_commands
