#include "reports/report_catalogue.h"
#include "reports/st770_rows.h"
#include "store/connection.h"
#include "support/spreadsheet_files.h"
#include "support/test_database.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

// The remittance rows of the annual return and the checks before filing, read from a
// ledger on either engine, and their exports.
class St770Test : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rows_data();
    void rows();
    void exportsAddUp_data();
    void exportsAddUp();

private:
    // "payee;ledger year;paid;remitted;withheld;versato;interessi;sanzione;ravv;code",
    // an empty date for none.
    void addRecord(const QString& user, const QString& recordText);
    void generateLedger();

    std::unique_ptr<TestDatabase> db_;
    QString userA_, userB_;
};

void St770Test::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    userA_ = QString::number(TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true));
    userB_ = QString::number(TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"), true));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = 'CF' || ID"));
}

void St770Test::cleanup() {
    db_.reset();
}

void St770Test::addRecord(const QString& user, const QString& recordText) {
    const QStringList f = recordText.split(QLatin1Char(';'));
    QCOMPARE(f.size(), 10);
    const auto date = [](const QString& text) { return text.isEmpty() ? QVariant() : text; };
    TestDatabase::exec(
        QStringLiteral("INSERT INTO Ritenute (denominazione, FT, anno, pag, datap, versamento, "
                       "ritenuta, versato, interessi, sanzione, ravv, tributo, utente) "
                       "VALUES (?, '7', ?, 'S', ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {f.at(0), f.at(1), date(f.at(2)), date(f.at(3)), f.at(4).toLongLong(), f.at(5).toLongLong(),
         f.at(6).toLongLong(), f.at(7).toLongLong(), f.at(8), f.at(9), user});
}

