#include "app/nota.h"
#include "registry/subject_store.h"
#include "shell/scripted_message_boxes.h"
#include "store/connection.h"
#include "support/grid_fit.h"
#include "support/test_database.h"
#include "widgets/data_grid.h"
#include "widgets/date_box.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const QString kEmptyTitle = QStringLiteral("ERRORE - CAMPO   VUOTO");
const QString kUserWarning =
    QStringLiteral("ERRORE NON BLOCCANTE|Nel caso di inserimento/modifica di un Utente sarà "
                   "necessario uscire e riselezionare l'Utente |I");
const QString kAskInsert = QStringLiteral("Velarco - INSERIMENTO|Vuoi Inserire questi dati ?|Q");
const QString kAskChange = QStringLiteral("Velarco - MODIFICA|Vuoi Modificare questi dati ?|Q");
const QString kAskDelete =
    QStringLiteral("Velarco - ELIMINA SOGGETTO|Sei sicuro di voler eliminare il Soggetto "
                   "selezionato|Q");
const QString kInserted = QStringLiteral("Velarco|L' inserimento è avvenuto con successo !|I");
const QString kChanged = QStringLiteral("Velarco|La modifica è avvenuta con successo !|I");

// Each box as "title|text|kind": I information with OK, Q Yes/No without icon,
// P OK without icon.
QStringList boxesOf(const ScriptedMessageBoxes& boxes) {
    QStringList list;
    for (const ScriptedMessageBoxes::Shown& box : boxes.shown()) {
        const QString kind = box.buttons == BoxButtons::YesNo   ? QStringLiteral("Q")
                             : box.icon == BoxIcon::Information ? QStringLiteral("I")
                                                                : QStringLiteral("P");
        list.append(box.title + '|' + box.text + '|' + kind);
    }
    return list;
}

QVariantList row(const QString& sql, const QVariantList& values = {}) {
    Result<QSqlQuery> q = store::run(sql, values);
    QVariantList out;
    if (q.ok() && q.value.next())
        for (int i = 0; i < q.value.record().count(); ++i)
            out.append(q.value.value(i));
    return out;
}

int count(const QString& sql, const QVariantList& values = {}) {
    const QVariantList r = row(sql, values);
    return r.isEmpty() ? -1 : r.first().toInt();
}

// Types text one character at a time, as the keyboard would, accented letters too.
void type(QWidget* w, const QString& text) {
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class SubjectPanelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void stateTable_data();
    void stateTable();
    void insertChecksAndConfirmation_data();
    void insertChecksAndConfirmation();
    void insertingUserReturnsToSelection();
    void change_data();
    void change();
    void userFlagRoundTrip();
    void deleteSubject_data();
    void deleteSubject();
    void vanishedSubjectShowsNoSuccess_data();
    void vanishedSubjectShowsNoSuccess();
    void failedWriteKeepsPanel_data();
    void failedWriteKeepsPanel();
    void birthDate_data();
    void birthDate();
    void invalidDateIsReported();
    void tabOrderFollowsTheForm();
    void certificateFieldsRoundTrip_data();
    void certificateFieldsRoundTrip();
    void upperCase_data();
    void upperCase();
    void numberKeyFilter_data();
    void numberKeyFilter();
    void numberFieldsFilterPastesAndDrops_data();
    void numberFieldsFilterPastesAndDrops();
    void gridListsEverySubjectInNameOrder();
    void gridShowsWholeBirthDates_data();
    void gridShowsWholeBirthDates();
    void gridPickLoadsRow_data();
    void gridPickLoadsRow();

private:
    template <typename T> T* child(const char* name) const {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("missing widget %s", name);
        return w;
    }
    QLineEdit* text(const char* name) const { return child<QLineEdit>(name); }
    QString focused() const {
        QWidget* w = QApplication::focusWidget();
        // The date box's editor stands for the box.
        if (w && w->parentWidget() && qobject_cast<DateBox*>(w->parentWidget()))
            w = w->parentWidget();
        return w ? w->objectName() : QString();
    }
    // Menus Esci, Anagrafica, Ritenute, Servizi, Funzioni; panels Frame1..Frame6;
    // the caption of Cmd2.
    QString state() const;
    void accept(const QString& user);
    void pick(const char* mode, const QString& name, bool byKey = false);
    void press() { QTest::mouseClick(child<QPushButton>("Cmd2"), Qt::LeftButton); }

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Nota> window_;
    qint64 rossi_ = 0;
    qint64 bianchi_ = 0;
};

void SubjectPanelTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    TestDatabase::exec(
        "INSERT INTO Soggetti (denominazione, ordine, indirizzo, citta, cap, pr, datanascita, "
        "luogo, prnascita, codice, partita, utente, note) VALUES ('ROSSI MARIO', 'ROSSI MARIO', "
        "'via roma 1', "
        "'milano', '20100', 'mi', '1970-03-05', 'pavia', 'pv', 'RSSMRA70C05G388X', '01234567890', "
        "'S', 'nota d''esempio')");
    rossi_ =
        row("SELECT ID FROM Soggetti WHERE denominazione = 'ROSSI MARIO'").value(0).toLongLong();
    bianchi_ = TestDatabase::addSubject("BIANCHI SRL");
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    window_ = std::make_unique<Nota>(*boxes_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void SubjectPanelTest::cleanup() {
    window_.reset();
    boxes_.reset();
    db_.reset();
}

QString SubjectPanelTest::state() const {
    QString s;
    for (const char* menu : {"Esci", "Anagrafica", "Ritenute", "Servizi", "Funzioni"})
        s += window_->action(menu)->isEnabled() ? '1' : '0';
    s += ' ';
    for (const char* panel : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6"})
        s += window_->panel(panel)->isVisible() ? '1' : '0';
    return s + ' ' + child<QPushButton>("Cmd2")->text();
}

void SubjectPanelTest::accept(const QString& user) {
    auto* cbo1 = child<QComboBox>("cbo1");
    const int index = cbo1->findText(user);
    QVERIFY2(index >= 0, qPrintable(user));
    cbo1->setCurrentIndex(index);
    Q_EMIT cbo1->activated(index);
    QTest::mouseClick(child<QPushButton>("Cmd1"), Qt::LeftButton);
    QVERIFY(!window_->panel("Frame2")->isVisible());
}

void SubjectPanelTest::pick(const char* mode, const QString& name, bool byKey) {
    window_->action(mode)->trigger();
    auto* grid = child<DataGrid>("Datagrid1");
    QVERIFY(grid->isVisible());
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QModelIndex index = grid->model()->index(r, 1);
        if (index.data().toString() != name)
            continue;
        if (byKey) {
            grid->setFocus();
            grid->setCurrentIndex(index);
            QTest::keyClick(grid, Qt::Key_Return);
        } else {
            grid->scrollTo(index);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(index).center());
        }
        return;
    }
    QFAIL(qPrintable("no grid row " + name));
}

// Each row starts from the working state (user and year accepted), runs the steps
// before the event, then the event; the expected state has "-" where the event
// leaves a menu, panel or caption as it was just before it.
void SubjectPanelTest::stateTable_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("expected");
    QTest::newRow("menu Inserisci") << "Inserisci"
                                    << "00000 10--00 Inserisci";
    QTest::newRow("menu Modifica") << "Modifica"
                                   << "00000 001-00 -";
    QTest::newRow("menu Elimina") << "Elimina"
                                  << "00000 001-00 -";
    QTest::newRow("row chosen to change") << "pickModifica"
                                          << "----- 1-0--- Modifica";
    QTest::newRow("row chosen to delete") << "pickElimina"
                                          << "----- 1-0--- Elimina";
    QTest::newRow("Label1 while working") << "Label1"
                                          << "000-0 10---- -";
    QTest::newRow("Label1 in the selection") << "selection+Label1"
                                             << "000-0 10---- -";
    QTest::newRow("inserted, not a user") << "insertSubject"
                                          << "----- ------ -";
    QTest::newRow("inserted, a user") << "insertUser"
                                      << "10000 010000 -";
    QTest::newRow("changed, not a user") << "changeSubject"
                                         << "11111 0----- -";
    QTest::newRow("changed, a user") << "changeUser"
                                     << "1---- 01---- -";
    QTest::newRow("delete answered Yes") << "deleteYes"
                                         << "111-0 0----- -";
    QTest::newRow("delete answered No") << "deleteNo"
                                        << "111-0 0----- -";
    // F5 runs the command even after the panel was closed with every menu enabled
    // again, which shows the menus a command leaves alone.
    QTest::newRow("F5 after closing: inserted, a user") << "insertUser+F5"
                                                        << "10000 010000 -";
    QTest::newRow("F5 after closing: changed, a user") << "changeUser+F5"
                                                       << "1---- 01---- -";
    QTest::newRow("F5 after closing: delete") << "deleteNo+F5"
                                              << "111-0 0----- -";
}

