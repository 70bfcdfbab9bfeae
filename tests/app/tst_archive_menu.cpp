#include "app/nota.h"
#include "app/remembered_ledger.h"
#include "app/shared_ledger_dialog.h"
#include "shell/scripted_message_boxes.h"
#include "store/archive.h"
#include "store/connection.h"
#include "store/ledger_address.h"
#include "store/ledger_file.h"
#include "store/queries.h"
#include "support/private_mounts.h"
#include "support/test_database.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <sys/mount.h>

namespace {

const QStringList kArchiveItems = {"ApriCondiviso",     "NuovoArchivio", "ApriLocale",
                                   "VerificaArchivio",  "SalvaCopia",    "RipristinaCopia",
                                   "RegistroModifiche", "Informazioni"};
const QString kReadOnly = "L'archivio è aperto in sola lettura";

// Types `address` into the shared-ledger dialog when it shows, and presses "Apri".
void fillSharedLedgerDialog(const store::LedgerAddress& address) {
    QTimer::singleShot(0, [address] {
        auto* dialog = qobject_cast<SharedLedgerDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>("Utente")->setText(address.user);
        dialog->findChild<QLineEdit*>("Server")->setText(address.host);
        dialog->findChild<QSpinBox*>("Porta")->setValue(address.port);
        dialog->findChild<QLineEdit*>("Database")->setText(address.database);
        QTest::mouseClick(dialog->findChild<QPushButton*>("Apri"), Qt::LeftButton);
    });
}

QStringList userNames(Nota& window) {
    QStringList names;
    auto* users = window.findChild<QComboBox*>("cbo1");
    for (int i = 0; i < users->count(); ++i)
        names.append(users->itemText(i));
    return names;
}

void login(Nota& window, const QString& user) {
    auto* users = window.findChild<QComboBox*>("cbo1");
    users->setCurrentIndex(users->findText(user));
    Q_EMIT users->activated(users->currentIndex());
    window.findChild<QPushButton*>("Cmd1")->click();
}

} // namespace

class ArchiveMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void menuFollowsGenerale();
    void enabledInEveryState_data();
    void enabledInEveryState();
    void newLedger_data();
    void newLedger();
    void checkReportsCounts();
    void saveCopy_data();
    void saveCopy();
    void restoreReturnsToSelection_data();
    void restoreReturnsToSelection();
    void informationNamesTheFiles();
    void readOnlyLedger_data();
    void readOnlyLedger();
    void serverLedgerLeavesCopiesToTheServer_data();
    void serverLedgerLeavesCopiesToTheServer();
    void openSharedLedgerAsksThePasswordAndRemembersIt();
    void sharedLedgerThatDoesNotOpen();

private:
    void openWindow();

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Nota> window_;
    QTemporaryDir out_;
};

void ArchiveMenuTest::initTestCase() {
    // The ledger last opened is kept in the settings: this test's own.
    QCoreApplication::setOrganizationName("Velarco");
    QCoreApplication::setApplicationName("Velarco");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, out_.filePath("settings"));
}

void ArchiveMenuTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    TestDatabase::addSubject("ROSSI MARIO", true);
    TestDatabase::addSubject("CLIENTE SRL");
    openWindow();
}

