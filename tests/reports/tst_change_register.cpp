#include "reports/change_register.h"
#include "store/change_log.h"
#include "support/change_records.h"
#include "support/test_database.h"
#include "widgets/keyed_query_model.h"

#include <QTest>

// What a change did to a row, as the lists of changes show it, and which changes the
// register selects.
class ChangeRegisterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void changedFields_data();
    void changedFields();
    void selects_data();
    void selects();
    void rowChanges();

private:
    std::unique_ptr<TestDatabase> db_;
};

namespace {

// Four changes of March 2026; the tests run in Rome's time (UTC+1 then).
void addFixture() {
    change_records::addInsertionAndCorrection();
    // Past midnight in Rome: a change of 3 March.
    change_records::add({"2026-03-02T23:30:00.000Z",
                         "2026-03-03 00:30:00",
                         "rossi",
                         "cancellazione",
                         "Soggetti",
                         5,
                         {},
                         R"({"id":5,"denominazione":"ALFA SPA","datanascita":null})",
                         {}});
    change_records::add({"2026-03-10T08:00:00.000Z",
                         "2026-03-10 09:00:00",
                         "ROSSI",
                         "tabelle",
                         "Tributo",
                         4,
                         {},
                         R"({"id":4,"codice":"1040","descrizione":"a"})",
                         R"({"id":4,"codice":"1040","descrizione":"b"})"});
}

} // namespace

void ChangeRegisterTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    addFixture();
}

void ChangeRegisterTest::cleanup() {
    db_.reset();
}

void ChangeRegisterTest::changedFields_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("shown");

    QTest::newRow("record corrected: grid formats and order, no version nor sort key")
        << "Ritenute"
        << R"({"id":7,"data":"2026-03-01","imponibile":100000,"ritenuta":20000,"aliquota":2000,"versione":1,"ordine":"a"})"
        << R"({"id":7,"data":"2026-03-05","imponibile":120000,"ritenuta":24000,"aliquota":2000,"versione":2,"ordine":"b"})"
        << "data 01/03/2026 → 05/03/2026; imponibile 1.000,00 → 1.200,00; "
           "ritenuta 200,00 → 240,00";
    QTest::newRow("record inserted: the values it has, captions as the grid's")
        << "Ritenute"
        << ""
        << R"({"id":7,"id_a":3,"ft":"12/A","aliquota":400,"pag":"N","datap":null,"versione":1})"
        << "ID_A 3; FT 12/A; aliquota 4; pag N";
    QTest::newRow("upper-case keys and a whole amount written as a fraction")
        << "Ritenute"
        << R"({"ID":7,"IMPONIBILE":100000,"FT":"1"})"
        << R"({"id":7,"imponibile":100000.0,"ft":"2"})"
        << "FT 1 → 2";
    QTest::newRow("a value emptied and one filled; a null and an empty text alike")
        << "Ritenute"
        << R"({"id":7,"periodo":"3","versamento":null,"datap":null,"note":""})"
        << R"({"id":7,"periodo":null,"versamento":"2026-04-16","datap":"","note":null})"
        << "periodo 3 → (vuoto); versamento (vuoto) → 16/04/2026";
    QTest::newRow("only the version changed: nothing to show")
        << "Ritenute"
        << R"({"id":7,"ft":"1","versione":1})"
        << R"({"id":7,"ft":"1","versione":2})"
        << "";
    QTest::newRow("subject deleted: its values, birth date as the grid shows it")
        << "Soggetti"
        << R"({"id":5,"denominazione":"ALFA SPA","datanascita":"1970-05-02","utente":"N","ordine":"x","versione":3})"
        << ""
        << "denominazione ALFA SPA; datanascita 02/05/1970; utente N";
    QTest::newRow("lookup table: every column as stored but the key")
        << "Tributo"
        << R"({"id":4,"codice":"1040","descrizione":"a"})"
        << R"({"id":4,"codice":"1040","descrizione":"b"})"
        << "descrizione a → b";
    QTest::newRow("an unreadable side counts as no row") << "Tributo"
                                                         << "{not json"
                                                         << R"({"id":4,"codice":"1040"})"
                                                         << "codice 1040";
}

void ChangeRegisterTest::changedFields() {
    QFETCH(QString, table);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, shown);
    QCOMPARE(field_changes::changesText(before, after, change_register::fieldsOf(table)), shown);
}

void ChangeRegisterTest::selects_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("actions"); // of the changes listed, in order

    const QDate first(2026, 3, 1);
    const QDate last(2026, 3, 31);
    QTest::newRow("two days, by local day") << first << QDate(2026, 3, 2) << ""
                                            << ""
                                            << "" << QStringList{"inserimento", "correzione"};
    QTest::newRow("the day after midnight in Rome") << QDate(2026, 3, 3) << QDate(2026, 3, 3) << ""
                                                    << ""
                                                    << "" << QStringList{"cancellazione"};
    QTest::newRow("an operator, letter case aside")
        << first << last << "Rossi"
        << ""
        << "" << QStringList{"inserimento", "cancellazione", "tabelle"};
    QTest::newRow("an action") << first << last << ""
                               << "correzione"
                               << "" << QStringList{"correzione"};
    QTest::newRow("a user's records") << first << last << ""
                                      << ""
                                      << "3" << QStringList{"inserimento", "correzione"};
    QTest::newRow("all filters at once, none left") << first << last << "bianchi"
                                                    << "inserimento"
                                                    << "3" << QStringList();
    QTest::newRow("no change in the range") << QDate(2026, 4, 1) << QDate(2026, 4, 30) << ""
                                            << ""
                                            << "" << QStringList();
}

void ChangeRegisterTest::selects() {
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, operatorName);
    QFETCH(QString, action);
    QFETCH(QString, user);
    QFETCH(QStringList, actions);
    KeyedQueryModel model;
    QVERIFY2(model.load(change_register::query({from, to, operatorName, action, user})).ok(),
             "the register's query failed");
    QCOMPARE(model.columnCount(), int(change_register::columns().size()));
    QStringList listed;
    for (int row = 0; row < model.rowCount(); ++row)
        listed.append(model.value(row, 3).toString());
    QCOMPARE(listed, actions);
    for (int c = 0; c < model.columnCount(); ++c)
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(),
                 change_register::columns().at(c).caption);
}

void ChangeRegisterTest::rowChanges() {
    const Result<QList<store::ChangeEntry>> changes =
        store::rowChanges(QStringLiteral("Ritenute"), 1);
    QVERIFY2(changes.ok(), qPrintable(changes.error()));
    QCOMPARE(changes.value.size(), 2);
    QCOMPARE(changes.value.at(0).action, QStringLiteral("inserimento"));
    QVERIFY(changes.value.at(0).before.isEmpty());
    QCOMPARE(changes.value.at(1).operatorName, QStringLiteral("bianchi"));
    QCOMPARE(changes.value.at(1).when, QStringLiteral("2026-03-02 11:00:00"));
    QVERIFY(changes.value.at(1).after.contains(QStringLiteral("120000")));
}

QTEST_GUILESS_MAIN(ChangeRegisterTest)
#include "tst_change_register.moc"
