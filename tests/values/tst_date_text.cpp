#include "values/date_text.h"

#include <QDate>
#include <QTest>
#include <QVariant>

class DateTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shownDate_data();
    void shownDate();
};

void DateTextTest::shownDate_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ISO date") << "2011-03-05"
                              << "05/03/2011";
    QTest::newRow("leap day") << "2012-02-29"
                              << "29/02/2012";
    QTest::newRow("early year") << "0999-12-31"
                                << "31/12/0999";
    QTest::newRow("last day of a year") << "2024-12-31"
                                        << "31/12/2024";
    // What is not a real ISO date is shown as it is stored.
    QTest::newRow("no such day") << "2011-02-30"
                                 << "2011-02-30";
    QTest::newRow("no leap day") << "2011-02-29"
                                 << "2011-02-29";
    QTest::newRow("month 13") << "2011-13-01"
                              << "2011-13-01";
    QTest::newRow("month 0") << "2011-00-10"
                             << "2011-00-10";
    QTest::newRow("unpadded") << "2011-3-5"
                              << "2011-3-5";
    QTest::newRow("a letter") << "20a1-03-05"
                              << "20a1-03-05";
    QTest::newRow("already shown") << "05/03/2011"
                                   << "05/03/2011";
    QTest::newRow("free text") << "da definire"
                               << "da definire";
    QTest::newRow("empty") << ""
                           << "";
}

void DateTextTest::shownDate() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(::shownDate(stored), shown);
    // A server hands the same day back as a date.
    if (const QDate day = QDate::fromString(stored, Qt::ISODate); day.isValid())
        QCOMPARE(::shownDate(QVariant(day)), shown);
}

QTEST_APPLESS_MAIN(DateTextTest)
#include "tst_date_text.moc"
