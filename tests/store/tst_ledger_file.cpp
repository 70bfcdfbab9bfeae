#include "store/archive.h"
#include "store/connection.h"
#include "store/copies.h"
#include "store/ledger_file.h"
#include "store/queries.h"
#include "store/reasons.h"
#include "store/schema.h"
#include "support/test_database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ErrorKind)

namespace {

// Writes a database file with `statements` on a connection of the test's own.
void writeSqliteFile(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(sql), qPrintable(sql));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("fixture");
}

QByteArray digestOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

constexpr QFileDevice::Permissions kOwnerReadWrite =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QFileDevice::Permissions permissionsOf(const QString& path) {
    // Qt adds the "user" bits of the running user; the stored bits are the owner's and
    // the others'.
    return QFile::permissions(path) &
           ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

// Overwrites one page of the file after the first with noise.
void damagePage(const QString& path, int page) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(qint64(page) * 4096));
    file.write(QByteArray(4096, '\x5a'));
}

// A ledger closed with a few rows, its log written into the file.
void makeLedger(const QString& path, int subjects) {
    QVERIFY(store::openDatabase(path).ok());
    for (int i = 0; i < subjects; ++i)
        TestDatabase::addSubject(QStringLiteral("SOGGETTO %1").arg(i));
    store::closeDatabase();
}

} // namespace

using store::LedgerCheck;

class LedgerFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedFileStaysUnchanged_data();
    void refusedFileStaysUnchanged();
    void becomesNewLedger_data();
    void becomesNewLedger();
    void ownerOnlyFiles();
    void checkFindsDamage_data();
    void checkFindsDamage();
    void copyIsCheckedAndComplete();
    void failedCopyLeavesNothing();
    void automaticCopiesKeepTheNewest();
    void restoreKeepsTheReplacedLedger();
    void restoreRefuses_data();
    void restoreRefuses();
    void olderLedgerIsCopiedBeforeUpgrade();
    void reasons_data();
    void reasons();
};

void LedgerFileTest::refusedFileStaysUnchanged_data() {
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("another program's database")
        << QStringList{"CREATE TABLE clienti (id INTEGER, nome TEXT)",
                       "INSERT INTO clienti VALUES (1, 'x')"}
        << "non è un archivio Velarco";
    QTest::newRow("one of the ledger's tables only")
        << QStringList{"CREATE TABLE Soggetti (ID INTEGER PRIMARY KEY, denominazione TEXT)"}
        << "non è un archivio Velarco";
    QTest::newRow("no tables but a version")
        << QStringList{"PRAGMA user_version = 7"} << "non è un archivio Velarco";
    QTest::newRow("the six tables without a version")
        << QStringList{"CREATE TABLE Soggetti (ID)", "CREATE TABLE Ritenute (ID)",
                       "CREATE TABLE Anno (ID)",     "CREATE TABLE periodo (ID)",
                       "CREATE TABLE Tributo (ID)",  "CREATE TABLE Percentuale (ID)"}
        << "non è un archivio Velarco";
    QTest::newRow("a ledger of a newer layout")
        << QStringList{"CREATE TABLE Soggetti (ID)", "CREATE TABLE Ritenute (ID)",
                       "CREATE TABLE Anno (ID)",     "CREATE TABLE periodo (ID)",
                       "CREATE TABLE Tributo (ID)",  "CREATE TABLE Percentuale (ID)",
                       "PRAGMA user_version = 99"}
        << "versione più recente";
}

void LedgerFileTest::refusedFileStaysUnchanged() {
    QFETCH(QStringList, statements);
    QFETCH(QString, reasonPart);
    QTemporaryDir dir;
    const QString path = dir.filePath("altro.sqlite");
    writeSqliteFile(path, statements);
    const QByteArray before = digestOf(path);
    const QStringList filesBefore = filesIn(dir.path());

    const Status opened = store::openDatabase(path);
    QVERIFY(!opened.ok());
    QVERIFY2(opened.error().contains(reasonPart), qPrintable(opened.error()));
    QVERIFY2(opened.error().contains(QDir::toNativeSeparators(path)), qPrintable(opened.error()));
    QCOMPARE(digestOf(path), before);
    QCOMPARE(filesIn(dir.path()), filesBefore);
    QVERIFY(!QSqlDatabase::contains(store::kConnectionName));
    // The check refuses it the same way.
    QVERIFY(!store::checkFile(path).ok());
    QCOMPARE(digestOf(path), before);
}

