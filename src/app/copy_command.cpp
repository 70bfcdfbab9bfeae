#include "app/copy_command.h"

#include "app/exit_status.h"
#include "store/ledger_copy.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void say(FILE* stream, const QString& text) {
    std::fputs(qPrintable(QStringLiteral("Velarco: ") + text + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

int statusOf(store::CopyOutcome outcome) {
    switch (outcome) {
    case store::CopyOutcome::Copied:
        return kExported;
    case store::CopyOutcome::SourceNotOpened:
    case store::CopyOutcome::TargetNotOpened:
        return kNoDatabase;
    case store::CopyOutcome::TargetHoldsData:
        return kNothingToPrint;
    case store::CopyOutcome::Failed:
        break;
    }
    return kExportFailed;
}

} // namespace

bool isCopyRequested(const QStringList& arguments) {
    return arguments.contains(kOption);
}

int copyDatabaseWithoutWindow(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4 || arguments.at(1) != kOption) {
        say(stderr, QStringLiteral("uso: velarco --copy-database ORIGINE DESTINAZIONE (un file "
                                   "o postgresql://utente@server:porta/nome)"));
        return 2;
    }
    const store::CopyResult result = store::copyLedger(
        arguments.at(2), arguments.at(3), [](const QString& step) { say(stderr, step); });
    if (result.outcome != store::CopyOutcome::Copied) {
        say(stderr, result.message);
        return statusOf(result.outcome);
    }
    QString checked;
    for (const store::TableFigures& t : result.figures)
        checked += QStringLiteral("\n  %1: %2 righe, importi %3 centesimi")
                       .arg(t.table)
                       .arg(t.rows)
                       .arg(t.cents);
    say(stdout, result.message + QStringLiteral(" Verificato, uguale all'origine:") + checked);
    return kExported;
}
