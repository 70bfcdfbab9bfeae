#include "store/connection.h"
#include "store/queries.h"
#include "store/schema.h"
#include "store/transaction.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

class StoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void columnOrder_data();
    void columnOrder();
    void seedRows();
    void dataKeptAcrossReopen();
    void nameLookupIsExactAndIgnoresCase();
    void userTextMatchesNumericId();
    void openFailures_data();
    void openFailures();
    void transactionRollsBackUnlessCommitted();
    void runInTransaction_data();
    void runInTransaction();
};

void StoreTest::columnOrder_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("Soggetti") << "Soggetti"
                              << QStringList{
                                     "ID",      "denominazione", "indirizzo", "citta",     "cap",
                                     "pr",      "datanascita",   "luogo",     "prnascita", "codice",
                                     "partita", "utente",        "note"};
    QTest::newRow("Ritenute") << "Ritenute"
                              << QStringList{"ID",        "ID_A",       "denominazione", "FT",
                                             "data",      "imponibile", "aliquota",      "ritenuta",
                                             "altro",     "totale",     "pag",           "datap",
                                             "periodo",   "versamento", "ravv",          "versato",
                                             "interessi", "sanzione",   "tributo",       "anno",
                                             "utente",    "scadenza"};
    QTest::newRow("Anno") << "Anno" << QStringList{"ID", "Anno"};
    QTest::newRow("periodo") << "periodo" << QStringList{"ID", "periodo"};
    QTest::newRow("Tributo") << "Tributo" << QStringList{"ID", "codice", "Causale"};
    QTest::newRow("Percentuale") << "Percentuale" << QStringList{"ID", "Percentuale"};
}

void StoreTest::columnOrder() {
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const QSqlRecord record = store::connection().record(table);
    QStringList actual;
    for (int i = 0; i < record.count(); ++i)
        actual.append(record.fieldName(i));
    QCOMPARE(actual, columns);
}

void StoreTest::seedRows() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const int year = QDate::currentDate().year();
    QStringList expectedYears;
    for (int y = year - 5; y <= year + 1; ++y)
        expectedYears.append(QString::number(y));
    QCOMPARE(store::years().value, expectedYears);

    auto column = [](const QString& sql) {
        QStringList values;
        Result<QSqlQuery> q = store::run(sql);
        while (q.value.next())
            values.append(q.value.value(0).toString());
        return values;
    };
    QCOMPARE(column("SELECT periodo FROM periodo ORDER BY ID"),
             (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}));
    QCOMPARE(column("SELECT codice FROM Tributo ORDER BY codice"),
             (QStringList{"1001", "1019", "1020", "1040"}));
    QCOMPARE(column("SELECT Causale FROM Tributo WHERE codice = '1040'"),
             QStringList{"Ritenute su redditi di lavoro autonomo: compensi per l'esercizio di arti "
                         "e professioni"});
    QCOMPARE(column("SELECT Percentuale FROM Percentuale ORDER BY ID"),
             (QStringList{"400", "2000"}));
    QCOMPARE(store::schema::versionOf(store::connection()), store::schema::kCurrentVersion);
}

void StoreTest::dataKeptAcrossReopen() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::addSubject("ROSSI MARIO", true);
    TestDatabase::exec("DELETE FROM Anno WHERE Anno = ?",
                       {QString::number(QDate::currentDate().year())});
    store::closeDatabase();
    QVERIFY(store::openDatabase(db.path()).ok());
    QCOMPARE(store::userNames().value, QStringList{"ROSSI MARIO"});
    // Seeding happens once: a year the operator removed stays removed.
    QCOMPARE(store::years().value.size(), 6);
}

void StoreTest::nameLookupIsExactAndIgnoresCase() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 first = TestDatabase::addSubject("D'ANGELO SRL");
    TestDatabase::addSubject("D'ANGELO SRL");
    TestDatabase::addSubject("D%");
    QCOMPARE(store::subjectIdByName("d'angelo srl").value, std::optional<qint64>(first));
    QCOMPARE(store::subjectIdByName("D'ANGELO").value, std::optional<qint64>());
    // No pattern matching: "%" is an ordinary character here.
    QCOMPARE(store::subjectIdByName("D%").value.has_value(), true);
    QCOMPARE(store::subjectIdByName("D_").value, std::optional<qint64>());
    QCOMPARE(store::subjectIdByName("").value, std::optional<qint64>());
}

