#include "store/connection.h"
#include "store/dialect.h"
#include "store/schema.h"
#include "support/test_database.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QSqlQuery>
#include <QTest>

using namespace tax;

namespace {

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy"));
}

void addWithholding(const QString& user, const char* code, const char* paid, qint64 cents) {
    TestDatabase::exec(QStringLiteral("INSERT INTO Ritenute (utente, tributo, datap, ritenuta, "
                                      "anno) VALUES (?, ?, ?, ?, ?)"),
                       {user, QString::fromLatin1(code), day(paid).toString(Qt::ISODate), cents,
                        QString::number(day(paid).year())});
}

} // namespace

class TaxTablesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void upgradeFromThePreviousVersion();
    void ratesSkipEmptyYears();
    void overridesSkipUnreadableDates();
    void knownDeferralsSeeded_data();
    void knownDeferralsSeeded();
    void returnDeadlinesSkipEmptyDates();
    void officeOption();
    void recordDueDate_data();
    void recordDueDate();
};

void TaxTablesTest::upgradeFromThePreviousVersion() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    // A ledger written before the tax calendar: its records stay, the tables arrive.
    TestDatabase::exec(QStringLiteral("INSERT INTO Ritenute (utente, anno) VALUES ('1', '2024')"));
    QStringList statements;
    for (const char* table :
         {"TassoLegale", "Proroghe", "Opzioni", "ScadenzaDichiarazione", "Modifiche"})
        statements << QStringLiteral("DROP TABLE %1").arg(QLatin1String(table));
    // The row versions and the index of the subjects' key as text came after the tax tables.
    for (const char* table : {"Ritenute", "Soggetti"})
        statements
            << QStringLiteral("ALTER TABLE %1 DROP COLUMN versione").arg(QLatin1String(table));
    statements << QStringLiteral("DROP INDEX Soggetti_chiave_testo")
               << QStringLiteral("DROP INDEX Ritenute_FT_lunghezza");
    TestDatabase::rewind(db.path(), 3, statements);
    QVERIFY(store::openDatabase(db.path()).ok());
    QCOMPARE(store::schema::versionOf(store::connection()), store::schema::kCurrentVersion);
    const Result<LegalRates> rates = loadLegalRates();
    QVERIFY(rates.ok());
    QCOMPARE(rates.value, knownLegalRates());
    QCOMPARE(rates.value.value(2023), qint64(500));
    QCOMPARE(rates.value.value(2026), qint64(160));
    const Result<ReturnDeadlines> deadlines = loadReturnDeadlines();
    QVERIFY(deadlines.ok());
    QCOMPARE(deadlines.value.size(), knownReturnDeadlines().size());
    QCOMPARE(deadlines.value.value(2015).date, day("15/09/2016"));
    QCOMPARE(deadlines.value.value(2016).confirmed, false);
    QCOMPARE(deadlines.value.value(2019).date, day("10/12/2020"));
    QCOMPARE(deadlines.value.value(2025).date, day("02/11/2026"));
    QCOMPARE(deadlines.value.value(2025).confirmed, false);
    QCOMPARE(storedCalendarChoice().value.overrides.size(), 1);
    Result<QSqlQuery> kept = store::run(QStringLiteral("SELECT count(*) FROM Ritenute"));
    QVERIFY(kept.ok() && kept.value.next());
    QCOMPARE(kept.value.value(0).toInt(), 1);
}

void TaxTablesTest::ratesSkipEmptyYears() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::exec(QStringLiteral("UPDATE TassoLegale SET tasso = NULL WHERE anno = '2026'"));
    TestDatabase::exec(QStringLiteral("INSERT INTO TassoLegale (anno, tasso) VALUES ('2027', 0)"));
    const Result<LegalRates> rates = loadLegalRates();
    QVERIFY(rates.ok());
    QVERIFY(!rates.value.contains(2026));
    QCOMPARE(rates.value.value(2027, -1), qint64(0));
}

void TaxTablesTest::overridesSkipUnreadableDates() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    // The general deferral of March 2020 comes with the ledger.
    TestDatabase::exec(QStringLiteral("INSERT INTO Proroghe (originale, nuova, nota) VALUES "
                                      "('2020-04-16', NULL, 'data da decidere')"));
    // A file written by another tool may hold a date as typed; a server's date column cannot.
    if (!TestDatabase::onServer())
        TestDatabase::exec(QStringLiteral("INSERT INTO Proroghe (originale, nuova, nota) VALUES "
                                          "('16/05/2020', '2020-05-20', 'scritta a mano')"));
    const Result<DueDateOverrides> overrides = loadOverrides();
    QVERIFY(overrides.ok());
    QCOMPARE(overrides.value.size(), 1);
    QCOMPARE(overrides.value.first().moved, day("20/03/2020"));
    QCOMPARE(overrides.value.first().note, QStringLiteral("D.L. 18/2020 art. 60"));
}

