#include "store/connection.h"
#include "support/einvoice_samples.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using Members = QList<QPair<QString, QByteArray>>;

// Runs the built program as an office brings in its download of received invoices.
class InvoiceImportCommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void runs_data();
    void runs();
};

namespace {

QByteArray invoiceOf(const std::function<void(samples::Invoice&)>& change = {}) {
    samples::Invoice invoice;
    if (change)
        change(invoice);
    return samples::invoiceXml(invoice);
}

const QByteArray kMismatch = invoiceOf([](samples::Invoice& i) {
    i.bodies.front().number = QStringLiteral("13/2026");
    i.bodies.front().withholdings.front().amount = QStringLiteral("190.00");
});

int count(const QString& table) {
    Result<QSqlQuery> q = store::run(QStringLiteral("SELECT count(*) FROM ") + table);
    return q.ok() && q.value.next() ? q.value.value(0).toInt() : -1;
}

} // namespace

void InvoiceImportCommandTest::runs_data() {
    QTest::addColumn<Members>("files"); // into the zip, or the folder when `zipped` is false
    QTest::addColumn<bool>("zipped");
    QTest::addColumn<QStringList>("options"); // after --import-fatture PATH
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("records"); // in the ledger afterwards
    QTest::addColumn<QString>("outHas");

    const Members good = {
        {QStringLiteral("IT01234567897_00001.xml.p7m"), samples::signedEnvelope(invoiceOf())}};
    const QStringList create{QStringLiteral("--nuovi-soggetti")};
    QTest::newRow("new supplier created") << good << true << create << 0 << 1
                                          << "SCRITTA    scarico.zip/IT01234567897_00001.xml.p7m: "
                                             "ROSSI MARIO n. 12/2026 del 15/03/2026";
    QTest::newRow("new supplier not requested")
        << good << true << QStringList() << 8 << 0 << "«ROSSI MARIO» non è in anagrafica";
    QTest::newRow("one refused, one written")
        << good + Members{{QStringLiteral("IT01234567897_00002.xml"), kMismatch}} << false << create
        << 7 << 1 << "RIFIUTATA  IT01234567897_00002.xml: Errore: calcolo importo Ritenuta";
    QTest::newRow("dry run") << good << true
                             << QStringList{QStringLiteral("--nuovi-soggetti"),
                                            QStringLiteral("--dry-run")}
                             << 0 << 0
                             << "prova, nulla è stato scritto: 1 registrazioni e 1 soggetti";
    QTest::newRow("dry run of a refusal")
        << Members{{QStringLiteral("a.xml"), kMismatch}} << false
        << QStringList{QStringLiteral("--dry-run")} << 8 << 0 << "RIFIUTATA  a.xml";
    QTest::newRow("metadata, credit note and another buyer: nothing refused")
        << Members{{QStringLiteral("IT01234567897_00003_MT_001.xml"), samples::metadataXml({})},
                   {QStringLiteral("IT01234567897_00004.xml"), invoiceOf([](samples::Invoice& i) {
                        i.bodies.front().type = QStringLiteral("TD04");
                        i.bodies.front().referredNumber = QStringLiteral("12/2026");
                    })},
                   {QStringLiteral("IT01234567897_00005.xml"), invoiceOf([](samples::Invoice& i) {
                        i.buyer.vatNumber = QStringLiteral("01010101010");
                    })}}
        << true << create << 0 << 0
        << "TRALASCIATO scarico.zip/IT01234567897_00004.xml: nota di credito";
    QTest::newRow("a hostile member beside a good one")
        << good + Members{{QStringLiteral("../../evil.xml"), invoiceOf()}} << true << create << 7
        << 1 << "RIFIUTATO  scarico.zip/../../evil.xml: percorso non sicuro";
    QTest::newRow("unknown user") << good << true
                                  << QStringList{QStringLiteral("--utente"), QStringLiteral("999")}
                                  << 2 << 0 << "";
}

void InvoiceImportCommandTest::runs() {
    QFETCH(Members, files);
    QFETCH(bool, zipped);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(int, records);
    QFETCH(QString, outHas);
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 user = TestDatabase::addSubject(QStringLiteral("STUDIO BETA SRL"), true);
    TestDatabase::exec(QStringLiteral("UPDATE Soggetti SET partita = '09876543217' WHERE ID = ?"),
                       {user});
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("scarico"));
    if (zipped) {
        path += QStringLiteral(".zip");
        QFile zip(path);
        QVERIFY(zip.open(QIODevice::WriteOnly));
        zip.write(samples::zipOf(files));
    } else {
        QVERIFY(QDir().mkpath(path));
        for (const auto& [name, bytes] : files) {
            QFile file(path + u'/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, QStringList{QStringLiteral("--database"), db.path(),
                                       QStringLiteral("--import-fatture"), path} +
                               options);
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(process.exitCode() == status, qPrintable(out + err));
    QVERIFY2(out.contains(outHas), qPrintable(out + err));
    QCOMPARE(count(QStringLiteral("Ritenute")), records);
    QCOMPARE(count(QStringLiteral("Soggetti")), 1 + (records > 0 ? 1 : 0));
    // The other program's writes are recorded as the import they are.
    QCOMPARE(
        TestDatabase::changesRecorded(QStringLiteral("importazione"), QStringLiteral("Ritenute")),
        qint64(records));
    // Nothing was written beside the download.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

QTEST_GUILESS_MAIN(InvoiceImportCommandTest)
#include "tst_invoice_import_command.moc"
