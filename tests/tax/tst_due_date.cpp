#include "tax/deferral_calendar.h"
#include "tax/due_date.h"
#include "tax/holidays.h"
#include "tax/record_due_date.h"

#include <QTest>

using namespace tax;

namespace {

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy"));
}

struct AppendixYear {
    int year;
    const char* dates[12];
};

// Legal due date of the withholdings of each month, by withholding year.
const AppendixYear kAppendix[] = {
    {2015,
     {"16/02", "16/03", "16/04", "18/05", "16/06", "16/07", "20/08", "16/09", "16/10", "16/11",
      "16/12", "18/01/2016"}},
    {2016,
     {"16/02", "16/03", "18/04", "16/05", "16/06", "18/07", "22/08", "16/09", "17/10", "16/11",
      "16/12", "16/01/2017"}},
    {2017,
     {"16/02", "16/03", "18/04", "16/05", "16/06", "17/07", "21/08", "18/09", "16/10", "16/11",
      "18/12", "16/01/2018"}},
    {2018,
     {"16/02", "16/03", "16/04", "16/05", "18/06", "16/07", "20/08", "17/09", "16/10", "16/11",
      "17/12", "16/01/2019"}},
    {2019,
     {"18/02", "18/03", "16/04", "16/05", "17/06", "16/07", "20/08", "16/09", "16/10", "18/11",
      "16/12", "16/01/2020"}},
    {2020,
     {"17/02", "16/03", "16/04", "18/05", "16/06", "16/07", "20/08", "16/09", "16/10", "16/11",
      "16/12", "18/01/2021"}},
    {2021,
     {"16/02", "16/03", "16/04", "17/05", "16/06", "16/07", "20/08", "16/09", "18/10", "16/11",
      "16/12", "17/01/2022"}},
    {2022,
     {"16/02", "16/03", "19/04", "16/05", "16/06", "18/07", "22/08", "16/09", "17/10", "16/11",
      "16/12", "16/01/2023"}},
    {2023,
     {"16/02", "16/03", "17/04", "16/05", "16/06", "17/07", "21/08", "18/09", "16/10", "16/11",
      "18/12", "16/01/2024"}},
    {2024,
     {"16/02", "18/03", "16/04", "16/05", "17/06", "16/07", "20/08", "16/09", "16/10", "18/11",
      "16/12", "16/01/2025"}},
    {2025,
     {"17/02", "17/03", "16/04", "16/05", "16/06", "16/07", "20/08", "16/09", "16/10", "17/11",
      "16/12", "16/01/2026"}},
    {2026,
     {"16/02", "16/03", "16/04", "18/05", "16/06", "16/07", "20/08", "16/09", "16/10", "16/11",
      "16/12", "18/01/2027"}},
};

// "paid dd/mm/yyyy amount" pairs, then the expected nominal dates in the same order.
using Entries = QList<QPair<QString, qint64>>;

QList<YearWithholding> withholdings(const Entries& entries) {
    QList<YearWithholding> year;
    for (const auto& [paid, cents] : entries)
        year.append(
            {QDate::fromString(paid, QStringLiteral("dd/MM/yyyy")), Amount::fromCents(cents)});
    return year;
}

QStringList nominalTexts(const QList<CalendarDate>& dates) {
    QStringList texts;
    for (const CalendarDate& d : dates)
        texts.append(dayText(d.nominal));
    return texts;
}

} // namespace

class DueDateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyMonth_data();
    void everyMonth();
    void easter_data();
    void easter();
    void holidays_data();
    void holidays();
    void reasons_data();
    void reasons();
    void overrides_data();
    void overrides();
    void condominium_data();
    void condominium();
    void smallAmounts_data();
    void smallAmounts();
    void calendarByCode_data();
    void calendarByCode();
    void neverBeforeOrdinary_data();
    void neverBeforeOrdinary();

private:
    // Kept across the rows of a table, as a reading of many records keeps it.
    OrdinaryDueDates ordinary_;
};

