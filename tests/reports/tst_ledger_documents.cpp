#include "printing/report_renderer.h"
#include "reports/f24_plan.h"
#include "reports/f24_plan_document.h"
#include "reports/ledger_documents.h"
#include "reports/payee_certificate.h"
#include "reports/payee_certificate_document.h"
#include "reports/payee_certificate_files.h"
#include "reports/payee_certificate_table.h"
#include "store/connection.h"
#include "store/name_order.h"
#include "support/test_database.h"
#include "values/stored_money.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using money::formatCents;

// One SQL aggregate row as integers.
QList<qint64> sums(const QString& sql, const QVariantList& values) {
    Result<QSqlQuery> q = store::run(sql, values);
    QList<qint64> out;
    if (!q.ok() || !q.value.next())
        return out;
    for (int i = 0; i < q.value.record().count(); ++i)
        out.append(q.value.value(i).toLongLong());
    return out;
}

const QDate kSigned(2026, 2, 27);

} // namespace

class LedgerDocumentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void certificateTotalsEqualLedger_data();
    void certificateTotalsEqualLedger();
    void certificatePages();
    void certificateMarksAndYears();
    void certificateFileNames_data();
    void certificateFileNames();
    void certificateFilesToSend();
    void f24TotalsEqualLedger_data();
    void f24TotalsEqualLedger();
    void f24Lines();
    void f24DueDate_data();
    void f24DueDate();
    void f24Regularisation();
    void parseDueMonth_data();
    void parseDueMonth();

private:
    void generateLedger();
    qint64 addRecord(const QString& user, const QVariant& payee, const QString& name,
                     const QString& year, const QString& paid, qint64 withheld,
                     const QVariant& remittance, const QString& code = QStringLiteral("1040"),
                     qint64 other = 0);

    std::unique_ptr<TestDatabase> db_;
    QString userA_, userB_;
};

void LedgerDocumentsTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    userA_ = QString::number(TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true));
    userB_ = QString::number(TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"), true));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = 'CF' || ID, citta = 'PAVIA'"));
}

void LedgerDocumentsTest::cleanup() {
    db_.reset();
}

qint64 LedgerDocumentsTest::addRecord(const QString& user, const QVariant& payee,
                                      const QString& name, const QString& year, const QString& paid,
                                      qint64 withheld, const QVariant& remittance,
                                      const QString& code, qint64 other) {
    TestDatabase::exec(
        QStringLiteral("INSERT INTO Ritenute (ID_A, denominazione, FT, data, imponibile, "
                       "aliquota, ritenuta, altro, pag, datap, versamento, versato, interessi, "
                       "sanzione, tributo, anno, utente, ordine) VALUES (?, ?, '7', ?, ?, 2000, "
                       "?, ?, 'S', ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {payee, name, paid, withheld * 5, withheld, other, paid, remittance,
         remittance.isNull() ? 0 : withheld + 30, remittance.isNull() ? 0 : 10,
         remittance.isNull() ? 0 : 20, code, year, user, store::nameKey(name)});
    Result<QSqlQuery> q = store::run(QStringLiteral("SELECT max(ID) FROM Ritenute"));
    return q.ok() && q.value.next() ? q.value.value(0).toLongLong() : 0;
}

