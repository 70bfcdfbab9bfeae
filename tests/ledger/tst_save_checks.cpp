#include "ledger/save_checks.h"

#include <QTest>
#include <functional>

Q_DECLARE_METATYPE(WithholdingEntry)
Q_DECLARE_METATYPE(EntryMode)

using ledger::checkBeforeSave;

namespace {

// The findings the operator must see, by check number, written out as they appear.
SaveFinding expected(int check, EntryMode mode = EntryMode::Insert) {
    const QString blocking = "ERRORE -- BLOCCANTE  ";
    const QString empty = "ERRORE -- BLOCCANTE  CAMPO   VUOTO";
    const QString emptySpaced = "ERRORE - - BLOCCANTE CAMPO   VUOTO";
    const QString mismatch = " Incongruenza - Pagamento fattura e Versamento Ritenuta !";
    switch (check) {
    case 1:
        return {"Errore: calcolo importo Ritenuta sbagliato  !", blocking, "Cbo4", true};
    case 2:
        return {mode == EntryMode::Insert
                    ? "Errore:nella quadratuta tra il campo Versato e il campo Ritenuta+ campo "
                      "Interessi + campo Sanzione !"
                    : "Errore nella quadratuta tra il campo Versato e il campo Ritenuta+ campo "
                      "Interessi + campo Sanzione !",
                blocking, "Text18", true};
    case 3:
        return {"Inserire il campo Denominazione!", empty, "Cbo3", true};
    case 4:
        return {"Inserire il campo Data Fattura", empty, "DataBox2", true};
    case 5:
        return {"Inserire il campo Codice Tributo!", empty, "Cbo5", true};
    case 6:
        return {"Inserire il campo Aliquota!", empty, "Cbo4", true};
    case 7:
        return {"Inserire il campo Imponibile!", emptySpaced, "Text20", true};
    case 8:
        return {"Inserire il campo Totale, splittando il campo Controlla !", empty, "Check4",
                false};
    case 9:
        return {"Inserire il campo Ritenuta!", emptySpaced, "Text15", true};
    case 10:
        return {"Inserire il campo Data Pagamento !", emptySpaced, "Cbo3", true};
    case 11:
        return {" Inserire  il campo Data Pagamento  !", emptySpaced, "Check2", true};
    case 12:
        return {"Compilare  il campo :  Interessi   !", empty, "Check3", true};
    case 13:
        return {"Compilare  il campo :  Sanzione  !", emptySpaced, "Check3", true};
    case 14:
        return {"Compilare  il campo :  Totale versato   !", "ERRORE - BLOCCANTE -CAMPO   VUOTO",
                "Check3", true};
    case 15:
        return {mismatch, "ERRORE - NON BLOCCANTE", "Check2", false};
    case 16:
        return {mismatch, "ERRORE - NON BLOCCANTE", "Check2", true};
    case 17:
        return {"Attenzione Anno fattura diverso da quello dell' anno  inserimento della "
                "registrazione !",
                "ERRORE - NON BLOCCANTE ", "DataBox2", false};
    case 18:
        return {"Attenzione Anno di Versamento  diverso da quello dell' anno  inserimento della "
                "registrazione !",
                "ERRORE - NON BLOCCANTE", "DataBox4", false};
    // A typed date that does not read stops the save before any other check.
    case 19:
        return {"Data non valida", QString(), "DataBox2", true};
    case 20:
        return {"Data non valida", QString(), "DataBox3", true};
    case 21:
        return {"Data non valida", QString(), "DataBox4", true};
    }
    return {};
}

// An unpaid invoice of the working year that passes every check.
WithholdingEntry valid() {
    WithholdingEntry e;
    e.subjectId = "7";
    e.subjectName = "ROSSI MARIO";
    e.invoiceNumber = "12/A";
    e.invoiceDate = "15/02/2011";
    e.taxCode = "1040";
    e.taxable = "1.000,00";
    e.rate = "20";
    e.withheld = "200,00";
    e.other = "0";
    e.total = "1.200,00";
    e.year = "2011";
    e.user = "3";
    return e;
}

WithholdingEntry with(const std::function<void(WithholdingEntry&)>& change) {
    WithholdingEntry e = valid();
    change(e);
    return e;
}

// Paid, remitted late with interest and penalty, all consistent.
void remittedLate(WithholdingEntry& e) {
    e.paid = true;
    e.paymentDate = "10/03/2011";
    e.period = "3";
    e.dueDate = "16/04/2011";
    e.remittanceDate = "20/05/2011";
    e.lateRegularisation = true;
    e.interest = "1,10";
    e.penalty = "0,55";
    e.remitted = "201,65";
}

void addRow(const char* name, const WithholdingEntry& entry, QList<int> checks,
            EntryMode mode = EntryMode::Insert) {
    QList<SaveFinding> findings;
    for (int check : checks)
        findings.append(expected(check, mode));
    QTest::newRow(name) << entry << mode << findings;
}

} // namespace

class SaveChecksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checks_data();
    void checks();
    void entryMode_data();
    void entryMode();
};

void SaveChecksTest::checks_data() {
    QTest::addColumn<WithholdingEntry>("entry");
    QTest::addColumn<EntryMode>("mode");
    QTest::addColumn<QList<SaveFinding>>("findings");

    addRow("valid unpaid invoice", valid(), {});
    addRow("valid in modify mode", valid(), {}, EntryMode::Modify);
    addRow("delete runs no check", WithholdingEntry(), {}, EntryMode::Delete);
    addRow("paid and remitted late", with(remittedLate), {});

    // Rule A: the withheld amount against the taxable amount and the rate.
    addRow("A: 246,912 rounds to 246,91", with([](WithholdingEntry& e) {
               e.taxable = "1.234,56";
               e.withheld = "246,91";
               e.total = "1.481,47";
           }),
           {});
    addRow("A: 246,92 is wrong", with([](WithholdingEntry& e) {
               e.taxable = "1.234,56";
               e.withheld = "246,92";
           }),
           {1});
    addRow("A: 199,00 instead of 200,00", with([](WithholdingEntry& e) { e.withheld = "199,00"; }),
           {1});
    addRow("A: one cent off", with([](WithholdingEntry& e) { e.withheld = "200,01"; }), {1});
    addRow("A: rate 4", with([](WithholdingEntry& e) {
               e.rate = "4";
               e.withheld = "40,00";
           }),
           {});
    addRow("A: rate 4 with withheld at 20%", with([](WithholdingEntry& e) { e.rate = "4"; }), {1});
    addRow("A: rate 4,00 reads as 4", with([](WithholdingEntry& e) {
               e.rate = "4,00";
               e.withheld = "40,00";
           }),
           {});
    addRow("A: any rate in percent", with([](WithholdingEntry& e) {
               e.rate = "23";
               e.withheld = "230,00";
           }),
           {});
    addRow("A: fractional rate", with([](WithholdingEntry& e) {
               e.rate = "4,5";
               e.taxable = "100,10";
               e.withheld = "4,50";
           }),
           {});
    addRow("A: half a cent rounds up", with([](WithholdingEntry& e) {
               e.rate = "4";
               e.taxable = "12,50";
               e.withheld = "0,50";
           }),
           {});
    addRow("A: 0,0052 rounds to 0,01", with([](WithholdingEntry& e) {
               e.rate = "4";
               e.taxable = "0,13";
               e.withheld = "0,01";
           }),
           {});
    addRow("A: 0,0052 is not 0,00", with([](WithholdingEntry& e) {
               e.rate = "4";
               e.taxable = "0,13";
               e.withheld = "0,00";
           }),
           {1});
    addRow("A: unformatted texts", with([](WithholdingEntry& e) {
               e.taxable = "1000";
               e.withheld = "200";
           }),
           {});
    addRow("A: unreadable taxable", with([](WithholdingEntry& e) { e.taxable = "1,2,3"; }), {1});
    addRow("A: unreadable rate", with([](WithholdingEntry& e) { e.rate = "venti"; }), {1});
    addRow("A: unreadable withheld", with([](WithholdingEntry& e) { e.withheld = "-"; }), {1});
    addRow("A: product out of range", with([](WithholdingEntry& e) {
               e.taxable = "92.233.720.368.547.758,07";
               e.rate = "200";
           }),
           {1});
    addRow("A: first, before a blank name", with([](WithholdingEntry& e) {
               e.withheld = "199,00";
               e.subjectName = "";
           }),
           {1});
    addRow("A skipped, withheld blank", with([](WithholdingEntry& e) { e.withheld = ""; }), {9});
    addRow("A skipped, withheld spaces", with([](WithholdingEntry& e) { e.withheld = "  "; }), {9});
    addRow("A skipped, rate blank", with([](WithholdingEntry& e) { e.rate = ""; }), {6});
    addRow("A skipped, taxable blank", with([](WithholdingEntry& e) { e.taxable = ""; }), {7});

    // Rule B: remitted = interest + withheld + penalty, to the cent.
    addRow("B: 201,60 is short", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.remitted = "201,60";
           }),
           {2});
    addRow("B: modify-mode message", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.remitted = "201,60";
           }),
           {2}, EntryMode::Modify);
    addRow("B: 0,10 + 0,20 equals 0,30", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.taxable = "0,50";
               e.withheld = "0,10";
               e.total = "0,60";
               e.interest = "0,20";
               e.penalty = "0";
               e.remitted = "0,30";
           }),
           {});
    addRow("B: no interest or penalty", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.interest = "0,00";
               e.penalty = "0,00";
               e.remitted = "200,00";
           }),
           {});
    addRow("B: unreadable remitted", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.remitted = "1-2";
           }),
           {2});
    addRow("B: unreadable penalty", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.penalty = "0,5,5";
           }),
           {2});
    addRow("B skipped, interest blank", with([](WithholdingEntry& e) {
               e.paid = true;
               e.paymentDate = "10/03/2011";
               e.period = "3";
               e.remittanceDate = "16/04/2011";
               e.remitted = "200,00";
           }),
           {});
    addRow("B skipped, remitted blank", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.remitted = "";
           }),
           {14});

    // Blank fields, in the order of the checks.
    addRow("name blank", with([](WithholdingEntry& e) { e.subjectName = ""; }), {3});
    addRow("name of spaces", with([](WithholdingEntry& e) { e.subjectName = "   "; }), {3});
    addRow("invoice date blank", with([](WithholdingEntry& e) { e.invoiceDate = ""; }), {4});
    addRow("tax code blank", with([](WithholdingEntry& e) { e.taxCode = " "; }), {5});
    addRow("everything blank", WithholdingEntry(), {3});

    // Check 8 warns and goes on.
    addRow("total zero", with([](WithholdingEntry& e) { e.total = "0,00"; }), {8});
    addRow("total 0", with([](WithholdingEntry& e) { e.total = "0"; }), {8});
    addRow("total blank", with([](WithholdingEntry& e) { e.total = ""; }), {8});
    addRow("total unreadable", with([](WithholdingEntry& e) { e.total = "1,2,3"; }), {8});
    addRow("total warning, then withheld blank", with([](WithholdingEntry& e) {
               e.total = "";
               e.withheld = "";
           }),
           {8, 9});

    // Payment.
    addRow("paid without payment date", with([](WithholdingEntry& e) { e.paid = true; }), {10});
    addRow("paid with a payment date of spaces only", with([](WithholdingEntry& e) {
               e.paid = true;
               e.paymentDate = " ";
           }),
           {11});
    addRow("paid without period", with([](WithholdingEntry& e) {
               e.paid = true;
               e.paymentDate = "10/03/2011";
           }),
           {11});
    addRow("paid, not remitted", with([](WithholdingEntry& e) {
               e.paid = true;
               e.paymentDate = "10/03/2011";
               e.period = "3";
           }),
           {15});
    addRow("unpaid with a payment date",
           with([](WithholdingEntry& e) { e.paymentDate = "10/03/2011"; }), {});

    // Late regularisation.
    addRow("regularised without interest", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.interest = "";
           }),
           {12});
    addRow("regularised without penalty", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.penalty = " ";
           }),
           {13});
    addRow("regularised, not remitted, unpaid", with([](WithholdingEntry& e) {
               e.lateRegularisation = true;
               e.interest = "1,10";
               e.penalty = "0,55";
           }),
           {16});
    addRow("regularised, not remitted, paid", with([](WithholdingEntry& e) {
               remittedLate(e);
               e.remittanceDate = "";
               e.remitted = "";
           }),
           {15, 16});
    addRow("unregularised, interest ignored", with([](WithholdingEntry& e) {
               e.interest = "";
               e.penalty = "";
           }),
           {});

    // Remittance.
    addRow("remitted without amount",
           with([](WithholdingEntry& e) { e.remittanceDate = "16/03/2011"; }), {14});
    addRow("remitted amount of spaces", with([](WithholdingEntry& e) {
               e.remittanceDate = "16/03/2011";
               e.remitted = "  ";
           }),
           {14});
    addRow("remitted amount without date", with([](WithholdingEntry& e) { e.remitted = "200,00"; }),
           {});

    // Years.
    addRow("invoice of 2009 in 2011",
           with([](WithholdingEntry& e) { e.invoiceDate = "15/02/2009"; }), {17});
    addRow("invalid invoice date", with([](WithholdingEntry& e) { e.invoiceDate = "31/02/2011"; }),
           {19});
    addRow("invoice year before 1900",
           with([](WithholdingEntry& e) { e.invoiceDate = "15/02/1899"; }), {19});
    addRow("negative payment year", with([](WithholdingEntry& e) { e.paymentDate = "1/1/-2011"; }),
           {20});
    addRow("working year not a number", with([](WithholdingEntry& e) { e.year = "anno"; }), {17});
    addRow("remitted the next year", with([](WithholdingEntry& e) {
               e.remittanceDate = "16/01/2012";
               e.remitted = "200,00";
           }),
           {18});
    addRow("remittance date unreadable", with([](WithholdingEntry& e) {
               e.remittanceDate = "99/99/2011";
               e.remitted = "200,00";
           }),
           {21});
    addRow("both years differ", with([](WithholdingEntry& e) {
               e.invoiceDate = "15/12/2010";
               e.remittanceDate = "16/01/2012";
               e.remitted = "200,00";
           }),
           {17, 18});
    addRow("every warning at once", with([](WithholdingEntry& e) {
               e.total = "0,00";
               e.paid = true;
               e.paymentDate = "10/03/2011";
               e.period = "3";
               e.invoiceDate = "15/02/2009";
           }),
           {8, 15, 17});
    addRow("warnings then a stop", with([](WithholdingEntry& e) {
               e.total = "";
               e.paid = true;
               e.paymentDate = "10/03/2011";
               e.period = "3";
               e.lateRegularisation = true;
               e.interest = "0";
               e.penalty = "0";
           }),
           {8, 15, 16});
}

