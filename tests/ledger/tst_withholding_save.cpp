#include "ledger_window.h"
#include "widgets/date_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

namespace {

const QString kInserted = "L' inserimento è avvenuto con successo !";
const QString kModified = "La modifica è avvenuta con successo !";
const QString kBlocking = "ERRORE -- BLOCCANTE  ";

using Fields = QMap<QString, QString>;

} // namespace

class WithholdingSaveTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every test runs twice: with boxes answered in place, and with real modal boxes
    // that take the window's activation while they are open.
    void initTestCase_data();
    void init();
    void cleanup();

    void roundTrip();
    void typedChoiceAfterSave();
    void findings_data();
    void findings();
    void answerNo_data();
    void answerNo();
    void failedWrite_data();
    void failedWrite();
    void loadFlags_data();
    void loadFlags();
    void loadKeepsRowAmounts_data();
    void loadKeepsRowAmounts();
    void loadWithoutPaymentDate();
    void remittanceYearWarning_data();
    void remittanceYearWarning();
    void changedByAnotherOperator_data();
    void changedByAnotherOperator();
    void lostConnection();

private:
    // Fills the panel in insert mode with a record that passes every check.
    void fillValidRecord();
    // Sets the texts of fields by name (combos, line edits, date boxes).
    void setFields(const Fields& fields);
    void pressCmd3() { w_->child<QPushButton>("Cmd3")->click(); }
    // Opens the ledger grid in `mode` ("Rmodifica" or "RElimina") and picks row `row`.
    void pick(const char* mode, int row = 0);
    QCheckBox* check(const char* name) { return w_->child<QCheckBox>(name); }
    DateBox* date(const char* name) { return w_->child<DateBox>(name); }

    std::unique_ptr<LedgerWindow> w_;
    qint64 bianchi_ = 0;
};

void WithholdingSaveTest::initTestCase_data() {
    QTest::addColumn<bool>("modal");
    QTest::newRow("scripted boxes") << false;
    QTest::newRow("modal boxes") << true;
}

void WithholdingSaveTest::init() {
    QFETCH_GLOBAL(bool, modal);
    w_ = std::make_unique<LedgerWindow>("2011", modal ? LedgerWindow::Boxes::Modal
                                                      : LedgerWindow::Boxes::Scripted);
    QVERIFY(w_->db.ok());
    if (modal && !w_->window->isActiveWindow())
        QSKIP("modal boxes need the window to be active");
    bianchi_ = TestDatabase::addSubject("BIANCHI SRL");
}

void WithholdingSaveTest::cleanup() {
    const int missed = w_->modalBoxes.activationsMissed();
    w_.reset();
    QCOMPARE(missed, 0);
}

void WithholdingSaveTest::setFields(const Fields& fields) {
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        QWidget* widget = w_->child(it.key().toLatin1().constData());
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            combo->setEditText(it.value());
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setText(it.value());
        else if (auto* box = qobject_cast<DateBox*>(widget))
            box->setText(it.value());
        else
            QFAIL(qPrintable(it.key()));
    }
}

void WithholdingSaveTest::fillValidRecord() {
    w_->trigger("Rinserisci");
    w_->choose("Cbo3", "BIANCHI SRL");
    date("DataBox2")->setText("10/02/2011");
    w_->child<QLineEdit>("Text19")->setText("12/A");
    w_->choose("Cbo5", "1040");
    w_->child<QLineEdit>("Text20")->setText("1.000,00");
    w_->choose("Cbo4", "20");
    check("Check4")->setChecked(true);
    check("Check2")->setChecked(true);
    date("DataBox3")->setText("05/03/2011");
    LedgerWindow::enterAndLeave(date("DataBox3"));
    date("DataBox4")->setText("16/04/2011");
    LedgerWindow::enterAndLeave(date("DataBox4"));
    w_->child<QLineEdit>("Text18")->setText("200,00");
}

void WithholdingSaveTest::pick(const char* mode, int row) {
    w_->trigger(mode);
    auto* grid = w_->child<QTableView>("Datagrid1");
    QVERIFY(grid->model() && grid->model()->rowCount() > row);
    grid->setCurrentIndex(grid->model()->index(row, 2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->currentIndex()).center());
    QVERIFY(w_->window->panel("Frame4")->isVisible());
}

