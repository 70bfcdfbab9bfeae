#include "app/help_menu.h"
#include "app/nota.h"
#include "app/window_placement.h"
#include "shell/scripted_message_boxes.h"
#include "store/connection.h"
#include "support/test_database.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <memory>

namespace {

const QStringList kMenus = {"Esci",     "CambioUtente", "Anagrafica",
                            "Ritenute", "Servizi",      "Funzioni"};
const QStringList kPanels = {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6"};

// Enabled menus and visible panels as one line, "1" on and "0" off, in table order.
QString stateOf(const Nota& window) {
    QString state;
    for (const QString& menu : kMenus)
        state += window.action(menu.toLatin1().constData())->isEnabled() ? '1' : '0';
    state += ' ';
    for (const QString& panel : kPanels)
        state += window.panel(panel.toLatin1().constData())->isVisible() ? '1' : '0';
    return state;
}

template <typename T> T* child(const Nota& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("missing widget %s", name);
    return widget;
}

QString caption(const Nota& window, const char* label) {
    return child<QLabel>(window, label)->text();
}

void chooseUser(Nota& window, const QString& name) {
    auto* combo = child<QComboBox>(window, "cbo1");
    const int index = combo->findText(name);
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(name);
    Q_EMIT combo->activated(index);
}

} // namespace

class NotaTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void menuCaptions();
    void stateTable_data();
    void stateTable();
    void accessRefusals_data();
    void accessRefusals();
    void subjectCommandsWithoutSelection_data();
    void subjectCommandsWithoutSelection();
    void ledgerWorkNeedsSelection_data();
    void ledgerWorkNeedsSelection();
    void yearMissingFromListIsAccepted();
    void userNameWithApostropheIsFound();
    void unknownUserLeavesIdEmpty();
    void clearSelectionMark();
    void exitNoReturnsToSelection();
    void exitYesEndsProgram();
    void closeIsRefused();
    void pulisciCampiKeepsSelection();
    void fitsTheScreen_data();
    void fitsTheScreen();
    void panelsFitA1024Screen();
    void helpMenu();

private:
    void accept(const QString& user);

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Nota> window_;
    qint64 rossi_ = 0;
};

void NotaTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    rossi_ = TestDatabase::addSubject("ROSSI MARIO", true);
    TestDatabase::addSubject("DELL'ORTO ANNA", true);
    TestDatabase::addSubject("CLIENTE SRL", false);
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    window_ = std::make_unique<Nota>(*boxes_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void NotaTest::cleanup() {
    window_.reset();
    boxes_.reset();
    db_.reset();
}

void NotaTest::accept(const QString& user) {
    chooseUser(*window_, user);
    QTest::mouseClick(child<QPushButton>(*window_, "Cmd1"), Qt::LeftButton);
}

void NotaTest::menuCaptions() {
    const QList<QPair<QString, QString>> captions = {
        {"Esci", "&Esci"},
        {"CambioUtente", "&Cambio Utente"},
        {"Anagrafica", "&Anagrafica"},
        {"Inserisci", "Inserisci"},
        {"Stampa", "Stampe"},
        {"Elenco", "Elenco Soggetti"},
        {"Ritenute", "&Velarco"},
        {"StampeR", "&Stampe"},
        {"ElencoR", "Elenco Generale  Fatture"},
        {"RicercaS", "Situazione per Soggetto"},
        {"StanpaAt", "Attestazione"},
        {"PianoF24", "Piano F24"},
        {"Servizi", "&Funzionalità"},
        {"Funzioni", "&Servizi"},
        {"EliminaR", "Eliminazione Registrazioni Anno"},
        {"Prospetto770", "Prospetto versamenti 770"},
        {"Prospetto770G", "Prospetto versamenti 770 generale"},
        {"StampaG", "Stampa Generale  Utenti Ritenute Sospese"},
        {"StampaS", "Stampa Generale Utenti  per Scadenza "},
        {"PianoF24G", "Piano F24 Generale"},
    };
    for (const auto& [name, text] : captions) {
        QAction* action = window_->action(name.toLatin1().constData());
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), text);
    }
    QCOMPARE(window_->windowTitle(), QString("Velarco "));
    const QList<QPair<QString, QString>> frames = {{"Frame2", "Seleziona "},
                                                   {"Frame3", "Seleziona l'operazione "},
                                                   {"Frame4", "Velarco"},
                                                   {"Frame6", "Funzionalità"}};
    for (const auto& [name, title] : frames)
        QCOMPARE(window_->panel(name.toLatin1().constData())->title(), title);
}

