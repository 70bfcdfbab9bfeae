#include "reports/report_commands.h"

#include "ledger/withholding_rules.h"
#include "reports/f24_plan.h"
#include "reports/f24_plan_document.h"
#include "reports/payee_certificate_document.h"
#include "reports/payee_certificate_files.h"
#include "reports/ritenute_scadute.h"
#include "reports/st770_document.h"
#include "shell/file_folders.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "widgets/status_bar.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QWidget>

ReportCommands::ReportCommands(Shell& shell, QObject* parent)
    : QObject(parent), shell_(shell), runner_(shell, dynamic_cast<QWidget*>(&shell)),
      chooseFolder_([](QWidget* parent) {
          const QString folder = QFileDialog::getExistingDirectory(
              parent, QStringLiteral("Cartella delle attestazioni"),
              file_folders::startFolder(file_folders::Kind::Pdf));
          file_folders::remember(file_folders::Kind::Pdf,
                                 QDir(folder).filePath(QStringLiteral("x")));
          return folder;
      }) {
    setObjectName(QStringLiteral("ReportCommands"));
    for (const QString& name : commandNames()) {
        QAction* item = shell_.action(name.toLatin1().constData());
        if (item)
            connect(item, &QAction::triggered, this, [this, name] { run(name); });
    }
    if (QAction* item = shell_.action("StanpaAt"))
        connect(item, &QAction::triggered, this, &ReportCommands::runCertificate);
    if (QAction* item = shell_.action("PianoF24"))
        connect(item, &QAction::triggered, this, [this] { runDueMonth(f24_plan::kName); });
    if (QAction* item = shell_.action("PianoF24G"))
        connect(item, &QAction::triggered, this, [this] { runDueMonth(f24_plan::kGeneralName); });
    for (const QString& name : {st770::kName, st770::kGeneralName}) {
        if (QAction* item = shell_.action(name.toLatin1().constData()))
            connect(item, &QAction::triggered, this, [this, name] { run(name); });
    }
}

const QStringList& ReportCommands::commandNames() {
    static const QStringList names = {
        QStringLiteral("ElencoR"),      QStringLiteral("FattureNP"),
        QStringLiteral("FattureP"),     QStringLiteral("RitenuteNV"),
        QStringLiteral("RitenuteV"),    QStringLiteral("StampaG"),
        QStringLiteral("StampaS"),      QStringLiteral("Elenco"),
        ritenute_scadute::kUserCommand, ritenute_scadute::kGeneralCommand,
    };
    return names;
}

void ReportCommands::run(const QString& name) {
    ReportRequest request = runner_.requestFor(name);
    if (ritenute_scadute::isLateReport(name)) {
        // The day the list is late at: today unless the operator types another.
        const QString typed =
            shell_.boxes()
                .input(QStringLiteral("Ritenute scadute alla data (gg/mm/aaaa); vuoto per oggi:"),
                       QStringLiteral("Ritenute scadute"), false)
                .trimmed();
        const std::optional<QDate> at = ledger::readShortDate(typed);
        if (!typed.isEmpty() && !at) {
            shell_.boxes().plain(QStringLiteral("Data non valida"));
            return;
        }
        request.at = at.value_or(QDate::currentDate());
    }
    runner_.run(request);
}

void ReportCommands::runCertificate() {
    const QString title = QStringLiteral("Velarco - Attestazione");
    MessageBoxes& boxes = shell_.boxes();
    ReportRequest request = runner_.requestFor(payee_certificate::kName);
    request.subject = boxes
                          .input(QStringLiteral("Percipienti da certificare (vuoto: tutti; % sta "
                                                "per qualunque testo, es. ROSSI%):"),
                                 title, false)
                          .trimmed();
    if (!boxes.confirm(QStringLiteral("Salvare un PDF per ogni percipiente in una cartella?\n"
                                      "(No: l'anteprima di tutta l'attestazione)"),
                       title)) {
        runner_.run(request);
        return;
    }
    if (!shell_.requireSelection())
        return;
    auto* window = dynamic_cast<QWidget*>(&shell_);
    const QString folder = chooseFolder_ ? chooseFolder_(window) : QString();
    if (folder.isEmpty())
        return;
    const Result<QStringList> written =
        payee_certificate::writeFolder(request.userId, request.year, request.subject, folder);
    if (!written.ok()) {
        if (written.is(ErrorKind::NothingToPrint))
            boxes.notice(catalogue::kNoDataText, catalogue::kNoDataTitle);
        else
            boxes.notice(QStringLiteral("Le attestazioni non sono state scritte: ") +
                             written.error(),
                         blockingTitle());
        return;
    }
    StatusBar::tellFileWritten(window, written.value.constLast());
    boxes.notice(QStringLiteral("Scritte %1 attestazioni e il riepilogo nella cartella\n%2")
                     .arg(written.value.size() - 1)
                     .arg(QDir::toNativeSeparators(folder)),
                 title);
}

void ReportCommands::runDueMonth(const QString& name) {
    const QString title = QStringLiteral("Velarco - Piano F24");
    const QString answer = shell_.boxes().input(
        QStringLiteral("Mese e anno di scadenza del versamento (mm/aaaa)"), title, false);
    if (answer.trimmed().isEmpty())
        return; // Annulla
    const std::optional<QDate> month = parseDueMonth(answer);
    if (!month) {
        shell_.boxes().notice(
            QStringLiteral("Mese non valido: %1\nScrivere mese e anno, per esempio 02/2026.")
                .arg(answer.trimmed()),
            title);
        return;
    }
    ReportRequest request = runner_.requestFor(name);
    request.year = QString::number(month->year());
    request.month = month->month();
    runner_.run(request);
}
