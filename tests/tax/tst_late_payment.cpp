#include "tax/late_payment.h"
#include "tax/record_due_date.h"

#include <QTest>

Q_DECLARE_METATYPE(tax::InputFault)

using namespace tax;

namespace {

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy"));
}

LatePayment compute(const QString& code, qint64 cents, const QDate& paid, const QDate& remitted,
                    const LegalRates& rates = knownLegalRates(),
                    const ReturnDeadlines& deadlines = knownReturnDeadlines()) {
    const Amount withheld = Amount::fromCents(cents);
    const DueDate due = dueDateAmong({{paid, withheld}}, 0, code, {});
    return computeLatePayment({code, withheld, paid, due, remitted}, rates, deadlines);
}

QString linesText(const LatePayment& result) {
    QStringList lines;
    for (const F24Line& line : result.lines)
        lines.append(QStringLiteral("%1 %2/%3 %4")
                         .arg(line.code, line.month, line.year, line.amount.format()));
    return lines.join(QStringLiteral(" | "));
}

} // namespace

class LatePaymentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cost_data();
    void cost();
    void interestByYear();
    void notLate_data();
    void notLate();
    void missingRate();
    void unconfirmedFacts_data();
    void unconfirmedFacts();
    void inputFaults_data();
    void inputFaults();
};

