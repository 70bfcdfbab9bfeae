#include "app/copy_command.h"

#include "app/exit_status.h"
#include "store/ledger_copy.h"

#include <QCoreApplication>
#include <QStringList>
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

int copyDatabaseWithoutWindow(const QString& value, char* argv[]) {
    int qtArgumentCount = 1; // the command line is the program's alone
    QCoreApplication app(qtArgumentCount, argv);
    // The command line reading lets exactly two addresses through.
    const QStringList addresses = value.split(QLatin1Char('\n'));
    const store::CopyResult result = store::copyLedger(
        addresses.value(0), addresses.value(1), [](const QString& step) { say(stderr, step); });
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