void SubjectPanelTest::stateTable() {
    QFETCH(QString, scenario);
    QFETCH(QString, expected);
    accept("ROSSI MARIO");

    std::function<void()> event;
    if (scenario == "Inserisci" || scenario == "Modifica" || scenario == "Elimina") {
        event = [&] { window_->action(scenario.toLatin1().constData())->trigger(); };
    } else if (scenario.startsWith("pick")) {
        const QByteArray mode = scenario.mid(4).toLatin1();
        window_->action(mode.constData())->trigger();
        event = [&, mode] {
            auto* grid = child<DataGrid>("Datagrid1");
            grid->setCurrentIndex(grid->model()->index(0, 1));
            QTest::keyClick(grid, Qt::Key_Enter);
        };
    } else if (scenario.endsWith("Label1")) {
        if (scenario.startsWith("selection")) {
            window_->action("CambioUtente")->trigger();
            auto* cbo1 = child<QComboBox>("cbo1");
            cbo1->setCurrentIndex(cbo1->findText("ROSSI MARIO"));
            Q_EMIT cbo1->activated(cbo1->currentIndex());
        }
        event = [&] { QTest::mouseClick(child<QLabel>("Label1"), Qt::LeftButton); };
    } else if (scenario.startsWith("insert")) {
        window_->action("Inserisci")->trigger();
        QTest::keyClicks(text("Text2"), "VERDI LUCA");
        QTest::keyClicks(text("Text8"), "VRDLCU80A01F205X");
        child<QCheckBox>("Check1")->setChecked(scenario.startsWith("insertUser"));
        boxes_->answerYes();
        event = [&] { press(); };
    } else if (scenario.startsWith("change")) {
        pick("Modifica", "ROSSI MARIO");
        child<QCheckBox>("Check1")->setChecked(scenario.startsWith("changeUser"));
        boxes_->answerYes();
        event = [&] { press(); };
    } else if (scenario.startsWith("delete")) {
        pick("Elimina", "BIANCHI SRL");
        boxes_->answer(scenario.startsWith("deleteYes") ? BoxAnswer::Yes : BoxAnswer::No);
        event = [&] { press(); };
    }
    QVERIFY(event);
    if (scenario.endsWith("+F5")) {
        QTest::mouseClick(child<QLabel>("Image3"), Qt::LeftButton);
        QCOMPARE(state().left(5), QString("11111"));
        event = [&] { QTest::keyClick(window_.get(), Qt::Key_F5); };
    }
    const QString before = state();
    event();
    const QString after = state();
    QString want = expected;
    const QString cmd2Before = before.section(' ', 2);
    if (want.section(' ', 2) == "-")
        want = want.section(' ', 0, 1) + ' ' + cmd2Before;
    // Menus and panels: the first twelve characters, a space between the two groups.
    for (int i = 0; i < 12; ++i) {
        if (want.at(i) == '-')
            want[i] = before.at(i);
    }
    QCOMPARE(after, want);
    QCOMPARE(boxes_->unanswered(), 0);
}

// Insert mode: the two checks, the user warning and the confirmation, in order.
void SubjectPanelTest::insertChecksAndConfirmation_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("taxCode");
    QTest::addColumn<bool>("user");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("expectedBoxes");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("written");

    const QString noName = kEmptyTitle + "|Inserire il campo Denominazione!|I";
    const QString noCode = kEmptyTitle + "|Inserire il campo Codice Fiscale|I";
    QTest::newRow("empty name") << ""
                                << "CF1" << false << "" << QStringList{noName} << "Text2" << false;
    QTest::newRow("blank name") << "   "
                                << "CF1" << true << "" << QStringList{noName} << "Text2" << false;
    QTest::newRow("empty tax code") << "ACME"
                                    << "" << false << "" << QStringList{noCode} << "Text8" << false;
    QTest::newRow("blank tax code")
        << "ACME"
        << "  " << false << "" << QStringList{noCode} << "Text8" << false;
    QTest::newRow("answered No") << "ACME"
                                 << "CF1" << false << "N" << QStringList{kAskInsert} << "" << false;
    QTest::newRow("user answered No")
        << "ACME"
        << "CF1" << true << "N" << QStringList{kUserWarning, kAskInsert} << "" << false;
    QTest::newRow("written in capitals")
        << "acme spa"
        << "cf1" << false << "Y" << QStringList{kAskInsert, kInserted} << "" << true;
    QTest::newRow("name with apostrophes")
        << "l'orto d'oro"
        << "cf1" << false << "Y" << QStringList{kAskInsert, kInserted} << "" << true;
}

