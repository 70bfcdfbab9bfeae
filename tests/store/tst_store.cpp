#include "ledger/ledger_grid_query.h"
#include "store/connection.h"
#include "store/copies.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "store/queries.h"
#include "store/schema.h"
#include "store/transaction.h"
#include "support/query_plans.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
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
    void wholeLedgerReadsNest();
    void nameKeys_data();
    void nameKeys();
    void namesInItalianOrder();
    void nameLookup_data();
    void nameLookup();
    void upgradeFromVersion1();
    void keysFilledAtOpening();
    void userTextMatchesNumericId();
    void userJoinReadsTheKeyIndexAfterUpgrade();
    void openFailures_data();
    void openFailures();
    void upgradeKeepsSubjectsWithCertificateDefaults();
    void transactionRollsBackUnlessCommitted();
    void changeRecordOnlyGrows_data();
    void changeRecordOnlyGrows();
    void runInTransaction_data();
    void runInTransaction();
};

void StoreTest::columnOrder_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("Soggetti") << "Soggetti"
                              << QStringList{"ID",          "denominazione", "indirizzo",
                                             "citta",       "cap",           "pr",
                                             "datanascita", "luogo",         "prnascita",
                                             "codice",      "partita",       "utente",
                                             "note",        "ordine",        "causale",
                                             "codicealtro", "versione"};
    QTest::newRow("Ritenute") << "Ritenute"
                              << QStringList{
                                     "ID",        "ID_A",       "denominazione", "FT",
                                     "data",      "imponibile", "aliquota",      "ritenuta",
                                     "altro",     "totale",     "pag",           "datap",
                                     "periodo",   "versamento", "ravv",          "versato",
                                     "interessi", "sanzione",   "tributo",       "anno",
                                     "utente",    "scadenza",   "ordine",        "versione"};
    QTest::newRow("Anno") << "Anno" << QStringList{"ID", "Anno"};
    QTest::newRow("periodo") << "periodo" << QStringList{"ID", "periodo"};
    QTest::newRow("Tributo") << "Tributo" << QStringList{"ID", "codice", "Causale"};
    QTest::newRow("Percentuale") << "Percentuale" << QStringList{"ID", "Percentuale"};
    QTest::newRow("Modifiche") << "Modifiche"
                               << QStringList{"ID",       "utc",    "locale",  "operatore",
                                              "computer", "azione", "tabella", "chiave",
                                              "utente",   "prima",  "dopo"};
}

void StoreTest::columnOrder() {
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Result<QSqlQuery> read = store::run("SELECT * FROM " + table + " WHERE 1 = 0");
    QVERIFY2(read.ok(), qPrintable(read.error()));
    const QSqlRecord record = read.value.record();
    QStringList actual;
    for (int i = 0; i < record.count(); ++i)
        actual.append(
            store::dialect::fieldName(store::currentEngine(), table, record.fieldName(i)));
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

// While a long report reads the file, neither the memory map nor the everyday page cache
// keeps what it went through, also when the ledger is opened again meanwhile; the
// everyday reads come back when the last such report ends.
void StoreTest::wholeLedgerReadsNest() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    if (TestDatabase::onServer())
        QSKIP("a server ledger has no memory map or page cache of the program's own");
    const auto pragma = [](const char* name) {
        Result<QSqlQuery> q = store::run(QStringLiteral("PRAGMA ") + QLatin1String(name));
        return q.ok() && q.value.next() ? q.value.value(0).toLongLong() : -1;
    };
    const auto reads = [&] { return std::pair(pragma("mmap_size"), pragma("cache_size")); };
    const auto everyday = reads();
    {
        const store::UnmappedReads outer;
        const auto whole = reads();
        QVERIFY(whole.first != everyday.first && whole.second != everyday.second);
        {
            const store::UnmappedReads inner;
            store::closeDatabase();
            QVERIFY(store::openDatabase(db.path()).ok());
            QCOMPARE(reads(), whole);
        }
        QCOMPARE(reads(), whole);
    }
    QCOMPARE(reads(), everyday);
}

