#include "store/connection.h"
#include "store/ledger_file.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// Runs `velarco --check` and `velarco --backup COPY` as a scheduled job would.
class TestLedgerCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void commands_data();
    void commands();

private:
    QString program_;
    QTemporaryDir dir_;
};

namespace {

QByteArray digestOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

void TestLedgerCommands::initTestCase() {
    program_ = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program_).isExecutable(),
             qPrintable(QStringLiteral("build the velarco target first: ") + program_));
    QVERIFY(dir_.isValid());
    const QString ledger = dir_.filePath("ledger.db");
    QVERIFY(store::openDatabase(ledger).ok());
    for (int i = 0; i < 300; ++i)
        TestDatabase::addSubject(QStringLiteral("SOGGETTO %1").arg(i));
    store::closeDatabase();
    QVERIFY(QFile::copy(ledger, dir_.filePath("damaged.db")));
    QFile damaged(dir_.filePath("damaged.db"));
    QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.seek(6 * 4096));
    damaged.write(QByteArray(4096, '\x5a'));
    damaged.close();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(dir_.filePath("other.db"));
        QVERIFY(other.open());
        QVERIFY(QSqlQuery(other).exec("CREATE TABLE clienti (id)"));
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
}

void TestLedgerCommands::commands_data() {
    QTest::addColumn<QStringList>("arguments"); // {dir} is the fixture folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QString>("copy"); // the copy that must check whole; empty: none written

    QTest::newRow("check a whole ledger")
        << QStringList{"--database", "{dir}/ledger.db", "--check"} << 0 << "Soggetti 300"
        << "";
    QTest::newRow("check a missing file")
        << QStringList{"--database", "{dir}/none.db", "--check"} << 3 << "non esiste"
        << "";
    QTest::newRow("check another program's database")
        << QStringList{"--check", "--database={dir}/other.db"} << 3 << "non è un archivio Velarco"
        << "";
    QTest::newRow("check a damaged ledger")
        << QStringList{"--database", "{dir}/damaged.db", "--check"} << 6 << "danneggiato"
        << "";
    QTest::newRow("copy a whole ledger")
        << QStringList{"--database", "{dir}/ledger.db", "--backup", "{dir}/copy.db"} << 0
        << "verificata"
        << "{dir}/copy.db";
    QTest::newRow("copy with =") << QStringList{"--database={dir}/ledger.db",
                                                "--backup={dir}/copy2.db"}
                                 << 0 << "Soggetti 300"
                                 << "{dir}/copy2.db";
    QTest::newRow("copy into a missing folder")
        << QStringList{"--database", "{dir}/ledger.db", "--backup", "{dir}/no/copy.db"} << 5
        << "non è stata scritta"
        << "";
    QTest::newRow("copy a damaged ledger")
        << QStringList{"--database", "{dir}/damaged.db", "--backup", "{dir}/bad.db"} << 5
        << "danneggiato"
        << "";
    QTest::newRow("check and copy at once")
        << QStringList{"--database", "{dir}/ledger.db", "--check", "--backup", "{dir}/x.db"} << 2
        << "non vanno insieme"
        << "";
    // A server ledger is checked and copied by the server: nothing is reached or written.
    QTest::newRow("check a server ledger")
        << QStringList{"--database", "postgresql://ufficio@192.0.2.1:5432/ritenute", "--check"} << 2
        << "pg_amcheck"
        << "";
    QTest::newRow("copy a server ledger")
        << QStringList{"--database", "postgresql://ufficio@192.0.2.1:5432/ritenute", "--backup",
                       "{dir}/server.db"}
        << 2 << "velarco --copy-database postgresql://ufficio@192.0.2.1:5432/ritenute FILE.db"
        << "";
    QTest::newRow("copy a missing ledger")
        << QStringList{"--database", "{dir}/none.db", "--backup", "{dir}/none-copy.db"} << 3
        << "non esiste"
        << "";
}

void TestLedgerCommands::commands() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, says);
    QFETCH(QString, copy);
    for (QString& argument : arguments)
        argument.replace("{dir}", dir_.path());
    copy.replace("{dir}", dir_.path());
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files, QDir::Name);
    QHash<QString, QByteArray> digests;
    for (const QString& name : before)
        digests.insert(name, digestOf(dir_.filePath(name)));

    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Neither command needs a display, nor may it look for one.
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    run.setProcessEnvironment(environment);
    run.start(program_, arguments);
    QVERIFY(run.waitForFinished(60000));
    const QString output =
        QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QVERIFY2(run.exitCode() == status, qPrintable(output));
    QVERIFY2(output.contains(says), qPrintable(output));

    // The commands read the ledger and never change a file they were given.
    QStringList after = QDir(dir_.path()).entryList(QDir::Files, QDir::Name);
    for (const QString& name : before)
        QVERIFY2(digestOf(dir_.filePath(name)) == digests.value(name), qPrintable(name));
    if (copy.isEmpty()) {
        QCOMPARE(after, before);
        return;
    }
    after.removeOne(QFileInfo(copy).fileName());
    QCOMPARE(after, before);
    const Result<store::LedgerCheck> check = store::checkFile(copy);
    QVERIFY2(check.ok() && check.value.whole(), qPrintable(check.error()));
    QCOMPARE(check.value.counts.first().rows, qint64(300));
}

QTEST_GUILESS_MAIN(TestLedgerCommands)
#include "tst_ledger_commands.moc"
