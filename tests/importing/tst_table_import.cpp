#include "importing/legacy_values.h"
#include "importing/table_import.h"
#include "store/connection.h"
#include "support/test_database.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate kToday(2026, 12, 8);

const QString kSubjectHeader = QStringLiteral(
    "ID,denominazione,indirizzo,citta,cap,pr,datanascita,luogo,prnascita,codice,partita,"
    "utente,note");
// The letter case of an export tool that writes names as the old file spelled them.
const QString kWithholdingHeader = QStringLiteral(
    "ID,ID_A,Denominazione,FT,Data,Imponibile,Aliquota,Ritenuta,Altro,Totale,Pag,DataP,"
    "Periodo,Versamento,Ravv,Versato,Interessi,Sanzione,Tributo,Anno,Utente,Scadenza");

// A good record of user 1 on subject 2, one field of which a test may replace.
QString withholdingRow(qint64 id, int field = -1, const QString& value = {}) {
    QStringList fields = {QString::number(id),
                          "2",
                          "\"BIANCHI, LUCA\"",
                          "\"1/A\"",
                          "2021-03-01 00:00:00",
                          "1000.00",
                          "20.00",
                          "200.00",
                          "0",
                          "1200.00",
                          "\"S\"",
                          "2021-03-05",
                          "3",
                          "2021-04-16",
                          "\"N\"",
                          "200",
                          "0",
                          "0",
                          "\"1040\"",
                          "2021",
                          "1",
                          "2021-04-16"};
    if (field >= 0)
        fields[field] = value;
    return fields.join(u',');
}

// The six files, each the header alone unless `contents` gives its text.
void writeTables(const QString& folder, const QMap<QString, QString>& contents) {
    const QMap<QString, QString> headers = {{"Soggetti", kSubjectHeader},
                                            {"Ritenute", kWithholdingHeader},
                                            {"Anno", "Anno"},
                                            {"periodo", "periodo"},
                                            {"Tributo", "codice,Causale"},
                                            {"Percentuale", "Percentuale"}};
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        QFile file(folder + u'/' + it.key() + QStringLiteral(".csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((contents.value(it.key(), it.value() + u'\n')).toUtf8());
    }
}

qint64 count(const QString& sql) {
    Result<QSqlQuery> q = store::run(sql);
    return q.ok() && q.value.next() ? q.value.value(0).toLongLong() : -1;
}

const importing::TableOutcome* tableOf(const importing::TablesOutcome& outcome,
                                       const QString& name) {
    for (const importing::TableOutcome& table : outcome.tables) {
        if (table.table == name)
            return &table;
    }
    return nullptr;
}

// Per user and year: rows, and the sums of taxable, withheld, total and remitted.
using Figures = QMap<QString, QList<qint64>>;

} // namespace

class TableImportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void amount_data();
    void amount();
    void date_data();
    void date();
    void refusedRow_data();
    void refusedRow();
    void generatedLedger();
    void lookupsMerged();
    void wholeImportRefused_data();
    void wholeImportRefused();
};

void TableImportTest::amount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("whole") << "20" << true << qint64(2000);
    QTest::newRow("four decimals") << "1234.5600" << true << qint64(123456);
    QTest::newRow("half cent up") << "0.005" << true << qint64(1);
    QTest::newRow("half cent negative") << "-0.005" << true << qint64(-1);
    QTest::newRow("below half a cent") << "2.00499999999" << true << qint64(200);
    QTest::newRow("binary-unfriendly") << "0.285" << true << qint64(29);
    QTest::newRow("leading point") << ".5" << true << qint64(50);
    QTest::newRow("trailing point") << "12." << true << qint64(1200);
    QTest::newRow("plus sign") << "+3.10" << true << qint64(310);
    QTest::newRow("blank") << "  " << true << qint64(0);
    QTest::newRow("large") << "92233720368547758.07" << true << qint64(9223372036854775807LL);
    QTest::newRow("too large") << "92233720368547758.08" << false << qint64(0);
    QTest::newRow("decimal comma") << "1,5" << false << qint64(0);
    QTest::newRow("thousands") << "1.234.50" << false << qint64(0);
    QTest::newRow("exponent") << "1e3" << false << qint64(0);
    QTest::newRow("currency sign") << "€ 10" << false << qint64(0);
}

void TableImportTest::amount() {
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QFETCH(qint64, cents);
    const std::optional<Amount> amount = importing::amountFromDecimalText(text);
    QCOMPARE(amount.has_value(), reads);
    if (reads)
        QCOMPARE(amount->cents(), cents);
}

