#include "ledger/amount_field.h"
#include "ledger/withholding_panel.h"
#include "ledger_window.h"
#include "widgets/date_box.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTableView>

namespace {

const QStringList kWorkMenus = {"Esci", "Anagrafica", "Ritenute", "Servizi", "Funzioni"};
const QStringList kPanels = {"Frame1", "Frame3", "Frame4", "Frame5", "Frame6"};

// Enabled work menus and visible panels, "1" on and "0" off, in list order.
QString stateOf(const Nota& window) {
    QString state;
    for (const QString& menu : kWorkMenus)
        state += window.action(menu.toLatin1().constData())->isEnabled() ? '1' : '0';
    state += ' ';
    for (const QString& panel : kPanels)
        state += window.panel(panel.toLatin1().constData())->isVisible() ? '1' : '0';
    return state;
}

// Text dragged from elsewhere and dropped in the middle of `field`.
void dropText(QWidget* field, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at = field->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(field, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(field, &drop);
}

// A click on the box's indicator, where the operator ticks it.
void clickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

} // namespace

class WithholdingPanelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void fieldsAndLists();
    void keyFilter_data();
    void keyFilter();
    void droppedText_data();
    void droppedText();
    void formattingOnLeave_data();
    void formattingOnLeave();
    void rateChoice_data();
    void rateChoice();
    void rateChosenBeforeTaxable();
    void totalOnRequest_data();
    void totalOnRequest();
    void paymentDate_data();
    void paymentDate();
    void remittanceDate_data();
    void remittanceDate();
    void windowLeftWhileInField_data();
    void windowLeftWhileInField();
    void invalidDate_data();
    void invalidDate();
    void taxCodeDescription_data();
    void taxCodeDescription();
    void subjectKey_data();
    void subjectKey();
    void modes_data();
    void modes();
    void insertModeKeepsFields();
    void paidFlag();
    void lateRegularisationFlag();
    void closePicture();
    void escapeAsksBeforeLosingTyping();

private:
    std::unique_ptr<LedgerWindow> w_;
};

void WithholdingPanelTest::init() {
    w_ = std::make_unique<LedgerWindow>();
    QVERIFY(w_->db.ok());
    QCOMPARE(w_->window->currentUserId(), QString::number(w_->userId));
}

void WithholdingPanelTest::cleanup() {
    w_.reset();
}

void WithholdingPanelTest::fieldsAndLists() {
    TestDatabase::exec("INSERT INTO Percentuale (Percentuale) VALUES (2300)");
    w_->trigger("Rinserisci");
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), QString("Inserisci"));
    QStringList rates;
    auto* Cbo4 = w_->child<QComboBox>("Cbo4");
    for (int i = 0; i < Cbo4->count(); ++i)
        rates << Cbo4->itemText(i);
    QCOMPARE(rates, QStringList({"4", "20", "23"}));
    QCOMPARE(Cbo4->currentIndex(), -1);
    auto* Cbo5 = w_->child<QComboBox>("Cbo5");
    QCOMPARE(Cbo5->itemText(0), QString("1001"));
    QCOMPARE(Cbo5->count(), 4);
    QCOMPARE(w_->child<QComboBox>("Cbo3")->itemText(0), QString("ROSSI MARIO"));
    // The period list of the search panel.
    w_->child<WithholdingPanel>("Frame4")->CaricaPeriodi();
    auto* Cbo6 = w_->child<QComboBox>("Cbo6");
    QCOMPARE(Cbo6->count(), 12);
    QCOMPARE(Cbo6->itemText(0), QString("1"));
    QCOMPARE(Cbo6->itemText(11), QString("12"));
    for (const char* name : {"Text17", "Text4", "Text21", "Text22", "Text23"})
        QVERIFY2(w_->child<QLineEdit>(name)->isReadOnly(), name);
    for (const char* name : {"Text13", "Text14", "Text15", "Text16", "Text18", "Text20"})
        QVERIFY2(w_->window->findChild<AmountField*>(name), name);
    // The tab chain runs through the editable fields in their order on the panel.
    QStringList chain;
    QWidget* at = w_->child<QComboBox>("Cbo3");
    for (int i = 0; i < 40 && chain.size() < 8; ++i) {
        at = at->nextInFocusChain();
        const QString name = at->objectName().isEmpty() && at->parentWidget()
                                 ? at->parentWidget()->objectName()
                                 : at->objectName();
        if ((at->focusPolicy() & Qt::TabFocus) && !name.startsWith("qt_") &&
            (chain.isEmpty() || chain.last() != name))
            chain << name;
    }
    QCOMPARE(chain, QStringList({"Cbo3", "DataBox2", "Text19", "Cbo5", "Text20", "Cbo4", "Text15",
                                 "Check4"}));
}

