#include "store/connection.h"
#include "store/ledger_address.h"
#include "store/schema.h"
#include "support/test_database.h"
#include "support/test_server.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// The three roles of a shared ledger, created on the test server as the README's section on
// a shared office ledger creates them, each connecting as a login role of its own.
namespace {

const QString kPassword = QStringLiteral("velarco-test");

QString loginOf(const QString& role) {
    return QStringLiteral("%1_%2").arg(role).arg(QCoreApplication::applicationPid());
}

// The ledger's address for the login of `role`.
QString addressAs(const QString& ledger, const QString& role) {
    store::LedgerAddress address = store::parseLedgerAddress(ledger);
    address.user = loginOf(role);
    return address.display();
}

// The README's grants, given once the administrator has opened the ledger.
QStringList grants() {
    return {"GRANT SELECT ON ALL TABLES IN SCHEMA public TO velarco_lettore",
            "GRANT SELECT, INSERT, UPDATE, DELETE ON Soggetti, Ritenute, Anno, periodo, "
            "Tributo, Percentuale, TassoLegale, Proroghe, ScadenzaDichiarazione, Opzioni "
            "TO velarco_operatore",
            "GRANT SELECT, INSERT ON Modifiche TO velarco_operatore",
            "GRANT SELECT ON velarco_schema TO velarco_operatore",
            "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO velarco_operatore"};
}

QString single(const QString& sql) {
    Result<QSqlQuery> q = store::run(sql);
    return q.ok() && q.value.next() ? q.value.value(0).toString() : q.error();
}

} // namespace

class RolesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void rolesOpen_data();
    void rolesOpen();
    void olderLayoutWaitsForTheAdministrator();
    void readerCommandRefused();

private:
    // A database owned by the administrator, its tables made by the administrator's first
    // opening, then the grants; its address as the test server's own role.
    QString ledger_;
};

void RolesTest::initTestCase() {
    if (!TestDatabase::onServer())
        QSKIP("roles are a server's");
    QString error;
    QStringList statements;
    // Every test process shares the server: the roles are made once, by whoever comes first.
    for (const char* role : {"velarco_amministratore", "velarco_operatore", "velarco_lettore"})
        statements << QStringLiteral("DO $$ BEGIN CREATE ROLE %1; EXCEPTION WHEN "
                                     "duplicate_object OR unique_violation THEN NULL; END $$")
                          .arg(QLatin1String(role));
    for (const char* role : {"amministratore", "operatore", "lettore"})
        statements << QStringLiteral("DROP ROLE IF EXISTS %1").arg(loginOf(role))
                   << QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE velarco_%3")
                          .arg(loginOf(role), kPassword, QLatin1String(role));
    const QString name = QStringLiteral("velarco_roles_%1").arg(QCoreApplication::applicationPid());
    statements << "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)"
               << "CREATE DATABASE " + name + " OWNER velarco_amministratore";
    QVERIFY2(test_server::administer(statements, &error), qPrintable(error));
    ledger_ = test_server::url(name, &error);
    // The administrator's login acts as the role that owns the tables.
    QVERIFY2(test_server::administer(
                 {"ALTER ROLE " + loginOf("amministratore") + " SET role = velarco_amministratore"},
                 &error),
             qPrintable(error));
    const Status opened = store::openDatabase(addressAs(ledger_, "amministratore"));
    QVERIFY2(opened.ok(), qPrintable(opened.error()));
    for (const QString& sql : grants())
        TestDatabase::exec(sql);
    store::closeDatabase();
}

void RolesTest::cleanupTestCase() {
    store::closeDatabase();
    if (ledger_.isEmpty())
        return;
    QStringList statements = {"DROP DATABASE IF EXISTS " +
                              store::parseLedgerAddress(ledger_).database + " WITH (FORCE)"};
    for (const char* role : {"amministratore", "operatore", "lettore"})
        statements << "DROP ROLE IF EXISTS " + loginOf(role);
    test_server::administer(statements, nullptr);
}

