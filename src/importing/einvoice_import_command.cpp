#include "importing/einvoice_import_command.h"

#include "importing/einvoice_import_dialog.h"
#include "importing/einvoice_rows.h"
#include "shell/file_folders.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>

namespace {

const QString kTitle = QStringLiteral("Importa fatture elettroniche");

// Qt's own file dialog, for files and zip archives, with a button that takes the folder
// shown instead.
QStringList chooseInvoices(QWidget* parent) {
    QFileDialog dialog(
        parent, kTitle, file_folders::startFolder(file_folders::Kind::Import),
        QStringLiteral("Fatture elettroniche (*.xml *.p7m *.zip);;Tutti i file (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    auto* folder = new QPushButton(QStringLiteral("Tutta la &cartella"), &dialog);
    folder->setObjectName(QStringLiteral("TuttaLaCartella"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(folder, grid->rowCount(), 0, 1, grid->columnCount());
    bool folderChosen = false;
    QObject::connect(folder, &QPushButton::clicked, &dialog, [&dialog, &folderChosen] {
        folderChosen = true;
        dialog.reject();
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const QStringList chosen = folderChosen ? QStringList(dialog.directory().absolutePath())
                               : accepted   ? dialog.selectedFiles()
                                            : QStringList();
    if (!chosen.isEmpty())
        file_folders::remember(file_folders::Kind::Import, chosen.front());
    return chosen;
}

} // namespace

EinvoiceImportCommand::EinvoiceImportCommand(Shell& shell, QWidget* window)
    : QObject(window), shell_(shell), window_(window), chooser_(chooseInvoices) {
    setObjectName(QStringLiteral("EinvoiceImportCommand"));
    connect(shell_.action("ImportaFatture"), &QAction::triggered, this,
            &EinvoiceImportCommand::run);
}

void EinvoiceImportCommand::run() {
    if (!shell_.requireSelection())
        return;
    const QStringList paths = chooser_ ? chooser_(window_) : QStringList();
    if (paths.isEmpty())
        return;
    const QString userId = shell_.currentUserId();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Result<QList<importing::LedgerUser>> users = importing::ledgerUsers();
    users.value.removeIf(
        [&userId](const importing::LedgerUser& user) { return user.id != userId; });
    importing::InvoiceRows rows;
    Status read = users.status;
    for (const QString& path : paths) {
        if (!read.ok())
            break;
        Result<importing::InvoiceRows> one = importing::readInvoiceRows(path, users.value);
        read = one.status;
        importing::appendRows(rows, std::move(one.value));
    }
    QApplication::restoreOverrideCursor();
    const QString name = paths.size() == 1 ? QFileInfo(paths.front()).fileName()
                                           : QStringLiteral("%1 file").arg(paths.size());
    if (!read.ok()) {
        shell_.boxes().notice(
            QStringLiteral("Le fatture di %1 non si possono leggere: %2.").arg(name, read.error()),
            kTitle);
        return;
    }
    importing::PlanOptions options;
    options.userId = userId;
    options.year = shell_.currentYear();
    options.today = QDate::currentDate();
    options.duplicatesInEveryYear = true;
    EinvoiceImportDialog dialog(name, std::move(rows), std::move(options), shell_.boxes(), window_);
    if (dialog.exec() == QDialog::Accepted && dialog.outcome().subjects > 0)
        shell_.CaricaSoggetti();
}
