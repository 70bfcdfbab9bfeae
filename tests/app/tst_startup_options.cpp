#include "app/startup_options.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class StartupOptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void databaseBesideProgramWins();
    void installedProgramUsesDataFolder_data();
    void installedProgramUsesDataFolder();
    void options_data();
    void options();
};

void StartupOptionsTest::databaseBesideProgramWins() {
    QTemporaryDir program;
    QTemporaryDir data;
    const QString inData = QDir(data.path()).filePath("Database.db");
    QCOMPARE(defaultDatabasePath(program.path(), data.path()), inData);
    QFile portable(QDir(program.path()).filePath("Database.db"));
    QVERIFY(portable.open(QIODevice::WriteOnly));
    portable.close();
    QCOMPARE(defaultDatabasePath(program.path(), data.path()), portable.fileName());
}

// A ledger lies beside the program in every row; the program runs from `program` and was
// installed into `installed` (folders under one temporary root; "bin" links to "usr/bin").
void StartupOptionsTest::installedProgramUsesDataFolder_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("beside");
    QTest::newRow("portable copy") << "portable"
                                   << "usr/bin" << true;
    QTest::newRow("installed") << "usr/bin"
                               << "usr/bin" << false;
    QTest::newRow("installed, trailing slash") << "usr/bin/"
                                               << "usr/bin" << false;
    QTest::newRow("started through a link") << "bin"
                                            << "usr/bin" << false;
    QTest::newRow("install folder missing") << "portable"
                                            << "opt/none" << true;
    QTest::newRow("install folder inside") << "usr"
                                           << "usr/bin" << true;
}

void StartupOptionsTest::installedProgramUsesDataFolder() {
    QFETCH(QString, program);
    QFETCH(QString, installed);
    QFETCH(bool, beside);
    QTemporaryDir root;
    QTemporaryDir data;
    const QDir dir(root.path());
    QVERIFY(dir.mkpath("usr/bin") && dir.mkpath("portable"));
    QVERIFY(QFile::link(dir.filePath("usr/bin"), dir.filePath("bin")));
    for (const QString folder : {"usr/bin", "portable", "usr"}) {
        QFile ledger(QDir(dir.filePath(folder)).filePath("Database.db"));
        QVERIFY(ledger.open(QIODevice::WriteOnly));
    }
    const QString path = defaultDatabasePath(
        portableFolder(dir.filePath(program), dir.filePath(installed)), data.path());
    const QString inData = QDir(data.path()).filePath("Database.db");
    QCOMPARE(path == inData, !beside);
    if (beside)
        QCOMPARE(QFileInfo(path).canonicalPath(),
                 QFileInfo(dir.filePath(program)).canonicalFilePath());
}

void StartupOptionsTest::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("refused");
    QTest::newRow("none") << QStringList{"velarco"} << "" << false;
    QTest::newRow("database") << QStringList{"velarco", "--database", "/tmp/a b.db"}
                              << "/tmp/a b.db" << false;
    QTest::newRow("database=") << QStringList{"velarco", "--database=/tmp/x.db"} << "/tmp/x.db"
                               << false;
    QTest::newRow("missing path") << QStringList{"velarco", "--database"} << "" << true;
    QTest::newRow("unknown") << QStringList{"velarco", "--fast"} << "" << true;
}

void StartupOptionsTest::options() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, path);
    QFETCH(bool, refused);
    const StartupOptions options = parseStartupOptions(arguments);
    QCOMPARE(options.databasePath, path);
    QCOMPARE(!options.error.isEmpty(), refused);
}

QTEST_GUILESS_MAIN(StartupOptionsTest)
#include "tst_startup_options.moc"