void TableImportTest::date_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<QDate>("date");
    QTest::newRow("iso") << "2021-03-15" << true << QDate(2021, 3, 15);
    QTest::newRow("iso with time") << "2021-03-15 13:45:00" << true << QDate(2021, 3, 15);
    QTest::newRow("american this year") << "03/15/26 00:00:00" << true << QDate(2026, 3, 15);
    QTest::newRow("american next two digits") << "03/15/27 00:00:00" << true << QDate(1927, 3, 15);
    QTest::newRow("american nineties") << "12/31/99 00:00:00" << true << QDate(1999, 12, 31);
    QTest::newRow("american 2000") << "01/01/00" << true << QDate(2000, 1, 1);
    QTest::newRow("blank is no date") << "" << true << QDate();
    QTest::newRow("impossible day") << "2021-02-29" << false << QDate();
    QTest::newRow("month over 12") << "13/01/21 00:00:00" << false << QDate();
    QTest::newRow("italian order") << "15/03/2021" << false << QDate();
    QTest::newRow("text") << "ieri" << false << QDate();
}

void TableImportTest::date() {
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QFETCH(QDate, date);
    const std::optional<QDate> read = importing::dateFromText(text, kToday);
    QCOMPARE(read.has_value(), reads);
    if (reads)
        QCOMPARE(*read, date);
}

// One bad field in the second record: that row alone is refused with its line and reason.
void TableImportTest::refusedRow_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("key not a number") << 0 << "\"A7\""
                                      << "ID \"A7\" non è una chiave";
    QTest::newRow("key zero") << 0 << "0"
                              << "ID \"0\" non è una chiave";
    QTest::newRow("key used twice") << 0 << "5"
                                    << "ID 5 già usato alla riga 2";
    QTest::newRow("subject key fractional") << 1 << "2.5"
                                            << "ID_A \"2.5\" non è una chiave";
    QTest::newRow("amount with comma") << 5 << "\"1000,50\""
                                       << "imponibile \"1000,50\" non è un";
    QTest::newRow("rate as text") << 6 << "\"venti\""
                                  << "aliquota \"venti\" non è un importo";
    QTest::newRow("impossible date") << 4 << "2021-02-30"
                                     << "data \"2021-02-30\" non è una data";
    QTest::newRow("flag") << 10 << "\"Y\""
                          << "pag \"Y\" non è S o N";
    QTest::newRow("late flag") << 14 << "\"si\""
                               << "ravv \"si\" non è S o N";
    QTest::newRow("field missing") << 21 << "2021-04-16,\"extra\""
                                   << "la riga ha 23 campi";
}

void TableImportTest::refusedRow() {
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, reason);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QTemporaryDir folder;
    writeTables(folder.path(), {{"Ritenute", kWithholdingHeader + u'\n' + withholdingRow(5) +
                                                 u'\n' + withholdingRow(6, field, value) + u'\n' +
                                                 withholdingRow(7) + u'\n'}});
    const Result<importing::TablesOutcome> done = importing::importTables(folder.path(), kToday);
    QVERIFY2(done.ok(), qPrintable(done.error()));
    const importing::TableOutcome* records = tableOf(done.value, "Ritenute");
    QVERIFY(records);
    QCOMPARE(records->read, 3);
    QCOMPARE(records->written, 2);
    QCOMPARE(records->refused.size(), 1);
    QCOMPARE(records->refused.first().line, 3);
    QVERIFY2(records->refused.first().reason.contains(reason),
             qPrintable(records->refused.first().reason));
    QCOMPARE(count("SELECT count(*) FROM Ritenute"), 2);
    QCOMPARE(count("SELECT sum(imponibile) FROM Ritenute"), 200000);
    QCOMPARE(TestDatabase::changesRecorded("importazione", "Ritenute"), qint64(2));
    QCOMPARE(TestDatabase::changesRecorded("inserimento", "Ritenute"), qint64(0));
    QVERIFY(
        importing::outcomeLines(done.value)
            .contains(QStringLiteral("  riga 3 rifiutata: ") + records->refused.first().reason));
}