// Two users, eight payees (one without codice fiscale, one gone from the registry),
// records paid from 2023 to 2025 in ledger years that are not always the year of payment,
// some remitted with interest and penalty, some with sums not subject to withholding.
void LedgerDocumentsTest::generateLedger() {
    QList<QVariant> payees;
    for (int i = 0; i < 7; ++i)
        payees.append(TestDatabase::addSubject(QStringLiteral("PERCIPIENTE %1").arg(i)));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = '' WHERE denominazione = "
                                      "'PERCIPIENTE 3'"));
    payees.append(9999); // no such subject
    QRandomGenerator random(17);
    const QString codes[] = {QStringLiteral("1040"), QStringLiteral("1019"),
                             QStringLiteral("1020")};
    QVERIFY(store::run(QStringLiteral("BEGIN")).ok());
    for (int i = 0; i < 400; ++i) {
        const QDate paid = QDate(2023, 1, 1).addDays(random.bounded(3 * 365));
        const int payee = random.bounded(int(payees.size()));
        const QString year = QString::number(paid.year() - (random.bounded(5) == 0 ? 1 : 0));
        const QVariant remittance =
            random.bounded(3) == 0 ? QVariant() : QVariant(paid.addDays(20).toString(Qt::ISODate));
        addRecord(random.bounded(3) == 0 ? userB_ : userA_, payees.at(payee),
                  QStringLiteral("NOME %1").arg(payee), year, paid.toString(Qt::ISODate),
                  1 + random.bounded(500000), remittance, codes[random.bounded(3)],
                  random.bounded(2) ? random.bounded(20000) : 0);
    }
    QVERIFY(store::run(QStringLiteral("COMMIT")).ok());
}

void LedgerDocumentsTest::certificateTotalsEqualLedger_data() {
    QTest::addColumn<bool>("userA");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("first user, 2024") << true << "2024"
                                      << "";
    QTest::newRow("first user, 2025") << true << "2025"
                                      << "";
    QTest::newRow("second user, 2023") << false << "2023"
                                       << "";
    QTest::newRow("some payees") << true << "2024"
                                 << "PERCIPIENTE 1%";
    QTest::newRow("the payee gone from the registry") << true << "2025"
                                                      << "NOME 7";
}

void LedgerDocumentsTest::certificateTotalsEqualLedger() {
    QFETCH(bool, userA);
    QFETCH(QString, year);
    QFETCH(QString, pattern);
    generateLedger();
    const QString user = userA ? userA_ : userB_;
    const QList<qint64> ledger =
        sums(QStringLiteral(
                 "SELECT count(*), count(DISTINCT coalesce('#' || s.ID, '=' || r.denominazione)), "
                 "sum(r.imponibile + r.altro), sum(r.altro), sum(r.imponibile), sum(r.ritenuta), "
                 "sum(r.versato - r.interessi - r.sanzione), "
                 "sum(CASE WHEN r.versamento IS NULL THEN 1 ELSE 0 END) "
                 "FROM Ritenute r LEFT JOIN Soggetti s ON s.ID = r.ID_A WHERE r.utente = ? AND "
                 "r.datap BETWEEN ? AND ? AND coalesce(s.denominazione, r.denominazione) LIKE ?"),
             QVariantList{user, QString(year + QStringLiteral("-01-01")),
                          QString(year + QStringLiteral("-12-31")),
                          pattern.isEmpty() ? QStringLiteral("%") : pattern});
    QCOMPARE(ledger.size(), 8);
    QVERIFY(ledger.at(0) > 0);

    const Result<CertificateYear> read = readCertificateYear(user, year, pattern);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const CertificateYear& y = read.value;
    QCOMPARE(qint64(y.payees.size()), ledger.at(1));
    qint64 invoices = 0, unremitted = 0;
    CertificateTotals added;
    for (const PayeeCertificate& p : y.payees) {
        invoices += p.invoices.size();
        unremitted += p.unremitted;
        added.add(p.totals);
    }
    QCOMPARE(invoices, ledger.at(0));
    QCOMPARE(unremitted, ledger.at(7));
    const QList<qint64> totals = {y.totals.gross, y.totals.other, y.totals.taxable,
                                  y.totals.withheld, y.totals.remitted};
    QCOMPARE(totals, ledger.mid(2, 5));
    QCOMPARE(
        (QList<qint64>{added.gross, added.other, added.taxable, added.withheld, added.remitted}),
        totals);

    // The table's rows add up to the same points 4, 7, 8 and 9.
    qint64 table[4] = {0, 0, 0, 0};
    const QList<QVariantList> rows = certificateTableRows(y);
    QCOMPARE(rows.size(), y.payees.size());
    for (const QVariantList& row : rows) {
        QCOMPARE(row.size(), certificateTableShape(y).columns.size());
        table[0] += row.at(3).toLongLong();
        table[1] += row.at(5).toLongLong();
        table[2] += row.at(6).toLongLong();
        table[3] += row.at(7).toLongLong();
        QCOMPARE(row.at(3).toLongLong() - row.at(5).toLongLong(), row.at(6).toLongLong());
    }
    QCOMPARE((QList<qint64>{table[0], table[1], table[2], table[3]}),
             (QList<qint64>{y.totals.gross, y.totals.other, y.totals.taxable, y.totals.withheld}));
}

