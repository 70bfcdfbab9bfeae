#include "app/archive_menu.h"

#include "app/change_register_dialog.h"
#include "app/password_prompt.h"
#include "app/remembered_ledger.h"
#include "app/shared_ledger_dialog.h"
#include "shell/file_folders.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "store/archive.h"
#include "store/connection.h"
#include "store/copies.h"
#include "store/dialect.h"
#include "store/server_jobs.h"
#include "widgets/status_bar.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QStandardPaths>

namespace {

const QString kTitle = QStringLiteral("Velarco - ARCHIVIO");

QString countsText(const store::LedgerCheck& check) {
    QStringList lines;
    for (const store::TableCount& count : check.counts)
        lines.append(QStringLiteral("%1: %2").arg(count.table).arg(count.rows));
    return lines.join(QLatin1Char('\n'));
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Copying or checking a large ledger takes a moment.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

bool ArchiveMenu::leftToTheServer(store::ServerJob job) {
    if (store::currentEngine() != store::Engine::PostgreSQL)
        return false;
    shell_.boxes().notice(store::serverJobText(job, store::databasePath()), kTitle);
    return true;
}

ArchiveMenu::ArchiveMenu(Shell& shell, QObject* parent) : QObject(parent), shell_(shell) {
    store::setPasswordPrompt(passwordPrompt(shell_.boxes()));
    connect(shell_.action("ApriCondiviso"), &QAction::triggered, this, &ArchiveMenu::ApriCondiviso);
    connect(shell_.action("NuovoArchivio"), &QAction::triggered, this, &ArchiveMenu::NuovoArchivio);
    connect(shell_.action("ApriLocale"), &QAction::triggered, this, &ArchiveMenu::ApriLocale);
    connect(shell_.action("VerificaArchivio"), &QAction::triggered, this,
            &ArchiveMenu::VerificaArchivio);
    connect(shell_.action("SalvaCopia"), &QAction::triggered, this, &ArchiveMenu::SalvaCopia);
    connect(shell_.action("RipristinaCopia"), &QAction::triggered, this,
            &ArchiveMenu::RipristinaCopia);
    connect(shell_.action("Informazioni"), &QAction::triggered, this, &ArchiveMenu::Informazioni);
    connect(shell_.action("RegistroModifiche"), &QAction::triggered, this,
            &ArchiveMenu::RegistroModifiche);
}

ArchiveMenu::~ArchiveMenu() {
    store::setPasswordPrompt({});
}

void ArchiveMenu::ApriCondiviso() {
    store::LedgerAddress proposed = store::parseLedgerAddress(remembered_ledger::last());
    if (!proposed.server) {
        proposed = {};
        proposed.server = true;
    }
    const QString address = SharedLedgerDialog::ask(shell_.panel("Frame2")->window(), proposed);
    if (!address.isEmpty())
        switchTo(address);
}

void ArchiveMenu::NuovoArchivio() {
    QString file = shell_.boxes().chooseFile(
        QStringLiteral("Nuovo archivio"),
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("velarco.db")),
        FileUse::Save);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".db");
    if (QFileInfo::exists(file)) {
        shell_.boxes().notice(QStringLiteral("Il file\n%1\nesiste già: un nuovo archivio va creato "
                                             "con un nome libero. Per aprirlo usare \"Apri "
                                             "archivio locale…\".")
                                  .arg(shown(file)),
                              blockingTitle());
        return;
    }
    createLedger(file);
}

void ArchiveMenu::ApriLocale() {
    const QString current = store::databasePath();
    const QString file = shell_.boxes().chooseFile(
        QStringLiteral("Apri archivio locale"),
        store::isServerAddress(current) ? QString() : QFileInfo(current).absolutePath(),
        FileUse::OpenOrNew);
    if (file.isEmpty())
        return;
    if (QFileInfo::exists(file)) {
        switchTo(file);
        return;
    }
    if (shell_.boxes().confirm(
            QStringLiteral("L'archivio\n%1\nnon esiste. Creare un nuovo archivio vuoto con "
                           "questo nome?")
                .arg(shown(file)),
            kTitle))
        createLedger(file);
}

void ArchiveMenu::createLedger(const QString& file) {
    // Opening a name not yet taken makes an empty ledger, readable by its owner only.
    switchTo(file, QStringLiteral("Creato il nuovo archivio vuoto"));
}

void ArchiveMenu::switchTo(const QString& ledger, const QString& opened) {
    const QString previous = store::databasePath();
    Status status = Status::success();
    Status back = Status::success();
    {
        const BusyCursor busy;
        Q_EMIT ledgerClosing();
        status = store::openDatabase(ledger);
        if (!status.ok() && !previous.isEmpty())
            back = store::openDatabase(previous);
    }
    Q_EMIT ledgerReopened();
    if (!status.ok()) {
        QString text = QStringLiteral("L'archivio non è stato aperto.\n") + status.error();
        text += back.ok() ? QStringLiteral("\n\nResta aperto l'archivio\n%1").arg(shown(previous))
                          : QStringLiteral("\n\nNemmeno l'archivio precedente si riapre: ") +
                                back.error();
        shell_.boxes().notice(text, blockingTitle());
        return;
    }
    remembered_ledger::remember(ledger);
    shell_.boxes().notice(QStringLiteral("%1\n%2\n\nSarà riaperto al prossimo avvio.")
                              .arg(opened, shown(store::databasePath())),
                          kTitle);
}