void StoreTest::nameKeys_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::newRow("capitals as they are") << "ROSSI MARIO"
                                          << "ROSSI MARIO";
    QTest::newRow("grave accent") << "ÈRRE SNC"
                                  << "ERRE SNC";
    QTest::newRow("small letters and accents") << "àncora s.r.l."
                                               << "ANCORA S.R.L.";
    QTest::newRow("every Italian accent") << "ÀÈÉÌÒÙàèéìòù"
                                          << "AEEIOUAEEIOU";
    QTest::newRow("apostrophe and digits") << "D'ANGELO 2000"
                                           << "D'ANGELO 2000";
    QTest::newRow("other Latin accents") << "Çelik Núñez Ångström"
                                         << "CELIK NUNEZ ANGSTROM";
    QTest::newRow("sharp s") << "Straße"
                             << "STRASSE";
    QTest::newRow("ligature") << "ﬁnanza"
                              << "FINANZA";
    QTest::newRow("empty") << ""
                           << "";
}

void StoreTest::nameKeys() {
    QFETCH(QString, name);
    QFETCH(QString, key);
    QCOMPARE(store::nameKey(name), key);
    QVERIFY(store::nameKey(QString()).isNull());
}

void StoreTest::namesInItalianOrder() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const QStringList written = {"ZETA SRL", "ÈRRE SNC",   "ERRE SNC", "ÈRRE SAS",
                                 "ERRE SAS", "ÀNCORA SRL", "BETA",     "ÀNCORA SRL"};
    for (int i = 0; i < written.size(); ++i)
        TestDatabase::addSubject(written.at(i), i % 2 == 1);
    QCOMPARE(store::subjectNames().value,
             (QStringList{"ÀNCORA SRL", "ÀNCORA SRL", "BETA", "ERRE SAS", "ÈRRE SAS", "ERRE SNC",
                          "ÈRRE SNC", "ZETA SRL"}));
    QCOMPARE(store::userNames().value,
             (QStringList{"ÀNCORA SRL", "ÀNCORA SRL", "ÈRRE SAS", "ÈRRE SNC"}));
}

void StoreTest::nameLookup_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("found"); // the position in the names of nameLookup(), -1: none
    QTest::newRow("same text") << "ÀNCORA SRL" << 0;
    QTest::newRow("small letters") << "àncora srl" << 0;
    QTest::newRow("mixed case") << "Àncora Srl" << 0;
    QTest::newRow("accent left out") << "ancora srl" << -1;
    QTest::newRow("accent left out, capitals") << "ANCORA SRL" << -1;
    QTest::newRow("first of two") << "d'angelo srl" << 1;
    QTest::newRow("only the start") << "D'ANGELO" << -1;
    QTest::newRow("trailing blank") << "ÀNCORA SRL " << -1;
    QTest::newRow("no pattern: percent") << "D%" << 3;
    QTest::newRow("no pattern: underscore") << "D_" << -1;
    QTest::newRow("accented small letter") << "èrre sas" << 4;
    QTest::newRow("plain small letter") << "erre sas" << 5;
    QTest::newRow("written without a key") << "öztürk srl" << 6;
    QTest::newRow("empty") << "" << -1;
}

void StoreTest::nameLookup() {
    QFETCH(QString, typed);
    QFETCH(int, found);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QList<qint64> ids;
    for (const char* name :
         {"ÀNCORA SRL", "D'ANGELO SRL", "D'ANGELO SRL", "D%", "ÈRRE SAS", "ERRE SAS"})
        ids.append(TestDatabase::addSubject(QString::fromUtf8(name)));
    // As another tool would write it: no sort key.
    TestDatabase::exec("INSERT INTO Soggetti (denominazione) VALUES ('ÖZTÜRK SRL')");
    Result<QSqlQuery> last = store::run("SELECT max(ID) FROM Soggetti");
    QVERIFY(last.ok() && last.value.next());
    ids.append(last.value.value(0).toLongLong());
    const Result<std::optional<qint64>> id = store::subjectIdByName(typed);
    QVERIFY(id.ok());
    QCOMPARE(id.value, found < 0 ? std::optional<qint64>() : std::optional<qint64>(ids.at(found)));
}