void St770Test::rows_data() {
    QTest::addColumn<QStringList>("records"); // user B's after "B:"
    QTest::addColumn<int>("year");
    // "period|code|payment date|withheld|paid|interest|ravv|records"
    QTest::addColumn<QStringList>("rows");
    // "kind payee", kinds in the order the checks list them
    QTest::addColumn<QStringList>("differences");

    QTest::newRow("several payees' March withholdings in one F24: one row")
        << QStringList{"ALFA;2024;2024-03-05;2024-04-16;10000;10000;0;0;N;1040",
                       "BETA;2024;2024-03-20;2024-04-16;5000;5000;0;0;N;1040",
                       "GAMMA;2024;2024-03-28;2024-04-16;700;700;0;0;N;1019"}
        << 2024
        << QStringList{"03/2024|1019|2024-04-16|700|700|0|N|1",
                       "03/2024|1040|2024-04-16|15000|15000|0|N|2"}
        << QStringList{};
    // Due Monday 16/09/2024, remitted ten days late: interest 200 x 2,5% x 10 / 365.
    QTest::newRow("late remittance with its interest: flagged, interest in the amount paid")
        << QStringList{"ALFA;2024;2024-08-10;2024-09-26;20000;20181;14;167;S;1040"} << 2024
        << QStringList{"08/2024|1040|2024-09-26|20000|20014|14|S|1"} << QStringList{};
    QTest::newRow("fee paid in December, remitted in January: period 12 of the fee's year")
        << QStringList{"ALFA;2024;2024-12-20;2025-01-16;3000;3000;0;0;N;1040",
                       "BETA;2025;2025-01-10;2025-02-17;4000;4000;0;0;N;1040"}
        << 2024 << QStringList{"12/2024|1040|2025-01-16|3000|3000|0|N|1"} << QStringList{};
    QTest::newRow("remittance short by a cent")
        << QStringList{"ALFA;2024;2024-05-10;2024-06-14;10000;9999;0;0;N;1040"} << 2024
        << QStringList{"05/2024|1040|2024-06-14|10000|9999|0|N|1"}
        << QStringList{"AmountDiffers ALFA"};
    QTest::newRow("remittance over, interest and penalty left out")
        << QStringList{"ALFA;2024;2024-05-10;2024-06-14;10000;10500;0;400;N;1040"} << 2024
        << QStringList{"05/2024|1040|2024-06-14|10000|10100|0|N|1"}
        << QStringList{"AmountDiffers ALFA"};
    QTest::newRow("late without the regularisation flag")
        << QStringList{"ALFA;2024;2024-05-10;2024-07-01;10000;10000;0;0;N;1040",
                       "BETA;2024;2024-05-31;2024-06-17;10000;10000;0;0;N;1040"}
        << 2024
        << QStringList{"05/2024|1040|2024-06-17|10000|10000|0|N|1",
                       "05/2024|1040|2024-07-01|10000|10000|0|N|1"}
        << QStringList{"LateNotRegularised ALFA"};
    // Each kind is listed whole before the next, whatever the records' order.
    QTest::newRow("one record short and late, a later one late: listed by kind")
        << QStringList{"ALFA;2024;2024-05-10;2024-07-01;10000;9000;0;0;N;1040",
                       "BETA;2024;2024-05-20;2024-07-02;10000;10000;0;0;N;1040",
                       "GAMMA;2024;2024-06-10;;500;0;0;0;N;1040"}
        << 2024
        << QStringList{"05/2024|1040|2024-07-01|10000|9000|0|N|1",
                       "05/2024|1040|2024-07-02|10000|10000|0|N|1"}
        << QStringList{"NotRemitted GAMMA", "AmountDiffers ALFA", "LateNotRegularised ALFA",
                       "LateNotRegularised BETA"};
    QTest::newRow("regularised, interest not the legal rates' figure")
        << QStringList{"ALFA;2024;2024-08-10;2024-09-26;20000;20177;10;167;S;1040"} << 2024
        << QStringList{"08/2024|1040|2024-09-26|20000|20010|10|S|1"}
        << QStringList{"InterestDiffers ALFA"};
    QTest::newRow("withholding without remittance, record of the year paid in another")
        << QStringList{"ALFA;2024;2024-02-10;;10000;0;0;0;N;1040",
                       "BETA;2024;2023-12-10;2024-01-16;500;500;0;0;N;1040",
                       "GAMMA;2024;;;800;0;0;0;N;1040"}
        << 2024 << QStringList{} << QStringList{"NotRemitted ALFA", "OtherYear BETA"};
    QTest::newRow("before 2018: one row per remittance")
        << QStringList{"ALFA;2017;2017-03-05;2017-04-18;10000;10000;0;0;N;1040",
                       "BETA;2017;2017-03-20;2017-04-18;5000;5000;0;0;N;1040"}
        << 2017
        << QStringList{"03/2017|1040|2017-04-18|10000|10000|0|N|1",
                       "03/2017|1040|2017-04-18|5000|5000|0|N|1"}
        << QStringList{};
    // 300 euro of February wait for 16 June (a Sunday: 17 June); another user's 300 do
    // not reach the 500 euro that would make them due on 16 March.
    QTest::newRow("condominium withholdings wait for their half-year date, per user")
        << QStringList{"ALFA;2024;2024-02-10;2024-06-17;30000;30000;0;0;N;1019",
                       "B:OMEGA;2024;2024-02-12;2024-03-15;30000;30000;0;0;N;1019"}
        << 2024 << QStringList{"02/2024|1019|2024-06-17|30000|30000|0|N|1"} << QStringList{};
    QTest::newRow("2018: aggregated")
        << QStringList{"ALFA;2018;2018-03-05;2018-04-16;10000;10000;0;0;N;1040",
                       "BETA;2018;2018-03-20;2018-04-16;5000;5000;0;0;N;1040"}
        << 2018 << QStringList{"03/2018|1040|2018-04-16|15000|15000|0|N|2"} << QStringList{};
}