void LedgerDocumentsTest::certificatePages() {
    generateLedger();
    const Result<CertificateYear> read = readCertificateYear(userA_, QStringLiteral("2024"));
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const CertificateYear& y = read.value;
    const LineDocument doc = payeeCertificateDocument(y, kSigned);
    report::RenderOptions options;
    options.printDate = kSigned;
    const report::RenderedReport pages = report::render(doc.layout(), doc.data(), options);

    // The summary, then each payee from the top of a page of its own, in the summary's order.
    int page = 1;
    const QStringList summary = report::pageTexts(pages.pages.first());
    QVERIFY(summary.contains(QStringLiteral("Totale (%1 percipienti)").arg(y.payees.size())));
    QVERIFY(summary.contains(formatCents(y.totals.withheld)));
    QVERIFY(summary.contains(formatCents(y.totals.difference())));
    for (const PayeeCertificate& p : y.payees) {
        QVERIFY(page < pages.pageCount());
        const QStringList texts = report::pageTexts(pages.pages.at(page));
        QCOMPARE(texts.first(),
                 QStringLiteral("Attestazione dei compensi corrisposti - anno 2024"));
        QVERIFY2(texts.contains(p.payee.name), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY(texts.contains(formatCents(p.totals.withheld)));
        QVERIFY(summary.contains(p.payee.name));
        int invoiceLines = 0;
        for (; page < pages.pageCount(); ++page) {
            const QStringList t = report::pageTexts(pages.pages.at(page));
            invoiceLines += int(t.count(QStringLiteral("7")));
            if (t.contains(QStringLiteral("PAVIA, 27/02/2026")))
                break;
        }
        QCOMPARE(invoiceLines, int(p.invoices.size()));
        ++page;
    }
    QCOMPARE(page, pages.pageCount());
}

void LedgerDocumentsTest::certificateMarksAndYears() {
    const qint64 noCode = TestDatabase::addSubject(QStringLiteral("SENZA CF"));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = '' WHERE ID = ?"), {noCode});
    const qint64 other = TestDatabase::addSubject(QStringLiteral("ALTRO REGIME"));
    TestDatabase::exec(
        QStringLiteral(
            "UPDATE Soggetti SET causale = 'M', codicealtro = '12', codice = 'CF3' WHERE ID = ?"),
        {other});
    // Paid in January 2025 in the ledger of 2024: certified for 2025 only.
    addRecord(userA_, noCode, QStringLiteral("SENZA CF"), QStringLiteral("2024"),
              QStringLiteral("2025-01-05"), 10000, QVariant());
    addRecord(userA_, other, QStringLiteral("ALTRO REGIME"), QStringLiteral("2025"),
              QStringLiteral("2025-03-01"), 2000, QStringLiteral("2025-04-16"),
              QStringLiteral("1040"), 4000);
    addRecord(userA_, 4242, QStringLiteral("CANCELLATO SPA"), QStringLiteral("2025"),
              QStringLiteral("2025-06-01"), 3000, QStringLiteral("2025-07-16"));
    // Another user's payment and a record without payment date are not certified.
    addRecord(userB_, other, QStringLiteral("ALTRO REGIME"), QStringLiteral("2025"),
              QStringLiteral("2025-03-01"), 999, QVariant());
    addRecord(userA_, other, QStringLiteral("ALTRO REGIME"), QStringLiteral("2025"), QString(), 777,
              QVariant());

    const Result<CertificateYear> y2024 = readCertificateYear(userA_, QStringLiteral("2024"));
    QVERIFY(y2024.ok());
    QVERIFY(y2024.value.payees.isEmpty());
    const Result<CertificateYear> read = readCertificateYear(userA_, QStringLiteral("2025"));
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const QList<QVariantList> rows = certificateTableRows(read.value);
    // The forfettario code of the numbering before 2022 is warned of, never converted.
    const QList<QVariantList> expectedRows = {
        {QStringLiteral("CF3"), QStringLiteral("ALTRO REGIME"), QStringLiteral("M"), 14000,
         QStringLiteral("12"), 4000, 10000, 2000,
         QStringLiteral("codice 12 della numerazione precedente alla CU 2022 (ora 21, 22, 24): "
                        "indicare il codice dell'anno")},
        {QString(), QStringLiteral("CANCELLATO SPA"), QStringLiteral("A"), 15000, QString(), 0,
         15000, 3000, QString()},
        {QString(), QStringLiteral("SENZA CF"), QStringLiteral("A"), 50000, QString(), 0, 50000,
         10000, QString()},
    };
    QCOMPARE(rows.size(), expectedRows.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        QCOMPARE(rows.at(r).size(), expectedRows.at(r).size());
        for (qsizetype c = 0; c < rows.at(r).size(); ++c)
            QCOMPARE(rows.at(r).at(c).toString(), expectedRows.at(r).at(c).toString());
    }
    const LineDocument doc = payeeCertificateDocument(read.value, kSigned);
    const QStringList summary =
        report::pageTexts(report::render(doc.layout(), doc.data()).pages.first());
    const QStringList expected = {
        QStringLiteral("      * senza codice fiscale"),
        QStringLiteral("      * senza codice fiscale; 1 fattura pagata senza versamento della "
                       "ritenuta"),
        QStringLiteral("Totale (3 percipienti)"),
        formatCents(79000),
    };
    for (const QString& text : expected)
        QVERIFY2(summary.contains(text), qPrintable(summary.join(QLatin1Char('|'))));
    // Remitted: versato less interest and penalty, so the difference is what is missing.
    QCOMPARE(read.value.totals.remitted, 5000);
    QCOMPARE(read.value.totals.difference(), 10000);
}

void LedgerDocumentsTest::certificateFileNames_data() {
    QTest::addColumn<QStringList>("codes"); // of payees 1, 2, 3...; "-" for none
    QTest::addColumn<QStringList>("names");
    QTest::newRow("codes") << QStringList{"RSSMRA80A01H501Z", "vrd.ann 70"}
                           << QStringList{"RSSMRA80A01H501Z_2024.pdf", "VRDANN70_2024.pdf"};
    QTest::newRow("no code") << QStringList{"-"} << QStringList{"soggetto1_2024.pdf"};
    QTest::newRow("a code twice") << QStringList{"AAA", "BBB", "aaa"}
                                  << QStringList{"AAA_1_2024.pdf", "BBB_2024.pdf",
                                                 "AAA_3_2024.pdf"};
    QTest::newRow("gone twice") << QStringList{"-", "-"}
                                << QStringList{"soggetto1_2024.pdf", "soggetto1_2_2024.pdf"};
}

void LedgerDocumentsTest::certificateFileNames() {
    QFETCH(QStringList, codes);
    QFETCH(QStringList, names);
    CertificateYear year;
    year.year = QStringLiteral("2024");
    for (qsizetype i = 0; i < codes.size(); ++i) {
        PayeeCertificate payee;
        // Two payees gone from the registry may carry one key.
        payee.subjectId = codes.count(QStringLiteral("-")) > 1 ? 1 : i + 1;
        payee.payee.taxCode = codes.at(i) == QLatin1String("-") ? QString() : codes.at(i);
        year.payees.append(payee);
    }
    QCOMPARE(payee_certificate::fileNames(year), names);
}

// Each payee's certificate read back from its own file: its own page numbers, the whole
// codice fiscale, nothing of what the agent remitted; the summary keeps the agent's figures.
void LedgerDocumentsTest::certificateFilesToSend() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    const qint64 payee = TestDatabase::addSubject(QStringLiteral("VERDI ANNA"));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = 'VRDNNA80A41H501W' WHERE "
                                      "ID = ?"),
                       {payee});
    addRecord(userA_, payee, QStringLiteral("VERDI ANNA"), QStringLiteral("2024"),
              QStringLiteral("2024-03-05"), 20000, QVariant());
    addRecord(userA_, payee, QStringLiteral("VERDI ANNA"), QStringLiteral("2024"),
              QStringLiteral("2024-04-05"), 10000, QStringLiteral("2024-05-16"));
    QTemporaryDir folder;
    const Result<QStringList> written = payee_certificate::writeFolder(
        userA_, QStringLiteral("2024"), QString(), folder.filePath("nuova"), kSigned);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QCOMPARE(QDir(folder.filePath("nuova")).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase),
             (QStringList{"riepilogo_2024.pdf", "VRDNNA80A41H501W_2024.pdf"}));
    const auto text = [&pdftotext](const QString& pdf) {
        QProcess tool;
        tool.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        tool.waitForFinished(60000);
        return QString::fromUtf8(tool.readAllStandardOutput());
    };
    const QString certificate = text(written.value.first());
    for (const char* shown : {"Pagina 1 di 1", "VRDNNA80A41H501W", "VERDI ANNA", "ROSSI MARIO",
                              "punto 9", "300,00", "PAVIA, 27/02/2026"})
        QVERIFY2(certificate.contains(QLatin1String(shown)), shown);
    for (const char* hidden : {"Differenza", "non versata", "ersat", "riepilogo"})
        QVERIFY2(!certificate.contains(QLatin1String(hidden), Qt::CaseInsensitive), hidden);
    const QString summary = text(written.value.last());
    QVERIFY(summary.contains(QLatin1String("VRDNNA80A41H501W")));
    QVERIFY(summary.contains(QLatin1String("Differenza")));
}