void LedgerFileTest::becomesNewLedger_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("no file") << "none";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("database without tables") << "bare";
}

void LedgerFileTest::becomesNewLedger() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    if (kind == "empty") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == "bare") {
        writeSqliteFile(path, {"CREATE TABLE t (x)", "DROP TABLE t"});
    }
    const Status opened = store::openDatabase(path);
    QVERIFY2(opened.ok(), qPrintable(opened.error()));
    QVERIFY(!store::isReadOnly());
    QCOMPARE(store::databasePath(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(store::years().value.size(), 7);
    QVERIFY(store::checkOpenLedger().whole());
    store::closeDatabase();
}

void LedgerFileTest::ownerOnlyFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    QVERIFY(store::openDatabase(path).ok());
    TestDatabase::addSubject("ROSSI");
    for (const QString& file : QStringList{path, path + "-wal", path + "-shm"}) {
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QCOMPARE(permissionsOf(file), kOwnerReadWrite);
    }
    const QString copy = dir.filePath("copia.db");
    QVERIFY(store::saveCopy(copy).ok());
    QCOMPARE(permissionsOf(copy), kOwnerReadWrite);
    const Result<QString> automatic = store::copyBeforeYearDeletion();
    QVERIFY2(automatic.ok(), qPrintable(automatic.error()));
    QCOMPARE(permissionsOf(automatic.value), kOwnerReadWrite);
    QCOMPARE(QFileInfo(automatic.value).absolutePath(),
             QFileInfo(dir.filePath("Database - copie")).absoluteFilePath());
    store::closeDatabase();
}

void LedgerFileTest::checkFindsDamage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("whole");
    QTest::newRow("untouched") << -1 << true;
    // Page 1 holds the schema; the tables and indexes follow.
    QTest::newRow("second page") << 1 << false;
    QTest::newRow("a middle page") << 6 << false;
    QTest::newRow("the last page") << -2 << false;
}

void LedgerFileTest::checkFindsDamage() {
    QFETCH(int, page);
    QFETCH(bool, whole);
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    makeLedger(path, 300);
    const int pages = int(QFileInfo(path).size() / 4096);
    if (page != -1)
        damagePage(path, page == -2 ? pages - 1 : page);
    const Result<LedgerCheck> check = store::checkFile(path);
    QVERIFY2(check.ok(), qPrintable(check.error()));
    QCOMPARE(check.value.whole(), whole);
    if (whole) {
        QCOMPARE(check.value.counts.size(), 6);
        QCOMPARE(check.value.counts.at(0).table, QString("Soggetti"));
        QCOMPARE(check.value.counts.at(0).rows, qint64(300));
    }
    // The open ledger is checked the same way, and a damaged one still opens.
    const Status opened = store::openDatabase(path);
    if (opened.ok()) {
        QCOMPARE(store::checkOpenLedger().whole(), whole);
        store::closeDatabase();
    } else {
        QVERIFY(!whole);
    }
}

void LedgerFileTest::copyIsCheckedAndComplete() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    for (int i = 0; i < 50; ++i)
        TestDatabase::addSubject(QStringLiteral("NOME %1").arg(i));
    QTemporaryDir out;
    const QString target = out.filePath("copia.db");
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older file of that name is replaced");
    old.close();
    const Result<LedgerCheck> copy = store::saveCopy(target);
    QVERIFY2(copy.ok(), qPrintable(copy.error()));
    QCOMPARE(copy.value.counts.at(0).rows, qint64(50));
    QCOMPARE(filesIn(out.path()), QStringList{"copia.db"});
    // The ledger stays open and usable.
    TestDatabase::addSubject("DOPO");
    QCOMPARE(store::subjectNames().value.size(), 51);
    const Result<LedgerCheck> again = store::checkFile(target);
    QVERIFY(again.ok() && again.value.whole());
    QCOMPARE(again.value.counts.at(0).rows, qint64(50));
}

void LedgerFileTest::failedCopyLeavesNothing() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QTemporaryDir out;
    const Result<LedgerCheck> missing = store::saveCopy(out.filePath("manca/copia.db"));
    QVERIFY(!missing.ok());
    QVERIFY2(missing.error().contains("manca"), qPrintable(missing.error()));
    const Result<LedgerCheck> itself = store::saveCopy(db.path());
    QVERIFY(!itself.ok());
    QVERIFY(store::checkOpenLedger().whole());
    QCOMPARE(filesIn(out.path()), QStringList());
}