void SubjectPanelTest::insertChecksAndConfirmation() {
    QFETCH(QString, name);
    QFETCH(QString, taxCode);
    QFETCH(bool, user);
    QFETCH(QString, answer);
    QFETCH(QStringList, expectedBoxes);
    QFETCH(QString, focus);
    QFETCH(bool, written);

    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QCOMPARE(focused(), QString("Text2"));
    QTest::keyClicks(text("Text2"), name);
    QTest::keyClicks(text("Text3"), "via dei mille 7");
    QTest::keyClicks(text("Text8"), taxCode);
    child<QCheckBox>("Check1")->setChecked(user);
    text("Text12")->setFocus();
    if (!answer.isEmpty())
        boxes_->answer(answer == "Y" ? BoxAnswer::Yes : BoxAnswer::No);
    press();

    QCOMPARE(boxesOf(*boxes_), expectedBoxes);
    if (!focus.isEmpty())
        QCOMPARE(focused(), focus);
    const int rows =
        count("SELECT count(*) FROM Soggetti WHERE denominazione = ?", {name.toUpper()});
    QCOMPARE(rows, written ? 1 : 0);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), written ? 3 : 2);
    if (written) {
        const QVariantList r = row("SELECT indirizzo, codice, utente, datanascita FROM Soggetti "
                                   "WHERE denominazione = ?",
                                   {name.toUpper()});
        QCOMPARE(r.value(0).toString(), QString("VIA DEI MILLE 7"));
        QCOMPARE(r.value(1).toString(), taxCode.toUpper());
        QCOMPARE(r.value(2).toString(), QString("N"));
        QVERIFY(r.value(3).isNull());
        // Emptied and still open for the next subject.
        QVERIFY(text("Text2")->text().isEmpty());
        QVERIFY(text("Text3")->text().isEmpty());
        QVERIFY(window_->panel("Frame1")->isVisible());
    } else {
        // A refused or declined insert keeps what was typed.
        QCOMPARE(text("Text2")->text(), name.toUpper());
        QCOMPARE(text("Text3")->text(), QString("VIA DEI MILLE 7"));
    }
}

void SubjectPanelTest::insertingUserReturnsToSelection() {
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QTest::keyClicks(text("Text2"), "dell'acqua anna");
    QTest::keyClicks(text("Text8"), "DLLNNA");
    child<QCheckBox>("Check1")->setChecked(true);
    boxes_->answerYes();
    QTest::keyClick(window_.get(), Qt::Key_F5);

    QCOMPARE(boxesOf(*boxes_), (QStringList{kUserWarning, kAskInsert, kInserted}));
    QCOMPARE(row("SELECT utente FROM Soggetti WHERE denominazione = ?", {"DELL'ACQUA ANNA"})
                 .value(0)
                 .toString(),
             QString("S"));
    QVERIFY(!child<QCheckBox>("Check1")->isChecked());
    QVERIFY(window_->panel("Frame2")->isVisible());
    auto* cbo1 = child<QComboBox>("cbo1");
    QVERIFY(cbo1->findText("DELL'ACQUA ANNA") >= 0);
    // The new user can be chosen and accepted at once.
    accept("DELL'ACQUA ANNA");
    QCOMPARE(child<QLabel>("Label1")->text(),
             row("SELECT ID FROM Soggetti WHERE denominazione = ?", {"DELL'ACQUA ANNA"})
                 .value(0)
                 .toString());
    QCOMPARE(child<QLabel>("Label40")->text(), QString("DELL'ACQUA ANNA"));
}

void SubjectPanelTest::change_data() {
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("newTaxCode");
    QTest::addColumn<bool>("user");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("expectedBoxes");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("storedName");

    QTest::newRow("not a user") << "rossi mario jr"
                                << "CF9" << false << "Y" << QStringList{kAskChange, kChanged} << ""
                                << "ROSSI MARIO JR";
    QTest::newRow("a user") << "o'neil mario"
                            << "CF9" << true << "Y"
                            << QStringList{kUserWarning, kAskChange, kChanged} << ""
                            << "O'NEIL MARIO";
    QTest::newRow("answered No") << "altro"
                                 << "CF9" << false << "N" << QStringList{kAskChange} << ""
                                 << "ROSSI MARIO";
    QTest::newRow("empty name") << ""
                                << "CF9" << false << ""
                                << QStringList{kEmptyTitle + "|Inserire il campo Denominazione!|I"}
                                << "Text2"
                                << "ROSSI MARIO";
    QTest::newRow("empty tax code")
        << "altro"
        << "" << true << "" << QStringList{kEmptyTitle + "|Inserire il campo Codice Fiscale|I"}
        << "Text8"
        << "ROSSI MARIO";
}

void SubjectPanelTest::change() {
    QFETCH(QString, newName);
    QFETCH(QString, newTaxCode);
    QFETCH(bool, user);
    QFETCH(QString, answer);
    QFETCH(QStringList, expectedBoxes);
    QFETCH(QString, focus);
    QFETCH(QString, storedName);

    accept("ROSSI MARIO");
    pick("Modifica", "ROSSI MARIO");
    text("Text2")->clear();
    QTest::keyClicks(text("Text2"), newName);
    text("Text8")->clear();
    QTest::keyClicks(text("Text8"), newTaxCode);
    child<QCheckBox>("Check1")->setChecked(user);
    if (!answer.isEmpty())
        boxes_->answer(answer == "Y" ? BoxAnswer::Yes : BoxAnswer::No);
    press();

    QCOMPARE(boxesOf(*boxes_), expectedBoxes);
    if (!focus.isEmpty())
        QCOMPARE(focused(), focus);
    const QVariantList r =
        row("SELECT denominazione, utente, indirizzo, datanascita, note FROM Soggetti WHERE ID = ?",
            {rossi_});
    QCOMPARE(r.value(0).toString(), storedName);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 2);
    const bool written = answer == "Y";
    QCOMPARE(r.value(1).toString(), QString(written && !user ? "N" : "S"));
    // The columns not typed again keep what the row held, in capitals now.
    QCOMPARE(r.value(2).toString(), QString(written ? "VIA ROMA 1" : "via roma 1"));
    QCOMPARE(r.value(3).toString(), QString("1970-03-05"));
    QCOMPARE(r.value(4).toString(), QString(written ? "NOTA D'ESEMPIO" : "nota d'esempio"));
    if (written) {
        QVERIFY(text("Text2")->text().isEmpty());
        QVERIFY(!window_->panel("Frame1")->isVisible());
        // A changed user stays ticked, as the operator left it.
        QCOMPARE(child<QCheckBox>("Check1")->isChecked(), user);
        if (user)
            QVERIFY(child<QComboBox>("cbo1")->findText(storedName) >= 0);
    } else {
        QCOMPARE(text("Text2")->text(), newName.toUpper());
        QVERIFY(window_->panel("Frame1")->isVisible());
    }
}