// Each row: the events from the window's loaded state, then the menus (Esci,
// CambioUtente, Anagrafica, Ritenute, Servizi, Funzioni) and panels (Frame1..Frame6).
void NotaTest::stateTable_data() {
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("expected");
    QTest::newRow("loaded") << QStringList{} << "111000 010000";
    QTest::newRow("Cmd1 accepted") << QStringList{"accedi"} << "111111 000000";
    QTest::newRow("CambioUtente") << QStringList{"accedi", "CambioUtente"} << "110000 010000";
    QTest::newRow("Esci, No") << QStringList{"accedi", "EsciNo"} << "110001 010000";
    QTest::newRow("Servizi") << QStringList{"accedi", "Servizi"} << "010000 000001";
    QTest::newRow("Label47") << QStringList{"accedi", "Servizi", "Label47"} << "111111 000000";
    QTest::newRow("Label10") << QStringList{"accedi", "Frame3", "Label10"} << "111111 000000";
    QTest::newRow("Label45") << QStringList{"accedi", "Frame5", "Label45"} << "111111 000000";
    QTest::newRow("Image3") << QStringList{"accedi", "Frame1", "Image3"} << "111111 000000";
    QTest::newRow("Image2") << QStringList{"accedi", "Frame4", "Image2"} << "111111 000000";
    // Closing a panel while no user and year are chosen goes back to the selection.
    QTest::newRow("Image2 without selection") << QStringList{"Frame4", "Image2"} << "111000 010000";
    QTest::newRow("Image3 without selection") << QStringList{"Frame1", "Image3"} << "111000 010000";
    QTest::newRow("Label10 without selection")
        << QStringList{"Frame3", "Label10"} << "111000 010000";
    QTest::newRow("Label45 without selection")
        << QStringList{"Frame5", "Label45"} << "111000 010000";
    QTest::newRow("Label47 without selection")
        << QStringList{"Frame6", "Label47"} << "111000 010000";
    QTest::newRow("Label47 after the year was cleared")
        << QStringList{"accedi", "Servizi", "clearYear", "Label47"} << "111000 010000";
}

void NotaTest::stateTable() {
    QFETCH(QStringList, events);
    QFETCH(QString, expected);
    for (const QString& event : events) {
        if (event == "accedi") {
            accept("ROSSI MARIO");
        } else if (event == "clearYear") {
            window_->CaricaAnni(); // the year list read again: no year is chosen
        } else if (event == "EsciNo") {
            boxes_->answerNo();
            window_->action("Esci")->trigger();
        } else if (event.startsWith("Frame")) {
            // A panel opened by its command, with the menus its command disables.
            window_->setWorkMenusEnabled(false);
            window_->panel(event.toLatin1().constData())->show();
        } else if (QAction* action = window_->action(event.toLatin1().constData())) {
            action->trigger();
        } else {
            auto* mark = window_->findChild<QLabel*>(event);
            QVERIFY2(mark, qPrintable(event));
            QTest::mouseClick(mark, Qt::LeftButton);
        }
    }
    QCOMPARE(stateOf(*window_), expected);
}

void NotaTest::accessRefusals_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("year");
    QTest::newRow("no user") << ""
                             << "2024";
    QTest::newRow("year emptied") << "ROSSI MARIO"
                                  << "";
    QTest::newRow("year blank") << "ROSSI MARIO"
                                << "   ";
    QTest::newRow("unknown user") << "NESSUNO"
                                  << "2024";
}

void NotaTest::accessRefusals() {
    QFETCH(QString, user);
    QFETCH(QString, year);
    if (!user.isEmpty())
        chooseUser(*window_, user);
    child<QComboBox>(*window_, "cbo2")->setEditText(year);
    QTest::mouseClick(child<QPushButton>(*window_, "Cmd1"), Qt::LeftButton);
    QCOMPARE(boxes_->shown().size(), 1);
    QCOMPARE(boxes_->last().text, QString("Compilare tutti i campi "));
    QCOMPARE(boxes_->last().title, QString("ERRORE - CAMPO   VUOTO"));
    QCOMPARE(boxes_->last().icon, BoxIcon::Information);
    QCOMPARE(boxes_->last().buttons, BoxButtons::Ok);
    QVERIFY(window_->panel("Frame2")->isVisible());
    QVERIFY(!window_->action("Ritenute")->isEnabled());
    QVERIFY(child<QComboBox>(*window_, "cbo1")->hasFocus() || !window_->isActiveWindow());
}

