#include "store/connection.h"
#include "support/spreadsheet_files.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Runs the built program as an operator or a scheduled job would, without a display,
// to write a report as a PDF.
class TestHeadlessExport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void exportRun_data();
    void exportRun();
    void commandLine_data();
    void commandLine();

    void spreadsheetRun_data();
    void spreadsheetRun();

private:
    QString program_;
    std::unique_ptr<TestDatabase> db_;
    QString userId_;
    QTemporaryDir out_;
};

void TestHeadlessExport::initTestCase() {
    program_ = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program_).isExecutable(),
             qPrintable(QStringLiteral("build the velarco target first: ") + program_));
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    userId_ = QString::number(TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true));
    const char* const names[] = {"DELL'ORTO LUCA", "ZETA SRL", "ALFA SNC"};
    const char* const paid[] = {"S", "S", "N"};
    const char* const due[] = {"2024-03-16", "2024-07-16", "2024-11-16"};
    for (int i = 0; i < 3; ++i)
        TestDatabase::exec(
            QStringLiteral(
                "INSERT INTO Ritenute (denominazione, FT, data, imponibile, aliquota, "
                "ritenuta, pag, periodo, scadenza, anno, utente) "
                "VALUES (?, ?, '2024-02-01', 100000, 2000, 20000, ?, '3', ?, '2024', ?)"),
            {QString::fromUtf8(names[i]), QString::number(i + 1), QString::fromLatin1(paid[i]),
             QString::fromLatin1(due[i]), userId_});
    // Paid in March 2024 with an amount not subject to withholding: certified for 2024 and
    // due in April.
    const qint64 payee = TestDatabase::addSubject(QStringLiteral("BETA SRL"));
    TestDatabase::exec(
        QStringLiteral("INSERT INTO Ritenute (ID_A, denominazione, FT, data, imponibile, "
                       "aliquota, ritenuta, altro, pag, datap, tributo, periodo, scadenza, anno, "
                       "utente) VALUES (?, 'BETA SRL', '9', '2024-02-20', 50000, 2000, 10000, "
                       "1200, 'S', '2024-03-10', '1040', '3', '2024-04-16', '2024', ?)"),
        {payee, userId_});
    // Another process reads the file: write the log into it.
    TestDatabase::exec(QStringLiteral("PRAGMA wal_checkpoint(FULL)"));
    QVERIFY(out_.isValid());
    QFile junk(out_.filePath(QStringLiteral("junk.db")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
}

void TestHeadlessExport::cleanupTestCase() {
    db_.reset();
}

void TestHeadlessExport::exportRun_data() {
    QTest::addColumn<QStringList>("arguments"); // {db} {user} {out} are filled in
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHas");
    QTest::addColumn<QString>("pdfHas"); // text on the first page; empty: no PDF written

    const QStringList user = {"--database", "{db}", "--utente", "{user}", "--anno", "2024"};
    QTest::newRow("user's paid invoices")
        << (user + QStringList{"--report", "FattureP", "--pdf", "{out}"}) << 0 << ""
        << "Elenco Fatture Pagate";
    QTest::newRow("options with =") << QStringList{"--database={db}", "--report=ElencoR",
                                                   "--utente={user}", "--anno=2024", "--pdf={out}"}
                                    << 0 << ""
                                    << "ROSSI MARIO";
    QTest::newRow("general list") << QStringList{"--database", "{db}",  "--report",
                                                 "StampaG",    "--pdf", "{out}"}
                                  << 0 << ""
                                  << "Ritenute Sospese";
    QTest::newRow("subjects registry")
        << QStringList{"--database", "{db}", "--report", "Elenco", "--pdf", "{out}"} << 0 << ""
        << "Elenco Anagrafica";
    QTest::newRow("due month") << (user + QStringList{"--report", "RitenuteS", "--mese", "6",
                                                      "--pdf", "{out}"})
                               << 0 << ""
                               << "Elenco Ritenute in Scadenza";
    QTest::newRow("subject pattern with apostrophe")
        << (user +
            QStringList{"--report", "RicercaS", "--soggetto", "DELL'ORTO%", "--pdf", "{out}"})
        << 0 << ""
        << "DELL'ORTO LUCA";

    QTest::newRow("empty list") << QStringList{"--database", "{db}", "--utente", "{user}",
                                               "--anno",     "2022", "--report", "FattureP",
                                               "--pdf",      "{out}"}
                                << 4 << "Attenzione non ci sono dati"
                                << "";
    QTest::newRow("no due month after December")
        << (user + QStringList{"--report", "RitenuteS", "--mese", "12", "--pdf", "{out}"}) << 4
        << "nessun dato"
        << "";

    QTest::newRow("certification with its CSV")
        << (user +
            QStringList{"--report", "Attestazione", "--pdf", "{out}", "--csv", "{dir}/att.csv"})
        << 0 << ""
        << "riepilogo";
    QTest::newRow("F24 plan of the user")
        << (user.mid(0, 4) +
            QStringList{"--anno", "2024", "--mese", "4", "--report", "F24", "--pdf", "{out}"})
        << 0 << ""
        << "Piano F24 - scadenza di aprile 2024";
    QTest::newRow("F24 plan of every user")
        << QStringList{"--database", "{db}",   "--report", "F24G",  "--anno",
                       "2024",       "--mese", "4",        "--pdf", "{out}"}
        << 0 << ""
        << "Piano F24 Generale";
    QTest::newRow("F24 plan of a month with nothing due")
        << QStringList{"--database", "{db}",   "--report", "F24G",  "--anno",
                       "2023",       "--mese", "4",        "--pdf", "{out}"}
        << 4 << "nessun dato"
        << "";
    QTest::newRow("F24 plan without its month")
        << (user + QStringList{"--report", "F24", "--pdf", "{out}"}) << 2 << "--mese"
        << "";
    QTest::newRow("unknown report")
        << (user + QStringList{"--report", "Bilancio", "--pdf", "{out}"}) << 2
        << "Stampa sconosciuta"
        << "";
    QTest::newRow("no pdf") << (user + QStringList{"--report", "FattureP"}) << 2 << "--pdf"
                            << "";
    QTest::newRow("search without its input")
        << (user + QStringList{"--report", "RicercaP", "--pdf", "{out}"}) << 2 << "--periodo"
        << "";
    QTest::newRow("unknown option")
        << (user + QStringList{"--report", "FattureP", "--pdf", "{out}", "--veloce"}) << 2
        << "Opzione sconosciuta: --veloce"
        << "";

    QTest::newRow("database missing")
        << QStringList{"--database", "{dir}/manca.db", "--report", "StampaG", "--pdf", "{out}"} << 3
        << "archivio non trovato"
        << "";
    QTest::newRow("not a database")
        << QStringList{"--database", "{dir}/junk.db", "--report", "StampaG", "--pdf", "{out}"} << 3
        << "junk.db"
        << "";
    QTest::newRow("pdf folder missing")
        << QStringList{"--database", "{db}", "--report", "StampaG", "--pdf", "{dir}/no/such.pdf"}
        << 5 << "non è stata scritta"
        << "";
}

void TestHeadlessExport::exportRun() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHas);
    QFETCH(QString, pdfHas);
    const QString pdf = out_.filePath(
        QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')) +
        QStringLiteral(".pdf"));
    for (QString& a : arguments)
        a.replace(QStringLiteral("{db}"), db_->path())
            .replace(QStringLiteral("{user}"), userId_)
            .replace(QStringLiteral("{out}"), pdf)
            .replace(QStringLiteral("{dir}"), out_.path());

    // No display at all: the export must not need one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program_, arguments);
    QVERIFY(process.waitForFinished(120000));
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == status,
             qPrintable(QStringLiteral("status %1: %2").arg(process.exitCode()).arg(errors)));
    if (!stderrHas.isEmpty())
        QVERIFY2(errors.contains(stderrHas), qPrintable(errors));

    if (pdfHas.isEmpty()) {
        QVERIFY(!QFileInfo::exists(pdf));
        return;
    }
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed: the PDF's text is not checked");
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(page.contains(pdfHas), qPrintable(page));
}

