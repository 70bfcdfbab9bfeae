#include "ledger/withholding_rules.h"
#include "values/number_keys.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<QChar>)
Q_DECLARE_METATYPE(std::optional<QString>)

using namespace ledger;

namespace {

std::optional<QString> noText() {
    return std::nullopt;
}

std::optional<QString> text(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

class WithholdingRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void amountKeys_data();
    void amountKeys();
    void formatOnLeave_data();
    void formatOnLeave();
    void chooseRate_data();
    void chooseRate();
    void total_data();
    void total();
    void shortDates_data();
    void shortDates();
    void paymentDate_data();
    void paymentDate();
    void remittanceDate_data();
    void remittanceDate();
};

void WithholdingRulesTest::amountKeys_data() {
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<std::optional<QChar>>("inserted");
    const auto passes = [](QChar c) { return std::optional<QChar>(c); };
    const std::optional<QChar> dropped;
    QTest::newRow("full stop becomes comma") << QChar(u'.') << passes(u',');
    QTest::newRow("comma") << QChar(u',') << passes(u',');
    QTest::newRow("minus") << QChar(u'-') << passes(u'-');
    QTest::newRow("backspace") << QChar(u'\b') << passes(u'\b');
    for (char16_t d = u'0'; d <= u'9'; ++d)
        QTest::addRow("digit %c", char(d)) << QChar(d) << passes(d);
    QTest::newRow("letter") << QChar(u'a') << dropped;
    QTest::newRow("capital") << QChar(u'E') << dropped;
    QTest::newRow("space") << QChar(u' ') << dropped;
    QTest::newRow("enter") << QChar(u'\r') << dropped;
    QTest::newRow("line feed") << QChar(u'\n') << dropped;
    QTest::newRow("tab") << QChar(u'\t') << dropped;
    QTest::newRow("ctrl-v") << QChar(u'\x16') << dropped;
    QTest::newRow("ctrl-c") << QChar(u'\x03') << dropped;
    QTest::newRow("plus") << QChar(u'+') << dropped;
    QTest::newRow("apostrophe") << QChar(u'\'') << dropped;
    QTest::newRow("euro") << QChar(u'€') << dropped;
    QTest::newRow("superscript two") << QChar(u'²') << dropped;
    QTest::newRow("arabic-indic digit") << QChar(u'١') << dropped;
}

void WithholdingRulesTest::amountKeys() {
    QFETCH(QChar, typed);
    QFETCH(std::optional<QChar>, inserted);
    QCOMPARE(filterNumberKey(typed), inserted);
}

void WithholdingRulesTest::formatOnLeave_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("one decimal") << "1234,5"
                                 << "1.234,50";
    QTest::newRow("negative") << "-3"
                              << "-3,00";
    QTest::newRow("half a cent") << "0,005"
                                 << "0,01";
    QTest::newRow("already formatted") << "1.000,00"
                                       << "1.000,00";
    QTest::newRow("zero") << "0"
                          << "0,00";
    QTest::newRow("comma first") << ",5"
                                 << "0,50";
    QTest::newRow("more decimals") << "10,125"
                                   << "10,13";
    QTest::newRow("two commas stay") << "1,2,3"
                                     << "1,2,3";
    QTest::newRow("lone minus stays") << "-"
                                      << "-";
    QTest::newRow("inner minus stays") << "1-2"
                                       << "1-2";
    QTest::newRow("lone comma stays") << ","
                                      << ",";
    QTest::newRow("blanks stay") << "  "
                                 << "  ";
    QTest::newRow("overflow stays") << "99999999999999999999"
                                    << "99999999999999999999";
}

void WithholdingRulesTest::formatOnLeave() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(ledger::formatOnLeave(typed), shown);
}