void LedgerDocumentsTest::f24TotalsEqualLedger_data() {
    QTest::addColumn<int>("user"); // 0 every user, 1 the first, 2 the second
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::newRow("January: December's payments") << 1 << 2025 << 1;
    QTest::newRow("March") << 1 << 2024 << 3;
    QTest::newRow("August, second user") << 2 << 2025 << 8;
    QTest::newRow("every user") << 0 << 2024 << 6;
    QTest::newRow("every user, first month of the ledger") << 0 << 2023 << 2;
}

void LedgerDocumentsTest::f24TotalsEqualLedger() {
    QFETCH(int, user);
    QFETCH(int, year);
    QFETCH(int, month);
    generateLedger();
    const QString userId = user == 0 ? QStringLiteral("") : user == 1 ? userA_ : userB_;
    const QString from = QDate(year, month, 1).addMonths(-1).toString(Qt::ISODate);
    const QString to = QDate(year, month, 1).toString(Qt::ISODate);
    const QString who = QStringLiteral(" AND (? = '' OR utente = ?)");
    const QString sum = QStringLiteral("SELECT coalesce(sum(ritenuta), 0), count(*) FROM Ritenute "
                                       "WHERE ritenuta <> 0 AND ");
    const QList<qint64> toPay =
        sums(sum + QStringLiteral("datap >= ? AND datap < ? AND versamento IS NULL") + who,
             {from, to, userId, userId});
    const QList<qint64> remitted =
        sums(sum + QStringLiteral("datap >= ? AND datap < ? AND versamento IS NOT NULL") + who,
             {from, to, userId, userId});
    const QList<qint64> late = sums(sum + QStringLiteral("datap < ? AND versamento IS NULL") + who,
                                    {from, userId, userId});

    const Result<F24Plan> read = readF24Plan(userId, year, month);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QList<qint64> got(6, 0);
    for (const F24UserPlan& u : read.value.users) {
        int index = 0;
        for (const QList<F24Line>* lines : {&u.toPay, &u.remitted, &u.late}) {
            got[index] += totalOf(*lines);
            for (const F24Line& l : *lines) {
                got[index + 1] += l.count;
                QCOMPARE(l.referenceMonth.size(), 4);
                QVERIFY(l.referenceMonth.startsWith(QStringLiteral("00")));
                if (lines != &u.late) {
                    QCOMPARE(l.referenceMonth.mid(2).toInt(),
                             QDate::fromString(from, Qt::ISODate).month());
                    QCOMPARE(l.referenceYear.toInt(), QDate::fromString(from, Qt::ISODate).year());
                }
            }
            index += 2;
        }
        if (!userId.isEmpty())
            QCOMPARE(u.userId, userId);
    }
    QCOMPARE(got, toPay + remitted + late);

    // The printed totals are the same figures.
    const LineDocument doc = f24PlanDocument(read.value, user == 0);
    QStringList texts;
    for (const report::RenderedPage& page : report::render(doc.layout(), doc.data()).pages)
        texts += report::pageTexts(page);
    for (const F24UserPlan& u : read.value.users) {
        if (!u.toPay.isEmpty())
            QVERIFY(texts.contains(formatCents(totalOf(u.toPay))));
        if (!u.late.isEmpty())
            QVERIFY(texts.contains(formatCents(totalOf(u.late))));
    }

    // The plan's table has every line, each in its block, adding up to the same figures.
    const table_export::TableSource table = f24PlanTable(read.value, user == 0);
    QVERIFY(!table.isEmpty());
    const std::unique_ptr<table_export::RowSource> rows = table.rows();
    QMap<QString, qint64> blocks;
    QVariantList row;
    while (rows->next(row)) {
        QCOMPARE(row.size(), table.shape.columns.size());
        blocks[row.at(2).toString()] += row.at(6).toLongLong();
    }
    QCOMPARE(blocks.value(QStringLiteral("Da versare")), toPay.at(0));
    QCOMPARE(blocks.value(QStringLiteral("Già versata")), remitted.at(0));
    QCOMPARE(blocks.value(QStringLiteral("Scaduta e non versata")), late.at(0));
}

