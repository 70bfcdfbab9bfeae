#include "importing/einvoice_reader.h"
#include "importing/einvoice_rows.h"
#include "store/connection.h"
#include "support/einvoice_samples.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using importing::RowVerdict;

Q_DECLARE_METATYPE(samples::Invoice)

namespace {

const QString kSupplierCf = QStringLiteral("RSSMRA70A01H501S");

// The invoice's one body, read back as the import reads it.
importing::BodyReading readOnlyBody(const samples::Invoice& invoice) {
    const einvoice::ReadFile read = einvoice::readInvoiceXml(samples::invoiceXml(invoice));
    if (read.kind != einvoice::FileKind::Invoice || read.invoice.bodies.size() != 1)
        qFatal("sample not read: %s", qPrintable(read.reason));
    return importing::readBody(read.invoice, read.invoice.bodies.front(), QStringLiteral("7"));
}

samples::Invoice withBody(const std::function<void(samples::Body&)>& change) {
    samples::Invoice invoice;
    change(invoice.bodies.front());
    return invoice;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString one(const QString& sql, const QVariantList& values = {}) {
    Result<QSqlQuery> q = store::run(sql, values);
    return q.ok() && q.value.next() ? q.value.value(0).toString() : QStringLiteral("<none>");
}

} // namespace

class EinvoiceRowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsBody_data();
    void readsBody();
    void matchesBuyerToUser();
    void plansAndWritesDownload();
};

void EinvoiceRowsTest::readsBody_data() {
    QTest::addColumn<samples::Invoice>("invoice");
    // "taxable|rate|withheld|other|total|code", or "listed: <part of the reason>"
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("stops"); // part of the stopping reason; empty: none

    QTest::newRow("one line, reason A")
        << samples::Invoice() << "1.000,00|20|200,00|0,00|1.200,00|1040" << QString();
    QTest::newRow("fund withheld, expenses and fund not") << withBody([](samples::Body& b) {
        b.lines = {{QStringLiteral("1000.00"), true}, {QStringLiteral("402.00"), false}};
        b.funds = {{QStringLiteral("40.00"), true}, {QStringLiteral("41.60"), false}};
        b.withholdings.front().amount = QStringLiteral("208.00");
    }) << "1.040,00|20|208,00|443,60|1.691,60|1040" << QString();
    QTest::newRow("rate with decimals") << withBody([](samples::Body& b) {
        b.withholdings.front() = {QStringLiteral("RT02"), QStringLiteral("115.00"),
                                  QStringLiteral("11.50"), QStringLiteral("A")};
    }) << "1.000,00|11,5|115,00|0,00|1.115,00|1040"
                                        << QString();
    QTest::newRow("reason M: code chosen by the operator")
        << withBody([](samples::Body& b) { b.withholdings.front().reason = QStringLiteral("M"); })
        << "1.000,00|20|200,00|0,00|1.200,00|" << QStringLiteral("Causale M");
    QTest::newRow("with a social-security block") << withBody([](samples::Body& b) {
        b.withholdings.append({QStringLiteral("RT04"), QStringLiteral("8.50"),
                               QStringLiteral("8.50"), QStringLiteral("ZO")});
    }) << "1.000,00|20|200,00|0,00|1.200,00|1040" << QString();
    QTest::newRow("social security only")
        << withBody([](samples::Body& b) { b.withholdings.front().type = QStringLiteral("RT03"); })
        << "listed: solo contributi previdenziali (RT03)" << QString();
    QTest::newRow("no withholding") << withBody([](samples::Body& b) { b.withholdings.clear(); })
                                    << "listed: senza ritenuta d'acconto" << QString();
    QTest::newRow("two withholding blocks") << withBody([](samples::Body& b) {
        b.withholdings.append({QStringLiteral("RT02"), QStringLiteral("10.00"),
                               QStringLiteral("1.00"), QStringLiteral("A")});
    }) << "listed: 2 blocchi di ritenuta d'acconto"
                                            << QString();
    QTest::newRow("credit note") << withBody([](samples::Body& b) {
        b.type = QStringLiteral("TD04");
        b.referredNumber = QStringLiteral("7/2026");
        b.referredDate = QStringLiteral("2026-02-01");
    }) << "listed: nota di credito (TD04) della fattura 7/2026 del 01/02/2026"
                                 << QString();
    QTest::newRow("no number") << withBody([](samples::Body& b) { b.number.clear(); })
                               << "1.000,00|20|200,00|0,00|1.200,00|1040"
                               << QStringLiteral("Numero della fattura mancante");
}

