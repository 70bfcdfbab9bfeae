#include "app/help_menu.h"

#include "shell/message_boxes.h"
#include "shell/shell.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kIndex = QStringLiteral("index.html");

} // namespace

HelpMenu::HelpMenu(Shell& shell, QWidget* window)
    : QObject(window), shell_(shell), window_(window) {
    QAction* guide = shell_.action("Guida");
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    guide->setShortcutContext(Qt::ApplicationShortcut);
    connect(guide, &QAction::triggered, this, &HelpMenu::Guida);
    connect(shell_.action("InformazioniVelarco"), &QAction::triggered, this,
            &HelpMenu::InformazioniVelarco);
}

QString HelpMenu::guideFolder() {
    const QString candidates[] = {
        QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("../share/velarco/guida")),
        QStringLiteral(VELARCO_GUIDE_DIR),
        QStringLiteral(VELARCO_SOURCE_GUIDE_DIR),
    };
    for (const QString& folder : candidates) {
        if (QFileInfo::exists(QDir(folder).filePath(kIndex)))
            return QDir::cleanPath(folder);
    }
    return {};
}

void HelpMenu::Guida() {
    const QString folder = guideFolder();
    if (folder.isEmpty()) {
        shell_.boxes().notice(QStringLiteral("La guida non è installata: reinstallare Velarco."),
                              blockingTitle());
        return;
    }
    // One window, raised again by F1 while it is open.
    if (auto* open = window_->findChild<QDialog*>(QStringLiteral("GuidaDialog"))) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new QDialog(window_);
    dialog->setObjectName(QStringLiteral("GuidaDialog"));
    dialog->setWindowTitle(QStringLiteral("Guida di Velarco"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser(dialog);
    text->setObjectName(QStringLiteral("GuidaTesto"));
    text->setSource(QUrl::fromLocalFile(QDir(folder).filePath(kIndex)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Chiudi"));
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog->resize(640, 560);
    dialog->show();
    text->setFocus(Qt::OtherFocusReason);
}

void HelpMenu::InformazioniVelarco() {
    const QString folder = guideFolder();
    shell_.boxes().notice(
        QStringLiteral("Velarco %1\nRegistro delle ritenute d'acconto e dei loro versamenti.\n\n"
                       "Software libero sotto la GNU General Public License, versione 3 o "
                       "successiva (GPL-3.0-or-later), senza alcuna garanzia.\n"
                       "Guida: %2")
            .arg(QCoreApplication::applicationVersion(), folder.isEmpty()
                                                             ? QStringLiteral("non installata")
                                                             : QDir::toNativeSeparators(folder)),
        QStringLiteral("Informazioni su Velarco"));
}