void WithholdingPanelTest::keyFilter_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full stop becomes comma") << "Text20"
                                             << "1234.5"
                                             << "1234,5";
    QTest::newRow("letters dropped") << "Text15"
                                     << "1a2B3"
                                     << "123";
    QTest::newRow("spaces dropped") << "Text16"
                                    << "1 000"
                                    << "1000";
    QTest::newRow("enter dropped") << "Text18"
                                   << "12\r3"
                                   << "123";
    QTest::newRow("minus and commas anywhere") << "Text20"
                                               << "1-2,,3"
                                               << "1-2,,3";
    QTest::newRow("interest") << "Text13"
                              << "x1.10"
                              << "1,10";
    QTest::newRow("penalty") << "Text14"
                             << "0.55e"
                             << "0,55";
}

void WithholdingPanelTest::keyFilter() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    w_->trigger("Rinserisci");
    w_->child<QCheckBox>("Check3")->setChecked(true);
    auto* edit = w_->child<QLineEdit>(field.toLatin1().constData());
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    // Backspace still edits; a paste is dropped like any other shortcut.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), shown.chopped(1));
    QApplication::clipboard()->setText("99");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), shown.chopped(1));
}

void WithholdingPanelTest::droppedText_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters dropped") << "Text20"
                                     << "abc12,00"
                                     << "12,00";
    QTest::newRow("full stops become commas") << "Text15"
                                              << "1.5"
                                              << "1,5";
    QTest::newRow("blanks and line ends dropped") << "Text16"
                                                  << " 7\r\n"
                                                  << "7";
    QTest::newRow("nothing left: no drop") << "Text18"
                                           << "euro"
                                           << "";
    QTest::newRow("interest") << "Text13"
                              << "€ 3,10"
                              << "3,10";
    QTest::newRow("penalty") << "Text14"
                             << "-0,5x"
                             << "-0,5";
}

// Dropped text passes the rule of typed keys, character by character.
void WithholdingPanelTest::droppedText() {
    QFETCH(QString, field);
    QFETCH(QString, dropped);
    QFETCH(QString, shown);
    w_->trigger("Rinserisci");
    w_->child<QCheckBox>("Check3")->setChecked(true);
    auto* edit = w_->child<QLineEdit>(field.toLatin1().constData());
    dropText(edit, dropped);
    QCOMPARE(edit->text(), shown);
}

void WithholdingPanelTest::formattingOnLeave_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty stays empty") << "Text20"
                                       << ""
                                       << "";
    QTest::newRow("grouped") << "Text20"
                             << "1234,5"
                             << "1.234,50";
    QTest::newRow("negative") << "Text15"
                              << "-3"
                              << "-3,00";
    QTest::newRow("rounded half up") << "Text16"
                                     << "0,005"
                                     << "0,01";
    QTest::newRow("unreadable kept") << "Text18"
                                     << "1,2,3"
                                     << "1,2,3";
    QTest::newRow("lone minus kept") << "Text13"
                                     << "-"
                                     << "-";
    QTest::newRow("penalty") << "Text14"
                             << "7"
                             << "7,00";
}