void EinvoiceRowsTest::readsBody() {
    QFETCH(samples::Invoice, invoice);
    QFETCH(QString, expected);
    QFETCH(QString, stops);
    const importing::BodyReading reading = readOnlyBody(invoice);
    if (expected.startsWith(u"listed: ")) {
        QVERIFY(!reading.row);
        QVERIFY2(reading.listed.contains(expected.mid(8)), qPrintable(reading.listed));
        return;
    }
    QVERIFY2(reading.row, qPrintable(reading.listed));
    const WithholdingEntry& e = reading.row->entry;
    QCOMPARE(QStringList({e.taxable, e.rate, e.withheld, e.other, e.total, e.taxCode}).join(u'|'),
             expected);
    QCOMPARE(e.subjectName, QStringLiteral("ROSSI MARIO"));
    QCOMPARE(e.invoiceDate, QStringLiteral("15/03/2026"));
    QCOMPARE(e.year, QStringLiteral("2026"));
    QCOMPARE(e.user, QStringLiteral("7"));
    QVERIFY(!e.paid);
    QVERIFY(e.paymentDate.isEmpty() && e.remittanceDate.isEmpty() && e.remitted.isEmpty());
    QCOMPARE(reading.row->payee.taxCode, kSupplierCf);
    QCOMPARE(reading.row->details.address, QStringLiteral("VIA ROMA 1"));
    QCOMPARE(reading.row->details.causale, invoice.bodies.front().withholdings.front().reason);
    const QStringList reasons = [&] {
        QStringList all;
        for (const SaveFinding& f : reading.row->unreadable)
            all.append(f.message);
        return all;
    }();
    QCOMPARE(reasons.isEmpty(), stops.isEmpty());
    if (!stops.isEmpty())
        QVERIFY2(reasons.front().contains(stops), qPrintable(reasons.join(u'\n')));
}

void EinvoiceRowsTest::matchesBuyerToUser() {
    const QList<importing::LedgerUser> users = {
        {QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("AAABBB80A01H501X"), QString()},
        {QStringLiteral("2"), QStringLiteral("B"), QString(), QStringLiteral("09876543217")},
        {QStringLiteral("3"), QStringLiteral("C"), QStringLiteral("01111111111"), QString()}};
    einvoice::Party buyer;
    buyer.vatNumber = QStringLiteral("09876543217");
    QCOMPARE(importing::userOfBuyer(buyer, users)->id, QStringLiteral("2"));
    buyer = {};
    buyer.taxCode = QStringLiteral("aaabbb80a01h501x");
    QCOMPARE(importing::userOfBuyer(buyer, users)->id, QStringLiteral("1"));
    // A firm's codice fiscale is often its partita IVA.
    buyer = {};
    buyer.vatNumber = QStringLiteral("01111111111");
    QCOMPARE(importing::userOfBuyer(buyer, users)->id, QStringLiteral("3"));
    buyer = {};
    QVERIFY(!importing::userOfBuyer(buyer, users));
}