void TestHeadlessExport::commandLine_data() {
    QTest::addColumn<QStringList>("arguments"); // {new} is a database file not there yet
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("line"); // the whole of standard error

    QTest::newRow("misspelt option for the window")
        << QStringList{"--databse", "{new}"} << 2 << "Velarco: Opzione sconosciuta: --databse";
    QTest::newRow("unknown option after a good one")
        << QStringList{"--database", "{new}", "--veloce"} << 2
        << "Velarco: Opzione sconosciuta: --veloce";
    QTest::newRow("value missing")
        << QStringList{"--database"} << 2 << "Velarco: Manca il valore dell'opzione --database";
    QTest::newRow("report option for the window")
        << QStringList{"--database", "{new}", "--anno", "2024"} << 2
        << "Velarco: L'opzione --anno vale solo insieme a --report";
    QTest::newRow("unreadable report value")
        << QStringList{"--database", "{new}", "--report", "StampaG",
                       "--pdf",      "a.pdf", "--mese",   "5"}
        << 2 << "Velarco: L'opzione --mese non vale per la stampa StampaG";
    QTest::newRow("folder of another report")
        << QStringList{"--database", "{new}",  "--report", "ElencoR",    "--utente",
                       "1",          "--anno", "2024",     "--cartella", "out"}
        << 2 << "Velarco: L'opzione --cartella vale solo per la stampa Attestazione";
    QTest::newRow("Qt's own option")
        << QStringList{"-platform", "xcb"} << 2 << "Velarco: Opzione sconosciuta: -platform";
    QTest::newRow("sound options, no display")
        << QStringList{"--database", "{new}"} << 1
        << "Velarco: nessuno schermo disponibile (la variabile DISPLAY non è impostata); la "
           "finestra non può aprirsi.";
}