// At the first start only the registry is open: finishing a subject command must not
// open the ledger menus while no user and year are chosen.
void NotaTest::subjectCommandsWithoutSelection_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("subject changed")
        << "Modifica"
        << QStringList{"Vuoi Modificare questi dati ?", "La modifica è avvenuta con successo !"};
    QTest::newRow("subject deleted")
        << "Elimina"
        << QStringList{"Sei sicuro di voler eliminare il Soggetto selezionato",
                       "Eliminazione  di       CLIENTE SRL   effettuata con successo ! "};
}

void NotaTest::subjectCommandsWithoutSelection() {
    QFETCH(QString, command);
    QFETCH(QStringList, boxes);
    window_->action(command.toLatin1().constData())->trigger();
    auto* grid = child<QAbstractItemView>(*window_, "Datagrid1");
    QModelIndex row;
    for (int r = 0; r < grid->model()->rowCount() && !row.isValid(); ++r) {
        if (grid->model()->index(r, 1).data().toString() == "CLIENTE SRL")
            row = grid->model()->index(r, 1);
    }
    QVERIFY(row.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(row).center());
    QVERIFY(window_->panel("Frame1")->isVisible());
    boxes_->answerYes();
    QTest::mouseClick(child<QPushButton>(*window_, "Cmd2"), Qt::LeftButton);
    QCOMPARE(boxes_->texts(), boxes);
    QCOMPARE(stateOf(*window_), QString("111000 010000"));
    QVERIFY(child<QComboBox>(*window_, "cbo1")->hasFocus() || !window_->isActiveWindow());
}

// Work on one user's year refuses while the user or the year is empty, whatever state
// the menus are in: it says so, writes nothing and goes back to the selection.
void NotaTest::ledgerWorkNeedsSelection_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("cleared"); // the caption emptied after "Accedi"
    QTest::newRow("save, no year") << "save"
                                   << "Label2";
    QTest::newRow("save, no user") << "save"
                                   << "Label1";
    QTest::newRow("insert") << "Rinserisci"
                            << "Label2";
    QTest::newRow("change grid") << "Rmodifica"
                                 << "Label2";
    QTest::newRow("delete grid") << "RElimina"
                                 << "Label1";
    QTest::newRow("report of the user") << "ElencoR"
                                        << "Label2";
    QTest::newRow("search by period") << "search"
                                      << "Label1";
    QTest::newRow("year deletion") << "EliminaR"
                                   << "Label2";
}

void NotaTest::ledgerWorkNeedsSelection() {
    QFETCH(QString, command);
    QFETCH(QString, cleared);
    accept("ROSSI MARIO");
    QCOMPARE(stateOf(*window_), QString("111111 000000"));
    if (command == "save") {
        window_->action("Rinserisci")->trigger();
        auto* subject = child<QComboBox>(*window_, "Cbo3");
        subject->setEditText("CLIENTE SRL");
        Q_EMIT subject->activated(subject->findText("CLIENTE SRL"));
    } else if (command == "search") {
        window_->action("RicercaP")->trigger();
        child<QComboBox>(*window_, "Cbo6")->setEditText("3");
    }
    // The lists read again, as after a subject is saved: the year or the user is no more.
    if (cleared == "Label2")
        window_->CaricaAnni();
    else
        window_->CaricaUtenti();
    QVERIFY(child<QLabel>(*window_, cleared.toLatin1().constData())->text().isEmpty());
    boxes_->answerYes();
    boxes_->type("5829");
    if (command == "save")
        QTest::mouseClick(child<QPushButton>(*window_, "Cmd3"), Qt::LeftButton);
    else if (command == "search")
        QTest::mouseClick(child<QPushButton>(*window_, "Cmd4"), Qt::LeftButton);
    else
        window_->action(command.toLatin1().constData())->trigger();

    QCOMPARE(boxes_->texts(), QStringList{" Selezionare un Utente e un Anno "});
    QCOMPARE(boxes_->last().title, QString("ERRORE - CAMPO   VUOTO"));
    QCOMPARE(stateOf(*window_), QString("111000 010000"));
    QVERIFY(child<QComboBox>(*window_, "cbo1")->hasFocus() || !window_->isActiveWindow());
    Result<QSqlQuery> rows = store::run("SELECT count(*) FROM Ritenute");
    QVERIFY(rows.ok() && rows.value.next());
    QCOMPARE(rows.value.value(0).toInt(), 0);
}