void WithholdingPanelTest::formattingOnLeave() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    w_->trigger("Rinserisci");
    w_->child<QCheckBox>("Check3")->setChecked(true);
    auto* edit = w_->child<QLineEdit>(field.toLatin1().constData());
    edit->setText(typed);
    LedgerWindow::enterAndLeave(edit);
    QCOMPARE(edit->text(), shown);
}

void WithholdingPanelTest::rateChoice_data() {
    QTest::addColumn<QString>("taxable");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("withheld");
    QTest::addColumn<QString>("otherAfter");
    QTest::newRow("4%") << "1.000,00"
                        << ""
                        << "4"
                        << "40,00"
                        << "0";
    QTest::newRow("20%") << "1.000,00"
                         << ""
                         << "20"
                         << "200,00"
                         << "0";
    QTest::newRow("20% rounds") << "123,45"
                                << "5,00"
                                << "20"
                                << "24,69"
                                << "5,00";
    QTest::newRow("other rate") << "1.000,00"
                                << ""
                                << "23"
                                << ""
                                << "0";
    QTest::newRow("unreadable taxable") << "1,2,3"
                                        << ""
                                        << "20"
                                        << ""
                                        << "0";
}

void WithholdingPanelTest::rateChoice() {
    QFETCH(QString, taxable);
    QFETCH(QString, other);
    QFETCH(QString, rate);
    QFETCH(QString, withheld);
    QFETCH(QString, otherAfter);
    TestDatabase::exec("INSERT INTO Percentuale (Percentuale) VALUES (2300)");
    w_->trigger("Rinserisci");
    w_->child<QLineEdit>("Text20")->setText(taxable);
    w_->child<QLineEdit>("Text16")->setText(other);
    w_->child<QLineEdit>("Text15")->setText("9,99");
    w_->child<QLineEdit>("Text17")->setText("9,99");
    w_->choose("Cbo4", rate);
    QCOMPARE(w_->text("Text15"), withheld);
    QCOMPARE(w_->text("Text16"), otherAfter);
    QCOMPARE(w_->text("Text17"), QString());
}

void WithholdingPanelTest::rateChosenBeforeTaxable() {
    w_->trigger("Rinserisci");
    w_->choose("Cbo4", "20");
    QCOMPARE(w_->text("Text15"), QString());
    w_->child<QLineEdit>("Text20")->setText("50,00");
    QCOMPARE(w_->text("Text15"), QString());
    w_->choose("Cbo4", "20");
    QCOMPARE(w_->text("Text15"), QString("10,00"));
}

void WithholdingPanelTest::totalOnRequest_data() {
    QTest::addColumn<QString>("taxable");
    QTest::addColumn<QString>("withheld");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("total");
    QTest::newRow("sum") << "1.000,00"
                         << "200,00"
                         << "0"
                         << "1.200,00";
    QTest::newRow("other added") << "1.000,00"
                                 << "40,00"
                                 << "10,5"
                                 << "1.050,50";
    QTest::newRow("blank other keeps total") << "1.000,00"
                                             << "200,00"
                                             << ""
                                             << "7,00";
    QTest::newRow("unreadable keeps total") << "1,2,3"
                                            << "200,00"
                                            << "0"
                                            << "7,00";
}

void WithholdingPanelTest::totalOnRequest() {
    QFETCH(QString, taxable);
    QFETCH(QString, withheld);
    QFETCH(QString, other);
    QFETCH(QString, total);
    w_->trigger("Rinserisci");
    w_->child<QLineEdit>("Text20")->setText(taxable);
    w_->child<QLineEdit>("Text15")->setText(withheld);
    w_->child<QLineEdit>("Text16")->setText(other);
    w_->child<QLineEdit>("Text17")->setText("7,00");
    auto* Check4 = w_->child<QCheckBox>("Check4");
    clickBox(Check4);
    QVERIFY(Check4->isChecked());
    QCOMPARE(w_->text("Text17"), total);
    clickBox(Check4);
    QVERIFY(!Check4->isChecked());
    QCOMPARE(w_->text("Text17"), total);
}

