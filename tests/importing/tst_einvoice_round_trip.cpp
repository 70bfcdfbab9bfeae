#include "importing/einvoice_rows.h"
#include "ledger/ledger_window.h"
#include "support/einvoice_samples.h"
#include "widgets/date_box.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What an operator reads off each invoice to type it into the entry panel.
struct Typed {
    QString supplier;
    QString date; // dd/MM/yyyy
    QString number;
    QString taxable;
    QString rate;
    QString other;
};

const QList<Typed> kTyped = {
    {QStringLiteral("BIANCHI ANNA"), QStringLiteral("15/03/2026"), QStringLiteral("12/2026"),
     QStringLiteral("1.040,00"), QStringLiteral("20"), QStringLiteral("443,60")},
    {QStringLiteral("STUDIO VERDI STP"), QStringLiteral("02/02/2026"), QStringLiteral("A-7"),
     QStringLiteral("2.500,00"), QStringLiteral("20"), QStringLiteral("0,00")},
    {QStringLiteral("STUDIO VERDI STP"), QStringLiteral("03/02/2026"), QStringLiteral("A-8"),
     QStringLiteral("333,33"), QStringLiteral("4"), QStringLiteral("2,00")},
};

// The office's bulk download holding those invoices, with the files the exchange system
// puts beside them.
QByteArray bulkDownload() {
    samples::Invoice anna;
    anna.supplier.firstName = QStringLiteral("Anna");
    anna.supplier.lastName = QStringLiteral("Bianchi");
    anna.supplier.taxCode = QStringLiteral("BNCNNA80A41H501U");
    samples::Body& fee = anna.bodies.front();
    fee.lines = {{QStringLiteral("1000.00"), true}, {QStringLiteral("402.00"), false}};
    fee.funds = {{QStringLiteral("40.00"), true}, {QStringLiteral("41.60"), false}};
    fee.withholdings.front().amount = QStringLiteral("208.00");

    samples::Invoice verdi;
    verdi.version = QStringLiteral("FPA12");
    verdi.prefix.clear();
    verdi.supplier.name = QStringLiteral("Studio Verdi STP");
    verdi.supplier.taxCode = QStringLiteral("05555555555");
    verdi.supplier.vatNumber = QStringLiteral("05555555555");
    samples::Body first;
    first.number = QStringLiteral("A-7");
    first.date = QStringLiteral("2026-02-02");
    first.lines = {{QStringLiteral("2500.00"), true}};
    first.withholdings.front() = {QStringLiteral("RT02"), QStringLiteral("500.00"),
                                  QStringLiteral("20.00"), QStringLiteral("A")};
    samples::Body second;
    second.number = QStringLiteral("A-8");
    second.date = QStringLiteral("2026-02-03");
    second.lines = {{QStringLiteral("333.33"), true}, {QStringLiteral("2.00"), false}};
    second.withholdings.front() = {QStringLiteral("RT02"), QStringLiteral("13.33"),
                                   QStringLiteral("4.00"), QStringLiteral("A")};
    verdi.bodies = {first, second};

    const QByteArray base64 = samples::signedEnvelope(samples::invoiceXml(anna)).toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < base64.size(); at += 76)
        lines += base64.mid(at, 76) + "\n";
    return samples::zipOf(
        {{QStringLiteral("2026/IT01234567897_0a1B2.xml.p7m"), lines},
         {QStringLiteral("2026/IT01234567897_0a1B2_metaDato.xml"), samples::metadataXml({})},
         {QStringLiteral("2026/IT05555555555_00007.xml"), samples::invoiceXml(verdi)},
         {QStringLiteral("2026/IT05555555555_00007_MT_001.xml"), samples::metadataXml({})},
         {QStringLiteral("2026/IT05555555555_00007_NS_001.xml"),
          "<ns2:NotificaScarto xmlns:ns2=\"http://www.fatturapa.gov.it/sdi/messaggi/v1.0\"/>"}});
}

