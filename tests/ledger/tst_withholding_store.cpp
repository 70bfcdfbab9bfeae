#include "ledger/withholding_columns.h"
#include "ledger/withholding_store.h"
#include "registry/subject_store.h"
#include "store/connection.h"
#include "support/test_database.h"
#include "values/amount.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

Q_DECLARE_METATYPE(WithholdingRecord)

using namespace ledger;

namespace {

// Every column written, as a paid invoice remitted late.
WithholdingRecord complete() {
    WithholdingRecord r;
    r.subjectId = Nullable<qint64>(7);
    r.name = QString("D'ANNUNZIO; DROP TABLE Ritenute --");
    r.invoiceNumber = QString("12/A");
    r.invoiceDate = Nullable<QString>("2011-02-15");
    r.taxable = 123456;
    r.rate = 2000;
    r.withheld = 24691;
    r.other = 1050;
    r.total = 149197;
    r.paid = QString("S");
    r.paymentDate = Nullable<QString>("2011-03-10");
    r.period = QString("3");
    r.remittanceDate = Nullable<QString>("2011-05-20");
    r.lateRegularisation = QString("S");
    r.remitted = 24856;
    r.interest = 110;
    r.penalty = 55;
    r.taxCode = QString("1040");
    r.year = QString("2011");
    r.user = QString("3");
    r.dueDate = Nullable<QString>("2011-04-16");
    return r;
}

// What a row holds for the columns an insert leaves out.
WithholdingRecord defaults() {
    WithholdingRecord r;
    r.subjectId = Nullable<qint64>();
    r.name = QString();
    r.invoiceNumber = QString();
    r.invoiceDate = Nullable<QString>();
    r.taxable = r.rate = r.withheld = r.other = r.total = 0;
    r.paid = QString("N");
    r.paymentDate = Nullable<QString>();
    r.period = QString();
    r.remittanceDate = Nullable<QString>();
    r.lateRegularisation = QString("N");
    r.remitted = r.interest = r.penalty = 0;
    r.taxCode = QString();
    r.year = QString();
    r.user = QString();
    r.dueDate = Nullable<QString>();
    return r;
}

// The stored row; its version is left out, the tests of versions read it themselves.
WithholdingRecord stored(qint64 id) {
    const Result<std::optional<WithholdingRecord>> r = fetchWithholding(id);
    if (!r.ok() || !r.value)
        return {};
    WithholdingRecord record = *r.value;
    record.version = 0;
    return record;
}

int rowCount() {
    Result<QSqlQuery> q = store::run("SELECT count(*) FROM Ritenute");
    return q.ok() && q.value.next() ? q.value.value(0).toInt() : -1;
}

void setReadOnly(bool on) {
    TestDatabase::setReadOnly(on);
}

} // namespace

class WithholdingStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insertRoundTrip();
    void insertLeavesUnwrittenColumnsAtDefault();
    void update_data();
    void update();
    void deleteRemovesOnlyItsRow();
    void failures_data();
    void failures();
    void fetchMissingRow();
    void batchIsAllOrNothing();
    void declaredColumnsFollowStoredLayout_data();
    void declaredColumnsFollowStoredLayout();
};

void WithholdingStoreTest::insertRoundTrip() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    WithholdingRecord record = complete();
    record.taxable = Amount::kMaxCents;
    const Result<qint64> inserted = insertWithholding(record);
    QVERIFY2(inserted.ok(), qPrintable(inserted.error()));
    QVERIFY(inserted.value > 0);
    record.id = inserted.value;
    QCOMPARE(stored(inserted.value), record);

    // The year and the user are text, so the ledger's quoted comparisons find the row.
    Result<QSqlQuery> q =
        store::run("SELECT count(*) FROM Ritenute WHERE anno = ? AND utente = ?", {"2011", "3"});
    QVERIFY(q.ok() && q.value.next());
    QCOMPARE(q.value.value(0).toInt(), 1);
}

void WithholdingStoreTest::insertLeavesUnwrittenColumnsAtDefault() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const Result<qint64> empty = insertWithholding(WithholdingRecord());
    QVERIFY2(empty.ok(), qPrintable(empty.error()));
    WithholdingRecord expected = defaults();
    expected.id = empty.value;
    QCOMPARE(stored(empty.value), expected);

    // Columns not written among written ones keep their defaults too.
    WithholdingRecord partial = complete();
    partial.remitted.reset();
    partial.remittanceDate.reset();
    partial.paid.reset();
    const Result<qint64> id = insertWithholding(partial);
    QVERIFY2(id.ok(), qPrintable(id.error()));
    const WithholdingRecord row = stored(id.value);
    QCOMPARE(row.remitted, Written<qint64>(0));
    QCOMPARE(row.remittanceDate, Written<Nullable<QString>>(Nullable<QString>()));
    QCOMPARE(row.paid, Written<QString>("N"));
    QCOMPARE(row.taxable, Written<qint64>(123456));
}

void WithholdingStoreTest::update_data() {
    QTest::addColumn<WithholdingRecord>("change");
    QTest::addColumn<WithholdingRecord>("after");

    WithholdingRecord rewrite = complete();
    rewrite.name = QString("VERDI");
    rewrite.withheld = 24692;
    rewrite.year = QString("2012");
    rewrite.user = QString("4");
    QTest::newRow("rewrites every written column") << rewrite << rewrite;

    WithholdingRecord cleared = complete();
    cleared.remittanceDate = Nullable<QString>();
    cleared.remitted = 0;
    cleared.subjectId = Nullable<qint64>();
    QTest::newRow("writes NULL and zero") << cleared << cleared;

    WithholdingRecord some;
    some.interest = 999;
    some.paymentDate = Nullable<QString>("2011-03-11");
    WithholdingRecord kept = complete();
    kept.interest = 999;
    kept.paymentDate = Nullable<QString>("2011-03-11");
    QTest::newRow("keeps what is not written") << some << kept;

    QTest::newRow("nothing written") << WithholdingRecord() << complete();
}