void WithholdingRulesTest::chooseRate_data() {
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("taxable");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("withheld");
    QTest::addColumn<QString>("otherAfter");

    QTest::newRow("4% of 1.000,00") << "4"
                                    << "1.000,00"
                                    << ""
                                    << "40,00"
                                    << "0";
    QTest::newRow("20% of 1.000,00") << "20"
                                     << "1.000,00"
                                     << ""
                                     << "200,00"
                                     << "0";
    QTest::newRow("20% of 123,45") << "20"
                                   << "123,45"
                                   << "5,00"
                                   << "24,69"
                                   << "5,00";
    QTest::newRow("20% of 1.234,56 rounds") << "20"
                                            << "1.234,56"
                                            << "0"
                                            << "246,91"
                                            << "0";
    QTest::newRow("4% of 0,13 rounds up") << "4"
                                          << "0,13"
                                          << "0"
                                          << "0,01"
                                          << "0";
    QTest::newRow("4% of 0,12 rounds down") << "4"
                                            << "0,12"
                                            << "0"
                                            << "0,00"
                                            << "0";
    QTest::newRow("4% of 12,50 half away") << "4"
                                           << "12,50"
                                           << "0"
                                           << "0,50"
                                           << "0";
    QTest::newRow("negative taxable") << "20"
                                      << "-123,45"
                                      << "0"
                                      << "-24,69"
                                      << "0";
    QTest::newRow("unformatted taxable") << "20"
                                         << "1234,5"
                                         << "0"
                                         << "246,90"
                                         << "0";
    QTest::newRow("unknown rate 23") << "23"
                                     << "1.000,00"
                                     << ""
                                     << ""
                                     << "0";
    QTest::newRow("4,00 is not 4") << "4,00"
                                   << "1.000,00"
                                   << ""
                                   << ""
                                   << "0";
    QTest::newRow("20,00 is not 20") << "20,00"
                                     << "1.000,00"
                                     << ""
                                     << ""
                                     << "0";
    QTest::newRow("leading blank") << " 4"
                                   << "1.000,00"
                                   << ""
                                   << ""
                                   << "0";
    QTest::newRow("trailing blank") << "20 "
                                    << "1.000,00"
                                    << ""
                                    << ""
                                    << "0";
    QTest::newRow("no rate") << ""
                             << "1.000,00"
                             << ""
                             << ""
                             << "0";
    QTest::newRow("rate before taxable") << "20"
                                         << ""
                                         << ""
                                         << ""
                                         << "0";
    QTest::newRow("unreadable taxable") << "20"
                                        << "1,2,3"
                                        << ""
                                        << ""
                                        << "0";
    QTest::newRow("other kept as typed") << "20"
                                         << "100"
                                         << "1,2,3"
                                         << "20,00"
                                         << "1,2,3";
    QTest::newRow("blank other is not empty") << "20"
                                              << "100"
                                              << " "
                                              << "20,00"
                                              << " ";
    QTest::newRow("largest taxable") << "20"
                                     << "92.233.720.368.547.758,07"
                                     << ""
                                     << "18.446.744.073.709.551,61"
                                     << "0";
}

void WithholdingRulesTest::chooseRate() {
    QFETCH(QString, rate);
    QFETCH(QString, taxable);
    QFETCH(QString, other);
    QFETCH(QString, withheld);
    QFETCH(QString, otherAfter);
    const RateOutcome outcome = ledger::chooseRate(rate, taxable, other);
    QCOMPARE(outcome.withheld, withheld);
    QCOMPARE(outcome.other, otherAfter);
    QCOMPARE(outcome.total, QString());
    QCOMPARE(withheldFor(taxable, rate).has_value(), !withheld.isEmpty());
}

void WithholdingRulesTest::total_data() {
    QTest::addColumn<QString>("withheld");
    QTest::addColumn<QString>("taxable");
    QTest::addColumn<QString>("other");
    QTest::addColumn<std::optional<QString>>("total");
    QTest::newRow("sum") << "200,00"
                         << "1.000,00"
                         << "0" << text("1.200,00");
    QTest::newRow("with other") << "24,69"
                                << "123,45"
                                << "10,5" << text("158,64");
    QTest::newRow("exact tenths") << "0,10"
                                  << "0,20"
                                  << "0" << text("0,30");
    QTest::newRow("negative other") << "200,00"
                                    << "1.000,00"
                                    << "-1.200,00" << text("0,00");
    QTest::newRow("withheld empty") << ""
                                    << "1.000,00"
                                    << "0" << noText();
    QTest::newRow("taxable empty") << "200,00"
                                   << ""
                                   << "0" << noText();
    QTest::newRow("other empty") << "200,00"
                                 << "1.000,00"
                                 << "" << noText();
    QTest::newRow("other unreadable") << "200,00"
                                      << "1.000,00"
                                      << "1,2,3" << noText();
    QTest::newRow("withheld unreadable") << "-"
                                         << "1.000,00"
                                         << "0" << noText();
    QTest::newRow("overflow") << "92.233.720.368.547.758,07"
                              << "0,01"
                              << "0" << noText();
}

void WithholdingRulesTest::total() {
    QFETCH(QString, withheld);
    QFETCH(QString, taxable);
    QFETCH(QString, other);
    QFETCH(std::optional<QString>, total);
    QCOMPARE(totalText(withheld, taxable, other), total);
}