void WithholdingSaveTest::roundTrip() {
    fillValidRecord();
    QCOMPARE(w_->text("Text15"), QString("200,00"));
    QCOMPARE(w_->text("Text17"), QString("1.200,00"));
    w_->boxes.answerYes();
    pressCmd3();
    QCOMPARE(w_->boxes.texts(), QStringList({"Vuoi Inserire questi dati ?", kInserted}));
    QCOMPARE(w_->boxes.shown().at(0).title, QString("Velarco - INSERIMENTO"));
    QCOMPARE(w_->boxes.shown().at(0).buttons, BoxButtons::YesNo);
    QCOMPARE(w_->boxes.shown().at(0).icon, BoxIcon::None);
    QCOMPARE(w_->boxes.shown().at(1).icon, BoxIcon::Information);
    QCOMPARE(LedgerWindow::recordCount(), 1);
    Result<QSqlQuery> ids = store::run("SELECT max(ID) FROM Ritenute");
    QVERIFY(ids.ok() && ids.value.next());
    const qint64 id = ids.value.value(0).toLongLong();
    const QVariantMap expected = {{"ID", id},
                                  {"ID_A", bianchi_},
                                  {"denominazione", "BIANCHI SRL"},
                                  {"FT", "12/A"},
                                  {"data", "2011-02-10"},
                                  {"imponibile", 100000},
                                  {"aliquota", 2000},
                                  {"ritenuta", 20000},
                                  {"altro", 0},
                                  {"totale", 120000},
                                  {"pag", "S"},
                                  {"datap", "2011-03-05"},
                                  {"periodo", "3"},
                                  {"versamento", "2011-04-16"},
                                  {"ravv", "N"},
                                  {"versato", 20000},
                                  {"interessi", 0},
                                  {"sanzione", 0},
                                  {"tributo", "1040"},
                                  {"anno", "2011"},
                                  {"utente", QString::number(w_->userId)},
                                  {"scadenza", "2011-04-16"}};
    QVariantMap row = LedgerWindow::record(id);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(row.value(it.key()).toString(), it.value().toString());
    // Emptied for the next invoice, still in insert mode with the menus held.
    QVERIFY(w_->window->panel("Frame4")->isVisible());
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), QString("Inserisci"));
    for (const char* name : {"Cbo3", "Cbo4", "Cbo5", "Text19", "Text20", "Text15", "Text17"})
        QCOMPARE(w_->text(name), QString());
    for (const char* name : {"Check2", "Check3", "Check4"})
        QVERIFY(!check(name)->isChecked());
    QVERIFY(!w_->window->action("Ritenute")->isEnabled());

    // Correction: the row comes back as the grid shows it.
    QTest::mouseClick(w_->child<QLabel>("Image2"), Qt::LeftButton);
    pick("Rmodifica");
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), QString("ModificaR"));
    const Fields loaded = {{"Text22", QString::number(id)},
                           {"Text23", QString::number(bianchi_)},
                           {"Cbo3", "BIANCHI SRL"},
                           {"Text19", "12/A"},
                           {"Text20", "1.000,00"},
                           {"Cbo4", "20"},
                           {"Text15", "200,00"},
                           {"Text16", "0,00"},
                           {"Text17", "1.200,00"},
                           {"Text4", "3"},
                           {"Text18", "200,00"},
                           {"Cbo5", "1040"},
                           {"Text21", "16/04/2011"}};
    for (auto it = loaded.begin(); it != loaded.end(); ++it)
        QCOMPARE(w_->text(it.key().toLatin1().constData()), it.value());
    QCOMPARE(date("DataBox2")->text(), QString("10/02/2011"));
    QCOMPARE(date("DataBox3")->text(), QString("05/03/2011"));
    QCOMPARE(date("DataBox4")->text(), QString("16/04/2011"));
    QVERIFY(check("Check2")->isChecked());
    QVERIFY(!check("Check3")->isChecked());
    if (w_->window->isActiveWindow())
        QVERIFY(w_->child<QComboBox>("Cbo3")->hasFocus());

    w_->child<QLineEdit>("Text20")->setText("2.000,00");
    w_->choose("Cbo4", "20");
    w_->child<QLineEdit>("Text18")->setText("400,00");
    w_->boxes.clear();
    w_->boxes.answerYes();
    pressCmd3();
    // Choosing the rate again emptied the total: a warning, then the confirmation.
    QCOMPARE(w_->boxes.texts(),
             QStringList({"Inserire il campo Totale, splittando il campo Controlla !",
                          "Vuoi Modificare questi dati ?", kModified}));
    QCOMPARE(w_->boxes.shown().at(1).title, QString("Velarco - MODIFICA"));
    row = LedgerWindow::record(id);
    QCOMPARE(row.value("imponibile").toLongLong(), 200000);
    QCOMPARE(row.value("ritenuta").toLongLong(), 40000);
    // The total is recomputed after the confirmation, ticked or not.
    QCOMPARE(row.value("totale").toLongLong(), 240000);
    QCOMPARE(row.value("versato").toLongLong(), 40000);
    QCOMPARE(row.value("FT").toString(), QString("12/A"));
    QCOMPARE(row.value("ID_A").toLongLong(), bianchi_);
    QCOMPARE(LedgerWindow::recordCount(), 1);
    QVERIFY(!w_->window->panel("Frame4")->isVisible());
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), QString("ModificaR"));
    QVERIFY(w_->window->action("Ritenute")->isEnabled());
    QVERIFY(w_->window->action("Funzioni")->isEnabled());

    pick("RElimina");
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), QString("EliminaR"));
    QCOMPARE(w_->text("Text20"), QString("2.000,00"));
    w_->boxes.clear();
    w_->boxes.answerYes();
    pressCmd3();
    QCOMPARE(w_->boxes.texts(),
             QStringList({"Vuoi Eliminare questi dati ?",
                          "Eliminazione  di       BIANCHI SRL   effettuata con successo ! "}));
    QCOMPARE(w_->boxes.shown().at(0).title, QString("Velarco - ELIMINA"));
    QCOMPARE(w_->boxes.shown().at(1).title, QString("Velarco - ELIMINA SOGGETTO"));
    QCOMPARE(LedgerWindow::recordCount(), 0);
    QVERIFY(!w_->window->panel("Frame4")->isVisible());
    QVERIFY(w_->window->action("Esci")->isEnabled());
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), QString("EliminaR"));
    QCOMPARE(w_->text("Cbo3"), QString());
    QCOMPARE(w_->text("Text22"), QString());
}