void St770Test::rows() {
    QFETCH(QStringList, records);
    QFETCH(int, year);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, differences);
    for (const QString& record : records) {
        if (record.startsWith(QLatin1String("B:")))
            addRecord(userB_, record.mid(2));
        else
            addRecord(userA_, record);
    }
    // Another user's records never reach the user's prospectus.
    addRecord(userB_, QStringLiteral("ZETA;2024;2024-03-05;;100;0;0;0;N;1040"));

    const Result<QList<st770::User>> users = st770::readUsers(userA_, year);
    QVERIFY2(users.ok(), qPrintable(users.error()));
    QCOMPARE(users.value.size(), 1);
    QCOMPARE(users.value.first().name, QStringLiteral("ROSSI MARIO"));
    const Result<tax::LateRules> rules = tax::storedLateRules();
    QVERIFY2(rules.ok(), qPrintable(rules.error()));
    st770::UserItems items(userA_, year, std::make_shared<const tax::LateRules>(rules.value));
    QStringList gotRows, gotDifferences, warnings;
    const char* kinds[] = {"NotRemitted", "AmountDiffers", "LateNotRegularised", "InterestDiffers",
                           "OtherYear"};
    for (st770::Item item; items.next(item);) {
        const st770::Row& r = item.row;
        const st770::Difference& d = item.difference;
        switch (item.type) {
        case st770::Item::Type::Row:
            gotRows.append(QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                               .arg(r.period, r.taxCode, r.remitted.toString(Qt::ISODate))
                               .arg(r.withheld)
                               .arg(r.paid)
                               .arg(r.interest)
                               .arg(r.regularised ? "S" : "N")
                               .arg(r.records));
            break;
        case st770::Item::Type::Difference:
            gotDifferences.append(QLatin1String(kinds[int(d.kind)]) + QLatin1Char(' ') +
                                  d.record.payee);
            QVERIFY(st770::differenceText(d).startsWith(d.record.payee +
                                                        QStringLiteral(", fattura 7")));
            break;
        case st770::Item::Type::Warning:
            warnings.append(item.warning);
            break;
        }
    }
    QVERIFY2(items.status().ok(), qPrintable(items.status().error()));
    QCOMPARE(warnings, QStringList());
    QCOMPARE(gotRows, rows);
    QCOMPARE(gotDifferences, differences);
}

// Two users, six payees, fees paid from 2016 to 2025 in ledger years that are not
// always the year of payment, some remitted late with interest and penalty.
void St770Test::generateLedger() {
    QRandomGenerator random(31);
    QVERIFY(store::run(QStringLiteral("BEGIN")).ok());
    for (int i = 0; i < 500; ++i) {
        const QDate paid = QDate(2016, 1, 1).addDays(random.bounded(10 * 365));
        const qint64 withheld = 1 + random.bounded(400000);
        const bool remitted = random.bounded(4) != 0;
        const qint64 interest = remitted && random.bounded(3) == 0 ? random.bounded(500) : 0;
        const qint64 penalty = interest ? random.bounded(3000) : 0;
        const QString recordText =
            QStringLiteral("P%1;%2;%3;%4;%5;%6;%7;%8;%9;%10")
                .arg(random.bounded(6))
                .arg(paid.year() - (random.bounded(5) == 0 ? 1 : 0))
                .arg(paid.toString(Qt::ISODate),
                     remitted ? paid.addDays(20 + random.bounded(100)).toString(Qt::ISODate)
                              : QString())
                .arg(withheld)
                .arg(remitted ? withheld + interest + penalty + random.bounded(2) : 0)
                .arg(interest)
                .arg(penalty)
                .arg(interest ? "S" : "N",
                     random.bounded(4) == 0 ? QStringLiteral("1019") : QStringLiteral("1040"));
        addRecord(random.bounded(3) == 0 ? userB_ : userA_, recordText);
    }
    QVERIFY(store::run(QStringLiteral("COMMIT")).ok());
}

void St770Test::exportsAddUp_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("year");
    QTest::addColumn<bool>("excel");
    QTest::newRow("user, CSV") << "Prospetto770"
                               << "2024" << false;
    QTest::newRow("user, Excel") << "Prospetto770"
                                 << "2021" << true;
    QTest::newRow("every user, Excel") << "Prospetto770G"
                                       << "2024" << true;
    QTest::newRow("every user before 2018, CSV") << "Prospetto770G"
                                                 << "2017" << false;
}