void SaveChecksTest::checks() {
    QFETCH(WithholdingEntry, entry);
    QFETCH(EntryMode, mode);
    QFETCH(QList<SaveFinding>, findings);
    const QList<SaveFinding> actual = checkBeforeSave(entry, mode);
    for (int i = 0; i < std::min(actual.size(), findings.size()); ++i) {
        QCOMPARE(actual.at(i).message, findings.at(i).message);
        QCOMPARE(actual.at(i).title, findings.at(i).title);
        QCOMPARE(actual.at(i).focus, findings.at(i).focus);
        QCOMPARE(actual.at(i).stops, findings.at(i).stops);
    }
    QCOMPARE(actual.size(), findings.size());
}

// The caption Cmd3 shows for each mode.
void SaveChecksTest::entryMode_data() {
    QTest::addColumn<EntryMode>("mode");
    QTest::addColumn<QString>("caption");
    QTest::newRow("insert") << EntryMode::Insert << "Inserisci";
    QTest::newRow("modify") << EntryMode::Modify << "ModificaR";
    QTest::newRow("delete") << EntryMode::Delete << "EliminaR";
}

void SaveChecksTest::entryMode() {
    QFETCH(EntryMode, mode);
    QFETCH(QString, caption);
    QCOMPARE(ledger::entryModeCaption(mode), caption);
}

QTEST_APPLESS_MAIN(SaveChecksTest)
#include "tst_save_checks.moc"