void ArchiveMenuTest::openWindow() {
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    window_ = std::make_unique<Nota>(*boxes_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void ArchiveMenuTest::cleanup() {
    window_.reset();
    boxes_.reset();
    db_.reset();
}

void ArchiveMenuTest::menuFollowsGenerale() {
    QStringList bar;
    for (QAction* top : window_->menuBar()->actions())
        bar.append(top->objectName());
    QCOMPARE(bar.mid(bar.indexOf("Generale")), (QStringList{"Generale", "Archivio", "Aiuto"}));
    QMenu* menu = window_->findChild<QMenu*>("ArchivioMenu");
    QVERIFY(menu);
    QStringList items, captions;
    for (QAction* item : menu->actions()) {
        items.append(item->objectName());
        captions.append(item->text());
    }
    QCOMPARE(items, kArchiveItems);
    QCOMPARE(captions, (QStringList{"Apri archivio condiviso…", "Nuovo archivio…",
                                    "Apri archivio locale…", "Verifica archivio",
                                    "Salva copia dell'archivio…", "Ripristina da una copia…",
                                    "Registro delle modifiche…", "Informazioni"}));
}

void ArchiveMenuTest::newLedger_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("yes");       // the answer to "create it?", when asked
    QTest::addColumn<QString>("opened"); // the file open afterwards; empty: the old ledger
    QTest::newRow("new, .db added") << "NuovoArchivio"
                                    << "ufficio" << false << "ufficio.db";
    QTest::newRow("new over an existing file") << "NuovoArchivio"
                                               << "esiste.db" << false << "";
    QTest::newRow("open a name not taken, create") << "ApriLocale"
                                                   << "altro.db" << true << "altro.db";
    QTest::newRow("open a name not taken, no") << "ApriLocale"
                                               << "altro.db" << false << "";
}

void ArchiveMenuTest::newLedger() {
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(bool, yes);
    QFETCH(QString, opened);
    if (TestDatabase::onServer())
        QSKIP("a ledger file on this computer");
    QTemporaryDir folder;
    QFile existing(folder.filePath("esiste.db"));
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("x") == 1);
    existing.close();
    boxes_->type(folder.filePath(typed));
    if (yes)
        boxes_->answerYes();
    window_->action(command.toLatin1().constData())->trigger();
    if (opened.isEmpty()) {
        QCOMPARE(store::databasePath(), db_->path());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"esiste.db"});
        QCOMPARE(existing.size(), 1);
        return;
    }
    const QString path = folder.filePath(opened);
    QCOMPARE(store::databasePath(), path);
    QCOMPARE(int(QFile::permissions(path) & 0x7777),
             int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));
    QVERIFY2(boxes_->last().text.startsWith("Creato il nuovo archivio vuoto\n" + path),
             qPrintable(boxes_->last().text));
    QCOMPARE(remembered_ledger::last(), path);
    // An empty ledger: the selection without users, every table there.
    QVERIFY(userNames(*window_).isEmpty());
    QVERIFY(window_->panel("Frame2")->isVisible());
    QVERIFY(store::checkOpenLedger().whole());
}

void ArchiveMenuTest::enabledInEveryState_data() {
    QTest::addColumn<QString>("state");
    QTest::newRow("selection") << "";
    QTest::newRow("logged in") << "Accedi";
    QTest::newRow("entry panel") << "Rinserisci";
    QTest::newRow("subject panel") << "Inserisci";
    QTest::newRow("lookup tables") << "Servizi";
    QTest::newRow("after user change") << "CambioUtente";
}

void ArchiveMenuTest::enabledInEveryState() {
    QFETCH(QString, state);
    if (!state.isEmpty())
        login(*window_, "ROSSI MARIO");
    if (!state.isEmpty() && state != "Accedi")
        window_->action(state.toLatin1().constData())->trigger();
    for (const QString& name : QStringList{"Archivio"} + kArchiveItems)
        QVERIFY2(window_->action(name.toLatin1().constData())->isEnabled(), qPrintable(name));
}

void ArchiveMenuTest::checkReportsCounts() {
    if (TestDatabase::onServer())
        QSKIP("a command on a ledger file");
    window_->action("VerificaArchivio")->trigger();
    QCOMPARE(boxes_->shown().size(), 1);
    QVERIFY2(boxes_->last().text.startsWith("L'archivio è integro."),
             qPrintable(boxes_->last().text));
    QVERIFY(boxes_->last().text.contains("Soggetti: 2"));
    QVERIFY(boxes_->last().text.contains("Ritenute: 0"));
}

