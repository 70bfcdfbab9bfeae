#include "ledger/ledger_window.h"
#include "ledger/withholding_rules.h"
#include "tax/due_date.h"
#include "tax/tax_tables.h"
#include "widgets/date_box.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

// The tax calendar as the operator meets it in the entry panel: the legal due date beside
// Scadenza and "Calcola ravvedimento" with its dialog, through to saving the record.
class EntryTaxCalendarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void note_data();
    void note();
    void applyFillsTheRemittance_data();
    void applyFillsTheRemittance();
    void calculatorCopiesTheBreakdown();
    void calculatorRefusesInputs_data();
    void calculatorRefusesInputs();
    void officeChoiceIsKept();

private:
    // A 1.000,00 fee at 20% paid on `paid`, remitted on `remitted`.
    void fill(const QString& code, const QString& paid, const QString& remitted);
    // Presses "Calcola ravvedimento" and answers its dialog with the button `answer`,
    // returning the breakdown it showed.
    QString runDialog(const char* answer);
    DateBox* date(const char* name) { return w_->child<DateBox>(name); }
    QCheckBox* check(const char* name) { return w_->child<QCheckBox>(name); }

    std::unique_ptr<LedgerWindow> w_;
};

void EntryTaxCalendarTest::init() {
    w_ = std::make_unique<LedgerWindow>(QStringLiteral("2022"));
    QVERIFY(w_->db.ok());
    TestDatabase::addSubject(QStringLiteral("BIANCHI SRL"));
}

void EntryTaxCalendarTest::cleanup() {
    w_.reset();
}

void EntryTaxCalendarTest::fill(const QString& code, const QString& paid, const QString& remitted) {
    w_->trigger("Rinserisci");
    w_->choose("Cbo3", QStringLiteral("BIANCHI SRL"));
    date("DataBox2")->setText(QStringLiteral("01/03/2022"));
    w_->child<QLineEdit>("Text19")->setText(QStringLiteral("7"));
    w_->choose("Cbo5", code);
    w_->child<QLineEdit>("Text20")->setText(QStringLiteral("1.000,00"));
    w_->choose("Cbo4", QStringLiteral("20"));
    check("Check4")->setChecked(true);
    check("Check2")->setChecked(true);
    date("DataBox3")->setText(paid);
    LedgerWindow::enterAndLeave(date("DataBox3"));
    date("DataBox4")->setText(remitted);
    LedgerWindow::enterAndLeave(date("DataBox4"));
}

QString EntryTaxCalendarTest::runDialog(const char* answer) {
    QString shown;
    // The dialog is modal: answer it once it is up, as the operator would.
    QTimer::singleShot(0, this, [&shown, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = dialog->findChild<QPlainTextEdit*>(QStringLiteral("breakdown"))->toPlainText();
        dialog->findChild<QPushButton*>(QString::fromLatin1(answer))->click();
    });
    w_->child<QPushButton>("calculateLatePayment")->click();
    return shown;
}

void EntryTaxCalendarTest::note_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("paid");
    QTest::addColumn<QString>("note"); // empty: no note shown
    QTest::newRow("Saturday and Easter Monday")
        << "1040"
        << "15/03/2022"
        << "Scadenza legale 19/04/2022: 16/04/2022 è sabato; 18/04/2022 è Lunedì dell'Angelo";
    QTest::newRow("August") << "1040"
                            << "05/07/2022"
                            << "Scadenza legale 22/08/2022: 16/08/2022 cade tra il 1° e il 20 "
                               "agosto: si versa entro il 20/08/2022; 20/08/2022 è sabato";
    QTest::newRow("the 16th is a working day") << "1040"
                                               << "10/05/2022"
                                               << "";
    QTest::newRow("condominium below 500 euro")
        << "1019"
        << "10/02/2022"
        << "Scadenza legale 30/06/2022: ritenuta condominiale: entro il 30/06/2022 se non si "
           "raggiungono 500 euro";
}