void SubjectPanelTest::userFlagRoundTrip() {
    accept("ROSSI MARIO");
    pick("Modifica", "BIANCHI SRL");
    QVERIFY(!child<QCheckBox>("Check1")->isChecked());
    child<QCheckBox>("Check1")->setChecked(true);
    boxes_->answerYes();
    press();
    QCOMPARE(row("SELECT utente FROM Soggetti WHERE ID = ?", {bianchi_}).value(0).toString(),
             QString("S"));
    QVERIFY(child<QComboBox>("cbo1")->findText("BIANCHI SRL") >= 0);

    accept("BIANCHI SRL");
    pick("Modifica", "BIANCHI SRL", true);
    QVERIFY(child<QCheckBox>("Check1")->isChecked());
    child<QCheckBox>("Check1")->setChecked(false);
    boxes_->answerYes();
    press();
    QCOMPARE(row("SELECT utente FROM Soggetti WHERE ID = ?", {bianchi_}).value(0).toString(),
             QString("N"));
    QVERIFY(!child<QCheckBox>("Check1")->isChecked());
}

void SubjectPanelTest::deleteSubject_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void SubjectPanelTest::deleteSubject() {
    QFETCH(bool, yes);
    // Withholding rows of the subject, both as counterparty and as user.
    for (int i = 0; i < 2; ++i)
        TestDatabase::exec("INSERT INTO Ritenute (ID_A, denominazione, anno, utente) "
                           "VALUES (?, 'BIANCHI SRL', '2024', ?)",
                           {bianchi_, QString::number(i == 0 ? rossi_ : bianchi_)});
    accept("ROSSI MARIO");
    pick("Elimina", "BIANCHI SRL");
    QCOMPARE(focused(), QString("Text2"));
    QCOMPARE(text("Text1")->text(), QString::number(bianchi_));
    boxes_->answer(yes ? BoxAnswer::Yes : BoxAnswer::No);
    press();

    QStringList expected{kAskDelete};
    if (yes)
        expected << "Velarco - ELIMINA SOGGETTO|Eliminazione  di       BIANCHI SRL   effettuata "
                    "con successo ! |I";
    QCOMPARE(boxesOf(*boxes_), expected);
    QCOMPARE(count("SELECT count(*) FROM Soggetti WHERE ID = ?", {bianchi_}), yes ? 0 : 1);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), yes ? 1 : 2);
    QCOMPARE(count("SELECT count(*) FROM Ritenute WHERE ID_A = ?", {bianchi_}), 2);
    QVERIFY(!window_->panel("Frame1")->isVisible());
    QCOMPARE(text("Text2")->text().isEmpty(), yes);
}

// The subject disappears between the pick and the press: nothing is written and
// no success is shown.
void SubjectPanelTest::vanishedSubjectShowsNoSuccess_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("expectedBoxes");
    QTest::newRow("change") << "Modifica"
                            << QStringList{kAskChange,
                                           "ERRORE -- BLOCCANTE  |La modifica non è avvenuta: il "
                                           "Soggetto con ID %1 non esiste più, è stato eliminato "
                                           "nel frattempo|I"};
    QTest::newRow("delete") << "Elimina"
                            << QStringList{kAskDelete,
                                           "Velarco - ELIMINA SOGGETTO|Il Soggetto selezionato non "
                                           "esiste: nessuna eliminazione effettuata|I"};
}

void SubjectPanelTest::vanishedSubjectShowsNoSuccess() {
    QFETCH(QString, mode);
    QFETCH(QStringList, expectedBoxes);
    accept("ROSSI MARIO");
    pick(mode.toLatin1().constData(), "BIANCHI SRL");
    TestDatabase::exec("DELETE FROM Soggetti WHERE ID = ?", {bianchi_});
    boxes_->answerYes();
    press();
    for (QString& box : expectedBoxes)
        box.replace("%1", QString::number(bianchi_));
    QCOMPARE(boxesOf(*boxes_), expectedBoxes);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 1);
    QCOMPARE(text("Text2")->text(), QString("BIANCHI SRL"));
    QCOMPARE(window_->panel("Frame1")->isVisible(), mode == "Modifica");
}

