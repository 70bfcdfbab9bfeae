#include "widgets/date_box.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

Q_DECLARE_METATYPE(DateBox::ShortYears)

class DateBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void leavingReportsInvalidYears_data();
    void leavingReportsInvalidYears();
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
    // Four-digit years from 1900 to 2100 only.
    QTest::newRow("first year") << "01/01/1900" << Rule::From1950 << today << QDate(1900, 1, 1);
    QTest::newRow("last year") << "31/12/2100" << Rule::From1950 << today << QDate(2100, 12, 31);
    QTest::newRow("year before 1900") << "31/12/1899" << Rule::From1950 << today << QDate();
    QTest::newRow("year after 2100") << "01/01/2101" << Rule::From1950 << today << QDate();
    QTest::newRow("year with leading zeros") << "01/01/0012" << Rule::From1950 << today << QDate();
    QTest::newRow("negative year") << "01/01/-001" << Rule::From1950 << today << QDate();
    QTest::newRow("negative four-digit year") << "1/1/-2025" << Rule::From1950 << today << QDate();
    QTest::newRow("negative year, dashes") << "1-1--2025" << Rule::From1950 << today << QDate();
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

void DateBoxTest::leavingReportsInvalidYears_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shownAfter"); // empty: reported as invalid, kept as typed
    QTest::newRow("valid date is tidied") << "5/3/2011"
                                          << "05/03/2011";
    QTest::newRow("negative year") << "1/1/-2025"
                                   << "";
    QTest::newRow("year 0001") << "01/01/0001"
                               << "";
    QTest::newRow("year 2101") << "01/01/2101"
                               << "";
}

void DateBoxTest::leavingReportsInvalidYears() {
    QFETCH(QString, typed);
    QFETCH(QString, shownAfter);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new DateBox(&window);
    auto* next = new QLineEdit(&window);
    layout->addWidget(box);
    layout->addWidget(next);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy invalid(box, &DateBox::invalidDate);
    box->setFocus();
    QTest::keyClicks(box->editor(), typed);
    QTest::keyClick(box->editor(), Qt::Key_Tab);
    QCOMPARE(invalid.count(), shownAfter.isEmpty() ? 1 : 0);
    QCOMPARE(box->text(), shownAfter.isEmpty() ? typed : shownAfter);
    QCOMPARE(box->date().isValid(), !shownAfter.isEmpty());
}

QTEST_MAIN(DateBoxTest)
#include "tst_date_box.moc"