void St770Test::exportsAddUp() {
    QFETCH(QString, report);
    QFETCH(QString, year);
    QFETCH(bool, excel);
    generateLedger();
    const bool general = report.endsWith(QLatin1Char('G'));
    ReportRequest request;
    request.name = report;
    request.userId = general ? QString() : userA_;
    request.year = year;

    QVariantList values{QString(year + QStringLiteral("-01-01")),
                        QString(QString::number(year.toInt() + 1) + QStringLiteral("-01-01"))};
    if (!general)
        values.append(userA_);
    Result<QSqlQuery> q = store::run(
        QStringLiteral("SELECT sum(versato - sanzione), count(*) FROM Ritenute WHERE datap >= ? "
                       "AND datap < ? AND versamento IS NOT NULL") +
            (general ? QString() : QStringLiteral(" AND utente = ?")),
        values);
    QVERIFY(q.ok() && q.value.next());
    const qint64 ledgerPaid = q.value.value(0).toLongLong();
    QVERIFY(q.value.value(1).toInt() > 0);
    q.value.finish();

    QTemporaryDir dir;
    const QString path = dir.filePath(excel ? QStringLiteral("p.xlsx") : QStringLiteral("p.csv"));
    const Status written = exportReportAsTable(
        request, excel ? table_export::FileFormat::Xlsx : table_export::FileFormat::Csv, path);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QList<QStringList> table;
    if (excel) {
        const XlsxContents x = readXlsx(path);
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        int last = 0;
        for (const QString& reference : x.cells.keys())
            last = std::max(last, reference.mid(1).toInt());
        for (int row = 1; row <= last; ++row) {
            QStringList cells;
            for (char column = 'A'; column <= 'J'; ++column)
                cells.append(x.cells.value(QStringLiteral("%1%2").arg(column).arg(row)).value);
            table.append(cells);
        }
    } else {
        const CsvContents csv = readCsv(path);
        QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
        for (const QStringList& record : csv.records) {
            QStringList cells;
            for (const QString& field : record)
                cells.append(unguarded(field));
            table.append(cells);
        }
    }
    const qsizetype header = std::find_if(table.begin(), table.end(),
                                          [](const QStringList& r) {
                                              return r.value(4) == u"punto 7 Importo versato";
                                          }) -
                             table.begin();
    QVERIFY(header < table.size());
    qint64 exported = 0;
    int rows = 0;
    for (const QStringList& row : table.mid(header + 1)) {
        if (row.value(0) == u"Totale")
            break;
        ++rows;
        exported += excel ? std::llround(row.value(4).toDouble() * 100)
                          : row.value(4).remove(QLatin1Char(',')).toLongLong();
    }
    QVERIFY(rows > 0);
    QCOMPARE(exported, ledgerPaid);

    // The printed pages come from the same prospectus.
    const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
    const Status printed = exportReport(request, pdf);
    QVERIFY2(printed.ok(), qPrintable(printed.error()));
    QVERIFY(QFileInfo(pdf).size() > 0);

    // The lines are kept aside once made: read from the last page back, each window
    // seeking back, they are the lines read in order.
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    report::RowSource& lines = *prepared.value.rows;
    const auto windowAt = [&lines](qint64 first) {
        report::RowWindow window;
        const Status s = lines.read(first, 7, window);
        return s.ok() ? QVariantList(window.values.begin(), window.values.end()) : QVariantList();
    };
    QList<QVariantList> forward;
    for (qint64 first = 0; first < lines.rowCount(); first += 7)
        forward.append(windowAt(first));
    QVERIFY(forward.size() > 2);
    for (qsizetype w = forward.size() - 1; w >= 0; --w)
        QCOMPARE(windowAt(w * 7), forward.at(w));
}

QTEST_MAIN(St770Test)
#include "tst_st770.moc"