void NotaTest::yearMissingFromListIsAccepted() {
    const QString current = QString::number(QDate::currentDate().year());
    TestDatabase::exec("DELETE FROM Anno WHERE Anno = ?", {current});
    window_->CaricaAnni();
    auto* years = child<QComboBox>(*window_, "cbo2");
    QCOMPARE(years->findText(current), -1);
    QCOMPARE(years->currentText(), current);
    accept("ROSSI MARIO");
    QVERIFY(boxes_->shown().isEmpty());
    QCOMPARE(window_->currentYear(), current);
    QCOMPARE(window_->currentUserId(), QString::number(rossi_));
    QCOMPARE(window_->currentUserName(), QString("ROSSI MARIO"));
}

void NotaTest::userNameWithApostropheIsFound() {
    chooseUser(*window_, "dell'orto anna");
    QVERIFY(!caption(*window_, "Label1").isEmpty());
    QCOMPARE(caption(*window_, "Label40"), QString("dell'orto anna"));
    QCOMPARE(child<QComboBox>(*window_, "cbo1")->count(), 2);
}

void NotaTest::unknownUserLeavesIdEmpty() {
    chooseUser(*window_, "ROSSI MARIO");
    chooseUser(*window_, "ROSSI");
    QCOMPARE(caption(*window_, "Label1"), QString());
    QCOMPARE(caption(*window_, "Label40"), QString("ROSSI"));
}

void NotaTest::clearSelectionMark() {
    chooseUser(*window_, "ROSSI MARIO");
    QTest::mouseClick(window_->findChild<QLabel*>("Label11"), Qt::LeftButton);
    for (const char* label : {"Label1", "Label2", "Label40"})
        QCOMPARE(caption(*window_, label), QString());
    QCOMPARE(child<QComboBox>(*window_, "cbo1")->currentText(), QString());
    QCOMPARE(child<QComboBox>(*window_, "cbo2")->currentText(), QString());
    QVERIFY(window_->panel("Frame2")->isVisible());
}

void NotaTest::exitNoReturnsToSelection() {
    accept("ROSSI MARIO");
    TestDatabase::addSubject("NUOVO UTENTE", true);
    boxes_->answerNo();
    QSignalSpy exit(window_.get(), &Nota::exitRequested);
    window_->action("Esci")->trigger();
    QCOMPARE(exit.count(), 0);
    QCOMPARE(boxes_->last().text, QString(" Vuoi uscire dall' Applicazione ? "));
    QCOMPARE(boxes_->last().title, QString(" Velarco-  USCITA "));
    QCOMPARE(boxes_->last().buttons, BoxButtons::YesNo);
    QCOMPARE(boxes_->last().icon, BoxIcon::None);
    QCOMPARE(child<QComboBox>(*window_, "cbo1")->count(), 3);
    QCOMPARE(caption(*window_, "Label40"), QString("ROSSI MARIO"));
    QCOMPARE(caption(*window_, "Label1"), QString());
    QCOMPARE(caption(*window_, "Label2"), QString());
}

void NotaTest::exitYesEndsProgram() {
    boxes_->answerYes();
    QSignalSpy exit(window_.get(), &Nota::exitRequested);
    window_->action("Esci")->trigger();
    QCOMPARE(exit.count(), 1);
    QVERIFY(window_->close());
}

void NotaTest::closeIsRefused() {
    QVERIFY(!window_->close());
    QVERIFY(window_->isVisible());
    accept("ROSSI MARIO");
    QVERIFY(!window_->close());
    QVERIFY(boxes_->shown().isEmpty());
}