void ArchiveMenuTest::saveCopy_data() {
    QTest::addColumn<QString>("chosen"); // empty: "Annulla"
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("says");
    QTest::newRow("a new file") << "copia.db" << true << "Copia salvata e verificata";
    QTest::newRow("cancelled") << "" << false << "";
    QTest::newRow("a missing folder")
        << "manca/copia.db" << false << "La copia non è stata salvata";
}

void ArchiveMenuTest::saveCopy() {
    if (TestDatabase::onServer())
        QSKIP("a command on a ledger file");
    QFETCH(QString, chosen);
    QFETCH(bool, written);
    QFETCH(QString, says);
    const QString target = chosen.isEmpty() ? QString() : out_.filePath(chosen);
    if (!target.isEmpty())
        boxes_->type(target);
    window_->action("SalvaCopia")->trigger();
    QCOMPARE(QFile::exists(target), written);
    QCOMPARE(boxes_->shown().first().title, QString("Salva copia dell'archivio"));
    if (says.isEmpty()) {
        QCOMPARE(boxes_->shown().size(), 1);
        return;
    }
    QVERIFY2(boxes_->last().text.startsWith(says), qPrintable(boxes_->last().text));
    if (written) {
        const Result<store::LedgerCheck> check = store::checkFile(target);
        QVERIFY(check.ok() && check.value.whole());
        QCOMPARE(check.value.counts.first().rows, qint64(2));
        QFile::remove(target);
    }
}

void ArchiveMenuTest::restoreReturnsToSelection_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("confirmed") << true;
    QTest::newRow("answered no") << false;
}

void ArchiveMenuTest::restoreReturnsToSelection() {
    if (TestDatabase::onServer())
        QSKIP("a command on a ledger file");
    QFETCH(bool, confirmed);
    const QString copy = out_.filePath("prima.db");
    boxes_->type(copy);
    window_->action("SalvaCopia")->trigger();
    QVERIFY(QFile::exists(copy));
    TestDatabase::addSubject("NUOVO SRL");
    window_->CaricaUtenti();
    login(*window_, "ROSSI MARIO");
    window_->action("Rinserisci")->trigger();
    QVERIFY(window_->panel("Frame4")->isVisible());
    boxes_->clear();

    boxes_->type(copy);
    boxes_->answer(confirmed ? BoxAnswer::Yes : BoxAnswer::No);
    window_->action("RipristinaCopia")->trigger();

    QCOMPARE(window_->panel("Frame4")->isVisible(), !confirmed);
    QCOMPARE(window_->panel("Frame2")->isVisible(), confirmed);
    QCOMPARE(store::subjectNames().value.contains("NUOVO SRL"), !confirmed);
    if (!confirmed) {
        QCOMPARE(boxes_->shown().size(), 2);
        return;
    }
    QVERIFY2(boxes_->last().text.startsWith("Archivio ripristinato dalla copia"),
             qPrintable(boxes_->last().text));
    // The restored ledger's record says so, once.
    QCOMPARE(TestDatabase::changesRecorded("ripristino", QString()), qint64(1));
    QCOMPARE(window_->currentUserName(), QString());
    QVERIFY(!window_->action("Ritenute")->isEnabled());
    // The replaced ledger is kept beside it, with the row the copy lacks.
    const QStringList kept = QDir(QFileInfo(db_->path()).absolutePath())
                                 .entryList({"Database-prima-del-ripristino-*.db"});
    QCOMPARE(kept.size(), 1);
    // The window works on the restored ledger.
    login(*window_, "ROSSI MARIO");
    QVERIFY(window_->action("Ritenute")->isEnabled());
}

