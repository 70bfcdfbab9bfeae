#include "support/change_records.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

// Runs the built program as an office lists the changes of a month, on the screen or
// into a file.
class ChangeCommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void runs_data();
    void runs();
};

void ChangeCommandTest::runs_data() {
    QTest::addColumn<QStringList>("options"); // FILE: a file in a fresh folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outHas"); // also: "" for an empty standard output
    QTest::addColumn<QString>("fileHas");

    const QStringList march = {"--modifiche", "--dal", "01/03/2026", "--al", "31/03/2026"};
    const QString corrected = QStringLiteral(
        "02/03/2026 11:00:00 | bianchi | PC-UFFICIO | correzione | Ritenute | 1 | 3 | "
        "imponibile 1.000,00 → 1.200,00\n");
    QTest::newRow("a month, one line a change")
        << march << 0
        << "01/03/2026 10:00:00 | rossi | PC-UFFICIO | inserimento | Ritenute | 1 | 3 | "
           "FT 12; imponibile 1.000,00\n" +
               corrected
        << "";
    QTest::newRow("one action") << march + QStringList{"--azione", "correzione"} << 0 << corrected
                                << "";
    QTest::newRow("an operator, another user: none, still listed")
        << march + QStringList{"--operatore", "ROSSI", "--utente", "4"} << 0 << ""
        << "";
    QTest::newRow("into a CSV file")
        << march + QStringList{"--csv", "FILE"} << 0 << "2 modifiche scritte"
        << "Quando;Operatore;Computer;Azione;Tabella;Chiave;Utente;Modifiche";
    QTest::newRow("into an Excel file")
        << march + QStringList{"--xlsx", "FILE"} << 0 << "2 modifiche scritte"
        << "PK";
    QTest::newRow("a date that does not read")
        << QStringList{"--modifiche", "--dal", "31/02/2026", "--al", "31/03/2026"} << 2 << ""
        << "";
    QTest::newRow("the days the wrong way round")
        << QStringList{"--modifiche", "--dal", "02/03/2026", "--al", "01/03/2026"} << 2 << ""
        << "";
    QTest::newRow("no last day") << QStringList{"--modifiche", "--dal", "01/03/2026"} << 2 << ""
                                 << "";
    QTest::newRow("an unknown action") << march + QStringList{"--azione", "stampa"} << 2 << ""
                                       << "";
    QTest::newRow("both files") << march + QStringList{"--csv", "FILE", "--xlsx", "FILE"} << 2 << ""
                                << "";
    QTest::newRow("an option of another command")
        << march + QStringList{"--anno", "2026"} << 2 << ""
        << "";
    QTest::newRow("no such ledger") << QStringList{"--database", "FILE"} + march << 3 << ""
                                    << "";
    QTest::newRow("a folder that is not there")
        << march + QStringList{"--csv", "FILE/x/registro.csv"} << 5 << ""
        << "";
}

void ChangeCommandTest::runs() {
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, outHas);
    QFETCH(QString, fileHas);
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    change_records::addInsertionAndCorrection();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("registro"));
    options.replaceInStrings(QStringLiteral("FILE"), file);
    if (!options.contains(QStringLiteral("--database")))
        options = QStringList{QStringLiteral("--database"), db.path()} + options;

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, options);
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(process.exitCode() == status, qPrintable(out + err));
    // A refusal is one line on standard error and nothing on standard output.
    QCOMPARE(err.count(QLatin1Char('\n')), status == 0 ? 0 : 1);
    if (status != 0 || (fileHas.isEmpty() && outHas.isEmpty()))
        QCOMPARE(out, QString());
    else
        QVERIFY2(out.contains(outHas), qPrintable(out));
    QFile written(file);
    QCOMPARE(written.exists(), !fileHas.isEmpty());
    if (!fileHas.isEmpty()) {
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY2(bytes.contains(fileHas.toUtf8()), bytes.left(400).constData());
        if (fileHas.startsWith(QLatin1String("Quando")))
            QVERIFY(bytes.contains("imponibile 1.000,00 → 1.200,00"));
    }
}

QTEST_GUILESS_MAIN(ChangeCommandTest)
#include "tst_change_command.moc"