void TaxTablesTest::knownDeferralsSeeded_data() {
    QTest::addColumn<QString>("officeRow"); // the office's deferral of 16/03/2020, if any
    QTest::addColumn<QString>("after");
    QTest::newRow("none: seeded") << ""
                                  << "2020-03-16 2020-03-20 D.L. 18/2020 art. 60";
    QTest::newRow("the office's own row stays") << "2020-03-25"
                                                << "2020-03-16 2020-03-25 ufficio";
}

// A ledger of the previous layout gets the general deferrals, never over the office's rows.
void TaxTablesTest::knownDeferralsSeeded() {
    QFETCH(QString, officeRow);
    QFETCH(QString, after);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::exec(QStringLiteral("DELETE FROM Proroghe"));
    if (!officeRow.isEmpty())
        TestDatabase::exec(QStringLiteral("INSERT INTO Proroghe (originale, nuova, nota) VALUES "
                                          "('2020-03-16', ?, 'ufficio')"),
                           {officeRow});
    // The layout before the general deferrals, which came before the invoice-number index
    // and the record of changes.
    TestDatabase::rewind(db.path(), 7,
                         {QStringLiteral("DROP INDEX Ritenute_FT_lunghezza"),
                          QStringLiteral("DROP TABLE Modifiche")});
    QVERIFY(store::openDatabase(db.path()).ok());
    const Result<DueDateOverrides> overrides = loadOverrides();
    QVERIFY(overrides.ok());
    QCOMPARE(overrides.value.size(), 1);
    const DueDateOverride& o = overrides.value.first();
    QCOMPARE(QStringLiteral("%1 %2 %3")
                 .arg(o.original.toString(Qt::ISODate), o.moved.toString(Qt::ISODate), o.note),
             after);
}

void TaxTablesTest::returnDeadlinesSkipEmptyDates() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::exec(QStringLiteral(
        "UPDATE ScadenzaDichiarazione SET scadenza = NULL WHERE violazione = '2024'"));
    TestDatabase::exec(QStringLiteral("INSERT INTO ScadenzaDichiarazione (violazione, scadenza) "
                                      "VALUES ('2026', '2027-11-02')"));
    const Result<ReturnDeadlines> deadlines = loadReturnDeadlines();
    QVERIFY(deadlines.ok());
    QVERIFY(!deadlines.value.contains(2024));
    // A row the office adds counts as checked.
    QCOMPARE(deadlines.value.value(2026).date, day("02/11/2027"));
    QVERIFY(deadlines.value.value(2026).confirmed);
}

void TaxTablesTest::officeOption() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QCOMPARE(smallAmountDeferralChosen().value, false);
    const Status chosen = chooseSmallAmountDeferral(true);
    QVERIFY2(chosen.ok(), qPrintable(chosen.error()));
    QCOMPARE(smallAmountDeferralChosen().value, true);
    QVERIFY(chooseSmallAmountDeferral(false).ok());
    QCOMPARE(storedCalendarChoice().value.smallAmountDeferral, false);
}

void TaxTablesTest::recordDueDate_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDate>("paid");
    QTest::addColumn<qint64>("withheld");
    QTest::addColumn<bool>("deferral");
    QTest::addColumn<QDate>("legal");
    // Stored for user 1: condominium 300 in January and 150 in February 2025 (one of
    // them 1020), 1040 of 60 in March 2025; user 2: condominium 400 in January 2025.
    QTest::newRow("condominium reaching 500 with the stored ones")
        << "1019" << day("10/03/2025") << qint64(6000) << false << day("16/04/2025");
    QTest::newRow("condominium below 500 with the stored ones")
        << "1019" << day("10/03/2025") << qint64(4000) << false << day("16/06/2025");
    QTest::newRow("condominium of another year")
        << "1020" << day("10/03/2024") << qint64(6000) << false << day("17/06/2024");
    QTest::newRow("1040 deferred with the stored March")
        << "1040" << day("10/04/2025") << qint64(3000) << true << day("16/12/2025");
    QTest::newRow("1040 over 100 with the stored March")
        << "1040" << day("10/04/2025") << qint64(5000) << true << day("16/05/2025");
    QTest::newRow("1040 without the option")
        << "1040" << day("10/04/2025") << qint64(3000) << false << day("16/05/2025");
}

void TaxTablesTest::recordDueDate() {
    QFETCH(QString, code);
    QFETCH(QDate, paid);
    QFETCH(qint64, withheld);
    QFETCH(bool, deferral);
    QFETCH(QDate, legal);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    addWithholding(QStringLiteral("1"), "1019", "10/01/2025", 30000);
    addWithholding(QStringLiteral("1"), "1020", "10/02/2025", 15000);
    addWithholding(QStringLiteral("1"), "1040", "10/03/2025", 6000);
    addWithholding(QStringLiteral("2"), "1019", "10/01/2025", 40000);
    CalendarChoice choice;
    choice.smallAmountDeferral = deferral;
    const Result<DueDate> due = tax::recordDueDate(
        {0, QStringLiteral("1"), code, paid, Amount::fromCents(withheld)}, choice);
    QVERIFY2(due.ok(), qPrintable(due.error()));
    QCOMPARE(due.value.legal, legal);
}

QTEST_GUILESS_MAIN(TaxTablesTest)
#include "tst_tax_tables.moc"