void DueDateTest::everyMonth_data() {
    QTest::addColumn<QDate>("paid");
    QTest::addColumn<QDate>("legal");
    for (const AppendixYear& row : kAppendix) {
        for (int month = 1; month <= 12; ++month) {
            QString text = QString::fromLatin1(row.dates[month - 1]);
            if (text.size() == 5)
                text += QStringLiteral("/%1").arg(row.year);
            // The first and the last day of the month give the same due date.
            const QDate first(row.year, month, 1);
            QTest::addRow("%d-%02d first", row.year, month)
                << first << QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
            QTest::addRow("%d-%02d last", row.year, month)
                << first.addMonths(1).addDays(-1)
                << QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
        }
    }
}

void DueDateTest::everyMonth() {
    QFETCH(QDate, paid);
    QFETCH(QDate, legal);
    const DueDate due =
        dueDateAmong({{paid, Amount::fromCents(100000)}}, 0, QStringLiteral("1040"), {});
    QCOMPARE(due.legal, legal);
    QCOMPARE(due.nominal, QDate(paid.year(), paid.month(), 16).addMonths(1));
    QCOMPARE(due.reasons.isEmpty(), due.legal == due.nominal);
}

void DueDateTest::easter_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("sunday");
    const char* const dates[] = {"05/04/2015", "27/03/2016", "16/04/2017", "01/04/2018",
                                 "21/04/2019", "12/04/2020", "04/04/2021", "17/04/2022",
                                 "09/04/2023", "31/03/2024", "20/04/2025", "05/04/2026",
                                 "28/03/2027", "16/04/2028", "01/04/2029", "21/04/2030"};
    for (int i = 0; i < 16; ++i)
        QTest::addRow("%d", 2015 + i) << 2015 + i << day(dates[i]);
    QTest::newRow("1818, earliest possible") << 1818 << day("22/03/1818");
    QTest::newRow("2038, latest possible") << 2038 << day("25/04/2038");
}

void DueDateTest::easter() {
    QFETCH(int, year);
    QFETCH(QDate, sunday);
    QCOMPARE(easterSunday(year), sunday);
    QCOMPARE(nonWorkingReason(sunday.addDays(1)), QStringLiteral("Lunedì dell'Angelo"));
    QCOMPARE(nonWorkingReason(sunday.addDays(2)), QString());
}

void DueDateTest::holidays_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("reason");
    QTest::newRow("4 October 2025, Saturday") << day("04/10/2025") << "sabato";
    QTest::newRow("4 October 2027, from 2026") << day("04/10/2027") << "San Francesco d'Assisi";
    QTest::newRow("4 October 2024, working") << day("04/10/2024") << "";
    QTest::newRow("2 June 2000, not yet again") << day("02/06/2000") << "";
    QTest::newRow("2 June 2026") << day("02/06/2026") << "Festa della Repubblica";
    QTest::newRow("6 January 2025") << day("06/01/2025") << "Epifania";
    QTest::newRow("4 November, not a holiday") << day("04/11/2025") << "";
    QTest::newRow("19 March, not a holiday") << day("19/03/2025") << "";
    QTest::newRow("29 June, Rome only") << day("29/06/2026") << "";
    QTest::newRow("15 August on a Friday") << day("15/08/2025") << "Ferragosto";
    QTest::newRow("26 December") << day("26/12/2024") << "Santo Stefano";
    QTest::newRow("a Sunday") << day("16/03/2025") << "domenica";
    QTest::newRow("Christmas on a Sunday") << day("25/12/2022") << "Natale";
    QTest::newRow("a Monday") << day("17/03/2025") << "";
}

void DueDateTest::holidays() {
    QFETCH(QDate, date);
    QFETCH(QString, reason);
    QCOMPARE(nonWorkingReason(date), reason);
}