// Fields changed from a valid record, then the boxes shown in order (text and title),
// and whether the record is written. A Yes is ready for the confirmation.
void WithholdingSaveTest::typedChoiceAfterSave() {
    fillValidRecord();
    w_->boxes.answerYes();
    pressCmd3();
    QCOMPARE(LedgerWindow::recordCount(), 1);
    // The save empties the texts; the lists still hold "20" and "1040" under them. Typed
    // and confirmed, each is a choice again.
    w_->child<QLineEdit>("Text20")->setText("100,00");
    for (const auto& [name, typed] : {std::pair{"Cbo5", "1040"}, std::pair{"Cbo4", "20"}}) {
        QLineEdit* edit = w_->child<QComboBox>(name)->lineEdit();
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QCOMPARE(w_->text("Text15"), QString("20,00"));
    QVERIFY(w_->child<QLabel>("Label39")->text().startsWith("Ritenute su redditi"));
    // Emptied again and picked from the list: the entry shows and counts.
    w_->child<QComboBox>("Cbo4")->setEditText(QString());
    w_->child<QLineEdit>("Text20")->setText("50,00");
    w_->choose("Cbo4", "20");
    QCOMPARE(w_->text("Cbo4"), QString("20"));
    QCOMPARE(w_->text("Text15"), QString("10,00"));
}

void WithholdingSaveTest::findings_data() {
    QTest::addColumn<Fields>("changes");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("written");
    QTest::newRow("valid") << Fields{} << QStringList{"Vuoi Inserire questi dati ?", kInserted}
                           << "" << true;
    QTest::newRow("wrong withholding stops")
        << Fields{{"Text15", "199,00"}}
        << QStringList{"Errore: calcolo importo Ritenuta sbagliato  !|ERRORE -- BLOCCANTE  "}
        << "Cbo4" << false;
    QTest::newRow("blank name stops")
        << Fields{{"Cbo3", ""}}
        << QStringList{"Inserire il campo Denominazione!|ERRORE -- BLOCCANTE  CAMPO   VUOTO"}
        << "Cbo3" << false;
    QTest::newRow("warnings then confirmation")
        << Fields{{"Text17", "0,00"}, {"DataBox2", "10/02/2009"}}
        << QStringList{"Inserire il campo Totale, splittando il campo Controlla !",
                       "Attenzione Anno fattura diverso da quello dell' anno  inserimento della "
                       "registrazione !",
                       "Vuoi Inserire questi dati ?", kInserted}
        << "" << true;
    // A typed date that does not read stops the save instead of being left out of it.
    QTest::newRow("negative invoice year stops")
        << Fields{{"DataBox2", "01/01/-001"}} << QStringList{"Data non valida|Velarco"}
        << "DataBox2" << false;
    QTest::newRow("payment year after 2100 stops")
        << Fields{{"DataBox3", "05/03/2101"}} << QStringList{"Data non valida|Velarco"}
        << "DataBox3" << false;
    QTest::newRow("unreadable remittance date stops")
        << Fields{{"DataBox4", "16/04/-2025"}} << QStringList{"Data non valida|Velarco"}
        << "DataBox4" << false;
    QTest::newRow("warning then stop")
        << Fields{{"Text17", ""}, {"Text15", ""}}
        << QStringList{"Inserire il campo Totale, splittando il campo Controlla !",
                       "Inserire il campo Ritenuta!"}
        << "Text15" << false;
}

void WithholdingSaveTest::findings() {
    QFETCH(Fields, changes);
    QFETCH(QStringList, shown);
    QFETCH(QString, focus);
    QFETCH(bool, written);
    fillValidRecord();
    setFields(changes);
    w_->boxes.answerYes();
    pressCmd3();
    QStringList texts = w_->boxes.texts();
    for (int i = 0; i < shown.size() && i < texts.size(); ++i) {
        if (shown.at(i).contains('|'))
            texts[i] += '|' + w_->boxes.shown().at(i).title;
    }
    QCOMPARE(texts, shown);
    QCOMPARE(LedgerWindow::recordCount(), written ? 1 : 0);
    if (written) {
        QCOMPARE(LedgerWindow::record(1).value("totale").toLongLong(), 120000);
        QCOMPARE(LedgerWindow::record(1).value("anno").toString(), QString("2011"));
    } else {
        QCOMPARE(w_->text("Text19"), QString("12/A"));
        QCOMPARE(w_->text("Text20"), QString("1.000,00"));
        if (w_->window->isActiveWindow()) {
            QWidget* focused = QApplication::focusWidget();
            QWidget* expected = w_->child(focus.toLatin1().constData());
            QVERIFY(focused == expected || expected->isAncestorOf(focused));
        }
    }
}

void WithholdingSaveTest::answerNo_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("insert") << "Rinserisci";
    QTest::newRow("modify") << "Rmodifica";
    QTest::newRow("delete") << "RElimina";
}

