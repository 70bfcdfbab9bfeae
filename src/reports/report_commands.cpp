#include "reports/report_commands.h"

#include "ledger/withholding_rules.h"
#include "reports/f24_plan.h"
#include "reports/payee_certificate_files.h"
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
    for (const ReportDescription& report : reportDescriptions()) {
        QAction* item = isSearch(report) ? nullptr : shell_.action(menuItemOf(report).constData());
        if (item)
            connect(item, &QAction::triggered, this, [this, &report] { run(report); });
    }
}

void ReportCommands::run(const ReportDescription& report) {
    ReportRequest request = runner_.requestFor(report.name);
    if (!ask(report, request))
        return;
    if (report.folder && writeFolder(report, request))
        return;
    runner_.run(request);
}

bool ReportCommands::ask(const ReportDescription& report, ReportRequest& request) {
    if (report.question.isEmpty())
        return true;
    MessageBoxes& boxes = shell_.boxes();
    const QString typed = boxes.input(report.question, report.askTitle, false).trimmed();
    // Annulla, or an input left empty: all the payees, late at today.
    if (typed.isEmpty())
        return !report.inputRequired;
    if (report.kind == ReportKind::Late) {
        const std::optional<QDate> at = ledger::readShortDate(typed);
        if (!at)
            boxes.plain(QStringLiteral("Data non valida"));
        request.at = at.value_or(QDate());
        return at.has_value();
    }
    switch (report.input) {
    case ReportInput::Month: {
        const std::optional<QDate> month = parseDueMonth(typed);
        if (!month) {
            boxes.notice(
                QStringLiteral("Mese non valido: %1\nScrivere mese e anno, per esempio 02/2026.")
                    .arg(typed),
                report.askTitle);
            return false;
        }
        request.year = QString::number(month->year());
        request.month = month->month();
        break;
    }
    case ReportInput::Period:
        request.period = typed;
        break;
    case ReportInput::Subject:
        request.subject = typed;
        break;
    case ReportInput::None:
        break;
    }
    return true;
}

bool ReportCommands::writeFolder(const ReportDescription& report, const ReportRequest& request) {
    MessageBoxes& boxes = shell_.boxes();
    if (!boxes.confirm(QStringLiteral("Salvare un PDF per ogni percipiente in una cartella?\n"
                                      "(No: l'anteprima di tutta l'attestazione)"),
                       report.askTitle))
        return false;
    if (!shell_.requireSelection())
        return true;
    auto* window = dynamic_cast<QWidget*>(&shell_);
    const QString folder = chooseFolder_ ? chooseFolder_(window) : QString();
    if (folder.isEmpty())
        return true;
    const Result<QStringList> written =
        payee_certificate::writeFolder(request.userId, request.year, request.subject, folder);
    if (!written.ok()) {
        if (written.is(ErrorKind::NothingToPrint))
            boxes.notice(catalogue::kNoDataText, catalogue::kNoDataTitle);
        else
            boxes.notice(QStringLiteral("Le attestazioni non sono state scritte: ") +
                             written.error(),
                         blockingTitle());
        return true;
    }
    StatusBar::tellFileWritten(window, written.value.constLast());
    boxes.notice(QStringLiteral("Scritte %1 attestazioni e il riepilogo nella cartella\n%2")
                     .arg(written.value.size() - 1)
                     .arg(QDir::toNativeSeparators(folder)),
                 report.askTitle);
    return true;
}