void DueDateTest::reasons_data() {
    QTest::addColumn<QDate>("nominal");
    QTest::addColumn<QDate>("legal");
    QTest::addColumn<QString>("reason");
    QTest::newRow("Saturday, then Easter Monday")
        << day("16/04/2022") << day("19/04/2022")
        << "16/04/2022 è sabato; 18/04/2022 è Lunedì dell'Angelo";
    QTest::newRow("Easter Sunday, then Monday")
        << day("16/04/2017") << day("18/04/2017")
        << "16/04/2017 è Pasqua; 17/04/2017 è Lunedì dell'Angelo";
    QTest::newRow("Saturday") << day("16/03/2024") << day("18/03/2024") << "16/03/2024 è sabato";
    QTest::newRow("Sunday") << day("16/02/2025") << day("17/02/2025") << "16/02/2025 è domenica";
    QTest::newRow("August") << day("16/08/2025") << day("20/08/2025")
                            << "16/08/2025 cade tra il 1° e il 20 agosto: si versa entro il "
                               "20/08/2025";
    QTest::newRow("August, then Saturday")
        << day("16/08/2022") << day("22/08/2022")
        << "16/08/2022 cade tra il 1° e il 20 agosto: si versa entro il 20/08/2022; "
           "20/08/2022 è sabato";
    QTest::newRow("August, then Sunday")
        << day("16/08/2023") << day("21/08/2023")
        << "16/08/2023 cade tra il 1° e il 20 agosto: si versa entro il 20/08/2023; "
           "20/08/2023 è domenica";
    QTest::newRow("20 August itself") << day("20/08/2025") << day("20/08/2025") << "";
    QTest::newRow("new October holiday on a Saturday-free Monday")
        << day("04/10/2027") << day("05/10/2027") << "04/10/2027 è San Francesco d'Assisi";
    QTest::newRow("Saturday, Sunday, then a Monday holiday")
        << day("30/10/2027") << day("02/11/2027") << "30/10/2027 è sabato; 01/11/2027 è Ognissanti";
    QTest::newRow("Christmas and Santo Stefano")
        << day("25/12/2025") << day("29/12/2025")
        << "25/12/2025 è Natale; 26/12/2025 è Santo Stefano; 27/12/2025 è sabato";
    QTest::newRow("working day") << day("16/06/2025") << day("16/06/2025") << "";
}

void DueDateTest::reasons() {
    QFETCH(QDate, nominal);
    QFETCH(QDate, legal);
    QFETCH(QString, reason);
    const DueDate due = legalDueDate(nominal);
    QCOMPARE(due.legal, legal);
    QCOMPARE(due.reasonText(), reason);
}

void DueDateTest::overrides_data() {
    QTest::addColumn<QDate>("nominal");
    QTest::addColumn<QDate>("legal");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nominal date deferred") << day("16/03/2020") << day("20/03/2020")
                                           << "16/03/2020 prorogata al 20/03/2020 (D.L. 18/2020)";
    QTest::newRow("deferral of the date reached after the weekend")
        << day("16/05/2020") << day("25/05/2020")
        << "16/05/2020 è sabato; 18/05/2020 prorogata al 25/05/2020";
    QTest::newRow("a deferral to a Saturday stands")
        << day("16/11/2020") << day("21/11/2020") << "16/11/2020 prorogata al 21/11/2020";
    QTest::newRow("other dates untouched") << day("16/04/2020") << day("16/04/2020") << "";
    QTest::newRow("a deferral to an earlier day is not applied")
        << day("16/06/2020") << day("16/06/2020")
        << "16/06/2020 prorogata al 10/06/2020 (errore): data precedente, proroga non applicata";
}

void DueDateTest::overrides() {
    QFETCH(QDate, nominal);
    QFETCH(QDate, legal);
    QFETCH(QString, reason);
    const DueDateOverrides table = {
        {day("16/03/2020"), day("20/03/2020"), QStringLiteral("D.L. 18/2020")},
        {day("18/05/2020"), day("25/05/2020"), QString()},
        {day("16/11/2020"), day("21/11/2020"), QStringLiteral("  ")},
        {day("16/04/2020"), QDate(), QStringLiteral("no new date: ignored")},
        {day("16/06/2020"), day("10/06/2020"), QStringLiteral("errore")},
    };
    const DueDate due = legalDueDate(nominal, table);
    QCOMPARE(due.legal, legal);
    QCOMPARE(due.reasonText(), reason);
}