void ArchiveMenuTest::informationNamesTheFiles() {
    if (TestDatabase::onServer())
        QSKIP("a command on a ledger file");
    window_->action("Informazioni")->trigger();
    const QString text = boxes_->last().text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(QFileInfo(db_->path()).absoluteFilePath())),
             qPrintable(text));
    QVERIFY2(text.contains("Motore: SQLite 3."), qPrintable(text));
    QVERIFY2(text.contains("Database - copie"), qPrintable(text));
    QVERIFY(!text.contains("sola lettura"));
}

void ArchiveMenuTest::readOnlyLedger_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("refused");
    for (const char* command : {"Inserisci", "Modifica", "Elimina", "Rinserisci", "Rmodifica",
                                "RElimina", "Servizi", "EliminaR", "RipristinaCopia"})
        QTest::newRow(command) << command << true;
    QTest::newRow("Verifica archivio") << "VerificaArchivio" << false;
    QTest::newRow("Informazioni") << "Informazioni" << false;
}

void ArchiveMenuTest::readOnlyLedger() {
    QFETCH(QString, command);
    QFETCH(bool, refused);
    if (TestDatabase::onServer())
        QSKIP("a ledger file on a read-only medium");
    if (!private_mounts::refusal().isEmpty())
        QSKIP(qPrintable("a read-only medium needs a private mount: " + private_mounts::refusal()));
    QTemporaryDir medium;
    QString error;
    QVERIFY2(private_mounts::mountSmall(medium.path(), 1024, &error), qPrintable(error));
    window_.reset();
    store::closeDatabase();
    const QString path = medium.filePath("Database.db");
    QVERIFY(QFile::copy(db_->path(), path));
    QVERIFY2(private_mounts::makeReadOnly(medium.path(), &error), qPrintable(error));
    const Status opened = store::openDatabase(path);
    QVERIFY2(opened.ok(), qPrintable(opened.error()));
    QVERIFY(store::isReadOnly());
    openWindow();
    login(*window_, "ROSSI MARIO");

    window_->action(command.toLatin1().constData())->trigger();
    const bool saidReadOnly =
        !boxes_->shown().isEmpty() && boxes_->shown().first().text.startsWith(kReadOnly);
    QCOMPARE(saidReadOnly, refused);
    if (refused) {
        // Told at once: no panel opened, nothing asked.
        QCOMPARE(boxes_->shown().size(), 1);
        for (const char* panel : {"Frame1", "Frame4", "Frame6"})
            QVERIFY2(!window_->panel(panel)->isVisible(), panel);
    }
    // Reading works: the grids, the lists and the check.
    QCOMPARE(store::subjectNames().value.size(), 2);
    QVERIFY(store::checkOpenLedger().whole());
    window_.reset();
    store::closeDatabase();
    umount2(QFile::encodeName(medium.path()).constData(), MNT_DETACH);
}

VELARCO_TEST_MAIN_WITH_MOUNTS(ArchiveMenuTest, QApplication)
#include "tst_archive_menu.moc"

void ArchiveMenuTest::serverLedgerLeavesCopiesToTheServer_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("tool");
    QTest::newRow("check") << "VerificaArchivio"
                           << "pg_amcheck";
    QTest::newRow("copy") << "SalvaCopia"
                          << "pg_dump";
    QTest::newRow("restore") << "RipristinaCopia"
                             << "pg_restore";
}

// On a server ledger the file commands choose no file and change nothing: they say which
// of the server's tools does the job and how to take the ledger to a local file.
void ArchiveMenuTest::serverLedgerLeavesCopiesToTheServer() {
    QFETCH(QString, command);
    QFETCH(QString, tool);
    if (!TestDatabase::onServer())
        QSKIP("a ledger on a server");
    window_->action(command.toLatin1().constData())->trigger();
    QCOMPARE(boxes_->shown().size(), 1);
    QVERIFY(!boxes_->last().input);
    const QString text = boxes_->last().text;
    QVERIFY2(text.contains(tool), qPrintable(text));
    QVERIFY2(text.contains("velarco --copy-database " + db_->path() + " FILE.db"),
             qPrintable(text));
    QCOMPARE(store::subjectNames().value.size(), 2);
    QVERIFY(!window_->panel("Frame4")->isVisible());

    boxes_->clear();
    window_->action("Informazioni")->trigger();
    const QString information = boxes_->last().text;
    QVERIFY2(information.contains("Archivio: " + db_->path()), qPrintable(information));
    QVERIFY2(information.contains("Motore: PostgreSQL 1"), qPrintable(information));
    QVERIFY2(information.contains("compito del server"), qPrintable(information));
}