void StoreTest::userTextMatchesNumericId() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 user = TestDatabase::addSubject("BIANCHI", true);
    TestDatabase::exec("INSERT INTO Ritenute (utente, anno) VALUES (?, '2024')",
                       {QString::number(user)});
    Result<QSqlQuery> join =
        store::run("SELECT count(*) FROM Ritenute JOIN Soggetti ON Soggetti.ID = Ritenute.utente");
    QVERIFY(join.ok() && join.value.next());
    QCOMPARE(join.value.value(0).toInt(), 1);
    for (const QVariant& key : {QVariant(QString::number(user)), QVariant(user)}) {
        Result<QSqlQuery> q = store::run("SELECT count(*) FROM Ritenute WHERE utente = ?", {key});
        QVERIFY(q.ok() && q.value.next());
        QCOMPARE(q.value.value(0).toInt(), 1);
    }
}

void StoreTest::openFailures_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("missing folder") << "missing"
                                    << "la cartella non esiste";
    QTest::newRow("not a database") << "garbage"
                                    << "";
    QTest::newRow("newer version") << "newer"
                                   << "versione più recente";
    QTest::newRow("a folder") << "folder"
                              << "non è un file";
}

void StoreTest::openFailures() {
    QFETCH(QString, kind);
    QFETCH(QString, reasonPart);
    QTemporaryDir dir;
    QString path = dir.filePath("Database.db");
    if (kind == "missing") {
        path = dir.filePath("nope/Database.db");
    } else if (kind == "garbage") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    } else if (kind == "newer") {
        QVERIFY(store::openDatabase(path).ok());
        QSqlQuery(store::connection()).exec("PRAGMA user_version = 99");
        store::closeDatabase();
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("Database.db"));
    }
    const Status s = store::openDatabase(path);
    QVERIFY(!s.ok());
    QVERIFY2(s.error().contains(QDir::toNativeSeparators(path)), qPrintable(s.error()));
    QVERIFY2(s.error().contains(reasonPart), qPrintable(s.error()));
    QVERIFY(!QSqlDatabase::contains(store::kConnectionName));
}

void StoreTest::transactionRollsBackUnlessCommitted() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    {
        Transaction tx(store::connection());
        QVERIFY(tx.begun().ok());
        TestDatabase::addSubject("A");
    }
    QCOMPARE(store::subjectNames().value, QStringList());
    {
        Transaction tx(store::connection());
        TestDatabase::addSubject("B");
        QVERIFY(tx.commit().ok());
    }
    QCOMPARE(store::subjectNames().value, QStringList{"B"});
}

void StoreTest::runInTransaction_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<bool>("insideAnother");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("namesAfter");
    const QStringList seeded{"ALFA", "BETA"};
    QTest::newRow("insert") << "INSERT INTO Soggetti (denominazione) VALUES (?)"
                            << QVariantList{"GAMMA"} << false << true << 1
                            << QStringList{"ALFA", "BETA", "GAMMA"};
    QTest::newRow("update of no row") << "UPDATE Soggetti SET note = ? WHERE ID = ?"
                                      << QVariantList{"x", -1} << false << true << 0 << seeded;
    QTest::newRow("delete of two rows")
        << "DELETE FROM Soggetti WHERE denominazione <> ?" << QVariantList{"GAMMA"} << false << true
        << 2 << QStringList{};
    QTest::newRow("failing statement")
        << "INSERT INTO Nessuna VALUES (?)" << QVariantList{1} << false << false << 0 << seeded;
    // A write never joins a transaction someone else left open, whose fate it cannot know.
    QTest::newRow("another transaction open")
        << "INSERT INTO Soggetti (denominazione) VALUES (?)" << QVariantList{"GAMMA"} << true
        << false << 0 << seeded;
}

void StoreTest::runInTransaction() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, values);
    QFETCH(bool, insideAnother);
    QFETCH(bool, ok);
    QFETCH(int, rows);
    QFETCH(QStringList, namesAfter);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::addSubject("ALFA");
    TestDatabase::addSubject("BETA");
    Result<store::Written> done;
    {
        std::optional<Transaction> other;
        if (insideAnother)
            other.emplace(store::connection());
        done = store::runInTransaction(sql, values);
    }
    QCOMPARE(done.ok(), ok);
    QCOMPARE(done.error().isEmpty(), ok);
    QCOMPARE(done.value.rows, qint64(rows));
    if (ok && sql.startsWith("INSERT"))
        QCOMPARE(done.value.lastId, qint64(3));
    QCOMPARE(store::subjectNames().value, namesAfter);
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