void LatePaymentTest::cost_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<qint64>("withheld");
    QTest::addColumn<QDate>("paid");
    QTest::addColumn<QDate>("remitted");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<qint64>("penalty");
    QTest::addColumn<qint64>("interest");
    QTest::addColumn<QString>("lines");

    // The three worked examples.
    QTest::newRow("August 2024, 10 days, new rules")
        << "1040" << qint64(20000) << day("05/08/2024") << day("26/09/2024") << 10 << "0,8333%"
        << qint64(167) << qint64(14) << "1040 0008/2024 200,14 | 8948 0008/2024 1,67";
    QTest::newRow("November 2023, 64 days across the year")
        << "1040" << qint64(100000) << day("20/11/2023") << day("20/02/2024") << 64 << "1,6667%"
        << qint64(1667) << qint64(527) << "1040 0011/2023 1.005,27 | 8948 0011/2023 16,67";
    QTest::newRow("January 2025, 133 days, before the return")
        << "1040" << qint64(50000) << day("31/01/2025") << day("30/06/2025") << 133 << "3,125%"
        << qint64(1563) << qint64(364) << "1040 0001/2025 503,64 | 8948 0001/2025 15,63";

    // The band edges, 1.000,00 withheld in September 2025, due 16/10/2025.
    const QDate september = day("10/09/2025");
    QTest::newRow("day 14") << "1040" << qint64(100000) << september << day("30/10/2025") << 14
                            << "1,1667%" << qint64(1167) << qint64(77)
                            << "1040 0009/2025 1.000,77 | 8948 0009/2025 11,67";
    QTest::newRow("day 15") << "1040" << qint64(100000) << september << day("31/10/2025") << 15
                            << "1,25%" << qint64(1250) << qint64(82)
                            << "1040 0009/2025 1.000,82 | 8948 0009/2025 12,50";
    QTest::newRow("day 30") << "1040" << qint64(100000) << september << day("15/11/2025") << 30
                            << "1,25%" << qint64(1250) << qint64(164)
                            << "1040 0009/2025 1.001,64 | 8948 0009/2025 12,50";
    QTest::newRow("day 31") << "1040" << qint64(100000) << september << day("16/11/2025") << 31
                            << "1,3889%" << qint64(1389) << qint64(170)
                            << "1040 0009/2025 1.001,70 | 8948 0009/2025 13,89";
    QTest::newRow("day 90, across the year")
        << "1040" << qint64(100000) << september << day("14/01/2026") << 90 << "1,3889%"
        << qint64(1389) << qint64(477) << "1040 0009/2025 1.004,77 | 8948 0009/2025 13,89";
    QTest::newRow("day 91") << "1040" << qint64(100000) << september << day("15/01/2026") << 91
                            << "3,125%" << qint64(3125) << qint64(482)
                            << "1040 0009/2025 1.004,82 | 8948 0009/2025 31,25";
    QTest::newRow("after the return, new rules: 1/7")
        << "1040" << qint64(100000) << september << day("03/11/2026") << 383 << "3,5714%"
        << qint64(3571) << qint64(1762) << "1040 0009/2025 1.017,62 | 8948 0009/2025 35,71";

    // Before and after 1 September 2024: the due date decides.
    QTest::newRow("due 20/08/2024: old rules")
        << "1040" << qint64(100000) << day("15/07/2024") << day("30/08/2024") << 10 << "1%"
        << qint64(1000) << qint64(68) << "1040 0007/2024 1.000,68 | 8948 0007/2024 10,00";
    QTest::newRow("due 16/09/2024: new rules")
        << "1040" << qint64(100000) << day("15/08/2024") << day("26/09/2024") << 10 << "0,8333%"
        << qint64(833) << qint64(68) << "1040 0008/2024 1.000,68 | 8948 0008/2024 8,33";

    // The old rules' two bands after the return, and 2020 a leap year at 365.
    // The return of 2019 was due on 10/12/2020, that of 2020 on 02/11/2021.
    QTest::newRow("old rules, before the extended return: 1/8")
        << "1040" << qint64(100000) << day("10/03/2019") << day("03/11/2020") << 567 << "3,75%"
        << qint64(3750) << qint64(610) << "1040 0003/2019 1.006,10 | 8906 0003/2019 37,50";
    QTest::newRow("old rules, after the first return: 1/7")
        << "1040" << qint64(100000) << day("10/03/2019") << day("11/12/2020") << 605 << "4,2857%"
        << qint64(4286) << qint64(615) << "1040 0003/2019 1.006,15 | 8906 0003/2019 42,86";
    QTest::newRow("old rules, after the second return: 1/6")
        << "1040" << qint64(100000) << day("10/03/2019") << day("03/11/2021") << 932 << "5%"
        << qint64(5000) << qint64(626) << "1040 0003/2019 1.006,26 | 8906 0003/2019 50,00";
    QTest::newRow("2015 rules, 10 days")
        << "1040" << qint64(100000) << day("10/03/2015") << day("26/04/2015") << 10 << "2%"
        << qint64(2000) << qint64(14) << "1040 0003/2015 1.000,14 | 8906 0003/2015 20,00";
    // 2015 violations regularised from 2016 get the 2016 penalties; the return of 2015
    // was due on 15/09/2016.
    QTest::newRow("2015 violation regularised in 2016, 20 days: 15% reduced")
        << "1040" << qint64(100000) << day("10/11/2015") << day("05/01/2016") << 20 << "1,5%"
        << qint64(1500) << qint64(24) << "1040 0011/2015 1.000,24 | 8906 0011/2015 15,00";
    QTest::newRow("2015 violation after the 2015 return: 1/7")
        << "1040" << qint64(100000) << day("10/03/2015") << day("30/09/2016") << 533 << "4,2857%"
        << qint64(4286) << qint64(505) << "1040 0003/2015 1.005,05 | 8906 0003/2015 42,86";
    QTest::newRow("29 February counts, over 365")
        << "1040" << qint64(100000) << day("10/01/2024") << day("16/03/2024") << 29 << "1,5%"
        << qint64(1500) << qint64(199) << "1040 0001/2024 1.001,99 | 8948 0001/2024 15,00";

    // The penalty code by the remittance date and the tax code.
    QTest::newRow("remitted 02/07/2023: 8906")
        << "1001" << qint64(100000) << day("10/05/2023") << day("02/07/2023") << 16 << "1,5%"
        << qint64(1500) << qint64(219) << "1001 0005/2023 1.002,19 | 8906 0005/2023 15,00";
    QTest::newRow("remitted 03/07/2023: 8947 for 1001")
        << "1001" << qint64(100000) << day("10/05/2023") << day("03/07/2023") << 17 << "1,5%"
        << qint64(1500) << qint64(233) << "1001 0005/2023 1.002,33 | 8947 0005/2023 15,00";
    QTest::newRow("condominium after 02/07/2023: no penalty line")
        << "1019" << qint64(10000) << day("10/01/2024") << day("27/06/2024") << 10 << "1%"
        << qint64(100) << qint64(7) << "1019 0001/2024 100,07";
}

void LatePaymentTest::cost() {
    QFETCH(QString, code);
    QFETCH(qint64, withheld);
    QFETCH(QDate, paid);
    QFETCH(QDate, remitted);
    QFETCH(int, days);
    QFETCH(QString, rate);
    QFETCH(qint64, penalty);
    QFETCH(qint64, interest);
    QFETCH(QString, lines);
    const LatePayment result = compute(code, withheld, paid, remitted);
    QCOMPARE(result.outcome, LatePayment::Outcome::Late);
    QCOMPARE(result.daysLate, days);
    QCOMPARE(result.penaltyRate, rate);
    QCOMPARE(result.penalty.cents(), penalty);
    QCOMPARE(result.interestTotal.cents(), interest);
    QCOMPARE(result.total.cents(), withheld + penalty + interest);
    QCOMPARE(linesText(result), lines);
}

void LatePaymentTest::interestByYear() {
    const LatePayment result =
        compute(QStringLiteral("1040"), 100000, day("20/11/2023"), day("20/02/2024"));
    QCOMPARE(result.interest.size(), 2);
    QCOMPARE(result.interest.at(0).year, 2023);
    QCOMPARE(result.interest.at(0).days, 13);
    QCOMPARE(result.interest.at(0).rate, qint64(500));
    QCOMPARE(result.interest.at(0).amount.cents(), qint64(178));
    QCOMPARE(result.interest.at(1).days, 51);
    QCOMPARE(result.interest.at(1).amount.cents(), qint64(349));
}