void SubjectPanelTest::failedWriteKeepsPanel_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("question");
    QTest::newRow("insert") << "Inserisci" << kAskInsert;
    QTest::newRow("change") << "Modifica" << kAskChange;
    QTest::newRow("delete") << "Elimina" << kAskDelete;
}

void SubjectPanelTest::failedWriteKeepsPanel() {
    QFETCH(QString, mode);
    QFETCH(QString, question);
    accept("ROSSI MARIO");
    if (mode == "Inserisci") {
        window_->action("Inserisci")->trigger();
        QTest::keyClicks(text("Text2"), "NUOVO");
        QTest::keyClicks(text("Text8"), "CF");
    } else {
        pick(mode.toLatin1().constData(), "BIANCHI SRL");
        text("Text3")->setText("via nuova");
    }
    const QString typedName = text("Text2")->text();
    TestDatabase::setReadOnly(true);
    boxes_->answerYes();
    press();
    TestDatabase::setReadOnly(false);

    const QStringList shown = boxesOf(*boxes_);
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0), question);
    QVERIFY2(shown.at(1).startsWith("ERRORE -- BLOCCANTE  |Errore del database: "),
             qPrintable(shown.at(1)));
    QVERIFY2(shown.at(1).contains("readonly", Qt::CaseInsensitive), qPrintable(shown.at(1)));
    QCOMPARE(text("Text2")->text(), typedName);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 2);
    QCOMPARE(count("SELECT count(*) FROM Soggetti WHERE indirizzo IS NULL AND ID = ?", {bianchi_}),
             1);
}

void SubjectPanelTest::birthDate_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("empty") << "" << QVariant();
    QTest::newRow("valid") << "05/03/1970" << QVariant("1970-03-05");
    QTest::newRow("short form") << "5/3/1970" << QVariant("1970-03-05");
    QTest::newRow("impossible day") << "31/02/2020" << QVariant();
    QTest::newRow("not a date") << "ieri" << QVariant();
    // A two-digit year is the latest one with those digits that is not in the future.
    QTest::newRow("two-digit year, last century") << "1/2/45" << QVariant("1945-02-01");
    QTest::newRow("two-digit year, this century") << "1/2/05" << QVariant("2005-02-01");
}

void SubjectPanelTest::birthDate() {
    QFETCH(QString, typed);
    QFETCH(QVariant, stored);
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QTest::keyClicks(text("Text2"), "NATO IL");
    QTest::keyClicks(text("Text8"), "CF");
    // Set without leaving the box, then F5: the date never passed the box's own check.
    child<DateBox>("DataBox1")->setText(typed);
    boxes_->answerYes();
    QTest::keyClick(window_.get(), Qt::Key_F5);
    QCOMPARE(boxesOf(*boxes_), (QStringList{kAskInsert, kInserted}));
    const QVariantList r = row("SELECT datanascita FROM Soggetti WHERE denominazione = 'NATO IL'");
    QCOMPARE(r.size(), 1);
    QCOMPARE(r.value(0).isNull(), stored.isNull());
    if (!stored.isNull())
        QCOMPARE(r.value(0).toString(), stored.toString());
}

void SubjectPanelTest::invalidDateIsReported() {
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    auto* box = child<DateBox>("DataBox1");
    box->setFocus();
    QTest::keyClicks(box->editor(), "99/99/9999");
    text("Text10")->setFocus();
    QCOMPARE(boxesOf(*boxes_), QStringList{"Velarco|Data non valida|P"});
    QVERIFY(box->text().isEmpty());
    QCOMPARE(focused(), QString("DataBox1"));
}

void SubjectPanelTest::tabOrderFollowsTheForm() {
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QStringList visited{focused()};
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focused();
    }
    QCOMPARE(visited,
             (QStringList{"Text2", "Text3", "Text7", "Text5", "Text6", "Text8", "Text9", "DataBox1",
                          "Text10", "Text11", "Text12", "Text24", "Text25", "Check1", "Cmd2"}));
}

