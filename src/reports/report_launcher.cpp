#include "reports/report_launcher.h"

#include "printing/report_preview.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"

#include <QWidget>
#include <exception>

ReportLauncher::ReportLauncher(Shell& shell, QWidget* dialogParent)
    : shell_(shell), preview_([dialogParent](const PreparedReport& report) {
          return previewOnScreen(report, dialogParent);
      }) {}

ReportRequest ReportLauncher::requestFor(const QString& name) const {
    ReportRequest request;
    request.name = name;
    request.userId = shell_.currentUserId();
    request.userName = shell_.currentUserName();
    request.year = shell_.currentYear();
    return request;
}

void ReportLauncher::setPreview(Preview preview) {
    preview_ = std::move(preview);
}

bool ReportLauncher::run(const ReportRequest& request) {
    if (isUserReport(request.name) && !shell_.requireSelection())
        return false;
    // The prepared report holds the keys of its rows; no read is left open while a box
    // or the preview is shown, and the preview reads the rows of the page it shows.
    const Result<PreparedReport> prepared = prepareReport(request);
    if (!prepared.ok()) {
        shell_.boxes().notice(
            QStringLiteral("La stampa non può essere preparata.\nErrore del database: ") +
                prepared.error(),
            blockingTitle());
        return false;
    }
    if (prepared.value.outcome != ReportOutcome::Ready) {
        shell_.boxes().notice(prepared.value.messageText, prepared.value.messageTitle);
        return false;
    }
    const Status shown = preview_(prepared.value);
    if (!shown.ok()) {
        shell_.boxes().notice(
            QStringLiteral("L'anteprima della stampa non può essere mostrata.\nMotivo: ") +
                shown.error(),
            blockingTitle());
        return false;
    }
    return true;
}

Status ReportLauncher::previewOnScreen(const PreparedReport& report, QWidget* parent) {
    if (report.layout.name.isEmpty())
        return Status::failure(QStringLiteral("la stampa non ha un modello di pagina"));
    // A preview that cannot be built must end in a message, not in a window that
    // silently never opens.
    try {
        report::ReportPreview::run(report.layout, report.rows, report.table,
                                   parent ? parent->window() : nullptr);
    } catch (const std::exception& e) {
        return Status::failure(QString::fromLocal8Bit(e.what()));
    }
    return Status::success();
}