void WithholdingStoreTest::update() {
    QFETCH(WithholdingRecord, change);
    QFETCH(WithholdingRecord, after);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 other = insertWithholding(complete()).value;
    const qint64 id = insertWithholding(complete()).value;
    QVERIFY(other > 0 && id > 0);

    const Status s = updateWithholding(id, change);
    QVERIFY2(s.ok(), qPrintable(s.error()));
    after.id = id;
    QCOMPARE(stored(id), after);
    WithholdingRecord untouched = complete();
    untouched.id = other;
    QCOMPARE(stored(other), untouched);
}

void WithholdingStoreTest::deleteRemovesOnlyItsRow() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 keep = insertWithholding(complete()).value;
    const qint64 drop = insertWithholding(complete()).value;
    const Status s = deleteWithholding(drop);
    QVERIFY2(s.ok(), qPrintable(s.error()));
    QCOMPARE(rowCount(), 1);
    QVERIFY(fetchWithholding(keep).value.has_value());
    QVERIFY(!fetchWithholding(drop).value.has_value());
}

void WithholdingStoreTest::failures_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("rowDeleted");
    QTest::newRow("update a row deleted meanwhile") << "update" << false << true;
    QTest::newRow("delete a row deleted meanwhile") << "delete" << false << true;
    QTest::newRow("insert into a read-only database") << "insert" << true << false;
    QTest::newRow("update in a read-only database") << "update" << true << false;
    QTest::newRow("delete in a read-only database") << "delete" << true << false;
}

void WithholdingStoreTest::failures() {
    QFETCH(QString, operation);
    QFETCH(bool, readOnly);
    QFETCH(bool, rowDeleted);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 id = insertWithholding(complete()).value;
    QVERIFY(id > 0);
    if (rowDeleted)
        TestDatabase::exec("DELETE FROM Ritenute WHERE ID = ?", {id});
    const int rowsBefore = rowCount();
    if (readOnly)
        setReadOnly(true);

    WithholdingRecord change = complete();
    change.taxable = 1;
    Status s = Status::success();
    if (operation == "insert")
        s = insertWithholding(change).status;
    else if (operation == "update")
        s = updateWithholding(id, change);
    else
        s = deleteWithholding(id);
    setReadOnly(false);

    QVERIFY(!s.ok());
    QVERIFY(!s.error().isEmpty());
    QCOMPARE(s.kind(), rowDeleted ? ErrorKind::NotFound : ErrorKind::ReadOnly);
    QCOMPARE(rowCount(), rowsBefore);
    if (!rowDeleted) {
        WithholdingRecord same = complete();
        same.id = id;
        QCOMPARE(stored(id), same);
    }
    // The connection is usable again: no transaction was left open.
    QVERIFY2(insertWithholding(complete()).ok(), "a write after the failure");
}

void WithholdingStoreTest::fetchMissingRow() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const Result<std::optional<WithholdingRecord>> r = fetchWithholding(42);
    QVERIFY(r.ok());
    QVERIFY(!r.value.has_value());
}

void WithholdingStoreTest::batchIsAllOrNothing() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    WithholdingRecord partial;
    partial.name = QStringLiteral("SOLO NOME");
    QVERIFY(insertWithholdings({complete(), partial, complete()}).ok());
    QCOMPARE(rowCount(), 3);
    // A row the database refuses takes the whole batch with it.
    WithholdingRecord refused = complete();
    if (TestDatabase::onServer()) {
        TestDatabase::exec(QStringLiteral(
            "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "IF NEW.FT = 'NO' THEN RAISE EXCEPTION 'rifiutata'; END IF; RETURN NEW; END $$"));
        TestDatabase::exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Ritenute "
                                          "FOR EACH ROW EXECUTE FUNCTION refuse()"));
    } else {
        TestDatabase::exec(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Ritenute "
                           "WHEN NEW.FT = 'NO' BEGIN SELECT RAISE(ABORT, 'rifiutata'); END"));
    }
    refused.invoiceNumber = QStringLiteral("NO");
    const Status s = insertWithholdings({complete(), refused});
    QVERIFY(!s.ok());
    QVERIFY2(s.error().contains(QStringLiteral("rifiutata")), qPrintable(s.error()));
    QCOMPARE(rowCount(), 3);
}

void WithholdingStoreTest::declaredColumnsFollowStoredLayout_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("declared"); // every column but the name's sort key
    QTest::newRow("Ritenute") << "Ritenute" << withholdingColumnList();
    QTest::newRow("Soggetti") << "Soggetti" << registry::subjectGridQuery().columns;
}

// The statements built from a table's declaration name its columns in the order a
// new ledger stores them, on either engine.
void WithholdingStoreTest::declaredColumnsFollowStoredLayout() {
    QFETCH(QString, table);
    QFETCH(QString, declared);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const Result<QSqlQuery> q =
        store::run(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table));
    QVERIFY2(q.ok(), qPrintable(q.error()));
    QStringList stored;
    const QSqlRecord record = q.value.record();
    for (int c = 0; c < record.count(); ++c) {
        if (record.fieldName(c).compare(QStringLiteral("ordine"), Qt::CaseInsensitive) != 0)
            stored.append(record.fieldName(c));
    }
    QCOMPARE(stored.join(QStringLiteral(", ")).toLower(), declared.toLower());
}

QTEST_MAIN(WithholdingStoreTest)
#include "tst_withholding_store.moc"