QString ArchiveMenu::readOnlyText() {
    return store::writesRefused().error();
}

void ArchiveMenu::VerificaArchivio() {
    if (leftToTheServer(store::ServerJob::Check))
        return;
    store::LedgerCheck check;
    {
        const BusyCursor busy;
        check = store::checkOpenLedger();
    }
    if (check.whole()) {
        shell_.boxes().notice(QStringLiteral("L'archivio è integro.\n\n") + countsText(check),
                              kTitle);
        return;
    }
    shell_.boxes().notice(
        QStringLiteral("L'archivio è danneggiato. Ripristinarlo da una copia (menu Archivio, "
                       "\"Ripristina da una copia…\").\n\nProblemi trovati:\n") +
            check.problems.mid(0, 10).join(QLatin1Char('\n')),
        blockingTitle());
}

void ArchiveMenu::SalvaCopia() {
    if (leftToTheServer(store::ServerJob::Copy))
        return;
    const QFileInfo ledger(store::databasePath());
    const QString proposed = file_folders::startPath(
        file_folders::Kind::LedgerCopy,
        ledger.completeBaseName() + QStringLiteral("-copia-") +
            QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".db"));
    const QString target = shell_.boxes().chooseFile(QStringLiteral("Salva copia dell'archivio"),
                                                     proposed, FileUse::Save);
    if (target.isEmpty())
        return;
    file_folders::remember(file_folders::Kind::LedgerCopy, target);
    Result<store::LedgerCheck> copy;
    {
        const BusyCursor busy;
        copy = store::saveCopy(target);
    }
    if (!copy.ok()) {
        shell_.boxes().notice(QStringLiteral("La copia non è stata salvata.\n") + copy.error(),
                              blockingTitle());
        return;
    }
    StatusBar::tellFileWritten(shell_.panel("Frame2"), target);
    shell_.boxes().notice(QStringLiteral("Copia salvata e verificata:\n%1\n\n%2")
                              .arg(shown(target), countsText(copy.value)),
                          kTitle);
}

void ArchiveMenu::RipristinaCopia() {
    if (leftToTheServer(store::ServerJob::Restore))
        return;
    MessageBoxes& boxes = shell_.boxes();
    if (store::isReadOnly()) {
        boxes.notice(readOnlyText(), blockingTitle());
        return;
    }
    const QString copy =
        boxes.chooseFile(QStringLiteral("Ripristina da una copia"),
                         QFileInfo(store::databasePath()).absolutePath(), FileUse::Open);
    if (copy.isEmpty())
        return;
    if (!boxes.confirm(QStringLiteral("L'archivio sarà sostituito dalla copia\n%1\n\nL'archivio "
                                      "attuale sarà conservato come copia datata nella sua "
                                      "cartella. Tutti i pannelli saranno chiusi. Continuare?")
                           .arg(shown(copy)),
                       kTitle))
        return;
    bool closed = false;
    Result<QString> kept;
    {
        const BusyCursor busy;
        kept = store::restoreFrom(copy, [this, &closed] {
            closed = true;
            Q_EMIT ledgerClosing();
        });
    }
    if (closed)
        Q_EMIT ledgerReopened();
    if (!kept.ok()) {
        boxes.notice(QStringLiteral("Il ripristino non è avvenuto.\n") + kept.error(),
                     blockingTitle());
        return;
    }
    boxes.notice(QStringLiteral("Archivio ripristinato dalla copia\n%1\n\nL'archivio precedente è "
                                "conservato in\n%2")
                     .arg(shown(copy), shown(kept.value)),
                 kTitle);
}

void ArchiveMenu::Informazioni() {
    const QString path = store::databasePath();
    const QString copies = store::currentEngine() == store::Engine::PostgreSQL
                               ? QStringLiteral("nessuna, le copie sono compito del server")
                               : shown(store::automaticCopiesFolder(path));
    QString text = QStringLiteral("Velarco %1\n\nArchivio: %2\nMotore: %3\nCopie automatiche: %4")
                       .arg(QCoreApplication::applicationVersion(), shown(path),
                            store::engineDescription(), copies);
    if (store::isReadOnly())
        text += QStringLiteral("\n\nL'archivio è aperto in sola lettura.");
    shell_.boxes().notice(text, kTitle);
}

void ArchiveMenu::RegistroModifiche() {
    ChangeRegisterDialog dialog(shell_.boxes(), shell_.panel("Frame2")->window());
    dialog.exec();
}