void NotaTest::pulisciCampiKeepsSelection() {
    accept("ROSSI MARIO");
    child<QComboBox>(*window_, "cbo2")->setEditText("2020");
    window_->PulisciCampi();
    QCOMPARE(child<QComboBox>(*window_, "cbo1")->currentText(), QString());
    QCOMPARE(child<QComboBox>(*window_, "cbo2")->currentText(), QString());
    for (QLineEdit* edit : window_->findChildren<QLineEdit*>())
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    QCOMPARE(caption(*window_, "Label40"), QString("ROSSI MARIO"));
    QCOMPARE(window_->currentUserId(), QString::number(rossi_));
    QVERIFY(!window_->currentYear().isEmpty());
}

void NotaTest::fitsTheScreen_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("large screen") << QRect(0, 0, 1920, 1050) << QRect(410, 145, 1100, 760);
    QTest::newRow("1024x768 with a panel") << QRect(0, 32, 1024, 736) << QRect(0, 32, 1024, 736);
    // 1600x1000 at 1.5: 1066x666 logical pixels, less the desktop's panel.
    QTest::newRow("scaled by 1.5") << QRect(0, 0, 1066, 640) << QRect(0, 0, 1066, 640);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(2010, 132, 1100, 760);
    QTest::newRow("smaller than the least") << QRect(0, 0, 800, 500) << QRect(0, 0, 800, 500);
}

void NotaTest::fitsTheScreen() {
    QFETCH(QRect, available);
    QFETCH(QRect, placed);
    QCOMPARE(window_placement::fitted(QSize(1100, 760), QSize(900, 600), available), placed);
}

// Each panel, opened as the operator opens it, fits a 1024x768 screen less its panel.
void NotaTest::panelsFitA1024Screen() {
    accept("ROSSI MARIO");
    for (const char* command : {"Inserisci", "Rinserisci", "Rmodifica", "RicercaP", "Servizi"}) {
        window_->action(command)->trigger();
        const QSize least = window_->minimumSizeHint();
        QVERIFY2(
            least.width() <= 1024 && least.height() <= 700,
            qPrintable(
                QStringLiteral("%1: %2x%3").arg(command).arg(least.width()).arg(least.height())));
        window_->resize(1024, 700);
        for (const QString& name : kPanels) {
            const QWidget* panel = window_->panel(name.toLatin1().constData());
            if (panel->isVisible())
                QVERIFY2(window_->rect().contains(panel->geometry()), qPrintable(name));
        }
        window_->showSelection();
        accept("ROSSI MARIO");
    }
}

// F1 opens the guide, whose first page leads to one page per task, each there; the
// program's own information names the guide; a ledger without users says how to start.
void NotaTest::helpMenu() {
    QStringList bar;
    for (QAction* top : window_->menuBar()->actions())
        bar.append(top->text());
    QCOMPARE(bar.mid(bar.indexOf("A&rchivio")), (QStringList{"A&rchivio", "&?"}));
    QVERIFY(!child<QLabel>(*window_, "NessunUtente")->isVisible());
    QTest::keyClick(child<QComboBox>(*window_, "cbo1"), Qt::Key_F1);
    auto* guide = child<QTextBrowser>(*window_, "GuidaTesto");
    QVERIFY(guide->isVisible());
    QCOMPARE(guide->documentTitle(), QString("Guida di Velarco"));
    QStringList titles;
    for (int page = 1; page <= 7; ++page) {
        guide->setSource(QUrl("index.html"));
        const QString link =
            guide->document()->toHtml().section("href=\"", page, page).section('"', 0, 0);
        guide->setSource(QUrl(link));
        titles.append(guide->documentTitle());
    }
    QCOMPARE(titles.size(), 7);
    QVERIFY2(titles.first().startsWith("1. Creare l'utente"), qPrintable(titles.join('|')));
    QVERIFY2(titles.last().startsWith("7. Le copie"), qPrintable(titles.join('|')));
    guide->window()->close();

    window_->action("InformazioniVelarco")->trigger();
    QVERIFY2(boxes_->last().text.contains("GPL-3.0-or-later") &&
                 boxes_->last().text.contains(HelpMenu::guideFolder()),
             qPrintable(boxes_->last().text));

    TestDatabase::exec("DELETE FROM Soggetti");
    window_->CaricaUtenti();
    QVERIFY(child<QLabel>(*window_, "NessunUtente")->isVisible());
}

QTEST_MAIN(NotaTest)
#include "tst_nota.moc"