void SubjectPanelTest::certificateFieldsRoundTrip_data() {
    QTest::addColumn<QString>("causale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("storedCausale");
    QTest::addColumn<QString>("storedCode");
    QTest::newRow("occasional work, flat-rate code") << "m"
                                                     << "24"
                                                     << "M"
                                                     << "24";
    QTest::newRow("emptied: the defaults") << ""
                                           << ""
                                           << "A"
                                           << "22";
    QTest::newRow("two letters, letters refused in the code") << "m1"
                                                              << "2x1"
                                                              << "M1"
                                                              << "21";
}

void SubjectPanelTest::certificateFieldsRoundTrip() {
    QFETCH(QString, causale);
    QFETCH(QString, code);
    QFETCH(QString, storedCausale);
    QFETCH(QString, storedCode);
    accept("ROSSI MARIO");
    pick("Modifica", "BIANCHI SRL");
    QCOMPARE(text("Text24")->text(), QString("A"));
    QCOMPARE(text("Text25")->text(), QString("22"));
    text("Text24")->clear();
    QTest::keyClicks(text("Text24"), causale);
    text("Text25")->clear();
    QTest::keyClicks(text("Text25"), code);
    boxes_->answerYes();
    press();
    const QVariantList r =
        row("SELECT causale, codicealtro FROM Soggetti WHERE ID = ?", {bianchi_});
    QCOMPARE((QStringList{r.value(0).toString(), r.value(1).toString()}),
             (QStringList{storedCausale, storedCode}));
    pick("Modifica", "BIANCHI SRL");
    QCOMPARE(text("Text24")->text(), storedCausale);
    QCOMPARE(text("Text25")->text(), storedCode);
}

void SubjectPanelTest::upperCase_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("town with accent") << "Text5"
                                      << "" << 0 << "città"
                                      << "CITTÀ" << 5;
    QTest::newRow("accents in a note") << "Text12"
                                       << "" << 0 << "àèéìòù"
                                       << "ÀÈÉÌÒÙ" << 6;
    QTest::newRow("typed in the middle") << "Text2"
                                         << "ROSSI" << 2 << "x"
                                         << "ROXSSI" << 3;
    QTest::newRow("typed at the start") << "Text3"
                                        << "VIA" << 0 << "la "
                                        << "LA VIA" << 3;
    QTest::newRow("apostrophe") << "Text10"
                                << "" << 0 << "sant'anna"
                                << "SANT'ANNA" << 9;
    QTest::newRow("province") << "Text6"
                              << "" << 0 << "mi"
                              << "MI" << 2;
    QTest::newRow("birth province") << "Text11"
                                    << "" << 0 << "pv"
                                    << "PV" << 2;
    QTest::newRow("tax code") << "Text8"
                              << "" << 0 << "rssmra"
                              << "RSSMRA" << 6;
}

void SubjectPanelTest::upperCase() {
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QLineEdit* edit = text(field.toLatin1().constData());
    edit->setFocus();
    edit->setText(before);
    edit->setCursorPosition(caret);
    type(edit, typed);
    QCOMPARE(edit->text(), after);
    QCOMPARE(edit->cursorPosition(), caretAfter);
    // Set by the program, not typed: the same.
    edit->setText(typed);
    QCOMPARE(edit->text(), typed.toUpper());
}

void SubjectPanelTest::numberKeyFilter_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("refused");
    QTest::newRow("digits") << "Text7"
                            << "20100"
                            << "20100" << false;
    QTest::newRow("full stop becomes comma") << "Text9"
                                             << "12.5"
                                             << "12,5" << false;
    QTest::newRow("comma and minus") << "Text7"
                                     << "-1,2"
                                     << "-1,2" << false;
    QTest::newRow("letter refused") << "Text7"
                                    << "20a"
                                    << "20" << true;
    QTest::newRow("space refused") << "Text9"
                                   << "0 "
                                   << "0" << true;
    QTest::newRow("accented letter refused") << "Text9"
                                             << "è"
                                             << "" << true;
}

void SubjectPanelTest::numberKeyFilter() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(bool, refused);
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QLineEdit* edit = text(field.toLatin1().constData());
    edit->setFocus();
    type(edit, typed);
    QCOMPARE(edit->text(), after);
    QCOMPARE(focused(), refused ? QString("Text6") : field);
    if (!refused) {
        // Backspace always passes.
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), after.chopped(1));
        QCOMPARE(focused(), field);
    }
}

void SubjectPanelTest::numberFieldsFilterPastesAndDrops_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    QTest::newRow("postal code pasted") << "Text7"
                                        << "paste"
                                        << "CAP 20.100"
                                        << "20,100";
    QTest::newRow("VAT number pasted") << "Text9"
                                       << "paste"
                                       << "IT 01234567890"
                                       << "01234567890";
    QTest::newRow("postal code dropped") << "Text7"
                                         << "drop"
                                         << "20100 Milano"
                                         << "20100";
    QTest::newRow("VAT number dropped, nothing left") << "Text9"
                                                      << "drop"
                                                      << "IT"
                                                      << "";
}