// The fixture holds the statements of a database file, one per line.
QString writeFixture(const QString& fixture, const QString& path) {
    QFile file(qEnvironmentVariable("VELARCO_SOURCE_DIR") + "/tests/store/fixtures/" + fixture);
    if (!file.open(QIODevice::ReadOnly))
        return "fixture not readable: " + file.fileName();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
        db.setDatabaseName(path);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery query(db);
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.isEmpty() || line.startsWith("--"))
                continue;
            if (!query.exec(line)) {
                error = line + ": " + query.lastError().text();
                break;
            }
        }
    }
    QSqlDatabase::removeDatabase("fixture");
    return error;
}

// A ledger of the first layout gains the sort keys, the lists read it in Italian order and
// the ledger grid still lists its year from the index alone.
void StoreTest::upgradeFromVersion1() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    const QString written = writeFixture("version1.sql", path);
    QVERIFY2(written.isEmpty(), qPrintable(written));
    QVERIFY(store::openDatabase(path).ok());
    QCOMPARE(store::schema::versionOf(store::connection()), store::schema::kCurrentVersion);
    for (const char* table : {"Soggetti", "Ritenute"}) {
        Result<QSqlQuery> rows = store::run(
            QString("SELECT denominazione, ordine FROM %1").arg(QString::fromLatin1(table)));
        QVERIFY(rows.ok());
        while (rows.value.next()) {
            QCOMPARE(rows.value.value(1).isNull(), rows.value.value(0).isNull());
            QCOMPARE(rows.value.value(1).toString(),
                     store::nameKey(rows.value.value(0).toString()));
        }
    }
    QCOMPARE(store::subjectNames().value, (QStringList{"", "ÀNCORA SRL", "ERRE SAS", "ÈRRE SAS",
                                                       "ERRE SNC", "ÈRRE SNC", "ZETA SRL"}));
    QCOMPARE(store::userNames().value, (QStringList{"ÀNCORA SRL", "ÈRRE SAS", "ZETA SRL"}));
    QCOMPARE(store::subjectIdByName("èrre snc").value, std::optional<qint64>(2));

    const KeyedQuery grid = ledger::ledgerGridQuery("2024", "1");
    Result<QSqlQuery> ordered = store::run(grid.keySql(), grid.values);
    QStringList invoices;
    while (ordered.value.next()) {
        Result<QSqlQuery> ft =
            store::run("SELECT FT FROM Ritenute WHERE ID = ?", {ordered.value.value(0)});
        QVERIFY(ft.ok() && ft.value.next());
        invoices << ft.value.value(0).toString();
    }
    QCOMPARE(invoices, (QStringList{"n", "a", "e1a", "e1b", "e2", "e3", "e4", "z"}));
    Result<QSqlQuery> plan = store::run("EXPLAIN QUERY PLAN " + grid.keySql(), grid.values);
    QStringList steps;
    while (plan.value.next())
        steps << plan.value.value(3).toString();
    QVERIFY2(steps.join(' ').contains("COVERING INDEX Ritenute_utente_anno"),
             qPrintable(steps.join(" / ")));
    QVERIFY2(!steps.join(' ').contains("TEMP B-TREE"), qPrintable(steps.join(" / ")));
    store::closeDatabase();
}

// Rows another tool wrote without a key get theirs when the file is opened again.
void StoreTest::keysFilledAtOpening() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::exec("INSERT INTO Soggetti (denominazione) VALUES ('ÈRRE SNC'), ('ÀNCORA')");
    TestDatabase::exec("INSERT INTO Ritenute (denominazione) VALUES ('ÈRRE SNC'), (NULL)");
    store::closeDatabase();
    QVERIFY(store::openDatabase(db.path()).ok());
    auto keys = [](const QString& table) {
        QStringList values;
        Result<QSqlQuery> q = store::run("SELECT ordine FROM " + table + " ORDER BY ID");
        while (q.value.next())
            values << (q.value.value(0).isNull() ? "NULL" : q.value.value(0).toString());
        return values;
    };
    QCOMPARE(keys("Soggetti"), (QStringList{"ERRE SNC", "ANCORA"}));
    QCOMPARE(keys("Ritenute"), (QStringList{"ERRE SNC", "NULL"}));
}