void RolesTest::rolesOpen_data() {
    QTest::addColumn<QString>("role");
    QTest::addColumn<int>("cause");
    QTest::addColumn<bool>("writes");
    QTest::addColumn<bool>("changesLayout");
    QTest::newRow("administrator")
        << "amministratore" << int(store::ReadOnlyCause::None) << true << true;
    QTest::newRow("operator") << "operatore" << int(store::ReadOnlyCause::None) << true << false;
    QTest::newRow("reader") << "lettore" << int(store::ReadOnlyCause::ReaderRole) << false << false;
}

// Each role opens the ledger as far as its rights go, and the server holds it to them.
void RolesTest::rolesOpen() {
    QFETCH(QString, role);
    QFETCH(int, cause);
    QFETCH(bool, writes);
    QFETCH(bool, changesLayout);
    const Status opened = store::openDatabase(addressAs(ledger_, role));
    QVERIFY2(opened.ok(), qPrintable(opened.error()));
    QCOMPARE(int(store::readOnlyCause()), cause);
    const Status refused = store::writesRefused();
    QCOMPARE(refused.ok(), writes);
    if (!writes) {
        QVERIFY(refused.is(ErrorKind::ReadOnly));
        QVERIFY2(refused.error().contains("può soltanto consultare l'archivio"),
                 qPrintable(refused.error()));
        // Nothing is attempted by the program; the server would refuse it anyway.
        QVERIFY(!store::run("INSERT INTO Anno (Anno) VALUES ('2050')").ok());
        QCOMPARE(single("SELECT count(*) FROM Ritenute"), QString("0"));
    } else {
        const qint64 id = TestDatabase::addSubject("SOGGETTO DI " + role.toUpper());
        QVERIFY(id > 0);
        // The record names the login that wrote.
        QCOMPARE(single("SELECT operatore FROM Modifiche WHERE chiave = " + QString::number(id) +
                        " AND tabella = 'Soggetti'"),
                 loginOf(role));
        QVERIFY(!store::run("UPDATE Modifiche SET operatore = 'altri'").ok());
        QVERIFY(!store::run("DELETE FROM Modifiche").ok());
    }
    QCOMPARE(store::run("CREATE INDEX prova_ruoli ON Soggetti (note)").ok(), changesLayout);
    if (changesLayout)
        TestDatabase::exec("DROP INDEX prova_ruoli");
    store::closeDatabase();
}

// A layout the operator's role may not upgrade: read only until the administrator opens it.
void RolesTest::olderLayoutWaitsForTheAdministrator() {
    // The layout before the record of changes, as the previous version left it.
    TestDatabase::rewind(addressAs(ledger_, "amministratore"), 9,
                         {"DROP TABLE Modifiche", "DROP FUNCTION velarco_modifiche_immutabili()"});
    for (const char* role : {"operatore", "lettore"}) {
        const Status opened = store::openDatabase(addressAs(ledger_, QLatin1String(role)));
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        QCOMPARE(store::readOnlyCause(), store::ReadOnlyCause::OlderLayout);
        QVERIFY2(store::writesRefused().error().contains("L'amministratore"),
                 qPrintable(store::writesRefused().error()));
        QCOMPARE(single("SELECT max(version) FROM velarco_schema"), QString("9"));
        store::closeDatabase();
    }
    const Status upgraded = store::openDatabase(addressAs(ledger_, "amministratore"));
    QVERIFY2(upgraded.ok(), qPrintable(upgraded.error()));
    QCOMPARE(store::readOnlyCause(), store::ReadOnlyCause::None);
    QCOMPARE(single("SELECT max(version) FROM velarco_schema"),
             QString::number(store::schema::kCurrentVersion));
    for (const QString& sql : grants())
        TestDatabase::exec(sql);
    store::closeDatabase();
    QVERIFY(store::openDatabase(addressAs(ledger_, "operatore")).ok());
    QCOMPARE(store::readOnlyCause(), store::ReadOnlyCause::None);
    store::closeDatabase();
}

// A writing command of the command line, run by a reader: refused at once, in Italian.
void RolesTest::readerCommandRefused() {
    QTemporaryDir dir;
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco"),
                  {"--database", addressAs(ledger_, "lettore"), "--import-fatture", dir.path()});
    QVERIFY(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), 8);
    QVERIFY2(err.contains("Questo operatore può soltanto consultare l'archivio"), qPrintable(err));
}

QTEST_GUILESS_MAIN(RolesTest)
#include "tst_roles.moc"