// From a ledger on this computer to the office's server ledger: the address typed in the
// dialog, the password asked in a masked box (no PGPASSWORD, no ~/.pgpass), the window on
// the server's users, and the address, without the password, kept for the next start.
void ArchiveMenuTest::openSharedLedgerAsksThePasswordAndRemembersIt() {
    if (!TestDatabase::onServer())
        QSKIP("a ledger on a server");
    const QString local = out_.filePath("locale.db");
    boxes_->type(local);
    boxes_->answerYes(); // a new ledger: the name is not taken
    window_->action("ApriLocale")->trigger();
    QCOMPARE(store::databasePath(), local);
    QVERIFY2(boxes_->last().text.startsWith("Creato il nuovo archivio vuoto"),
             qPrintable(boxes_->last().text));
    QCOMPARE(remembered_ledger::last(), local);
    QVERIFY(!userNames(*window_).contains("ROSSI MARIO"));

    const QByteArray password = qgetenv("PGPASSWORD");
    QVERIFY(!password.isEmpty());
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", out_.filePath("nessun-pgpass").toUtf8());
    boxes_->clear();
    boxes_->type(QString::fromUtf8(password));
    fillSharedLedgerDialog(store::parseLedgerAddress(db_->path()));
    window_->action("ApriCondiviso")->trigger();
    qputenv("PGPASSWORD", password);
    qunsetenv("PGPASSFILE");

    QCOMPARE(boxes_->shown().size(), 2);
    QVERIFY(boxes_->shown().first().input && boxes_->shown().first().masked);
    QVERIFY2(boxes_->shown().first().text.contains("Il server chiede la password"),
             qPrintable(boxes_->shown().first().text));
    QVERIFY2(boxes_->last().text.contains(db_->path()), qPrintable(boxes_->last().text));
    QCOMPARE(store::databasePath(), db_->path());
    QVERIFY(userNames(*window_).contains("ROSSI MARIO"));
    login(*window_, "ROSSI MARIO");
    QVERIFY(window_->action("Ritenute")->isEnabled());

    QCOMPARE(remembered_ledger::last(), db_->path());
    QSettings settings;
    settings.sync();
    QFile stored(settings.fileName());
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QVERIFY(!stored.readAll().contains(password));
}

// A server ledger that does not open leaves the open ledger open and unremembered.
void ArchiveMenuTest::sharedLedgerThatDoesNotOpen() {
    if (!TestDatabase::onServer())
        QSKIP("a ledger on a server");
    remembered_ledger::remember(QString());
    store::LedgerAddress missing = store::parseLedgerAddress(db_->path());
    missing.database = "velarco_manca";
    fillSharedLedgerDialog(missing);
    window_->action("ApriCondiviso")->trigger();

    QCOMPARE(boxes_->shown().size(), 1);
    QCOMPARE(boxes_->last().title, QString("ERRORE -- BLOCCANTE  "));
    QVERIFY2(boxes_->last().text.contains("velarco_manca"), qPrintable(boxes_->last().text));
    QVERIFY2(boxes_->last().text.contains("Resta aperto l'archivio\n" + db_->path()),
             qPrintable(boxes_->last().text));
    QCOMPARE(store::databasePath(), db_->path());
    QVERIFY(userNames(*window_).contains("ROSSI MARIO"));
    QCOMPARE(remembered_ledger::last(), QString());
}