void StoreTest::userTextMatchesNumericId() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 user = TestDatabase::addSubject("BIANCHI", true);
    TestDatabase::exec("INSERT INTO Ritenute (utente, anno) VALUES (?, '2024')",
                       {QString::number(user)});
    Result<QSqlQuery> join = store::run("SELECT count(*) FROM Ritenute JOIN Soggetti "
                                        "ON CAST(Soggetti.ID AS TEXT) = Ritenute.utente");
    QVERIFY(join.ok() && join.value.next());
    QCOMPARE(join.value.value(0).toInt(), 1);
    for (const QVariant& key : {QVariant(QString::number(user)), QVariant(user)}) {
        Result<QSqlQuery> q = store::run("SELECT count(*) FROM Ritenute WHERE utente = ?", {key});
        QVERIFY(q.ok() && q.value.next());
        QCOMPARE(q.value.value(0).toInt(), 1);
    }
}

// A ledger of layout 5 gains the index of the subjects' key as text when opened (after the
// copy before upgrade, on a file), and a record finds its user through it.
void StoreTest::userJoinReadsTheKeyIndexAfterUpgrade() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 user = TestDatabase::addSubject("BIANCHI", true);
    TestDatabase::exec("INSERT INTO Ritenute (utente, anno) VALUES (?, '2024')",
                       {QString::number(user)});
    TestDatabase::rewind(db.path(), 5,
                         {"DROP INDEX Soggetti_chiave_testo", "DROP TABLE ScadenzaDichiarazione",
                          "DROP TABLE Modifiche", "DROP INDEX Ritenute_FT_lunghezza"});
    QVERIFY(store::openDatabase(db.path()).ok());
    QCOMPARE(store::schema::versionOf(store::connection()), store::schema::kCurrentVersion);
    if (!TestDatabase::onServer())
        QCOMPARE(QDir(store::automaticCopiesFolder(db.path()))
                     .entryList({"*_prima-aggiornamento.db"})
                     .size(),
                 1);
    const QString join = "SELECT Soggetti.denominazione FROM Ritenute JOIN Soggetti "
                         "ON CAST(Soggetti.ID AS TEXT) = Ritenute.utente WHERE Ritenute.ID = ?";
    Result<QSqlQuery> name = store::run(join, {1});
    QVERIFY(name.ok() && name.value.next());
    QCOMPARE(name.value.value(0).toString(), QString("BIANCHI"));
    QString error;
    const QStringList plan = query_plans::planOf(join, {1}, &error);
    QVERIFY2(plan.join(' ').contains("soggetti_chiave_testo", Qt::CaseInsensitive),
             qPrintable(error + plan.join(" / ")));
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