void WithholdingPanelTest::paymentDate_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("dueDate");
    QTest::addColumn<bool>("focusMoves");
    QTest::newRow("March") << "05/03/2011"
                           << "3"
                           << "16/04/2011" << true;
    QTest::newRow("December") << "20/12/2011"
                              << "12"
                              << "16/01/2012" << true;
    QTest::newRow("short form") << "1/9/2011"
                                << "9"
                                << "16/10/2011" << true;
    QTest::newRow("emptied keeps due date") << ""
                                            << ""
                                            << "16/09/2011" << false;
}

void WithholdingPanelTest::paymentDate() {
    QFETCH(QString, typed);
    QFETCH(QString, period);
    QFETCH(QString, dueDate);
    QFETCH(bool, focusMoves);
    w_->trigger("Rinserisci");
    w_->child<QCheckBox>("Check2")->setChecked(true);
    w_->child<QLineEdit>("Text4")->setText("8");
    w_->child<QLineEdit>("Text21")->setText("16/09/2011");
    auto* DataBox3 = w_->child<DateBox>("DataBox3");
    QVERIFY(DataBox3->isEnabled());
    DataBox3->setText(typed);
    DataBox3->editor()->setFocus(Qt::TabFocusReason);
    w_->child<QLineEdit>("Text19")->setFocus(Qt::TabFocusReason);
    QCOMPARE(w_->text("Text4"), period);
    QCOMPARE(w_->text("Text21"), dueDate);
    if (!w_->window->isActiveWindow())
        QSKIP("focus does not move without an active window");
    QCOMPARE(QApplication::focusWidget() == w_->child<DateBox>("DataBox4")->editor(), focusMoves);
}

void WithholdingPanelTest::remittanceDate_data() {
    QTest::addColumn<QString>("held");  // the date in the box when the operator enters it
    QTest::addColumn<QString>("typed"); // what they type over it
    QTest::addColumn<QString>("remitted");
    QTest::newRow("date typed empties remitted") << ""
                                                 << "16/04/2011"
                                                 << "";
    QTest::newRow("date changed empties remitted") << "16/04/2011"
                                                   << "16/05/2011"
                                                   << "";
    QTest::newRow("passing through keeps it") << "16/04/2011"
                                              << ""
                                              << "201,65";
    QTest::newRow("same date retyped keeps it") << "16/04/2011"
                                                << "16/4/11"
                                                << "201,65";
    QTest::newRow("no date keeps it") << ""
                                      << ""
                                      << "201,65";
}

void WithholdingPanelTest::remittanceDate() {
    QFETCH(QString, held);
    QFETCH(QString, typed);
    QFETCH(QString, remitted);
    if (!w_->window->isActiveWindow())
        QSKIP("focus does not move without an active window");
    w_->trigger("Rinserisci");
    w_->child<QLineEdit>("Text18")->setText("201,65");
    auto* DataBox4 = w_->child<DateBox>("DataBox4");
    DataBox4->setText(held);
    DataBox4->editor()->setFocus(Qt::TabFocusReason);
    if (!typed.isEmpty()) {
        DataBox4->editor()->selectAll();
        QTest::keyClicks(DataBox4->editor(), typed);
    }
    w_->child<QCheckBox>("Check3")->setFocus(Qt::TabFocusReason);
    QCOMPARE(w_->text("Text18"), remitted);
}