void LedgerDocumentsTest::f24Lines() {
    // December 2024's payments fall due in January 2025 under the reference 0012/2024.
    addRecord(userA_, 1, QStringLiteral("A"), QStringLiteral("2024"), QStringLiteral("2024-12-03"),
              1000, QVariant());
    addRecord(userA_, 1, QStringLiteral("B"), QStringLiteral("2025"), QStringLiteral("2024-12-31"),
              2500, QVariant());
    addRecord(userA_, 1, QStringLiteral("C"), QStringLiteral("2024"), QStringLiteral("2024-12-10"),
              400, QVariant(), QStringLiteral("1019"));
    addRecord(userA_, 1, QStringLiteral("D"), QStringLiteral("2024"), QStringLiteral("2024-12-11"),
              700, QStringLiteral("2025-01-10"));
    addRecord(userA_, 1, QStringLiteral("E"), QStringLiteral("2024"), QStringLiteral("2024-10-11"),
              300, QVariant());
    // Paid in January: the next plan.
    addRecord(userA_, 1, QStringLiteral("F"), QStringLiteral("2025"), QStringLiteral("2025-01-01"),
              5000, QVariant());

    const Result<F24Plan> read = readF24Plan(userA_, 2025, 1);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read.value.users.size(), 1);
    const F24UserPlan& u = read.value.users.first();
    QCOMPARE(u.name, QStringLiteral("ROSSI MARIO"));
    auto show = [](const QList<F24Line>& lines) {
        QStringList out;
        for (const F24Line& l : lines)
            out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                       .arg(l.taxCode, l.referenceMonth, l.referenceYear, formatCents(l.amount))
                       .arg(l.count)
                       .arg(l.remittanceDate);
        return out;
    };
    QCOMPARE(show(u.toPay), (QStringList{"1019 0012 2024 4,00 1 ", "1040 0012 2024 35,00 2 "}));
    QCOMPARE(show(u.remitted), (QStringList{"1040 0012 2024 7,00 1 2025-01-10"}));
    QCOMPARE(show(u.late), (QStringList{"1040 0010 2024 3,00 1 "}));

    const LineDocument doc = f24PlanDocument(read.value, false);
    const QStringList texts =
        report::pageTexts(report::render(doc.layout(), doc.data()).pages.first());
    for (const char* text :
         {"Piano F24 - scadenza di gennaio 2025", "Totale da versare", "39,00", "10/01/2025",
          "Attenzione: per i codici 1019 e 1020 il mese di riferimento non è confermato dalle "
          "fonti; verificarlo."})
        QVERIFY2(texts.contains(QString::fromUtf8(text)), text);

    // Nothing due that month, in the plan of the user or of everyone.
    ReportRequest request{QStringLiteral("F24G"), {}, {}, QStringLiteral("2024"), 7, {}, {}};
    const Result<PreparedReport> none = prepareLedgerDocument(request);
    QVERIFY(none.ok());
    QCOMPARE(none.value.outcome, ReportOutcome::NoData);
}

