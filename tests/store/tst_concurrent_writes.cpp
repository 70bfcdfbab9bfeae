#include "ledger/withholding_store.h"
#include "registry/subject_store.h"
#include "store/connection.h"
#include "support/test_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

// Two operators on one ledger, each with a connection of their own: a correction or a
// deletion never overwrites what the other wrote after it was loaded.
class ConcurrentWritesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writeChecksTheLoadedVersion_data();
    void writeChecksTheLoadedVersion();
};

namespace {

qint64 versionOf(const QString& table, qint64 id) {
    Result<QSqlQuery> q = store::run("SELECT versione FROM " + table + " WHERE ID = ?", {id});
    return q.ok() && q.value.next() ? q.value.value(0).toLongLong() : -1;
}

QString noteOf(const QString& table, qint64 id) {
    const QString column = table == "Ritenute" ? "FT" : "note";
    Result<QSqlQuery> q = store::run("SELECT " + column + " FROM " + table + " WHERE ID = ?", {id});
    return q.ok() && q.value.next() ? q.value.value(0).toString() : QString("<none>");
}

} // namespace

void ConcurrentWritesTest::writeChecksTheLoadedVersion_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("write");    // "correct" or "delete", by this operator
    QTest::addColumn<QString>("meantime"); // what the other operator did after the load
    QTest::addColumn<QString>("outcome");  // "done", "conflict" or "missing"
    for (const char* table : {"Ritenute", "Soggetti"}) {
        const QString t = QLatin1String(table);
        QTest::addRow("%s, correct, untouched", table) << t << "correct"
                                                       << "nothing"
                                                       << "done";
        QTest::addRow("%s, delete, untouched", table) << t << "delete"
                                                      << "nothing"
                                                      << "done";
        QTest::addRow("%s, correct, corrected meanwhile", table) << t << "correct"
                                                                 << "correct"
                                                                 << "conflict";
        QTest::addRow("%s, delete, corrected meanwhile", table) << t << "delete"
                                                                << "correct"
                                                                << "conflict";
        QTest::addRow("%s, correct, deleted meanwhile", table) << t << "correct"
                                                               << "delete"
                                                               << "missing";
    }
}

void ConcurrentWritesTest::writeChecksTheLoadedVersion() {
    QFETCH(QString, table);
    QFETCH(QString, write);
    QFETCH(QString, meantime);
    QFETCH(QString, outcome);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const qint64 subject = TestDatabase::addSubject("ROSSI", true);
    WithholdingRecord record;
    record.name = QStringLiteral("ROSSI");
    record.invoiceNumber = QStringLiteral("1");
    const Result<qint64> inserted = ledger::insertWithholding(record);
    QVERIFY(inserted.ok());
    const bool records = table == "Ritenute";
    const qint64 id = records ? inserted.value : subject;
    const qint64 loaded = versionOf(table, id);
    QCOMPARE(loaded, qint64(0));

    QSqlDatabase other = db.secondConnection();
    QVERIFY2(other.isOpen(), qPrintable(other.lastError().text()));
    QSqlQuery theirs(other);
    if (meantime == "correct") {
        const QString column = records ? "FT" : "note";
        QVERIFY(theirs.prepare("UPDATE " + table + " SET " + column +
                               " = 'LORO', versione = versione + 1 WHERE ID = ?"));
        theirs.addBindValue(id);
        QVERIFY2(theirs.exec(), qPrintable(theirs.lastError().text()));
    } else if (meantime == "delete") {
        QVERIFY(theirs.prepare("DELETE FROM " + table + " WHERE ID = ?"));
        theirs.addBindValue(id);
        QVERIFY2(theirs.exec(), qPrintable(theirs.lastError().text()));
    }
    const QString theirNote = noteOf(table, id);

    Status status = Status::success();
    if (records) {
        record.invoiceNumber = QStringLiteral("MIO");
        status = write == "correct" ? ledger::updateWithholding(id, record, loaded)
                                    : ledger::deleteWithholding(id, loaded);
    } else {
        registry::Subject mine;
        mine.name = QStringLiteral("ROSSI");
        mine.note = QStringLiteral("MIO");
        const Result<bool> done = write == "correct" ? registry::updateSubject(id, mine, loaded)
                                                     : registry::deleteSubject(id, loaded);
        status = done.ok() && !done.value ? Status::failure("missing") : done.status;
    }

    if (outcome == "done") {
        QVERIFY2(status.ok(), qPrintable(status.error()));
        QCOMPARE(noteOf(table, id), write == "correct" ? QString("MIO") : QString("<none>"));
        if (write == "correct")
            QCOMPARE(versionOf(table, id), loaded + 1);
        return;
    }
    QVERIFY(!status.ok());
    QCOMPARE(status.is(ErrorKind::ChangedMeanwhile), outcome == "conflict");
    // What the other operator left stands.
    QCOMPARE(noteOf(table, id), theirNote);
}

QTEST_GUILESS_MAIN(ConcurrentWritesTest)
#include "tst_concurrent_writes.moc"