void EntryTaxCalendarTest::note() {
    QFETCH(QString, code);
    QFETCH(QString, paid);
    QFETCH(QString, note);
    fill(code, paid, QString());
    auto* label = w_->child<QLabel>("legalDueDateNote");
    QCOMPARE(label->isVisible(), !note.isEmpty());
    QCOMPARE(label->text(), note);
    QCOMPARE(label->toolTip(), note);
    // The note has a line of its own, on one line: no field moves when it goes.
    const auto places = [this] {
        QApplication::processEvents();
        QList<QRect> at;
        for (const char* name : {"Text21", "Text14", "DataBox4", "Cmd3", "calculateLatePayment"})
            at << w_->child(name)->geometry();
        return at;
    };
    const QList<QRect> shown = places();
    QVERIFY(label->height() < 2 * label->fontMetrics().height());
    date("DataBox3")->setText(QString());
    QVERIFY(!label->isVisible());
    QCOMPARE(places(), shown);
    date("DataBox3")->setText(paid);
    // What is stored in Scadenza stays the 16th.
    QCOMPARE(w_->text("Text21"),
             ledger::shortDateText(tax::nominalDueDate(*ledger::readShortDate(paid))));
    QVERIFY(!w_->child<QPushButton>("calculateLatePayment")->isEnabled());
}

void EntryTaxCalendarTest::applyFillsTheRemittance_data() {
    QTest::addColumn<QString>("remitted");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("interest");
    QTest::addColumn<QString>("penalty");
    QTest::addColumn<QString>("total");
    // 200,00 withheld in March 2022, legally due 19/04/2022, 1,25% in 2022.
    QTest::newRow("on the legal date: not late") << "19/04/2022" << false << ""
                                                 << ""
                                                 << "";
    QTest::newRow("10 days late") << "29/04/2022" << true << "0,07"
                                  << "2,00"
                                  << "202,07";
    QTest::newRow("40 days late") << "29/05/2022" << true << "0,27"
                                  << "3,33"
                                  << "203,60";
}

void EntryTaxCalendarTest::applyFillsTheRemittance() {
    QFETCH(QString, remitted);
    QFETCH(bool, enabled);
    QFETCH(QString, interest);
    QFETCH(QString, penalty);
    QFETCH(QString, total);
    fill(QStringLiteral("1040"), QStringLiteral("15/03/2022"), remitted);
    auto* command = w_->child<QPushButton>("calculateLatePayment");
    QCOMPARE(command->isEnabled(), enabled);
    if (!enabled)
        return;

    // "Annulla" changes nothing.
    const QString breakdown = runDialog("cancelButton");
    QVERIFY2(breakdown.contains(QStringLiteral("Sanzione: ") + penalty), qPrintable(breakdown));
    QVERIFY(!check("Check3")->isChecked());
    QCOMPARE(w_->text("Text13"), QString());
    QCOMPARE(w_->text("Text18"), QString());

    runDialog("applyButton");
    QVERIFY(check("Check3")->isChecked());
    QCOMPARE(w_->text("Text13"), interest);
    QCOMPARE(w_->text("Text14"), penalty);
    QCOMPARE(w_->text("Text18"), total);
    // Ticked, the command stays at hand even with the remittance date cleared.
    date("DataBox4")->setText(QString());
    QVERIFY(command->isEnabled());
    date("DataBox4")->setText(remitted);

    // The record saves: the remitted total squares with withheld + interest + penalty.
    w_->boxes.answerYes();
    w_->child<QPushButton>("Cmd3")->click();
    QCOMPARE(w_->boxes.texts().size(), 2);
    QCOMPARE(w_->boxes.shown().at(1).icon, BoxIcon::Information);
    const QVariantMap row = LedgerWindow::record(1);
    QCOMPARE(row.value("ravv").toString(), QStringLiteral("S"));
    QCOMPARE(row.value("versato").toLongLong(), Amount::parse(total)->cents());
    QCOMPARE(row.value("scadenza").toString(), QStringLiteral("2022-04-16"));
}