void WithholdingSaveTest::answerNo() {
    QFETCH(QString, mode);
    const qint64 id = w_->addRecord({{"ID_A", bianchi_},
                                     {"denominazione", "BIANCHI SRL"},
                                     {"FT", "7"},
                                     {"data", "2011-01-05"},
                                     {"imponibile", 50000},
                                     {"aliquota", 2000},
                                     {"ritenuta", 10000},
                                     {"totale", 60000},
                                     {"versato", 10000},
                                     {"tributo", "1040"}});
    const QVariantMap before = LedgerWindow::record(id);
    if (mode == "Rinserisci") {
        fillValidRecord();
    } else {
        pick(mode.toLatin1().constData());
        w_->child<QLineEdit>("Text19")->setText("8");
    }
    const QString caption = w_->child<QPushButton>("Cmd3")->text();
    const QString typed = w_->text("Text19");
    w_->boxes.answerNo();
    pressCmd3();
    QCOMPARE(w_->boxes.shown().size(), 1);
    QCOMPARE(w_->boxes.last().buttons, BoxButtons::YesNo);
    QCOMPARE(LedgerWindow::recordCount(), 1);
    QCOMPARE(LedgerWindow::record(id), before);
    QVERIFY(w_->window->panel("Frame4")->isVisible());
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), caption);
    QCOMPARE(w_->text("Text19"), typed);
    QCOMPARE(w_->text("Cbo3"), QString("BIANCHI SRL"));
}

// A write the database refuses: the reason is shown, no success follows, the row and
// the panel stay as they were.
void WithholdingSaveTest::failedWrite_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("insert, read-only") << "Rinserisci"
                                       << "readonly" << TestDatabase::readOnlyReason();
    QTest::newRow("modify, read-only") << "Rmodifica"
                                       << "readonly" << TestDatabase::readOnlyReason();
    QTest::newRow("modify, row gone") << "Rmodifica"
                                      << "gone"
                                      << "non esiste più";
    QTest::newRow("delete, read-only") << "RElimina"
                                       << "readonly" << TestDatabase::readOnlyReason();
    QTest::newRow("delete, row gone") << "RElimina"
                                      << "gone"
                                      << "non esiste più";
}