// A ledger of several users and years, written as an export tool writes its tables, comes
// back with the same keys, counts and sums per user and year.
void TableImportTest::generatedLedger() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QTemporaryDir folder;
    QString subjects = kSubjectHeader + u'\n';
    const int kSubjects = 40;
    for (int id = 3; id < 3 + kSubjects; ++id) {
        const bool user = id % 10 == 3;
        subjects += QStringLiteral("%1,\"SOGGETTO \"\"%1\"\", SRL\",\"VIA %1\",\"ROMA\",\"00100\","
                                   "\"RM\",%2,\"\",\"\",\"CF%1\",\"\",\"%3\",\"\"\n")
                        .arg(id)
                        .arg(id % 3 ? QStringLiteral("\"%1/15/%2 00:00:00\"")
                                          .arg(id % 12 + 1, 2, 10, QChar(u'0'))
                                          .arg(40 + id)
                                    : QString())
                        .arg(user ? "S" : "N");
    }
    QString records = kWithholdingHeader + u'\n';
    Figures expected;
    QHash<qint64, qint64> subjectOf;
    qint64 id = 1000;
    for (int user : {3, 13, 23, 33}) {
        for (int year : {2019, 2020, 2021}) {
            const int rows = 5 + (user + year) % 7;
            for (int r = 0; r < rows; ++r, id += 3) {
                const qint64 subject = 3 + (id % kSubjects);
                // Taxable amounts with up to four decimals: exact cents, half away from zero.
                const qint64 tenThousandths = (id * 7919) % 50000000 + 5;
                const qint64 taxable = (tenThousandths + 50) / 100;
                const qint64 withheld = taxable / 5;
                const qint64 total = taxable + withheld;
                const qint64 remitted = r % 2 ? withheld : 0;
                const QString date =
                    r % 2 ? QStringLiteral("%1-0%2-1%3").arg(year).arg(r % 9 + 1).arg(r % 9)
                          : QStringLiteral("0%1/1%2/%3 00:00:00")
                                .arg(r % 9 + 1)
                                .arg(r % 9)
                                .arg(year % 100, 2, 10, QChar(u'0'));
                records += QStringLiteral("%1,%2,\"SOGGETTO %2\",\"%3/%4\",%5,%6.%7,20.0000,"
                                          "%8.%9,0,%10.%11,\"%12\",,%13,,\"N\",%14.%15,0,0,"
                                          "\"1040\",%4,%16,\n")
                               .arg(id)
                               .arg(subject)
                               .arg(r)
                               .arg(year)
                               .arg(date)
                               .arg(tenThousandths / 10000)
                               .arg(tenThousandths % 10000, 4, 10, QChar(u'0'))
                               .arg(withheld / 100)
                               .arg(withheld % 100, 2, 10, QChar(u'0'))
                               .arg(total / 100)
                               .arg(total % 100, 2, 10, QChar(u'0'))
                               .arg(remitted ? "S" : "N")
                               .arg(r % 12 + 1)
                               .arg(remitted / 100)
                               .arg(remitted % 100, 2, 10, QChar(u'0'))
                               .arg(user);
                QList<qint64>& f = expected[QStringLiteral("%1/%2").arg(user).arg(year)];
                if (f.isEmpty())
                    f = {0, 0, 0, 0, 0};
                f[0] += 1;
                f[1] += taxable;
                f[2] += withheld;
                f[3] += total;
                f[4] += remitted;
                subjectOf.insert(id, subject);
            }
        }
    }
    writeTables(folder.path(), {{"Soggetti", subjects}, {"Ritenute", records}});

    const Result<importing::TablesOutcome> done = importing::importTables(folder.path(), kToday);
    QVERIFY2(done.ok(), qPrintable(done.error()));
    const QByteArray lines = importing::outcomeLines(done.value).join(u'\n').toUtf8();
    for (const importing::TableOutcome& table : done.value.tables)
        QVERIFY2(table.refused.isEmpty(), lines.constData());
    for (const importing::Check& check : done.value.checks)
        QVERIFY2(check.ok(), qPrintable(check.what));

    Figures found;
    Result<QSqlQuery> q = store::run(QStringLiteral(
        "SELECT utente, anno, count(*), sum(imponibile), sum(ritenuta), sum(totale), "
        "sum(versato) FROM Ritenute GROUP BY utente, anno"));
    QVERIFY2(q.ok(), qPrintable(q.error()));
    while (q.value.next()) {
        QList<qint64>& f = found[q.value.value(0).toString() + u'/' + q.value.value(1).toString()];
        for (int c = 2; c <= 6; ++c)
            f.append(q.value.value(c).toLongLong());
    }
    QCOMPARE(found, expected);

    // Keys kept: each record points to its subject, each user is a subject flagged "S".
    Result<QSqlQuery> keys = store::run(QStringLiteral("SELECT ID, ID_A FROM Ritenute"));
    QVERIFY(keys.ok());
    int checked = 0;
    while (keys.value.next()) {
        QCOMPARE(keys.value.value(1).toLongLong(),
                 subjectOf.value(keys.value.value(0).toLongLong()));
        ++checked;
    }
    QCOMPARE(checked, subjectOf.size());
    QCOMPARE(count("SELECT count(DISTINCT r.utente) FROM Ritenute r JOIN Soggetti s "
                   "ON CAST(s.ID AS TEXT) = r.utente AND s.utente = 'S'"),
             4);
    // The names' sort keys are written with the rows.
    QCOMPARE(count("SELECT count(*) FROM Soggetti WHERE ordine = denominazione"), 40);
    QCOMPARE(count("SELECT count(*) FROM Ritenute WHERE ordine = denominazione"), subjectOf.size());
    QCOMPARE(count("SELECT count(*) FROM Soggetti WHERE denominazione = 'SOGGETTO \"7\", SRL' "
                   "AND datanascita = '1947-08-15'"),
             1);
}

