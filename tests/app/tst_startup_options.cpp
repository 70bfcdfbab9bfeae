#include "app/startup_options.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class StartupOptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void databaseBesideProgramWins();
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