void WithholdingSaveTest::failedWrite() {
    QFETCH(QString, mode);
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    const qint64 id = w_->addRecord({{"ID_A", bianchi_},
                                     {"denominazione", "BIANCHI SRL"},
                                     {"FT", "7"},
                                     {"data", "2011-01-05"},
                                     {"imponibile", 50000},
                                     {"aliquota", 2000},
                                     {"ritenuta", 10000},
                                     {"totale", 60000},
                                     {"versato", 10000},
                                     {"tributo", "1040"}});
    if (mode == "Rinserisci") {
        fillValidRecord();
    } else {
        pick(mode.toLatin1().constData());
        w_->child<QLineEdit>("Text19")->setText("8");
    }
    const QVariantMap before = LedgerWindow::record(id);
    if (fault == "readonly")
        TestDatabase::setReadOnly(true);
    else
        TestDatabase::exec("DELETE FROM Ritenute WHERE ID = ?", {id});
    const int count = LedgerWindow::recordCount();
    const QString caption = w_->child<QPushButton>("Cmd3")->text();
    w_->boxes.answerYes();
    pressCmd3();
    TestDatabase::setReadOnly(false);

    QCOMPARE(w_->boxes.shown().size(), 2);
    QCOMPARE(w_->boxes.last().title, kBlocking);
    QCOMPARE(w_->boxes.last().icon, BoxIcon::Information);
    QVERIFY2(w_->boxes.last().text.contains(reason), qPrintable(w_->boxes.last().text));
    QCOMPARE(LedgerWindow::recordCount(), count);
    if (fault == "readonly")
        QCOMPARE(LedgerWindow::record(id), before);
    QVERIFY(w_->window->panel("Frame4")->isVisible());
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), caption);
    QCOMPARE(w_->text("Cbo3"), QString("BIANCHI SRL"));
    QCOMPARE(w_->text("Text19"), mode == "Rinserisci" ? QString("12/A") : QString("8"));
    QVERIFY(!w_->window->action("Ritenute")->isEnabled());
}

void WithholdingSaveTest::changedByAnotherOperator_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("reload");
    QTest::newRow("correction, reloaded") << "Rmodifica" << true;
    QTest::newRow("correction, not reloaded") << "Rmodifica" << false;
    QTest::newRow("deletion, reloaded") << "RElimina" << true;
}

// Another operator corrects the record after this one loaded it: the write is refused,
// nothing is overwritten, no success follows, and "Sì" loads the record as it is now.
void WithholdingSaveTest::changedByAnotherOperator() {
    QFETCH(QString, mode);
    QFETCH(bool, reload);
    const qint64 id = w_->addRecord({{"ID_A", bianchi_},
                                     {"denominazione", "BIANCHI SRL"},
                                     {"FT", "7"},
                                     {"data", "2011-01-05"},
                                     {"imponibile", 50000},
                                     {"aliquota", 2000},
                                     {"ritenuta", 10000},
                                     {"totale", 60000},
                                     {"versato", 10000},
                                     {"tributo", "1040"}});
    pick(mode.toLatin1().constData());
    w_->child<QLineEdit>("Text19")->setText("8");
    TestDatabase::exec("UPDATE Ritenute SET FT = 'ALTRO', versione = versione + 1 WHERE ID = ?",
                       {id});
    w_->boxes.answerYes();
    if (reload)
        w_->boxes.answerYes();
    else
        w_->boxes.answerNo();
    pressCmd3();

    QCOMPARE(w_->boxes.shown().size(), 2);
    QVERIFY2(w_->boxes.last().text.contains("modificata da un altro operatore"),
             qPrintable(w_->boxes.last().text));
    QCOMPARE(LedgerWindow::recordCount(), 1);
    QCOMPARE(LedgerWindow::record(id).value("FT").toString(), QString("ALTRO"));
    QVERIFY(w_->window->panel("Frame4")->isVisible());
    QCOMPARE(w_->text("Text19"), reload ? QString("ALTRO") : QString("8"));
    if (!reload)
        return;
    // Loaded afresh, the record is corrected at its new version.
    w_->child<QLineEdit>("Text19")->setText("9");
    w_->boxes.answerYes();
    pressCmd3();
    if (mode == "RElimina")
        QCOMPARE(LedgerWindow::recordCount(), 0);
    else
        QCOMPARE(LedgerWindow::record(id).value("FT").toString(), QString("9"));
}