void TableImportTest::lookupsMerged() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QTemporaryDir folder;
    writeTables(folder.path(),
                {{"Anno", "ANNO\n2021\n1998\n\"98\"\n"},
                 {"Percentuale", "percentuale\n20\n23.5\n0\n"},
                 {"Tributo", "codice,causale\n\"1040\",\"altra\"\n\"1038\",\"Prov\"\n"},
                 {"periodo", "periodo\n12\n13\n"}});
    const qint64 years = count("SELECT count(*) FROM Anno");
    const Result<importing::TablesOutcome> done = importing::importTables(folder.path(), kToday);
    QVERIFY2(done.ok(), qPrintable(done.error()));
    QCOMPARE(count("SELECT count(*) FROM Anno"), years + 1);
    QCOMPARE(tableOf(done.value, "Anno")->refused.size(), 1);
    QCOMPARE(tableOf(done.value, "Anno")->refused.first().line, 4);
    QCOMPARE(count("SELECT count(*) FROM Percentuale WHERE Percentuale = 2350"), 1);
    QCOMPARE(tableOf(done.value, "Percentuale")->refused.first().line, 4);
    QCOMPARE(
        count("SELECT count(*) FROM Tributo WHERE codice = '1040' AND Causale LIKE 'Ritenute%'"),
        1);
    QCOMPARE(count("SELECT count(*) FROM Tributo WHERE codice = '1038'"), 1);
    QCOMPARE(tableOf(done.value, "periodo")->alreadyPresent, 1);
    QCOMPARE(tableOf(done.value, "periodo")->written, 1);
}

// Whatever stops the import leaves the ledger as it was.
void TableImportTest::wholeImportRefused_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content"); // empty: the file is removed
    QTest::addColumn<bool>("ledgerHoldsASubject");
    QTest::addColumn<QString>("reason");
    const QString good = kWithholdingHeader + u'\n' + withholdingRow(5) + u'\n';
    QTest::newRow("ledger not empty")
        << "Ritenute" << good << true << "contiene 1 soggetti e 0 registrazioni";
    QTest::newRow("file missing") << "Tributo"
                                  << "" << false << "manca il file Tributo.csv";
    QTest::newRow("key column missing") << "Soggetti"
                                        << "denominazione\n\"A\"\n"
                                        << false << "manca la colonna ID";
    QTest::newRow("open quote") << "Soggetti" << kSubjectHeader + "\n1,\"A\n"
                                << false << "virgolette non chiuse";
    QTest::newRow("amounts beyond any sum")
        << "Ritenute"
        << good + withholdingRow(6, 5, "92233720368547758.07") + u'\n' +
               withholdingRow(7, 5, "92233720368547758.07") + u'\n'
        << false << "alla riga 3 le somme degli importi escono dai limiti";
}

void TableImportTest::wholeImportRefused() {
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(bool, ledgerHoldsASubject);
    QFETCH(QString, reason);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    if (ledgerHoldsASubject)
        TestDatabase::addSubject(QStringLiteral("GIÀ QUI"));
    QTemporaryDir folder;
    writeTables(folder.path(), {{file, content}, {"Anno", "Anno\n1990\n"}});
    if (content.isEmpty())
        QVERIFY(QFile::remove(folder.filePath(file + QStringLiteral(".csv"))));
    const qint64 years = count("SELECT count(*) FROM Anno");

    const Result<importing::TablesOutcome> done = importing::importTables(folder.path(), kToday);
    QVERIFY(!done.ok());
    QVERIFY2(done.error().contains(reason), qPrintable(done.error()));
    QCOMPARE(count("SELECT count(*) FROM Anno"), years);
    QCOMPARE(count("SELECT count(*) FROM Ritenute"), 0);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), ledgerHoldsASubject ? 1 : 0);
}

QTEST_GUILESS_MAIN(TableImportTest)
#include "tst_table_import.moc"