void DueDateTest::condominium_data() {
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QStringList>("nominal");
    QTest::newRow("before 2017: monthly")
        << Entries{{"10/03/2016", 10000}} << QStringList{"16/04/2016"};
    // Never before the ordinary 16th of the next month: June-November wait for December.
    QTest::newRow("2017-2023: 30 June and 20 December below 500 euro")
        << Entries{{"10/01/2020", 10000}, {"31/05/2020", 10000}, {"30/06/2020", 10000},
                   {"20/11/2020", 10000}, {"20/12/2020", 10000}, {"21/12/2020", 10000}}
        << QStringList{"30/06/2020", "30/06/2020", "20/12/2020",
                       "20/12/2020", "30/06/2021", "30/06/2021"};
    QTest::newRow("500 euro reached in March: all due 16 April")
        << Entries{{"10/01/2021", 20000},
                   {"10/02/2021", 20000},
                   {"05/03/2021", 5000},
                   {"25/03/2021", 5000},
                   {"10/04/2021", 10000}}
        << QStringList{"16/04/2021", "16/04/2021", "16/04/2021", "16/04/2021", "30/06/2021"};
    QTest::newRow("threshold in June with May's not yet remitted")
        << Entries{{"10/05/2022", 30000}, {"10/06/2022", 30000}}
        << QStringList{"30/06/2022", "16/07/2022"};
    QTest::newRow("remitted on 30 June: no longer counted in July")
        << Entries{{"10/05/2022", 30000}, {"10/07/2022", 30000}}
        << QStringList{"30/06/2022", "20/12/2022"};
    QTest::newRow("exactly 500 euro in one month")
        << Entries{{"10/09/2023", 50000}} << QStringList{"16/10/2023"};
    QTest::newRow("from 2024: 16 June, 16 December, December to 16 January")
        << Entries{{"31/05/2024", 10000},
                   {"01/06/2024", 10000},
                   {"17/06/2024", 10000},
                   {"01/12/2024", 10000}}
        << QStringList{"16/06/2024", "16/12/2024", "16/12/2024", "16/01/2025"};
    QTest::newRow("from 2024: threshold in October")
        << Entries{{"10/07/2025", 40000}, {"10/10/2025", 15000}, {"10/11/2025", 1000}}
        << QStringList{"16/11/2025", "16/11/2025", "16/12/2025"};
}

void DueDateTest::condominium() {
    QFETCH(Entries, entries);
    QFETCH(QStringList, nominal);
    QCOMPARE(nominalTexts(condominiumDueDates(withholdings(entries))), nominal);
}

void DueDateTest::smallAmounts_data() {
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QStringList>("nominal");
    QTest::newRow("35 in March, 90 in April: both 16 May")
        << Entries{{"10/03/2024", 3500}, {"10/04/2024", 9000}}
        << QStringList{"16/05/2024", "16/05/2024"};
    QTest::newRow("exactly 100 waits; one cent more does not")
        << Entries{{"10/01/2024", 10000}, {"10/02/2024", 1}}
        << QStringList{"16/03/2024", "16/03/2024"};
    QTest::newRow("never over 100: 16 December")
        << Entries{{"10/02/2025", 2000}, {"10/10/2025", 2000}, {"10/11/2025", 2000}}
        << QStringList{"16/12/2025", "16/12/2025", "16/12/2025"};
    QTest::newRow("December: 16 January")
        << Entries{{"10/12/2025", 2000}} << QStringList{"16/01/2026"};
    QTest::newRow("over 100 alone: the month after")
        << Entries{{"10/05/2025", 10001}, {"10/06/2025", 500}}
        << QStringList{"16/06/2025", "16/12/2025"};
    QTest::newRow("2023: no deferral") << Entries{{"10/03/2023", 500}} << QStringList{"16/04/2023"};
}

void DueDateTest::smallAmounts() {
    QFETCH(Entries, entries);
    QFETCH(QStringList, nominal);
    QCOMPARE(nominalTexts(smallAmountDueDates(withholdings(entries))), nominal);
}

void DueDateTest::calendarByCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("deferral");
    QTest::addColumn<QDate>("legal");
    // One withholding of 50 euro paid on 10 March 2024.
    QTest::newRow("1040 without the office option") << "1040" << false << day("16/04/2024");
    QTest::newRow("1040 with the office option") << "1040" << true << day("16/12/2024");
    QTest::newRow("1001 ignores the option") << "1001" << true << day("16/04/2024");
    QTest::newRow("1019: 16 June, a Sunday") << "1019" << false << day("17/06/2024");
    QTest::newRow("1020") << "1020" << false << day("17/06/2024");
}