void LedgerFileTest::automaticCopiesKeepTheNewest() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const QDateTime start(QDate(2026, 1, 31), QTime(23, 59, 58));
    QStringList made;
    for (int i = 0; i < store::kAutomaticCopiesKept + 3; ++i) {
        const Result<QString> copy = store::automaticCopy(
            store::connection(), db.path(), store::kBeforeYearDeletion, start.addSecs(i));
        QVERIFY2(copy.ok(), qPrintable(copy.error()));
        made.append(QFileInfo(copy.value).fileName());
    }
    QCOMPARE(made.first(), QString("2026-01-31_23-59-58-000_prima-eliminazione-anno.db"));
    // A file of the operator's own in the folder is never removed.
    const QString folder = store::automaticCopiesFolder(db.path());
    QFile own(QDir(folder).filePath("appunti.txt"));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.close();
    QVERIFY(store::automaticCopy(store::connection(), db.path(), store::kBeforeUpgrade,
                                 start.addSecs(100))
                .ok());
    QStringList expected = made.mid(4);
    expected.append("2026-02-01_00-01-38-000_prima-aggiornamento.db");
    expected.append("appunti.txt");
    QCOMPARE(filesIn(folder), expected);
}

void LedgerFileTest::restoreKeepsTheReplacedLedger() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    QVERIFY(store::openDatabase(path).ok());
    TestDatabase::addSubject("PRIMA");
    const QString copy = dir.filePath("copia.db");
    QVERIFY(store::saveCopy(copy).ok());
    TestDatabase::addSubject("DOPO");

    const Result<QString> kept = store::restoreFrom(copy);
    QVERIFY2(kept.ok(), qPrintable(kept.error()));
    QCOMPARE(store::subjectNames().value, QStringList{"PRIMA"});
    QCOMPARE(store::databasePath(), QFileInfo(path).absoluteFilePath());
    QVERIFY(store::checkOpenLedger().whole());
    QVERIFY2(QFileInfo(kept.value).fileName().startsWith("Database-prima-del-ripristino-"),
             qPrintable(kept.value));
    QCOMPARE(QFileInfo(kept.value).absolutePath(), QFileInfo(path).absolutePath());
    store::closeDatabase();
    QVERIFY(store::openDatabase(kept.value).ok());
    QCOMPARE(store::subjectNames().value, (QStringList{"DOPO", "PRIMA"}));
    store::closeDatabase();
}

void LedgerFileTest::restoreRefuses_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("another program's database") << "foreign"
                                                << "non è un archivio Velarco";
    QTest::newRow("a damaged copy") << "damaged"
                                    << "danneggiato";
    QTest::newRow("not a database") << "garbage"
                                    << "non è un database";
    QTest::newRow("no such file") << "missing"
                                  << "non esiste";
    QTest::newRow("the open ledger itself") << "itself"
                                            << "archivio aperto";
}

void LedgerFileTest::restoreRefuses() {
    QFETCH(QString, kind);
    QFETCH(QString, reasonPart);
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    QString copy = dir.filePath("scelto.db");
    if (kind == "foreign") {
        writeSqliteFile(copy, {"CREATE TABLE clienti (id)"});
    } else if (kind == "damaged") {
        makeLedger(copy, 300);
        damagePage(copy, 6);
    } else if (kind == "garbage") {
        QFile file(copy);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    } else if (kind == "itself") {
        copy = path;
    }
    QVERIFY(store::openDatabase(path).ok());
    TestDatabase::addSubject("ATTUALE");
    const QStringList before = filesIn(dir.path());

    const Result<QString> restored = store::restoreFrom(copy);
    QVERIFY(!restored.ok());
    QVERIFY2(restored.error().contains(reasonPart), qPrintable(restored.error()));
    QCOMPARE(store::subjectNames().value, QStringList{"ATTUALE"});
    QCOMPARE(filesIn(dir.path()), before);
    store::closeDatabase();
}