// Refusals come before any display or database: one Italian line, no file created.
void TestHeadlessExport::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, line);
    const QString database = out_.filePath(QStringLiteral("nuovo.db"));
    arguments.replaceInStrings(QStringLiteral("{new}"), database);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program_, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), status);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), line + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(database));
}

void TestHeadlessExport::spreadsheetRun_data() {
    QTest::addColumn<QStringList>("arguments"); // {xlsx} and {csv} name the files written
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHas");
    QTest::addColumn<QString>("sheet");        // empty: no workbook written
    QTest::addColumn<QStringList>("firstRow"); // of the CSV's table; empty: no CSV written
    const QStringList user = {"--database", "{db}", "--utente", "{user}", "--anno", "2024"};
    QTest::newRow("both files") << (user + QStringList{"--report", "ElencoR", "--xlsx", "{xlsx}",
                                                       "--csv", "{csv}"})
                                << 0 << ""
                                << "Elenco Ritenute"
                                << QStringList{"ALFA SNC",   "01/02/2024", "3",      "",
                                               "16/11/2024", "3",          "",       "",
                                               "1000,00",    "20",         "200,00", "N",
                                               "-200,00",    "0,00",       "0,00",   "0,00"};
    QTest::newRow("subjects as Anagrafe")
        << QStringList{"--database", "{db}", "--report", "Anagrafe", "--xlsx", "{xlsx}"} << 0 << ""
        << "Anagrafica" << QStringList{};
    QTest::newRow("search with apostrophe to CSV")
        << (user +
            QStringList{"--report", "RicercaS", "--soggetto", "DELL'ORTO%", "--csv", "{csv}"})
        << 0 << ""
        << "" << QStringList{"DELL'ORTO LUCA", "01/02/2024", "1",      "",
                             "16/03/2024",     "3",          "",       "",
                             "1000,00",        "20",         "200,00", "N",
                             "-200,00",        "0,00",       "0,00",   "0,00"};
    QTest::newRow("empty list") << QStringList{"--database", "{db}",   "--utente", "{user}",
                                               "--anno",     "2022",   "--report", "FattureP",
                                               "--xlsx",     "{xlsx}", "--csv",    "{csv}"}
                                << 4 << "Attenzione non ci sono dati"
                                << "" << QStringList{};
    QTest::newRow("certification, one row per payee")
        << (user + QStringList{"--report", "Attestazione", "--xlsx", "{xlsx}", "--csv", "{csv}"})
        << 0 << ""
        << "Attestazione 2024" << QStringList{"CFBETA SRL", "BETA SRL", "A",      "512,00", "22",
                                              "12,00",      "500,00",   "100,00", ""};
    QTest::newRow("F24 plan, one row per line")
        << (user.mid(0, 4) +
            QStringList{"--anno", "2024", "--mese", "4", "--report", "F24", "--csv", "{csv}"})
        << 0 << ""
        << "" << QStringList{"ROSSI MARIO", "CFROSSI MA", "Da versare", "1040", "0003",
                             "2024",        "100,00",     "1",          ""};
    QTest::newRow("folder missing")
        << QStringList{"--database", "{db}", "--report", "StampaG", "--xlsx", "{dir}/no/x.xlsx"}
        << 5 << "la cartella non esiste"
        << "" << QStringList{};
}

void TestHeadlessExport::spreadsheetRun() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHas);
    QFETCH(QString, sheet);
    QFETCH(QStringList, firstRow);
    const QString base = out_.filePath(
        QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')));
    const QString xlsx = base + QStringLiteral(".xlsx");
    const QString csv = base + QStringLiteral(".csv");
    for (QString& a : arguments)
        a.replace(QStringLiteral("{db}"), db_->path())
            .replace(QStringLiteral("{user}"), userId_)
            .replace(QStringLiteral("{xlsx}"), xlsx)
            .replace(QStringLiteral("{csv}"), csv)
            .replace(QStringLiteral("{dir}"), out_.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program_, arguments);
    QVERIFY(process.waitForFinished(120000));
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(process.exitCode() == status,
             qPrintable(QStringLiteral("status %1: %2").arg(process.exitCode()).arg(errors)));
    QVERIFY2(errors.contains(stderrHas), qPrintable(errors));

    QCOMPARE(QFileInfo::exists(xlsx), !sheet.isEmpty());
    if (!sheet.isEmpty()) {
        const XlsxContents contents = readXlsx(xlsx);
        QVERIFY2(contents.error.isEmpty(), qPrintable(contents.error));
        QCOMPARE(contents.sheetName, sheet);
    }
    QCOMPARE(QFileInfo::exists(csv), !firstRow.isEmpty());
    if (!firstRow.isEmpty()) {
        const CsvContents contents = readCsv(csv);
        // The header follows the blank line below the title and the selection lines.
        qsizetype header = 0;
        while (header < contents.records.size() &&
               !contents.records.at(header).join(QString()).isEmpty())
            ++header;
        ++header;
        QVERIFY(header + 1 < contents.records.size());
        QCOMPARE(contents.records.at(header + 1), firstRow);
    }
}

QTEST_GUILESS_MAIN(TestHeadlessExport)
#include "tst_headless_export.moc"