void LedgerDocumentsTest::f24DueDate_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("deferredTo"); // an extraordinary deferral of the 16th, ISO
    QTest::addColumn<QString>("due");
    QTest::newRow("a working 16th") << 2025 << 1 << ""
                                    << "da versare entro il 16/01/2025";
    QTest::newRow("the 16th on a Saturday")
        << 2027 << 1 << ""
        << "da versare entro il 18/01/2027 (16/01/2027 è sabato)";
    QTest::newRow("the 16th on a Sunday")
        << 2024 << 6 << ""
        << "da versare entro il 17/06/2024 (16/06/2024 è domenica)";
    QTest::newRow("July's payments in August")
        << 2025 << 8 << ""
        << "da versare entro il 20/08/2025 (16/08/2025 cade tra il 1° e il 20 agosto: si versa "
           "entro il 20/08/2025)";
    QTest::newRow("August, the 20th on a Saturday")
        << 2022 << 8 << ""
        << "da versare entro il 22/08/2022 (16/08/2022 cade tra il 1° e il 20 agosto: si versa "
           "entro il 20/08/2022; 20/08/2022 è sabato)";
    QTest::newRow("an extraordinary deferral")
        << 2025 << 3 << "2025-03-31"
        << "da versare entro il 31/03/2025 (16/03/2025 è domenica; 17/03/2025 prorogata al "
           "31/03/2025 (alluvione))";
}

