#include "platform/date_box.h"

#include <QTest>

Q_DECLARE_METATYPE(DateBox::ShortYears)

class DateBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
};

void DateBoxTest::parse_data() {
    using Rule = DateBox::ShortYears;
    QTest::addColumn<QString>("text");
    QTest::addColumn<DateBox::ShortYears>("rule");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("expected");
    const QDate today(2026, 12, 8);
    QTest::newRow("full form") << "05/03/2011" << Rule::From1950 << today << QDate(2011, 3, 5);
    QTest::newRow("one-digit day and month")
        << "5/3/2011" << Rule::From1950 << today << QDate(2011, 3, 5);
    QTest::newRow("dashes") << "05-03-2011" << Rule::From1950 << today << QDate(2011, 3, 5);
    QTest::newRow("blanks around")
        << " 05/03/2011 " << Rule::From1950 << today << QDate(2011, 3, 5);
    QTest::newRow("no such day") << "31/02/2011" << Rule::From1950 << today << QDate();
    QTest::newRow("not a date") << "ieri" << Rule::From1950 << today << QDate();
    QTest::newRow("three-digit year") << "1/2/045" << Rule::From1950 << today << QDate();
    // Two-digit years of the ledger's dates: 1950 to 2049.
    QTest::newRow("ledger, 49") << "1/2/49" << Rule::From1950 << today << QDate(2049, 2, 1);
    QTest::newRow("ledger, 50") << "1/2/50" << Rule::From1950 << today << QDate(1950, 2, 1);
    QTest::newRow("ledger, leap day of 2000")
        << "29/2/00" << Rule::From1950 << today << QDate(2000, 2, 29);
    // Two-digit years of birth dates: the latest such date that is not after today.
    QTest::newRow("birth, 45") << "1/2/45" << Rule::MostRecentPast << today << QDate(1945, 2, 1);
    QTest::newRow("birth, 05") << "1/2/05" << Rule::MostRecentPast << today << QDate(2005, 2, 1);
    QTest::newRow("birth, earlier this year")
        << "1/2/26" << Rule::MostRecentPast << today << QDate(2026, 2, 1);
    QTest::newRow("birth, today") << "8/12/26" << Rule::MostRecentPast << today
                                  << QDate(2026, 12, 8);
    QTest::newRow("birth, later this year")
        << "9/12/26" << Rule::MostRecentPast << today << QDate(1926, 12, 9);
    QTest::newRow("birth, 99") << "31/12/99" << Rule::MostRecentPast << today
                               << QDate(1999, 12, 31);
    QTest::newRow("birth, leap day of 2000")
        << "29/2/00" << Rule::MostRecentPast << today << QDate(2000, 2, 29);
    QTest::newRow("birth, in another century")
        << "1/1/99" << Rule::MostRecentPast << QDate(2101, 6, 1) << QDate(2099, 1, 1);
    QTest::newRow("birth, four digits kept")
        << "1/2/2045" << Rule::MostRecentPast << today << QDate(2045, 2, 1);
    QTest::newRow("birth, no such day") << "29/2/25" << Rule::MostRecentPast << today << QDate();
}

void DateBoxTest::parse() {
    QFETCH(QString, text);
    QFETCH(DateBox::ShortYears, rule);
    QFETCH(QDate, today);
    QFETCH(QDate, expected);
    QCOMPARE(DateBox::parse(text, rule, today), expected);
}

QTEST_MAIN(DateBoxTest)
#include "tst_date_box.moc"