void LatePaymentTest::notLate_data() {
    QTest::addColumn<QDate>("remitted");
    QTest::newRow("on the legal due date") << day("17/03/2025");
    QTest::newRow("on the 16th, a Sunday") << day("16/03/2025");
    QTest::newRow("early") << day("01/03/2025");
    QTest::newRow("no remittance date") << QDate();
}

void LatePaymentTest::notLate() {
    QFETCH(QDate, remitted);
    const LatePayment result = compute(QStringLiteral("1040"), 100000, day("10/02/2025"), remitted);
    QCOMPARE(result.outcome, LatePayment::Outcome::NotLate);
    QVERIFY(result.lines.isEmpty());
}

void LatePaymentTest::missingRate() {
    LegalRates rates = knownLegalRates();
    rates.remove(2026);
    const LatePayment result =
        compute(QStringLiteral("1040"), 100000, day("10/11/2025"), day("20/01/2026"), rates);
    QCOMPARE(result.outcome, LatePayment::Outcome::MissingRate);
    QCOMPARE(result.missingRateYear, 2026);
    QVERIFY(result.lines.isEmpty());
}

void LatePaymentTest::unconfirmedFacts_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDate>("paid");
    QTest::addColumn<QDate>("remitted");
    QTest::addColumn<QString>("said");
    QTest::newRow("condominium penalty code")
        << "1020" << day("10/12/2024") << day("20/02/2025") << "(1020) versate dal 03/07/2023";
    QTest::newRow("condominium month") << "1019" << day("10/01/2022") << day("20/07/2022")
                                       << "mese di riferimento per i codici 1019/1020";
    QTest::newRow("December beyond 90 days")
        << "1040" << day("10/12/2024") << day("20/06/2025") << "Ritenuta di dicembre";
    QTest::newRow("2015 violation regularised in 2016")
        << "1040" << day("10/10/2015") << day("20/01/2016") << "Violazione del 2015";
    QTest::newRow("month on the new penalty line")
        << "1040" << day("10/10/2024") << day("20/12/2024") << "Mese e anno della riga 8948";
    QTest::newRow("return deadline not confirmed")
        << "1040" << day("10/03/2016") << day("20/10/2017")
        << "anno 2016 (31/10/2017) non è confermata";
    QTest::newRow("return deadline not in the table")
        << "1040" << day("10/01/2026") << day("20/06/2026") << "anno 2026 assente";
    QTest::newRow("rounding, always")
        << "1040" << day("10/10/2022") << day("20/11/2022") << "Arrotondamento al centesimo";
}

void LatePaymentTest::unconfirmedFacts() {
    QFETCH(QString, code);
    QFETCH(QDate, paid);
    QFETCH(QDate, remitted);
    QFETCH(QString, said);
    const LatePayment result = compute(code, 50000, paid, remitted);
    QCOMPARE(result.outcome, LatePayment::Outcome::Late);
    QVERIFY2(result.warnings.join(u'\n').contains(said), qPrintable(result.warnings.join(u'\n')));
}

void LatePaymentTest::inputFaults_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<qint64>("withheld");
    QTest::addColumn<QDate>("remitted"); // of a fee paid on 10/06/2023
    QTest::addColumn<InputFault>("fault");
    QTest::newRow("a code the office added")
        << "1712" << qint64(100) << day("20/07/2023") << InputFault::None;
    QTest::newRow("blanks and letter case")
        << " 104a " << qint64(100) << day("20/07/2023") << InputFault::None;
    QTest::newRow("unknown code") << "9999" << qint64(100) << day("20/07/2023")
                                  << InputFault::UnknownTaxCode;
    QTest::newRow("remitted before the payment")
        << "1040" << qint64(100) << day("09/06/2023") << InputFault::RemittanceBeforePayment;
    QTest::newRow("remitted on the day of payment")
        << "1040" << qint64(100) << day("10/06/2023") << InputFault::None;
    QTest::newRow("nothing withheld")
        << "1040" << qint64(0) << day("20/07/2023") << InputFault::NothingToRemit;
}

void LatePaymentTest::inputFaults() {
    QFETCH(QString, code);
    QFETCH(qint64, withheld);
    QFETCH(QDate, remitted);
    QFETCH(InputFault, fault);
    const QStringList ledgerCodes{"1001", "1019", "1020", "1040", "1712", "104A"};
    QCOMPARE(inputFault(ledgerCodes,
                        {code, Amount::fromCents(withheld), day("10/06/2023"), {}, remitted}),
             fault);
}

QTEST_GUILESS_MAIN(LatePaymentTest)
#include "tst_late_payment.moc"
