#include "importing/sheet_import_command.h"

#include "importing/sheet_import_dialog.h"
#include "shell/file_folders.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "spreadsheets/spreadsheet_file.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const QString kTitle = QStringLiteral("Importa registrazioni");

QString chooseSpreadsheet(QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(
        parent, kTitle, file_folders::startFolder(file_folders::Kind::Import),
        QStringLiteral("Fogli di calcolo (*.xlsx *.csv *.txt);;Tutti i file (*)"));
    file_folders::remember(file_folders::Kind::Import, path);
    return path;
}

} // namespace

SheetImportCommand::SheetImportCommand(Shell& shell, QWidget* window)
    : QObject(window), shell_(shell), window_(window), chooser_(chooseSpreadsheet) {
    setObjectName(QStringLiteral("SheetImportCommand"));
    connect(shell_.action("ImportaRegistrazioni"), &QAction::triggered, this,
            &SheetImportCommand::run);
}

void SheetImportCommand::run() {
    if (!shell_.requireSelection())
        return;
    const QString path = chooser_ ? chooser_(window_) : QString();
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sheet::Table table = sheet::readSpreadsheet(path);
    QApplication::restoreOverrideCursor();
    if (!table.error.isEmpty()) {
        shell_.boxes().notice(
            QStringLiteral("Il file %1 non si può leggere: %2.").arg(name, table.error), kTitle);
        return;
    }
    importing::SheetLayout layout = importing::layoutOf(table);
    if (layout.headerRow < 0) {
        shell_.boxes().notice(
            QStringLiteral("Nel file %1 non c'è una riga con i nomi delle colonne "
                           "(Denominazione, FT, Data, Imponibile, ...): nulla da importare.")
                .arg(name),
            kTitle);
        return;
    }
    importing::PlanOptions options;
    options.userId = shell_.currentUserId();
    options.year = shell_.currentYear();
    options.today = QDate::currentDate();
    SheetImportDialog dialog(name, std::move(table), std::move(layout), std::move(options),
                             shell_.boxes(), window_);
    if (dialog.exec() == QDialog::Accepted && dialog.outcome().subjects > 0)
        shell_.CaricaSoggetti();
}