// The user buys as the invoices' buyer; the suppliers are in the registry already.
void prepareLedger(const LedgerWindow& w) {
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET partita = '09876543217' WHERE ID = ?"),
                       {w.userId});
    const qint64 anna = TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"));
    TestDatabase::exec(
        QStringLiteral("UPDATE Soggetti SET codice = 'BNCNNA80A41H501U' WHERE ID = ?"), {anna});
    const qint64 verdi = TestDatabase::addSubject(QStringLiteral("STUDIO VERDI STP"));
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET codice = '05555555555', partita = "
                                      "'05555555555' WHERE ID = ?"),
                       {verdi});
    w.window->CaricaSoggetti();
}

// The user's records of 2026 without their own key, subjects by name, in a fixed order.
QList<QStringList> records(qint64 userId) {
    QList<QStringList> rows;
    Result<QSqlQuery> q = store::run(
        QStringLiteral("SELECT s.denominazione, r.denominazione, r.ordine, r.FT, r.data, "
                       "r.imponibile, r.aliquota, r.ritenuta, r.altro, r.totale, r.pag, r.datap, "
                       "r.periodo, r.versamento, r.ravv, r.versato, r.interessi, r.sanzione, "
                       "r.tributo, r.anno, r.scadenza FROM Ritenute r JOIN Soggetti s ON "
                       "s.ID = r.ID_A WHERE r.utente = ? AND r.anno = '2026' ORDER BY r.FT"),
        {QString::number(userId)});
    while (q.ok() && q.value.next()) {
        QStringList row;
        for (int i = 0; i < 21; ++i)
            row.append(q.value.value(i).isNull() ? QStringLiteral("<null>")
                                                 : q.value.value(i).toString());
        rows.append(row);
    }
    return rows;
}

} // namespace

class EinvoiceRoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void downloadGivesTheTypedRecords();
};

void EinvoiceRoundTripTest::downloadGivesTheTypedRecords() {
    QList<QStringList> typed;
    {
        LedgerWindow w(QStringLiteral("2026"));
        prepareLedger(w);
        for (const Typed& invoice : kTyped) {
            w.trigger("Rinserisci");
            w.choose("Cbo3", invoice.supplier);
            w.child<DateBox>("DataBox2")->setText(invoice.date);
            w.child<QLineEdit>("Text19")->setText(invoice.number);
            w.choose("Cbo5", QStringLiteral("1040"));
            w.child<QLineEdit>("Text20")->setText(invoice.taxable);
            w.choose("Cbo4", invoice.rate);
            w.child<QLineEdit>("Text16")->setText(invoice.other);
            w.child<QCheckBox>("Check4")->setChecked(true);
            w.scriptedBoxes.answerYes();
            w.child<QPushButton>("Cmd3")->click();
        }
        typed = records(w.userId);
        QCOMPARE(typed.size(), kTyped.size());
    }
    LedgerWindow w(QStringLiteral("2026"));
    prepareLedger(w);
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("fatture.zip"));
    QFile file(zip);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bulkDownload());
    file.close();
    const Result<QList<importing::LedgerUser>> users = importing::ledgerUsers();
    const Result<importing::InvoiceRows> read = importing::readInvoiceRows(zip, users.value);
    QVERIFY2(read.ok(), qPrintable(read.error()));
    QCOMPARE(read.value.files, 2);
    QCOMPARE(read.value.listed.size(), 3); // two metadata files and a notice
    importing::PlanOptions options;
    options.duplicatesInEveryYear = true;
    const Result<importing::ImportPlan> plan =
        importing::planRows(read.value.rows, options, read.value.codes);
    QVERIFY2(plan.ok(), qPrintable(plan.error()));
    QCOMPARE(plan.value.importable(), 3);
    const importing::ImportOutcome outcome = importing::runImport(plan.value);
    QVERIFY2(outcome.status.ok(), qPrintable(outcome.status.error()));
    QCOMPARE(outcome.subjects, 0);
    const QList<QStringList> imported = records(w.userId);
    QCOMPARE(imported.size(), typed.size());
    for (int i = 0; i < typed.size(); ++i)
        QCOMPARE(imported.at(i), typed.at(i));
}

QTEST_MAIN(EinvoiceRoundTripTest)
#include "tst_einvoice_round_trip.moc"
