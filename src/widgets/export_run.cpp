#include "widgets/export_run.h"

#include "shell/file_folders.h"
#include "shell/message_boxes.h"
#include "widgets/status_bar.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>

namespace table_export {
namespace {

// Work shorter than this shows no progress dialog.
constexpr int kProgressDelayMs = 400;
constexpr int kProgressSteps = 1000;

QString formatName(FileFormat format) {
    return format == FileFormat::Xlsx ? QStringLiteral("Excel") : QStringLiteral("CSV");
}

} // namespace

QString exportCaption(FileFormat format) {
    return QStringLiteral("Esporta %1...").arg(formatName(format));
}

QString chooseExportPath(QWidget* parent, FileFormat format, const QString& title) {
    QString name = title.simplified();
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    name.remove(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")));
    if (name.isEmpty())
        name = QStringLiteral("elenco");
    const QString suffix = suffixOf(format);
    const QString filter = format == FileFormat::Xlsx
                               ? QStringLiteral("Cartelle di lavoro Excel (*.xlsx)")
                               : QStringLiteral("Testo CSV (*.csv)");
    const file_folders::Kind kind =
        format == FileFormat::Xlsx ? file_folders::Kind::Excel : file_folders::Kind::Csv;
    QString path =
        QFileDialog::getSaveFileName(parent, exportCaption(format).chopped(3),
                                     file_folders::startPath(kind, name + u'.' + suffix), filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += u'.' + suffix;
    file_folders::remember(kind, path);
    return path;
}

bool exportWithProgress(QWidget* parent, MessageBoxes& boxes, FileFormat format,
                        const QString& path, const TableShape& shape, RowSource& rows) {
    QProgressDialog dialog(QStringLiteral("Esportazione %1 in corso...").arg(formatName(format)),
                           QStringLiteral("Annulla"), 0, kProgressSteps, parent);
    dialog.setWindowTitle(applicationTitle());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(kProgressDelayMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    const ExportResult result =
        exportTable(format, path, shape, rows, [&dialog](qint64 done, qint64 total) {
            dialog.setValue(total > 0 ? int(std::min(done, total) * kProgressSteps / total) : 0);
            return !dialog.wasCanceled();
        });
    dialog.close();
    if (result.cancelled)
        return false;
    if (!result.ok()) {
        boxes.notice(
            QStringLiteral("Esportazione %1 non riuscita: il file %2 non è stato scritto.\n"
                           "Motivo: %3")
                .arg(formatName(format), QFileInfo(path).fileName(), result.status.error()),
            QStringLiteral("Velarco - ERRORE"));
        return false;
    }
    StatusBar::tellFileWritten(parent, path);
    return true;
}

} // namespace table_export