// The server ends the program's connection (as when it restarts) just before a save: the
// save is refused with the reason, no success follows, nothing is written, and the next
// save opens the connection again and writes.
void WithholdingSaveTest::lostConnection() {
    if (!TestDatabase::onServer())
        QSKIP("a connection to a server");
    fillValidRecord();
    QSqlDatabase other = w_->db.secondConnection();
    QVERIFY(other.isOpen());
    const auto storedRecords = [&other] {
        QSqlQuery count(other);
        return count.exec("SELECT count(*) FROM Ritenute") && count.next() ? count.value(0).toInt()
                                                                           : -1;
    };
    QSqlQuery end(other);
    QVERIFY2(end.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                      "WHERE datname = current_database() AND pid <> pg_backend_pid()"),
             qPrintable(end.lastError().text()));

    w_->boxes.answerYes();
    pressCmd3();
    QCOMPARE(w_->boxes.last().title, kBlocking);
    QVERIFY2(w_->boxes.last().text.contains("connessione al server interrotta"),
             qPrintable(w_->boxes.last().text));
    QVERIFY(!w_->boxes.texts().contains(kInserted));
    QCOMPARE(storedRecords(), 0);
    QVERIFY(w_->window->panel("Frame4")->isVisible());
    QCOMPARE(w_->text("Text19"), QString("12/A"));

    w_->boxes.clear();
    w_->boxes.answerYes();
    pressCmd3();
    QVERIFY2(w_->boxes.texts().contains(kInserted), qPrintable(w_->boxes.texts().join('|')));
    QCOMPARE(storedRecords(), 1);
}

void WithholdingSaveTest::loadFlags_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("S") << "S" << true;
    QTest::newRow("N") << "N" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("lower-case s") << "s" << false;
}

void WithholdingSaveTest::loadFlags() {
    QFETCH(QString, stored);
    QFETCH(bool, ticked);
    w_->addRecord({{"denominazione", "BIANCHI SRL"},
                   {"pag", stored},
                   {"ravv", stored},
                   {"datap", "2011-03-05"},
                   {"periodo", "3"},
                   {"scadenza", "2011-04-16"},
                   {"interessi", 110},
                   {"sanzione", 55},
                   {"versato", 20165}});
    pick("Rmodifica");
    QCOMPARE(check("Check2")->isChecked(), ticked);
    QCOMPARE(check("Check3")->isChecked(), ticked);
    // The row's values prevail over what the flags' reactions clear.
    QCOMPARE(date("DataBox3")->text(), QString("05/03/2011"));
    QCOMPARE(w_->text("Text4"), QString("3"));
    QCOMPARE(w_->text("Text21"), QString("16/04/2011"));
    QCOMPARE(w_->text("Text13"), QString("1,10"));
    QCOMPARE(w_->text("Text14"), QString("0,55"));
    QCOMPARE(w_->text("Text18"), QString("201,65"));
    // The fields a flag governs follow it.
    QCOMPARE(date("DataBox3")->isEnabled(), ticked);
    QCOMPARE(w_->child<QLineEdit>("Text13")->isEnabled(), ticked);
}

void WithholdingSaveTest::loadKeepsRowAmounts_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("listsReloaded");
    QTest::newRow("modify") << "Rmodifica" << true;
    QTest::newRow("delete") << "RElimina" << false;
}

