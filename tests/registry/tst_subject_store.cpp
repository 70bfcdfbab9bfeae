#include "registry/subject_store.h"
#include "store/connection.h"
#include "store/name_order.h"
#include "support/test_database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <memory>

Q_DECLARE_METATYPE(registry::Subject)

namespace {

registry::Subject full() {
    registry::Subject s;
    s.name = "ROSSI MARIO";
    s.address = "VIA ROMA 1";
    s.town = "MILANO";
    s.postalCode = "20100";
    s.province = "MI";
    s.birthDate = QDate(1970, 3, 5);
    s.birthPlace = "PAVIA";
    s.birthProvince = "PV";
    s.taxCode = "RSSMRA70C05G388X";
    s.vatNumber = "01234567890";
    s.user = true;
    s.note = "NOTA";
    return s;
}

// The stored row in table order without its ID and version, NULL shown as "<null>".
QStringList stored(qint64 id) {
    Result<QSqlQuery> q = store::run("SELECT * FROM Soggetti WHERE ID = ?", {id});
    QStringList out;
    if (!q.ok() || !q.value.next())
        return out;
    const QSqlRecord record = q.value.record();
    for (int i = 1; i < record.count(); ++i) {
        if (record.fieldName(i) != "versione")
            out << (q.value.isNull(i) ? QString("<null>") : q.value.value(i).toString());
    }
    return out;
}

QStringList expectedRow(const registry::Subject& s) {
    return {s.name, s.address, s.town, s.postalCode, s.province,
            s.birthDate.isValid() ? s.birthDate.toString(Qt::ISODate) : QString("<null>"),
            s.birthPlace, s.birthProvince, s.taxCode, s.vatNumber, s.user ? "S" : "N", s.note,
            // The name's sort key, written with the name.
            store::nameKey(s.name), s.causale.trimmed().isEmpty() ? "A" : s.causale.trimmed(),
            s.otherSumsCode.trimmed().isEmpty() ? "22" : s.otherSumsCode.trimmed()};
}

int count(const QString& sql) {
    Result<QSqlQuery> q = store::run(sql);
    return q.ok() && q.value.next() ? q.value.value(0).toInt() : -1;
}

} // namespace

class SubjectStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void insertRoundTrip_data();
    void insertRoundTrip();
    void update_data();
    void update();
    void deleteKeepsWithholdings_data();
    void deleteKeepsWithholdings();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void parseSubjectId_data();
    void parseSubjectId();

private:
    std::unique_ptr<TestDatabase> db_;
    qint64 existing_ = 0;
};

void SubjectStoreTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    existing_ = TestDatabase::addSubject("BIANCHI SRL");
}

void SubjectStoreTest::cleanup() {
    db_.reset();
}

void SubjectStoreTest::insertRoundTrip_data() {
    QTest::addColumn<registry::Subject>("subject");
    QTest::newRow("every field") << full();
    registry::Subject noDate = full();
    noDate.birthDate = QDate();
    noDate.user = false;
    QTest::newRow("no birth date, not a user") << noDate;
    registry::Subject quotes = full();
    quotes.name = "L'ORTO D'ORO'; DELETE FROM Soggetti; --";
    quotes.note = "\"VIRGOLETTE\" E ?";
    QTest::newRow("quotes and SQL in the text") << quotes;
    registry::Subject accents;
    accents.name = "CITTÀ DI CANTÙ";
    accents.taxCode = "X";
    QTest::newRow("accents, empty fields") << accents;
    registry::Subject certificate = full();
    certificate.causale = "M";
    certificate.otherSumsCode = "24";
    QTest::newRow("causale and code of the certificate") << certificate;
    certificate.causale = "  ";
    certificate.otherSumsCode = " 21 ";
    QTest::newRow("blank causale takes the default, code trimmed") << certificate;
}