void EinvoiceRowsTest::plansAndWritesDownload() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 user = TestDatabase::addSubject(QStringLiteral("STUDIO BETA SRL"), true);
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = ?, partita = ? WHERE ID = ?"),
                       {QStringLiteral("09876543217"), QStringLiteral("09876543217"), user});
    // Known by partita IVA only, under another name.
    const qint64 known = TestDatabase::addSubject(QStringLiteral("BIANCHI STUDIO"));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = '', partita = ? WHERE ID = ?"),
                       {QStringLiteral("05555555555"), known});
    // A record of another year the download holds again.
    TestDatabase::exec(
        QStringLiteral("INSERT INTO Ritenute (utente, anno, ID_A, denominazione, FT, "
                       "data, imponibile, aliquota, ritenuta, altro, totale, pag, "
                       "tributo) VALUES (?, '2025', ?, 'BIANCHI STUDIO', 'B1', "
                       "'2026-01-20', 100, 20, 20, 0, 120, 'N', '1040')"),
        {user, known});

    samples::Invoice rossi; // new, with codice fiscale
    samples::Invoice bianchi;
    bianchi.supplier = {QStringLiteral("05555555555"),
                        QString(),
                        QStringLiteral("Bianchi & C."),
                        {},
                        {},
                        QStringLiteral("Via Po"),
                        {},
                        QStringLiteral("10100"),
                        QStringLiteral("Torino"),
                        QStringLiteral("TO")};
    bianchi.bodies.front().number = QStringLiteral("B1");
    bianchi.bodies.front().date = QStringLiteral("2026-01-20");
    samples::Body second;
    second.number = QStringLiteral("B2");
    second.withholdings.front().amount = QStringLiteral("199.00"); // does not add up
    bianchi.bodies.append(second);
    samples::Invoice verdi; // new, without codice fiscale
    verdi.supplier.taxCode.clear();
    verdi.supplier.vatNumber = QStringLiteral("07777777777");
    verdi.supplier.name = QStringLiteral("Verdi Srl");
    samples::Invoice stranger;
    stranger.buyer.vatNumber = QStringLiteral("01010101010");
    stranger.buyer.name = QStringLiteral("ALTRO SRL");

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("scarico"));
    QVERIFY(writeFile(folder + QStringLiteral("/a_rossi.xml.p7m"),
                      samples::signedEnvelope(samples::invoiceXml(rossi))));
    QVERIFY(writeFile(folder + QStringLiteral("/b_bianchi.xml"), samples::invoiceXml(bianchi)));
    QVERIFY(
        writeFile(folder + QStringLiteral("/c_rossi_di_nuovo.xml"), samples::invoiceXml(rossi)));
    QVERIFY(writeFile(folder + QStringLiteral("/d_verdi.xml"), samples::invoiceXml(verdi)));
    QVERIFY(writeFile(folder + QStringLiteral("/e_altro.xml"), samples::invoiceXml(stranger)));

    const Result<QList<importing::LedgerUser>> users = importing::ledgerUsers();
    QVERIFY(users.ok());
    const Result<importing::InvoiceRows> read = importing::readInvoiceRows(folder, users.value);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read.value.files, 5);
    QCOMPARE(read.value.listed.size(), 1);
    QVERIFY(read.value.listed.front().reason.contains(QStringLiteral("ALTRO SRL")));

    importing::PlanOptions options;
    options.createSubjects = true;
    options.duplicatesInEveryYear = true;
    Result<importing::ImportPlan> plan =
        importing::planRows(read.value.rows, options, read.value.codes);
    QVERIFY2(plan.ok(), qPrintable(plan.error()));
    QCOMPARE(plan.value.rows.size(), 5);
    const auto verdictOf = [&](int i) { return plan.value.rows.at(i).verdict; };
    QCOMPARE(verdictOf(0), RowVerdict::Warned);    // new payee, signature note
    QCOMPARE(verdictOf(1), RowVerdict::Duplicate); // BIANCHI STUDIO B1, in 2025's records
    QCOMPARE(plan.value.rows.at(1).entry.subjectName, QStringLiteral("BIANCHI STUDIO"));
    QCOMPARE(verdictOf(2), RowVerdict::Stopped); // B2: Ritenuta does not add up
    QVERIFY(plan.value.rows.at(2).messages().front().contains(QStringLiteral("Ritenuta")));
    QCOMPARE(verdictOf(3), RowVerdict::Duplicate); // the same as the first file
    QVERIFY(plan.value.rows.at(3).messages().front().contains(QStringLiteral("riga 1")));
    QCOMPARE(verdictOf(4), RowVerdict::Stopped); // VERDI SRL: no codice fiscale
    QVERIFY(plan.value.rows.at(4).messages().front().contains(QStringLiteral("codice fiscale")));
    QCOMPARE(plan.value.payeesWithoutTaxCode, QStringList(QStringLiteral("VERDI SRL")));

    // The operator writes it: the row goes in, and the payee with everything the invoice gives.
    options.typedCodes.insert(QStringLiteral("verdi srl"), {QStringLiteral("07777777777"), {}});
    plan = importing::planRows(read.value.rows, options, read.value.codes);
    QCOMPARE(plan.value.rows.at(4).verdict, RowVerdict::Warned);
    const importing::ImportOutcome outcome = importing::runImport(plan.value);
    QVERIFY2(outcome.status.ok(), qPrintable(outcome.status.error()));
    QCOMPARE(outcome.records, 2);
    QCOMPARE(outcome.subjects, 2);
    QCOMPARE(
        one(QStringLiteral("SELECT indirizzo || '|' || cap || '|' || citta || '|' || pr || '|' "
                           "|| codice || '|' || partita || '|' || causale FROM Soggetti "
                           "WHERE denominazione = 'ROSSI MARIO'")),
        QStringLiteral("VIA ROMA 1|00100|ROMA|RM|RSSMRA70A01H501S|01234567897|A"));
    QCOMPARE(one(QStringLiteral("SELECT count(*) FROM Ritenute WHERE utente = ? AND anno = '2026' "
                                "AND tributo = '1040' AND pag = 'N'"),
                 {user}),
             QStringLiteral("2"));
}

QTEST_GUILESS_MAIN(EinvoiceRowsTest)
#include "tst_einvoice_rows.moc"