void WithholdingSaveTest::loadKeepsRowAmounts() {
    QFETCH(QString, mode);
    QFETCH(bool, listsReloaded);
    w_->addRecord({{"ID_A", 999},
                   {"denominazione", "GIALLI SNC"},
                   {"imponibile", 123456},
                   {"aliquota", 2000},
                   {"ritenuta", 19900},
                   {"altro", 500},
                   {"totale", 123400},
                   {"tributo", "1019"}});
    TestDatabase::exec("INSERT INTO Percentuale (Percentuale) VALUES (2300)");
    pick(mode.toLatin1().constData());
    QCOMPARE(w_->text("Text20"), QString("1.234,56"));
    QCOMPARE(w_->text("Cbo4"), QString("20"));
    QCOMPARE(w_->text("Text15"), QString("199,00"));
    QCOMPARE(w_->text("Text16"), QString("5,00"));
    QCOMPARE(w_->text("Text17"), QString("1.234,00"));
    QCOMPARE(w_->text("Cbo5"), QString("1019"));
    QVERIFY(
        w_->child<QLabel>("Label39")->text().startsWith("Ritenute del 4% operate dal condominio"));
    QCOMPARE(w_->text("Cbo3"), QString("GIALLI SNC"));
    // The row's subject key stays, even for a name that matches no subject.
    QCOMPARE(w_->text("Text23"), QString("999"));
    QCOMPARE(w_->child<QComboBox>("Cbo4")->count(), listsReloaded ? 3 : 0);
    QCOMPARE(w_->child<QComboBox>("Cbo3")->count(), listsReloaded ? 2 : 0);
}

void WithholdingSaveTest::loadWithoutPaymentDate() {
    w_->addRecord({{"denominazione", "BIANCHI SRL"}, {"pag", "S"}});
    date("DataBox3")->setText("01/01/2011");
    pick("Rmodifica");
    QVERIFY(check("Check2")->isChecked());
    QCOMPARE(date("DataBox3")->text(), QString());
    QVERIFY(!date("DataBox3")->date().isValid());
}

void WithholdingSaveTest::remittanceYearWarning_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("Sì") << true;
    QTest::newRow("No, then on") << false;
}

// Paid in December, remitted on 16 January: the warning on the remittance year puts the
// operator back in the remittance date, and the confirmation follows while they are in
// it. Neither box is a move to another field: the amount remitted stays as typed.
void WithholdingSaveTest::remittanceYearWarning() {
    QFETCH(bool, confirmed);
    w_->trigger("Rinserisci");
    w_->choose("Cbo3", "BIANCHI SRL");
    date("DataBox2")->setText("10/12/2011");
    w_->choose("Cbo5", "1040");
    w_->child<QLineEdit>("Text20")->setText("1.000,00");
    w_->choose("Cbo4", "20");
    check("Check4")->setChecked(true);
    check("Check2")->setChecked(true);
    QLineEdit* paymentDate = date("DataBox3")->editor();
    paymentDate->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(paymentDate, "20/12/2011");
    // Leaving the payment date moves on to the remittance date.
    w_->child<QLineEdit>("Text19")->setFocus(Qt::TabFocusReason);
    QCOMPARE(w_->text("Text21"), QString("16/01/2012"));
    QCOMPARE(QApplication::focusWidget(), date("DataBox4")->editor());
    QTest::keyClicks(date("DataBox4")->editor(), "16/01/2012");
    auto* remitted = w_->child<QLineEdit>("Text18");
    remitted->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(remitted, "200");

    w_->boxes.answer(confirmed ? BoxAnswer::Yes : BoxAnswer::No);
    QTest::mouseClick(w_->child<QPushButton>("Cmd3"), Qt::LeftButton);
    QCOMPARE(w_->boxes.texts().mid(0, 2),
             QStringList({"Attenzione Anno di Versamento  diverso da quello dell' anno  "
                          "inserimento della registrazione !",
                          "Vuoi Inserire questi dati ?"}));
    if (confirmed) {
        QCOMPARE(w_->boxes.texts().value(2), kInserted);
        Result<QSqlQuery> rows = store::run("SELECT versato, versamento, scadenza FROM Ritenute");
        QVERIFY(rows.ok() && rows.value.next());
        QCOMPARE(rows.value.value(0).toLongLong(), 20000);
        QCOMPARE(rows.value.value(1).toString(), QString("2012-01-16"));
        QCOMPARE(rows.value.value(2).toString(), QString("2012-01-16"));
        return;
    }
    QCOMPARE(LedgerWindow::recordCount(), 0);
    QCOMPARE(QApplication::focusWidget(), date("DataBox4")->editor());
    QCOMPARE(remitted->text(), QString("200,00"));
    // Moving on from the unchanged remittance date keeps the amount as well.
    w_->child<QWidget>("Check3")->setFocus(Qt::TabFocusReason);
    QCOMPARE(remitted->text(), QString("200,00"));
    QCOMPARE(date("DataBox4")->text(), QString("16/01/2012"));
}

QTEST_MAIN(WithholdingSaveTest)
#include "tst_withholding_save.moc"
