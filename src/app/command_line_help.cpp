#include "app/command_line_help.h"

#include "app/exit_status.h"
#include "app/startup_options.h"
#include "reports/report_catalogue.h"

#include <QStringList>

namespace {

QString optionWithValue(const KnownOption& option) {
    QString text = QStringLiteral("--") + QLatin1String(option.name);
    if (option.takesValue)
        text += QLatin1Char(' ') + QLatin1String(option.valueName);
    return text;
}

// "(con --report)" for an option that only joins a command other than the window's.
QString companionNote(const KnownOption& option) {
    if (option.startsCommand || option.commands.testFlag(Command::Window))
        return {};
    return QStringLiteral(" (con %1)").arg(startersOf(option.commands));
}

// " di RitenuteS, F24 e F24G": the reports whose description takes the option's input.
QString reportsTaking(const KnownOption& option) {
    QStringList names;
    for (const ReportDescription& report : reportDescriptions()) {
        if (report.input != ReportInput::None &&
            inputOption(report.input) == QLatin1String(option.name))
            names.append(report.name);
    }
    if (names.isEmpty())
        return {};
    const QString last = names.takeLast();
    return QStringLiteral(" di ") +
           (names.isEmpty() ? last
                            : names.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last);
}

} // namespace

QString versionText() {
    return QStringLiteral("Velarco " VELARCO_VERSION);
}

QString helpText() {
    qsizetype width = 0;
    for (const KnownOption& option : knownOptions())
        width = qMax(width, optionWithValue(option).size());
    QStringList lines = {
        QStringLiteral("Uso: velarco [OPZIONI]"),
        QStringLiteral("Registro delle ritenute d'acconto. Senza opzioni apre la finestra."),
        QString(),
        QStringLiteral("Opzioni (--nome VALORE oppure --nome=VALORE):"),
    };
    for (const KnownOption& option : knownOptions())
        lines.append(QStringLiteral("  ") + optionWithValue(option).leftJustified(width + 2) +
                     QString::fromUtf8(option.help) + reportsTaking(option) +
                     companionNote(option));
    lines += {QString(), QStringLiteral("Stati di uscita:")};
    for (const ExitStatusMeaning& exit : exitStatusMeanings())
        lines.append(
            QStringLiteral("  %1  %2").arg(exit.status).arg(QString::fromUtf8(exit.meaning)));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