void WithholdingPanelTest::windowLeftWhileInField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("interruption");
    QTest::addColumn<QString>("dependent"); // the field the rule of leaving writes
    QTest::addColumn<QString>("before");    // what it holds until the field is left
    QTest::addColumn<QString>("after");     // what it holds once the field is left
    const struct {
        const char* field;
        const char* typed;
        const char* dependent;
        const char* before;
        const char* after;
    } rules[] = {
        {"DataBox3", "05/03/2011", "Text4", "", "3"},
        {"DataBox4", "16/04/2011", "Text18", "9,99", ""},
        {"Text20", "1234,5", "Text20", "1234,5", "1.234,50"},
        {"Cbo3", "BIANCHI SRL", "Text23", "", "subject key"},
    };
    for (const auto& rule : rules) {
        for (const char* interruption : {"message box", "other window", "menu"})
            QTest::addRow("%s, %s", rule.field, interruption)
                << rule.field << rule.typed << interruption << rule.dependent << rule.before
                << rule.after;
    }
}

// The operator is in a field when a box, another window or a menu takes over, and comes
// back: still in the field, nothing changed; the field's rule runs when they move on.
void WithholdingPanelTest::windowLeftWhileInField() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, interruption);
    QFETCH(QString, dependent);
    QFETCH(QString, before);
    QFETCH(QString, after);
    w_.reset(); // one database at a time
    w_ = std::make_unique<LedgerWindow>("2011", LedgerWindow::Boxes::Modal);
    if (!w_->window->isActiveWindow())
        QSKIP("focus does not move without an active window");
    const qint64 subject = TestDatabase::addSubject("BIANCHI SRL");
    if (after == "subject key")
        after = QString::number(subject);
    w_->trigger("Rinserisci");
    w_->child<QCheckBox>("Check2")->setChecked(true);
    w_->child<QLineEdit>("Text18")->setText("9,99");
    QWidget* target = w_->child(field.toLatin1().constData());
    QWidget* editor = target->focusProxy() ? target->focusProxy() : target;
    editor->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(editor, typed);

    if (interruption == "message box") {
        // F5 runs the subject command, whose check speaks up from the hidden panel.
        QTest::keyClick(editor, Qt::Key_F5);
        QCOMPARE(w_->boxes.texts(), QStringList{"Inserire il campo Denominazione!"});
    } else if (interruption == "other window") {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.close();
        w_->window->activateWindow();
    } else {
        auto* menu = w_->window->findChild<QMenu*>("RitenuteMenu");
        menu->popup(w_->window->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->close();
        // Where a popup takes the activation, it comes back as it would on a desktop.
        w_->window->activateWindow();
    }
    QVERIFY(QTest::qWaitForWindowActive(w_->window.get()));
    QCOMPARE(QApplication::focusWidget(), editor);
    QCOMPARE(w_->text(dependent.toLatin1().constData()), before);
    QCOMPARE(w_->modalBoxes.activationsMissed(), 0);

    w_->child<QLineEdit>("Text19")->setFocus(Qt::TabFocusReason);
    QCOMPARE(w_->text(dependent.toLatin1().constData()), after);
}

void WithholdingPanelTest::invalidDate_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("invoice date") << "DataBox2";
    QTest::newRow("payment date") << "DataBox3";
    QTest::newRow("remittance date") << "DataBox4";
}

void WithholdingPanelTest::invalidDate() {
    QFETCH(QString, box);
    w_->trigger("Rinserisci");
    w_->child<QCheckBox>("Check2")->setChecked(true);
    w_->child<QLineEdit>("Text18")->setText("5,00");
    auto* date = w_->child<DateBox>(box.toLatin1().constData());
    QTest::keyClicks(date->editor(), "31/02/2011");
    LedgerWindow::enterAndLeave(date);
    QCOMPARE(w_->boxes.texts(), QStringList{"Data non valida"});
    QCOMPARE(w_->boxes.last().title, QString("Velarco"));
    QCOMPARE(w_->boxes.last().icon, BoxIcon::None);
    QCOMPARE(w_->boxes.last().buttons, BoxButtons::Ok);
    QCOMPARE(date->text(), QString());
    // The invalid text is dropped before the box's own reaction runs.
    QCOMPARE(w_->text("Text18"), QString("5,00"));
}

