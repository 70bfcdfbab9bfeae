#include "support/test_database.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Runs the built program for the legal due date and the late-payment cost, as an
// operator would from a shell.
class TestTaxCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void run_data();
    void run();

private:
    QString program_;
    std::unique_ptr<TestDatabase> db_;
    QTemporaryDir home_;
};

void TestTaxCommand::initTestCase() {
    program_ = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program_).isExecutable(),
             qPrintable(QStringLiteral("build the velarco target first: ") + program_));
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    // This ledger has no rate for 2026 and a tax code of the office's own.
    TestDatabase::exec(QStringLiteral("DELETE FROM TassoLegale WHERE anno = '2026'"));
    TestDatabase::exec(QStringLiteral("INSERT INTO Tributo (codice, Causale) VALUES "
                                      "('1712', 'Ritenute su rendite')"));
    TestDatabase::exec(QStringLiteral("PRAGMA wal_checkpoint(FULL)"));
}

void TestTaxCommand::cleanupTestCase() {
    db_.reset();
}

void TestTaxCommand::run_data() {
    QTest::addColumn<QStringList>("arguments"); // {db} is filled in
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");

    QTest::newRow("legal date with its reason")
        << QStringList{"--scadenza-legale", "15/03/2022"} << 0
        << QStringList{"Scadenza: 16/04/2022", "Scadenza legale: 19/04/2022",
                       "Motivo: 16/04/2022 è sabato; 18/04/2022 è Lunedì dell'Angelo"}
        << "";
    QTest::newRow("legal date, ISO, no move")
        << QStringList{"--scadenza-legale=2025-05-31"} << 0
        << QStringList{"Scadenza: 16/06/2025\nScadenza legale: 16/06/2025\n"} << "";
    QTest::newRow("legal date from the ledger's deferrals")
        << QStringList{"--database", "{db}", "--scadenza-legale", "20/02/2020"} << 0
        << QStringList{"Scadenza legale: 20/03/2020", "D.L. 18/2020"} << "";
    QTest::newRow("the general deferral without a ledger")
        << QStringList{"--scadenza-legale", "20/02/2020"} << 0
        << QStringList{"Scadenza legale: 20/03/2020"} << "";
    QTest::newRow("condominium below 500: the December date")
        << QStringList{"--scadenza-legale", "10/06/2023", "--tributo", "1019"} << 0
        << QStringList{"Scadenza legale: 20/12/2023"} << "";
    QTest::newRow("condominium below 500 remitted in July: on time")
        << QStringList{"--ravvedimento", "--tributo=1019", "--importo=100,00",
                       "--pagamento=10/06/2023", "--versamento=10/07/2023"}
        << 4 << QStringList{"Versamento nei termini (scadenza legale 20/12/2023)"} << "";
    QTest::newRow("condominium of December 2023: the date is not confirmed")
        << QStringList{"--ravvedimento", "--tributo=1019", "--importo=100,00",
                       "--pagamento=10/12/2023", "--versamento=20/07/2024"}
        << 0
        << QStringList{"Scadenza legale: 17/06/2024", "Giorni di ritardo: 33",
                       "Attenzione: Ritenuta condominiale di dicembre 2023"}
        << "";
    QTest::newRow("unknown tax code")
        << QStringList{"--ravvedimento", "--tributo=9999", "--importo=100,00",
                       "--pagamento=10/06/2023", "--versamento=10/09/2023"}
        << 2 << QStringList{} << "codice tributo sconosciuto: 9999";
    QTest::newRow("a code the ledger's office added")
        << QStringList{"--database", "{db}", "--scadenza-legale", "10/06/2023", "--tributo", "1712"}
        << 0 << QStringList{"Scadenza legale: 17/07/2023"} << "";
    QTest::newRow("the office's code unknown without its ledger")
        << QStringList{"--scadenza-legale", "10/06/2023", "--tributo", "1712"} << 2 << QStringList{}
        << "codice tributo sconosciuto: 1712";
    QTest::newRow("unknown tax code, ledger that does not open")
        << QStringList{"--database", "{db}.nope", "--scadenza-legale",
                       "10/06/2023", "--tributo", "9999"}
        << 3 << QStringList{} << "archivio non trovato";
    QTest::newRow("remittance before the payment")
        << QStringList{"--ravvedimento", "--tributo=1040", "--importo=100,00",
                       "--pagamento=10/06/2023", "--versamento=09/06/2023"}
        << 2 << QStringList{} << "la data del versamento precede quella del pagamento";
    QTest::newRow("nothing withheld")
        << QStringList{"--ravvedimento", "--tributo=1040", "--importo=0,00",
                       "--pagamento=10/06/2023", "--versamento=10/09/2023"}
        << 4 << QStringList{"nessun importo da versare"} << "";
    QTest::newRow("late payment") << QStringList{"--ravvedimento", "--tributo",    "1040",
                                                 "--importo",      "200,00",       "--pagamento",
                                                 "05/08/2024",     "--versamento", "26/09/2024"}
                                  << 0
                                  << QStringList{"Scadenza legale: 16/09/2024",
                                                 "Giorni di ritardo: 10",
                                                 "Sanzione: 1,67",
                                                 "Interessi: 0,14",
                                                 "arrotondati al centesimo anno per anno",
                                                 "Totale: 201,81",
                                                 "1040  0008  2024  200,14",
                                                 "8948  0008  2024  1,67"}
                                  << "";
    QTest::newRow("condominium: the penalty code is not confirmed")
        << QStringList{"--ravvedimento", "--tributo=1019", "--importo=1.000,00",
                       "--pagamento=10/01/2025", "--versamento=2025-02-25"}
        << 0 << QStringList{"Giorni di ritardo: 8", "Attenzione: Il codice tributo della sanzione"}
        << "";
    QTest::newRow("not late") << QStringList{"--ravvedimento", "--tributo",    "1040",
                                             "--importo",      "200,00",       "--pagamento",
                                             "10/02/2025",     "--versamento", "17/03/2025"}
                              << 4 << QStringList{"Versamento nei termini"} << "";
    QTest::newRow("missing legal rate in the ledger")
        << QStringList{"--database", "{db}",         "--ravvedimento", "--tributo",
                       "1040",       "--importo",    "200,00",         "--pagamento",
                       "10/11/2025", "--versamento", "20/01/2026"}
        << 5 << QStringList{} << "anno 2026";
    QTest::newRow("seeded rate without a ledger")
        << QStringList{"--ravvedimento", "--tributo",  "1040",         "--importo", "200,00",
                       "--pagamento",    "10/11/2025", "--versamento", "20/01/2026"}
        << 0 << QStringList{"2026: 20 giorni al 1,6% = 0,18"} << "";
    QTest::newRow("invalid date") << QStringList{"--scadenza-legale", "31/02/2025"} << 2
                                  << QStringList{} << "data non valida";
    QTest::newRow("English amount")
        << QStringList{"--ravvedimento", "--tributo",  "1040",         "--importo", "200.00",
                       "--pagamento",    "10/11/2025", "--versamento", "20/01/2026"}
        << 2 << QStringList{} << "importo non valido";
    QTest::newRow("missing remittance date")
        << QStringList{"--ravvedimento", "--tributo", "1040", "--importo", "200",
                       "--pagamento",    "10/11/2025"}
        << 2 << QStringList{} << "manca --versamento";
    QTest::newRow("option of the reports")
        << QStringList{"--scadenza-legale", "10/11/2025", "--anno", "2025"} << 2 << QStringList{}
        << "L'opzione --anno non vale insieme a --scadenza-legale";
    QTest::newRow("unknown option")
        << QStringList{"--scadenza-legale", "10/11/2025", "--fino", "01/12/2025"} << 2
        << QStringList{} << "Opzione sconosciuta: --fino";
    QTest::newRow("payment date only with the late payment")
        << QStringList{"--scadenza-legale", "10/11/2025", "--pagamento", "10/11/2025"} << 2
        << QStringList{} << "L'opzione --pagamento non vale insieme a --scadenza-legale";
    QTest::newRow("both commands")
        << QStringList{"--scadenza-legale", "10/11/2025", "--ravvedimento"} << 2 << QStringList{}
        << "non vanno insieme";
    QTest::newRow("named ledger missing")
        << QStringList{"--database", "{db}.nope", "--scadenza-legale", "10/11/2025"} << 3
        << QStringList{} << "archivio non trovato";
}

void TestTaxCommand::run() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, stdoutHas);
    QFETCH(QString, stderrHas);
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("{db}"), db_->path());
    // No ledger in the default place: the program's own rates apply.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home_.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home_.path());
    env.remove(QStringLiteral("DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program_, arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == status, qPrintable(out + err));
    for (const QString& part : stdoutHas)
        QVERIFY2(out.contains(part), qPrintable(out));
    QVERIFY2(err.contains(stderrHas), qPrintable(err));
    if (status == 0)
        QVERIFY2(err.isEmpty(), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestTaxCommand)
#include "tst_tax_command.moc"