void WithholdingRulesTest::shortDates_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::optional<QString>>("iso");
    QTest::newRow("full form") << "05/03/2011" << text("2011-03-05");
    QTest::newRow("one-digit day and month") << "5/3/2011" << text("2011-03-05");
    QTest::newRow("leap day") << "29/02/2012" << text("2012-02-29");
    QTest::newRow("blanks around") << " 05/03/2011 " << text("2011-03-05");
    QTest::newRow("not a leap year") << "29/02/2011" << noText();
    QTest::newRow("month 13") << "01/13/2011" << noText();
    QTest::newRow("day 0") << "00/01/2011" << noText();
    QTest::newRow("two-digit year") << "05/03/11" << noText();
    QTest::newRow("ISO form") << "2011-03-05" << noText();
    QTest::newRow("dashes") << "05-03-2011" << noText();
    QTest::newRow("empty") << "" << noText();
    QTest::newRow("words") << "ieri" << noText();
    QTest::newRow("first year") << "1/1/1900" << text("1900-01-01");
    QTest::newRow("last year") << "31/12/2100" << text("2100-12-31");
    QTest::newRow("year before 1900") << "31/12/1899" << noText();
    QTest::newRow("year after 2100") << "01/01/2101" << noText();
    QTest::newRow("year with leading zeros") << "01/01/0012" << noText();
    QTest::newRow("negative year") << "01/01/-001" << noText();
    QTest::newRow("negative four-digit year") << "1/1/-2025" << noText();
}

void WithholdingRulesTest::shortDates() {
    QFETCH(QString, typed);
    QFETCH(std::optional<QString>, iso);
    QCOMPARE(isoFromShortDate(typed), iso);
    if (iso)
        QCOMPARE(shortDateText(*readShortDate(typed)),
                 QDate::fromString(*iso, Qt::ISODate).toString("dd/MM/yyyy"));
}

void WithholdingRulesTest::paymentDate_data() {
    QTest::addColumn<QString>("paymentDate");
    QTest::addColumn<std::optional<QString>>("period");
    QTest::addColumn<std::optional<QString>>("dueDate");
    QTest::addColumn<bool>("focusMoves");
    QTest::newRow("March") << "05/03/2011" << text("3") << text("16/04/2011") << true;
    QTest::newRow("December into next year")
        << "20/12/2011" << text("12") << text("16/01/2012") << true;
    QTest::newRow("January") << "31/01/2011" << text("1") << text("16/02/2011") << true;
    QTest::newRow("end of month") << "31/10/2011" << text("10") << text("16/11/2011") << true;
    QTest::newRow("November") << "30/11/2011" << text("11") << text("16/12/2011") << true;
    QTest::newRow("on the 16th") << "16/06/2011" << text("6") << text("16/07/2011") << true;
    QTest::newRow("leap day") << "29/02/2012" << text("2") << text("16/03/2012") << true;
    QTest::newRow("empty clears period, keeps due date") << "" << text("") << noText() << false;
    QTest::newRow("unreadable changes nothing") << "31/02/2011" << noText() << noText() << true;
}

void WithholdingRulesTest::paymentDate() {
    QFETCH(QString, paymentDate);
    QFETCH(std::optional<QString>, period);
    QFETCH(std::optional<QString>, dueDate);
    QFETCH(bool, focusMoves);
    const PaymentDateOutcome outcome = leavePaymentDate(paymentDate);
    QCOMPARE(outcome.period, period);
    QCOMPARE(outcome.dueDate, dueDate);
    QCOMPARE(outcome.focusRemittanceDate, focusMoves);
}

void WithholdingRulesTest::remittanceDate_data() {
    QTest::addColumn<QString>("remittanceDate");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("clears");
    QTest::newRow("a date typed") << "16/04/2011" << true << true;
    QTest::newRow("a date passed through") << "16/04/2011" << false << false;
    QTest::newRow("emptied") << "" << true << false;
    QTest::newRow("left empty") << "" << false << false;
}

void WithholdingRulesTest::remittanceDate() {
    QFETCH(QString, remittanceDate);
    QFETCH(bool, changed);
    QFETCH(bool, clears);
    QCOMPARE(remittanceDateClearsRemitted(remittanceDate, changed), clears);
}

QTEST_APPLESS_MAIN(WithholdingRulesTest)
#include "tst_withholding_rules.moc"
