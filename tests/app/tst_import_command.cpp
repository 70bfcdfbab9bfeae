#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

// Runs the built program as an office moving its ledger would: into a new ledger, then
// again into the ledger that now holds it.
class TestImportCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void runs_data();
    void runs();
};

namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

void TestImportCommand::runs_data() {
    QTest::addColumn<QByteArray>("records");  // Ritenute.csv after its header
    QTest::addColumn<QList<int>>("statuses"); // of each run, in turn, on the same ledger
    QTest::addColumn<QString>("outHas");      // in the first run's standard output
    QTest::addColumn<QString>("errHas");      // in the last run's standard error
    const QByteArray good = "5,1,\"ROSSI\",\"1\",2021-03-01,1000.00,20,200.00,0,1200.00,\"S\"\n";
    QTest::newRow("every row written, then refused: not empty")
        << good << QList<int>{0, 8} << "Ritenute: lette 1, scritte 1, già presenti 0, rifiutate 0"
        << "contiene 1 soggetti e 1 registrazioni";
    QTest::newRow("a row refused")
        << good + "6,1,\"ROSSI\",\"2\",2021-02-30,1,20,0,0,1,\"S\"\n"
        << QList<int>{7} << "  riga 3 rifiutata: data \"2021-02-30\" non è una data"
        << "";
}

void TestImportCommand::runs() {
    QFETCH(QByteArray, records);
    QFETCH(QList<int>, statuses);
    QFETCH(QString, outHas);
    QFETCH(QString, errHas);
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    QTemporaryDir dir;
    const QString tables = dir.filePath(QStringLiteral("tabelle"));
    QVERIFY(QDir().mkpath(tables));
    writeFile(tables + "/Soggetti.csv", "ID,denominazione,utente\n1,\"ROSSI\",\"S\"\n");
    writeFile(tables + "/Ritenute.csv",
              "ID,ID_A,denominazione,FT,data,imponibile,aliquota,ritenuta,altro,totale,pag\n" +
                  records);
    for (const char* lookup : {"Anno", "periodo", "Tributo", "Percentuale"})
        writeFile(tables + u'/' + QLatin1String(lookup) + ".csv",
                  QByteArray(lookup == QByteArray("Tributo") ? "codice" : lookup) + "\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (int run = 0; run < statuses.size(); ++run) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, {"--database", dir.filePath("nuovo.db"), "--import-tables", tables});
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitCode() == statuses.at(run), qPrintable(out + err));
        if (run == 0)
            QVERIFY2(out.contains(outHas), qPrintable(out));
        if (run == statuses.size() - 1 && !errHas.isEmpty())
            QVERIFY2(err.contains(errHas), qPrintable(err));
        if (statuses.at(run) == 8)
            QVERIFY2(!out.contains(QStringLiteral("importate")), qPrintable(out));
    }
}

QTEST_GUILESS_MAIN(TestImportCommand)
#include "tst_import_command.moc"