void WithholdingPanelTest::taxCodeDescription_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("listed") << "1040"
                            << "Ritenute su redditi di lavoro autonomo: compensi per l'esercizio "
                               "di arti e professioni";
    QTest::newRow("letter case ignored") << "1001x"
                                         << "Codice con lettera";
    QTest::newRow("unknown") << "9999"
                             << "";
    QTest::newRow("quote and wildcard") << "10'%"
                                        << "";
}

void WithholdingPanelTest::taxCodeDescription() {
    QFETCH(QString, code);
    QFETCH(QString, description);
    TestDatabase::exec(
        "INSERT INTO Tributo (codice, Causale) VALUES ('1001X', 'Codice con lettera')");
    w_->trigger("Rinserisci");
    w_->child<QLabel>("Label39")->setText("prima");
    w_->choose("Cbo5", code);
    QCOMPARE(w_->child<QLabel>("Label39")->text(), description);
}

void WithholdingPanelTest::subjectKey_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("picked") << "BIANCHI SRL" << true;
    QTest::newRow("other case") << "bianchi srl" << true;
    QTest::newRow("unknown") << "NESSUNO" << false;
}

void WithholdingPanelTest::subjectKey() {
    QFETCH(QString, name);
    QFETCH(bool, found);
    const qint64 id = TestDatabase::addSubject("BIANCHI SRL");
    w_->trigger("Rinserisci");
    w_->child<QLineEdit>("Text23")->setText("77");
    w_->choose("Cbo3", name);
    QCOMPARE(w_->text("Text23"), found ? QString::number(id) : QString());
    // A name typed over and left is looked up too.
    auto* edit = w_->child<QComboBox>("Cbo3")->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "ROSSI MARIO");
    LedgerWindow::enterAndLeave(edit);
    QCOMPARE(w_->text("Text23"), QString::number(w_->userId));
}

// Each row: the events from the working state, then the work menus (Esci, Anagrafica,
// Ritenute, Servizi, Funzioni) and panels (Frame1, Frame3..Frame6), the caption of
// Frame3 and the caption of Cmd3.
void WithholdingPanelTest::modes_data() {
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("frame3");
    QTest::addColumn<QString>("cmd3");
    const QString initial = "Seleziona l'operazione ";
    QTest::newRow("idle") << QStringList{} << "11111 00000" << initial << "Inserisci";
    QTest::newRow("insert") << QStringList{"Rinserisci"} << "00000 00100" << initial << "Inserisci";
    QTest::newRow("picking for modify") << QStringList{"Rmodifica"} << "00000 01000"
                                        << "Modifica-Ritenute"
                                        << "Inserisci";
    QTest::newRow("picking for delete") << QStringList{"RElimina"} << "00001 01000"
                                        << "Elimina-Ritenute"
                                        << "Inserisci";
    QTest::newRow("modify") << QStringList{"Rmodifica", "pick"} << "00000 00100"
                            << "Modifica-Ritenute"
                            << "ModificaR";
    QTest::newRow("delete") << QStringList{"RElimina", "pick"} << "00001 00100"
                            << "Elimina-Ritenute"
                            << "EliminaR";
    QTest::newRow("insert after modify")
        << QStringList{"Rmodifica", "pick", "Image2", "Rinserisci"} << "00000 00100"
        << "Modifica-Ritenute"
        << "Inserisci";
    QTest::newRow("insert closed")
        << QStringList{"Rinserisci", "Image2"} << "11111 00000" << initial << "Inserisci";
    QTest::newRow("modify closed") << QStringList{"Rmodifica", "pick", "Image2"} << "11111 00000"
                                   << "Modifica-Ritenute"
                                   << "ModificaR";
    QTest::newRow("picking closed") << QStringList{"RElimina", "Label10"} << "11111 00000"
                                    << "Elimina-Ritenute"
                                    << "Inserisci";
    QTest::newRow("other caption ignores pick")
        << QStringList{"Rmodifica", "caption", "pick"} << "00000 01000"
        << "Seleziona l'operazione "
        << "Inserisci";
}