void LedgerDocumentsTest::f24DueDate() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QString, deferredTo);
    QFETCH(QString, due);
    if (!deferredTo.isEmpty())
        TestDatabase::exec(
            QStringLiteral("INSERT INTO Proroghe (originale, nuova, nota) VALUES (?, ?, ?)"),
            {QDate(year, month, 17).toString(Qt::ISODate), deferredTo,
             QStringLiteral("alluvione")});
    addRecord(userA_, 1, QStringLiteral("A"), QString::number(year),
              QDate(year, month, 1).addMonths(-1).toString(Qt::ISODate), 1000, QVariant());
    const Result<F24Plan> read = readF24Plan(userA_, year, month);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const LineDocument doc = f24PlanDocument(read.value, false);
    const QString text =
        report::pageTexts(report::render(doc.layout(), doc.data()).pages.first()).join(u' ');
    QVERIFY2(text.contains(due), qPrintable(text));
}

// Late withholdings are regularised on the plan's due date: interest from the day after
// their own due date, the penalty of the band their delay falls in, summed per reference.
void LedgerDocumentsTest::f24Regularisation() {
    // Due 16/10/2024, remitted 16/01/2025: 92 days, one eighth of the 25 % penalty;
    // interest 76 days at 2.5 % (5.21) and 16 days at 2 % (0.88).
    addRecord(userA_, 1, QStringLiteral("G"), QStringLiteral("2024"), QStringLiteral("2024-09-05"),
              100000, QVariant());
    // Due 16/11/2024, a Saturday, so 18/11/2024: 59 days, one ninth of the reduced 12.5 %;
    // interest 43 days at 2.5 % and 16 at 2 % (0.01 + 0.00 and 0.02 + 0.01).
    addRecord(userA_, 1, QStringLiteral("E"), QStringLiteral("2024"), QStringLiteral("2024-10-11"),
              300, QVariant());
    addRecord(userA_, 1, QStringLiteral("H"), QStringLiteral("2024"), QStringLiteral("2024-10-20"),
              700, QVariant());
    // Remitted, or due with this plan: nothing to regularise.
    addRecord(userA_, 1, QStringLiteral("D"), QStringLiteral("2024"), QStringLiteral("2024-11-11"),
              700, QStringLiteral("2024-12-10"));
    addRecord(userA_, 1, QStringLiteral("B"), QStringLiteral("2024"), QStringLiteral("2024-12-31"),
              2500, QVariant());

    const Result<F24Plan> read = readF24Plan(userA_, 2025, 1);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const F24UserPlan& u = read.value.users.first();
    QStringList got;
    for (const F24Line& l : u.regularisation)
        got << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(l.taxCode, l.referenceMonth, l.referenceYear, formatCents(l.amount))
                   .arg(l.count);
    // Each invoice counts once, on its tax line.
    QCOMPARE(got, (QStringList{"1040 0009 2024 1.006,09 1", "8948 0009 2024 31,25 0",
                               "1040 0010 2024 10,04 2", "8948 0010 2024 0,14 0"}));
    QVERIFY(u.regularisationNotes.join(u' ').contains(
        QStringLiteral("Arrotondamento al centesimo, per eccesso dalla metà")));

    // Printed under the late ones, every note whole however long.
    const LineDocument doc = f24PlanDocument(read.value, false);
    const QString text =
        report::pageTexts(report::render(doc.layout(), doc.data()).pages.first()).join(u' ');
    QVERIFY(text.contains(QStringLiteral("Ravvedimento delle scadute, versando il 16/01/2025")));
    QVERIFY(text.contains(QStringLiteral("Totale ravvedimento 1.047,52 3")));
    for (const QString& note : u.regularisationNotes)
        QVERIFY2(text.contains(QStringLiteral("Attenzione: ") + note), qPrintable(note));

    // A year without its legal rate: no figures, and the reason said.
    TestDatabase::exec(QStringLiteral("DELETE FROM TassoLegale WHERE anno = '2025'"));
    const Result<F24Plan> noRate = readF24Plan(userA_, 2025, 1);
    QVERIFY(noRate.ok());
    QVERIFY(noRate.value.users.first().regularisation.isEmpty());
    QCOMPARE(noRate.value.users.first().regularisationNotes,
             QStringList{QStringLiteral("Manca il tasso legale dell'anno 2025: inserirlo nella "
                                        "tabella \"Tasso legale\" (Servizi) per calcolare gli "
                                        "interessi.")});
}

void LedgerDocumentsTest::parseDueMonth_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("month"); // invalid: refused
    QTest::newRow("two digits") << "02/2026" << QDate(2026, 2, 1);
    QTest::newRow("one digit") << "2/2026" << QDate(2026, 2, 1);
    QTest::newRow("dash and blanks") << " 12 - 2025 " << QDate(2025, 12, 1);
    QTest::newRow("full stop") << "7.2024" << QDate(2024, 7, 1);
    QTest::newRow("month 13") << "13/2025" << QDate();
    QTest::newRow("month 0") << "0/2025" << QDate();
    QTest::newRow("two-digit year") << "02/26" << QDate();
    QTest::newRow("a day") << "16/02/2026" << QDate();
    QTest::newRow("words") << "febbraio 2026" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void LedgerDocumentsTest::parseDueMonth() {
    QFETCH(QString, text);
    QFETCH(QDate, month);
    const std::optional<QDate> parsed = ::parseDueMonth(text);
    QCOMPARE(parsed.value_or(QDate()), month);
}

QTEST_MAIN(LedgerDocumentsTest)
#include "tst_ledger_documents.moc"