void EntryTaxCalendarTest::calculatorCopiesTheBreakdown() {
    QString before;
    QTimer::singleShot(0, this, [&before] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("breakdown"));
        before = text->toPlainText();
        dialog->findChild<QLineEdit*>(QStringLiteral("withheld"))
            ->setText(QStringLiteral("200,00"));
        dialog->findChild<DateBox*>(QStringLiteral("paymentDate"))
            ->setText(QStringLiteral("05/08/2024"));
        dialog->findChild<DateBox*>(QStringLiteral("remittanceDate"))
            ->setText(QStringLiteral("26/09/2024"));
        dialog->findChild<QPushButton*>(QStringLiteral("calculateButton"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("copyButton"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    QGuiApplication::clipboard()->clear();
    w_->trigger("CalcoloRavvedimento");
    QVERIFY2(before.contains(QStringLiteral("Indicare la ritenuta")), qPrintable(before));
    const QString copied = QGuiApplication::clipboard()->text();
    for (const char* line :
         {"Scadenza legale: 16/09/2024", "Giorni di ritardo: 10", "Sanzione: 1,67",
          "Interessi: 0,14", "Totale: 201,81", "8948  0008  2024  1,67"})
        QVERIFY2(copied.contains(QString::fromUtf8(line)), qPrintable(copied));
    QVERIFY(w_->boxes.shown().isEmpty());
}

void EntryTaxCalendarTest::calculatorRefusesInputs_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("withheld");
    QTest::addColumn<QString>("remitted"); // of a fee paid on 10/06/2023
    QTest::addColumn<QString>("said");
    QTest::newRow("a code not in the ledger") << "9999"
                                              << "100,00"
                                              << "10/09/2023"
                                              << "Codice tributo sconosciuto: 9999.";
    QTest::newRow("remitted before the payment")
        << "1040"
        << "100,00"
        << "09/06/2023"
        << "La data del versamento precede quella del pagamento.";
    QTest::newRow("condominium below 500 remitted in July")
        << "1019"
        << "100,00"
        << "10/07/2023"
        << "Versamento nei termini (scadenza legale 20/12/2023): nessun ravvedimento.";
}

void EntryTaxCalendarTest::calculatorRefusesInputs() {
    QFETCH(QString, code);
    QFETCH(QString, withheld);
    QFETCH(QString, remitted);
    QFETCH(QString, said);
    QString shown;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        // Typed as the operator types them.
        auto* taxCode = dialog->findChild<QComboBox*>(QStringLiteral("taxCode"));
        taxCode->lineEdit()->selectAll();
        QTest::keyClicks(taxCode->lineEdit(), code);
        dialog->findChild<QLineEdit*>(QStringLiteral("withheld"))->setText(withheld);
        dialog->findChild<DateBox*>(QStringLiteral("paymentDate"))
            ->setText(QStringLiteral("10/06/2023"));
        dialog->findChild<DateBox*>(QStringLiteral("remittanceDate"))->setText(remitted);
        dialog->findChild<QPushButton*>(QStringLiteral("calculateButton"))->click();
        shown = dialog->findChild<QPlainTextEdit*>(QStringLiteral("breakdown"))->toPlainText();
        dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    });
    w_->trigger("CalcoloRavvedimento");
    QCOMPARE(shown, said);
    QVERIFY(w_->boxes.shown().isEmpty());
}

void EntryTaxCalendarTest::officeChoiceIsKept() {
    QAction* choice = w_->window->action("Rinvio1040");
    QVERIFY(choice->isCheckable());
    QVERIFY(!choice->isChecked());
    choice->trigger();
    QCOMPARE(tax::smallAmountDeferralChosen().value, true);
    // A withholding of 40 euro in March 2024 now waits for December.
    w_->trigger("Rinserisci");
    w_->choose("Cbo5", QStringLiteral("1040"));
    w_->child<QLineEdit>("Text15")->setText(QStringLiteral("40,00"));
    check("Check2")->setChecked(true);
    date("DataBox3")->setText(QStringLiteral("10/03/2024"));
    QVERIFY2(w_->child<QLabel>("legalDueDateNote")
                 ->text()
                 .startsWith(QStringLiteral("Scadenza legale 16/12/2024: rinvio")),
             qPrintable(w_->child<QLabel>("legalDueDateNote")->text()));
    choice->trigger();
    QCOMPARE(tax::smallAmountDeferralChosen().value, false);
}

QTEST_MAIN(EntryTaxCalendarTest)
#include "tst_entry_tax_calendar.moc"