void WithholdingPanelTest::modes() {
    QFETCH(QStringList, events);
    QFETCH(QString, state);
    QFETCH(QString, frame3);
    QFETCH(QString, cmd3);
    w_->addRecord({{"denominazione", "BIANCHI SRL"}, {"data", "2011-03-01"}});
    auto* grid = w_->child<QTableView>("Datagrid1");
    for (const QString& event : events) {
        if (event == "pick") {
            grid->setCurrentIndex(grid->model()->index(0, 2));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->currentIndex()).center());
        } else if (event == "caption") {
            w_->window->setGridPick(GridPick::Nothing);
        } else if (QAction* action = w_->window->action(event.toLatin1().constData())) {
            action->trigger();
        } else {
            QTest::mouseClick(w_->child<QLabel>(event.toLatin1().constData()), Qt::LeftButton);
        }
    }
    QCOMPARE(stateOf(*w_->window), state);
    QCOMPARE(w_->window->panel("Frame3")->title(), frame3);
    QCOMPARE(w_->child<QPushButton>("Cmd3")->text(), cmd3);
    QVERIFY(w_->boxes.shown().isEmpty());
}

void WithholdingPanelTest::insertModeKeepsFields() {
    w_->trigger("Rinserisci");
    w_->child<QLineEdit>("Text19")->setText("FT 12");
    w_->child<QLineEdit>("Text23")->setText("5");
    w_->child<QLabel>("Label39")->setText("descrizione");
    w_->child<QComboBox>("Cbo5")->setEditText("1040");
    w_->child<QCheckBox>("Check2")->setChecked(true);
    w_->child<QCheckBox>("Check3")->setChecked(true);
    QTest::mouseClick(w_->child<QLabel>("Image2"), Qt::LeftButton);
    w_->child<QLineEdit>("Text19")->setText("FT 12");
    w_->child<QLineEdit>("Text23")->setText("5");
    w_->child<QComboBox>("Cbo5")->setEditText("1040");
    w_->child<QLabel>("Label39")->setText("descrizione");
    w_->trigger("Rinserisci");
    QCOMPARE(w_->text("Text19"), QString("FT 12"));
    QCOMPARE(w_->text("Cbo5"), QString("1040"));
    QCOMPARE(w_->text("Text23"), QString());
    QCOMPARE(w_->child<QLabel>("Label39")->text(), QString());
    QVERIFY(!w_->child<DateBox>("DataBox3")->isEnabled());
    QVERIFY(!w_->child<QLineEdit>("Text13")->isEnabled());
    QVERIFY(!w_->child<QLineEdit>("Text14")->isEnabled());
}

void WithholdingPanelTest::paidFlag() {
    w_->trigger("Rinserisci");
    auto* Check2 = w_->child<QCheckBox>("Check2");
    auto* DataBox3 = w_->child<DateBox>("DataBox3");
    clickBox(Check2);
    QVERIFY(DataBox3->isEnabled());
    DataBox3->setText("05/03/2011");
    w_->child<QLineEdit>("Text4")->setText("3");
    w_->child<QLineEdit>("Text21")->setText("16/04/2011");
    clickBox(Check2);
    QVERIFY(!DataBox3->isEnabled());
    QCOMPARE(DataBox3->text(), QString());
    QCOMPARE(w_->text("Text4"), QString());
    QCOMPARE(w_->text("Text21"), QString());
}