void DueDateTest::calendarByCode() {
    QFETCH(QString, code);
    QFETCH(bool, deferral);
    QFETCH(QDate, legal);
    CalendarChoice choice;
    choice.smallAmountDeferral = deferral;
    const DueDate due =
        dueDateAmong({{day("10/03/2024"), Amount::fromCents(5000)}}, 0, code, choice);
    QCOMPARE(due.legal, legal);
    QCOMPARE(due.reasons.isEmpty(), legal == day("16/04/2024"));
}

void DueDateTest::neverBeforeOrdinary_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDate>("paid");
    QTest::addColumn<qint64>("withheld");
    QTest::addColumn<QDate>("legal");
    QTest::addColumn<QString>("warning"); // part of it; empty: none
    // The condominium alone in its year, below and at 500 euro.
    QTest::newRow("June 2023, below 500")
        << "1019" << day("10/06/2023") << qint64(10000) << day("20/12/2023") << "";
    QTest::newRow("June 2024, below 500")
        << "1019" << day("10/06/2024") << qint64(10000) << day("16/12/2024") << "";
    QTest::newRow("November 2023, below 500")
        << "1020" << day("20/11/2023") << qint64(10000) << day("20/12/2023") << "";
    QTest::newRow("December 2024, below 500")
        << "1019" << day("10/12/2024") << qint64(10000) << day("16/01/2025") << "";
    QTest::newRow("June 2023, at 500: ordinary, 16/07 a Sunday")
        << "1019" << day("10/06/2023") << qint64(50000) << day("17/07/2023") << "";
    QTest::newRow("30/06/2020, below 500: not that same day")
        << "1019" << day("30/06/2020") << qint64(10000) << day("21/12/2020") << "";
    QTest::newRow("December 2023, below 500: said unconfirmed")
        << "1019" << day("10/12/2023") << qint64(10000) << day("17/06/2024") << "dicembre 2023";
    // A stored deferral of the ordinary date past the half-year date wins.
    QTest::newRow("May 2021, the ordinary date deferred past 30 June")
        << "1019" << day("10/05/2021") << qint64(10000) << day("05/07/2021") << "";
    // A stored deferral to an earlier day does not bring the date forward.
    QTest::newRow("a deferral to an earlier day")
        << "1040" << day("10/04/2022") << qint64(10000) << day("16/05/2022") << "";
    // Ordinary records of the months above: their date is not a condominium's of that month.
    QTest::newRow("June 2023, ordinary code")
        << "1040" << day("12/06/2023") << qint64(10000) << day("17/07/2023") << "";
    QTest::newRow("June 2023, ordinary code again")
        << "1040" << day("30/06/2023") << qint64(10000) << day("17/07/2023") << "";
    QTest::newRow("November 2023, ordinary code")
        << "1040" << day("20/11/2023") << qint64(10000) << day("18/12/2023") << "";
}

void DueDateTest::neverBeforeOrdinary() {
    QFETCH(QString, code);
    QFETCH(QDate, paid);
    QFETCH(qint64, withheld);
    QFETCH(QDate, legal);
    QFETCH(QString, warning);
    CalendarChoice choice;
    choice.overrides = {{day("16/06/2021"), day("05/07/2021"), QString()},
                        {day("16/05/2022"), day("10/05/2022"), QString()}};
    const QList<YearWithholding> year = {{paid, Amount::fromCents(withheld)}};
    const DueDate due = dueDateAmong(year, 0, code, choice);
    QCOMPARE(due.legal, legal);
    QCOMPARE(due.warnings.isEmpty(), warning.isEmpty());
    QVERIFY2(due.warnings.join(u' ').contains(warning), qPrintable(due.warnings.join(u' ')));
    // The same as a stored record, the ordinary dates worked out once for the whole table.
    CalendarDates calendars;
    if (isCondominiumCode(code))
        calendars.insert(1, condominiumDueDates(year).at(0));
    const DueDate stored = storedDueDate(1, paid, calendars, choice, ordinary_);
    QCOMPARE(stored.legal, due.legal);
    QCOMPARE(stored.reasons, due.reasons);
    QCOMPARE(stored.warnings, due.warnings);
}

QTEST_GUILESS_MAIN(DueDateTest)
#include "tst_due_date.moc"