void SubjectStoreTest::insertRoundTrip() {
    QFETCH(registry::Subject, subject);
    const Result<qint64> id = registry::insertSubject(subject);
    QVERIFY2(id.ok(), qPrintable(id.error()));
    QVERIFY(id.value > existing_);
    QCOMPARE(stored(id.value), expectedRow(subject));
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 2);
}

void SubjectStoreTest::update_data() {
    QTest::addColumn<bool>("exists");
    QTest::newRow("existing subject") << true;
    QTest::newRow("subject no longer there") << false;
}

void SubjectStoreTest::update() {
    QFETCH(bool, exists);
    const qint64 other = TestDatabase::addSubject("ALTRO");
    const QStringList otherBefore = stored(other);
    const QStringList before = stored(existing_);
    const qint64 id = exists ? existing_ : other + 100;
    const Result<bool> updated = registry::updateSubject(id, full());
    QVERIFY2(updated.ok(), qPrintable(updated.error()));
    QCOMPARE(updated.value, exists);
    QCOMPARE(stored(existing_), exists ? expectedRow(full()) : before);
    QCOMPARE(stored(other), otherBefore);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 2);
}

void SubjectStoreTest::deleteKeepsWithholdings_data() {
    QTest::addColumn<bool>("exists");
    QTest::newRow("existing subject") << true;
    QTest::newRow("subject no longer there") << false;
}

void SubjectStoreTest::deleteKeepsWithholdings() {
    QFETCH(bool, exists);
    TestDatabase::exec("INSERT INTO Ritenute (ID_A, denominazione, utente) VALUES (?, ?, ?)",
                       {existing_, "BIANCHI SRL", QString::number(existing_)});
    const Result<bool> deleted = registry::deleteSubject(exists ? existing_ : existing_ + 100);
    QVERIFY2(deleted.ok(), qPrintable(deleted.error()));
    QCOMPARE(deleted.value, exists);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), exists ? 0 : 1);
    QCOMPARE(count("SELECT count(*) FROM Ritenute"), 1);
}

void SubjectStoreTest::failedWriteChangesNothing_data() {
    QTest::addColumn<QString>("operation");
    QTest::newRow("insert") << "insert";
    QTest::newRow("update") << "update";
    QTest::newRow("delete") << "delete";
}

void SubjectStoreTest::failedWriteChangesNothing() {
    QFETCH(QString, operation);
    const QStringList before = stored(existing_);
    TestDatabase::setReadOnly(true);
    Status status = Status::success();
    if (operation == "insert")
        status = registry::insertSubject(full()).status;
    else if (operation == "update")
        status = registry::updateSubject(existing_, full()).status;
    else
        status = registry::deleteSubject(existing_).status;
    QVERIFY(!status.ok());
    QVERIFY2(status.is(ErrorKind::ReadOnly), qPrintable(status.error()));
    TestDatabase::setReadOnly(false);
    QCOMPARE(stored(existing_), before);
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 1);
    // The failed transaction was closed: the next write goes through.
    const Result<qint64> next = registry::insertSubject(full());
    QVERIFY2(next.ok(), qPrintable(next.error()));
    QCOMPARE(count("SELECT count(*) FROM Soggetti"), 2);
}

void SubjectStoreTest::parseSubjectId_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("id"); // 0: no key
    QTest::newRow("digits") << "12" << qint64(12);
    QTest::newRow("blanks around") << " 7 " << qint64(7);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("zero") << "0" << qint64(0);
    QTest::newRow("negative") << "-3" << qint64(0);
    QTest::newRow("decimal") << "1,5" << qint64(0);
    QTest::newRow("a name") << "ROSSI" << qint64(0);
    QTest::newRow("SQL") << "1 OR 1=1" << qint64(0);
}

void SubjectStoreTest::parseSubjectId() {
    QFETCH(QString, text);
    QFETCH(qint64, id);
    const std::optional<qint64> parsed = registry::parseSubjectId(text);
    QCOMPARE(parsed.value_or(0), id);
}

QTEST_GUILESS_MAIN(SubjectStoreTest)
#include "tst_subject_store.moc"