void SubjectPanelTest::numberFieldsFilterPastesAndDrops() {
    QFETCH(QString, field);
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(QString, after);
    accept("ROSSI MARIO");
    window_->action("Inserisci")->trigger();
    QLineEdit* edit = this->text(field.toLatin1().constData());
    edit->setFocus();
    if (way == "paste") {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        QMimeData data;
        data.setText(text);
        const QPoint at = edit->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(edit, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(edit, &drop);
    }
    QCOMPARE(edit->text(), after);
}

void SubjectPanelTest::gridListsEverySubjectInNameOrder() {
    // Names that read as false or as numbers must be listed like any other.
    TestDatabase::addSubject("0");
    TestDatabase::addSubject("ZETA SNC");
    TestDatabase::addSubject("123 SERVIZI");
    TestDatabase::addSubject("ÈRRE SNC");
    TestDatabase::addSubject("ERRE SAS");
    TestDatabase::exec("INSERT INTO Soggetti (denominazione) VALUES (NULL)");
    accept("ROSSI MARIO");
    window_->action("Modifica")->trigger();
    auto* grid = child<DataGrid>("Datagrid1");
    QCOMPARE(window_->panel("Frame3")->title(), QString("Modifica"));
    QCOMPARE(grid->columnCount(), 16);
    QStringList names;
    for (int r = 0; r < grid->rowCount(); ++r)
        names << grid->model()->index(r, 1).data().toString();
    QCOMPARE(names, (QStringList{"", "0", "123 SERVIZI", "BIANCHI SRL", "ERRE SAS", "ÈRRE SNC",
                                 "ROSSI MARIO", "ZETA SNC"}));
    QVERIFY(grid->isColumnHidden(0));
    for (int c = 1; c < 13; ++c)
        QVERIFY(!grid->isColumnHidden(c));
    // The row version is for the checked correction, not for the eye.
    QVERIFY(grid->isColumnHidden(registry::ColumnVersion));
    QCOMPARE(grid->columnWidth(1), DataGrid::twipsToPixels(4000, grid->logicalDpiX()));
    QCOMPARE(grid->columnWidth(4), DataGrid::twipsToPixels(1000, grid->logicalDpiX()));
}

// A full birth date, a codice fiscale and a partita IVA show whole in the grid's own font,
// however large.
void SubjectPanelTest::gridShowsWholeBirthDates_data() {
    QTest::addColumn<int>("pointSize");
    QTest::newRow("desktop font") << 10;
    QTest::newRow("large font") << 30;
}

void SubjectPanelTest::gridShowsWholeBirthDates() {
    QFETCH(int, pointSize);
    TestDatabase::exec("UPDATE Soggetti SET datanascita = '2021-12-28', "
                       "codice = 'WWWMMM80M01W501W', partita = '08888888888'");
    auto* grid = child<DataGrid>("Datagrid1");
    grid->setFont(QFont("Liberation Sans", pointSize));
    window_->action("Modifica")->trigger();
    QCOMPARE(grid->model()->index(0, registry::ColumnBirthDate).data().toString(),
             QString("28/12/2021"));
    for (const int column :
         {registry::ColumnBirthDate, registry::ColumnTaxCode, registry::ColumnVatNumber})
        QVERIFY2(grid->columnWidth(column) >= neededWidth(*grid, 0, column),
                 qPrintable(QString::number(column)));
    QCOMPARE(grid->columnWidth(registry::ColumnPostalCode),
             DataGrid::twipsToPixels(1000, grid->logicalDpiX()));
}

void SubjectPanelTest::gridPickLoadsRow_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("change, click") << "Modifica" << false;
    QTest::newRow("change, Enter") << "Modifica" << true;
    QTest::newRow("delete, click") << "Elimina" << false;
}

void SubjectPanelTest::gridPickLoadsRow() {
    QFETCH(QString, mode);
    QFETCH(bool, byKey);
    accept("ROSSI MARIO");
    pick(mode.toLatin1().constData(), "ROSSI MARIO", byKey);
    const QList<QPair<const char*, QString>> expected = {
        {"Text1", QString::number(rossi_)},
        {"Text2", "ROSSI MARIO"},
        {"Text3", "VIA ROMA 1"},
        {"Text5", "MILANO"},
        {"Text7", "20100"},
        {"Text6", "MI"},
        {"Text10", "PAVIA"},
        {"Text11", "PV"},
        {"Text8", "RSSMRA70C05G388X"},
        {"Text9", "01234567890"},
        {"Text12", "NOTA D'ESEMPIO"},
        {"Text24", "A"},
        {"Text25", "22"},
    };
    for (const auto& [name, value] : expected)
        QCOMPARE(text(name)->text(), value);
    QCOMPARE(child<DateBox>("DataBox1")->text(), QString("05/03/1970"));
    QVERIFY(child<QCheckBox>("Check1")->isChecked());
    QCOMPARE(child<QPushButton>("Cmd2")->text(), mode);
    QCOMPARE(focused(), QString("Text2"));
    QVERIFY(text("Text1")->isReadOnly());
    QCOMPARE(boxes_->shown().size(), 0);
}

QTEST_MAIN(SubjectPanelTest)
#include "tst_subject_panel.moc"