void LedgerFileTest::olderLedgerIsCopiedBeforeUpgrade() {
    QFile fixture(qEnvironmentVariable("VELARCO_SOURCE_DIR") +
                  "/tests/store/fixtures/version1.sql");
    QVERIFY2(fixture.open(QIODevice::ReadOnly), qPrintable(fixture.fileName()));
    QStringList statements;
    for (const QString& line : QString::fromUtf8(fixture.readAll()).split('\n')) {
        if (!line.isEmpty() && !line.startsWith("--"))
            statements.append(line);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    writeSqliteFile(path, statements);
    const QByteArray before = digestOf(path);
    const Status opened = store::openDatabase(path);
    QVERIFY2(opened.ok(), qPrintable(opened.error()));
    QCOMPARE(store::schema::versionOf(store::connection()), store::schema::kCurrentVersion);
    store::closeDatabase();
    // The ledger as it was before any upgrade step, byte for byte.
    const QString folder = store::automaticCopiesFolder(path);
    const QStringList copies = QDir(folder).entryList({"*_prima-aggiornamento.db"});
    QCOMPARE(copies.size(), 1);
    const Result<LedgerCheck> copy = store::checkFile(QDir(folder).filePath(copies.first()));
    QVERIFY2(copy.ok() && copy.value.whole(), qPrintable(copy.error()));
    QCOMPARE(copy.value.counts.first().rows, qint64(7));
    QVERIFY(digestOf(path) != before);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "copy");
        db.setDatabaseName(QDir(folder).filePath(copies.first()));
        QVERIFY(db.open());
        QCOMPARE(store::schema::versionOf(db), 1);
    }
    QSqlDatabase::removeDatabase("copy");
    // Opening the upgraded ledger again makes no further copy.
    QVERIFY(store::openDatabase(path).ok());
    store::closeDatabase();
    QCOMPARE(QDir(folder).entryList({"*.db"}).size(), 1);
}

void LedgerFileTest::reasons_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("databaseText");
    QTest::addColumn<QString>("sentencePart");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("full") << "13"
                          << "database or disk is full"
                          << "Il disco è pieno" << ErrorKind::DiskFull;
    QTest::newRow("read-only") << "8"
                               << "attempt to write a readonly database"
                               << "in sola lettura" << ErrorKind::ReadOnly;
    QTest::newRow("damaged") << "11"
                             << "database disk image is malformed"
                             << "ripristinarlo da una copia" << ErrorKind::Damaged;
    QTest::newRow("busy") << "5"
                          << "database is locked"
                          << "in uso da un altro programma" << ErrorKind::Failed;
    QTest::newRow("locked table") << "6"
                                  << "database table is locked"
                                  << "in uso da un altro programma" << ErrorKind::Failed;
    QTest::newRow("extended read-only code")
        << QString::number(8 | (1 << 8)) << "attempt to write a readonly database"
        << "in sola lettura" << ErrorKind::ReadOnly;
    QTest::newRow("not a database") << "26"
                                    << "file is not a database"
                                    << "non è un archivio valido" << ErrorKind::Damaged;
    // A failed commit reaches the program without the engine's code.
    QTest::newRow("full, known by its text only") << QString() << "database or disk is full"
                                                  << "Il disco è pieno" << ErrorKind::DiskFull;
    QTest::newRow("unknown text without a code") << QString() << "something else"
                                                 << "something else" << ErrorKind::Failed;
    // A constraint's primary code does not say which constraint refused the value.
    QTest::newRow("a constraint keeps its own text")
        << "19"
        << "UNIQUE constraint failed: Anno.Anno"
        << "UNIQUE constraint failed" << ErrorKind::Duplicate;
    QTest::newRow("another constraint") << "19"
                                        << "CHECK constraint failed: Anno"
                                        << "CHECK constraint failed" << ErrorKind::Failed;
    QTest::newRow("the unique index's extended code")
        << "2067"
        << "UNIQUE constraint failed: Anno.Anno"
        << "UNIQUE constraint failed" << ErrorKind::Duplicate;
    QTest::newRow("the server's unique violation")
        << "23505"
        << "duplicate key value violates unique constraint \"anno_anno_key\""
        << "duplicate key value" << ErrorKind::Duplicate;
    QTest::newRow("the server's read-only transaction")
        << "25006"
        << "cannot execute INSERT in a read-only transaction"
        << "read-only transaction" << ErrorKind::ReadOnly;
}

void LedgerFileTest::reasons() {
    QFETCH(QString, code);
    QFETCH(QString, databaseText);
    QFETCH(QString, sentencePart);
    QFETCH(ErrorKind, kind);
    const QSqlError error("driver text", databaseText, QSqlError::StatementError, code);
    const QString reason = store::reasonFor(error);
    QVERIFY2(reason.section('\n', 0, 0).contains(sentencePart), qPrintable(reason));
    // The database's own words stay, as the last line.
    QVERIFY2(reason.section('\n', -1).endsWith(databaseText), qPrintable(reason));
    QCOMPARE(store::kindOf(error), kind);
}

QTEST_GUILESS_MAIN(LedgerFileTest)
#include "tst_ledger_file.moc"