void WithholdingPanelTest::lateRegularisationFlag() {
    w_->trigger("Rinserisci");
    auto* Check3 = w_->child<QCheckBox>("Check3");
    for (const char* name : {"Text13", "Text14", "Text18"})
        w_->child<QLineEdit>(name)->setText("1,00");
    clickBox(Check3);
    for (const char* name : {"Text13", "Text14", "Text18"})
        QCOMPARE(w_->text(name), QString());
    QVERIFY(w_->child<QLineEdit>("Text13")->isEnabled());
    QVERIFY(w_->child<QLineEdit>("Text14")->isEnabled());
    for (const char* name : {"Text13", "Text14", "Text18"})
        w_->child<QLineEdit>(name)->setText("2,00");
    clickBox(Check3);
    QCOMPARE(w_->text("Text13"), QString());
    QCOMPARE(w_->text("Text14"), QString());
    QCOMPARE(w_->text("Text18"), QString("2,00"));
    QVERIFY(!w_->child<QLineEdit>("Text13")->isEnabled());
    QVERIFY(!w_->child<QLineEdit>("Text14")->isEnabled());
}

void WithholdingPanelTest::closePicture() {
    w_->trigger("Rinserisci");
    w_->choose("Cbo3", "ROSSI MARIO");
    w_->child<DateBox>("DataBox2")->setText("01/02/2011");
    w_->child<QLineEdit>("Text20")->setText("100,00");
    w_->choose("Cbo4", "20");
    w_->choose("Cbo5", "1040");
    for (const char* check : {"Check2", "Check3", "Check4"})
        w_->child<QCheckBox>(check)->setChecked(true);
    w_->child<DateBox>("DataBox3")->setText("01/03/2011");
    QTest::mouseClick(w_->child<QLabel>("Image2"), Qt::LeftButton);
    for (const char* name : {"Cbo3", "Cbo4", "Cbo5", "Text20", "Text15", "Text16", "Text23"})
        QCOMPARE(w_->text(name), QString());
    for (const char* box : {"DataBox2", "DataBox3"})
        QCOMPARE(w_->child<DateBox>(box)->text(), QString());
    for (const char* check : {"Check2", "Check3", "Check4"})
        QVERIFY(!w_->child<QCheckBox>(check)->isChecked());
    QCOMPARE(w_->child<QLabel>("Label39")->text(), QString());
    QCOMPARE(w_->window->currentYear(), QString("2011"));
}

void WithholdingPanelTest::escapeAsksBeforeLosingTyping() {
    w_.reset();
    w_ = std::make_unique<LedgerWindow>(QStringLiteral("2011"), LedgerWindow::Boxes::Modal);
    QWidget* panel = w_->window->panel("Frame4");
    // Nothing typed: Escape closes at once.
    w_->trigger("Rinserisci");
    QTest::keyClick(w_->child<QComboBox>("Cbo3")->lineEdit(), Qt::Key_Escape);
    QVERIFY(!panel->isVisible());
    QVERIFY(w_->modalBoxes.texts().isEmpty());
    // Typed: the box asks; "No" keeps the panel and the text, "Sì" closes as Image2 does.
    w_->trigger("Rinserisci");
    QTest::keyClicks(w_->child<QLineEdit>("Text19"), "12/A");
    w_->modalBoxes.answerNo();
    QTest::keyClick(w_->child<QLineEdit>("Text19"), Qt::Key_Escape);
    QVERIFY(panel->isVisible());
    QCOMPARE(w_->text("Text19"), QString("12/A"));
    w_->modalBoxes.answerYes();
    QTest::keyClick(w_->child<QLineEdit>("Text19"), Qt::Key_Escape);
    QVERIFY(!panel->isVisible());
    QCOMPARE(w_->text("Text19"), QString());
    QCOMPARE(w_->modalBoxes.texts(), QStringList(2, "Chiudere senza salvare?"));
    QCOMPARE(w_->modalBoxes.activationsMissed(), 0);
    QVERIFY(w_->window->action("Ritenute")->isEnabled());
}

QTEST_MAIN(WithholdingPanelTest)
#include "tst_withholding_panel.moc"