// A ledger from before the certificate fields: its subjects gain them with the
// defaults, and nothing else changes.
void StoreTest::upgradeKeepsSubjectsWithCertificateDefaults() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::exec("INSERT INTO Soggetti (denominazione, codice) VALUES ('ROSSI', 'RSS')");
    // Back to the layout before the certificate fields.
    QStringList statements = {"ALTER TABLE Soggetti DROP COLUMN codicealtro",
                              "ALTER TABLE Soggetti DROP COLUMN causale"};
    for (const char* table :
         {"TassoLegale", "Proroghe", "Opzioni", "ScadenzaDichiarazione", "Modifiche"})
        statements << QStringLiteral("DROP TABLE %1").arg(QLatin1String(table));
    statements << "ALTER TABLE Soggetti DROP COLUMN versione"
               << "ALTER TABLE Ritenute DROP COLUMN versione"
               << "DROP INDEX Soggetti_chiave_testo"
               << "DROP INDEX Ritenute_FT_lunghezza";
    TestDatabase::rewind(db.path(), 2, statements);
    QVERIFY(store::openDatabase(db.path()).ok());
    QCOMPARE(store::schema::versionOf(store::connection()), store::schema::kCurrentVersion);
    Result<QSqlQuery> q =
        store::run("SELECT denominazione, codice, causale, codicealtro FROM Soggetti");
    QVERIFY(q.ok() && q.value.next());
    QCOMPARE((QStringList{q.value.value(0).toString(), q.value.value(1).toString(),
                          q.value.value(2).toString(), q.value.value(3).toString()}),
             (QStringList{"ROSSI", "RSS", "A", "22"}));
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
    QTest::addColumn<bool>("consulted");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("namesAfter");
    const QStringList seeded{"ALFA", "BETA"};
    QTest::newRow("insert") << "INSERT INTO Soggetti (denominazione, ordine) VALUES (?, ?)"
                            << QVariantList{"GAMMA", "GAMMA"} << false << false << true << 1
                            << QStringList{"ALFA", "BETA", "GAMMA"};
    QTest::newRow("update of no row")
        << "UPDATE Soggetti SET note = ? WHERE ID = ?" << QVariantList{"x", -1} << false << false
        << true << 0 << seeded;
    QTest::newRow("delete of two rows")
        << "DELETE FROM Soggetti WHERE denominazione <> ?" << QVariantList{"GAMMA"} << false
        << false << true << 2 << QStringList{};
    QTest::newRow("failing statement") << "INSERT INTO Nessuna VALUES (?)" << QVariantList{1}
                                       << false << false << false << 0 << seeded;
    // A write never joins a transaction someone else left open, whose fate it cannot know.
    QTest::newRow("another transaction open")
        << "INSERT INTO Soggetti (denominazione) VALUES (?)" << QVariantList{"GAMMA"} << true
        << false << false << 0 << seeded;
    // A ledger opened to be consulted (a report) refuses every write.
    QTest::newRow("ledger opened to consult")
        << "INSERT INTO Soggetti (denominazione, ordine) VALUES (?, ?)"
        << QVariantList{"GAMMA", "GAMMA"} << false << true << false << 0 << seeded;
}

void StoreTest::runInTransaction() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, values);
    QFETCH(bool, insideAnother);
    QFETCH(bool, consulted);
    QFETCH(bool, ok);
    QFETCH(int, rows);
    QFETCH(QStringList, namesAfter);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::addSubject("ALFA");
    TestDatabase::addSubject("BETA");
    if (consulted) {
        store::closeDatabase();
        QVERIFY(store::openDatabase(db.path(), store::Access::Consult).ok());
    }
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

void StoreTest::changeRecordOnlyGrows_data() {
    QTest::addColumn<QString>("sql");
    QTest::newRow("update") << "UPDATE Modifiche SET operatore = 'altri'";
    QTest::newRow("delete") << "DELETE FROM Modifiche";
    if (TestDatabase::onServer())
        QTest::newRow("truncate") << "TRUNCATE Modifiche";
}

// Whoever writes to the ledger, with this program or another tool, cannot rewrite its record.
void StoreTest::changeRecordOnlyGrows() {
    QFETCH(QString, sql);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::exec("INSERT INTO Modifiche (utc, locale, operatore, azione) "
                       "VALUES ('2026-01-02T03:04:05.000Z', '2026-01-02 04:04:05', 'rossi', "
                       "'inserimento')");
    const Result<QSqlQuery> refused = store::run(sql);
    QVERIFY(!refused.ok());
    QVERIFY2(refused.error().contains("si aggiungono soltanto righe"), qPrintable(refused.error()));
    Result<QSqlQuery> kept = store::run("SELECT operatore FROM Modifiche");
    QVERIFY(kept.ok() && kept.value.next());
    QCOMPARE(kept.value.value(0).toString(), QString("rossi"));
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
