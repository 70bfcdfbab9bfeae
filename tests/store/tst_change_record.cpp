#include "store/change_record.h"
#include "store/connection.h"
#include "store/ledger_address.h"
#include "store/transaction.h"
#include "support/test_database.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSysInfo>
#include <QTest>
#include <optional>

// The record of changes as the triggers write it, on both engines.
namespace {

struct Entry {
    QString action;
    QString table;
    QVariant key;
    QVariant user;
    QJsonObject before;
    QJsonObject after;
};

QList<Entry> entries() {
    QList<Entry> read;
    Result<QSqlQuery> q = store::run("SELECT azione, tabella, chiave, utente, prima, dopo, utc, "
                                     "locale, operatore, computer FROM Modifiche ORDER BY ID");
    if (!q.ok())
        qWarning("%s", qPrintable(q.error()));
    static const QRegularExpression utc("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$");
    static const QRegularExpression local("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");
    while (q.value.next()) {
        const auto object = [&](int column) {
            return QJsonDocument::fromJson(q.value.value(column).toString().toUtf8()).object();
        };
        // Every entry says when and who, from where.
        if (!utc.match(q.value.value(6).toString()).hasMatch() ||
            !local.match(q.value.value(7).toString()).hasMatch() ||
            q.value.value(8).toString().isEmpty() ||
            q.value.value(9).toString() != QSysInfo::machineHostName())
            return {};
        read.append({q.value.value(0).toString(), q.value.value(1).toString(), q.value.value(2),
                     q.value.value(3), object(4), object(5)});
    }
    return read;
}

// The keys a row's JSON has: every column of `table`, in lower case.
QStringList columnKeys(const QString& table) {
    Result<QSqlQuery> q = store::run("SELECT * FROM " + table + " WHERE 1 = 0");
    QStringList keys;
    for (int i = 0; i < q.value.record().count(); ++i)
        keys.append(q.value.record().fieldName(i).toLower());
    keys.sort();
    return keys;
}

} // namespace

class ChangeRecordTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writesRecorded_data();
    void writesRecorded();
    void operatorNamed();
};

void ChangeRecordTest::writesRecorded_data() {
    QTest::addColumn<QStringList>("statements"); // after a record 1 of user 7 and subject 1
    QTest::addColumn<int>("scope");              // a store::Azione set around them, or -1
    QTest::addColumn<QStringList>("expected");   // "azione tabella chiave utente", the last's
    QTest::addColumn<QString>("changed");        // a column the last entry shows before/after
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const QString none;
    QTest::newRow("record entered")
        << QStringList{} << -1
        << QStringList{"inserimento Soggetti 1 -", "inserimento Ritenute 1 7"} << "imponibile"
        << none << "100000";
    QTest::newRow("record corrected")
        << QStringList{"UPDATE Ritenute SET imponibile = 250000, data = '2024-04-02' WHERE ID = 1"}
        << -1 << QStringList{"correzione Ritenute 1 7"} << "imponibile"
        << "100000"
        << "250000";
    QTest::newRow("date corrected")
        << QStringList{"UPDATE Ritenute SET data = '2024-04-02' WHERE ID = 1"} << -1
        << QStringList{"correzione Ritenute 1 7"} << "data"
        << "2024-03-01"
        << "2024-04-02";
    QTest::newRow("record moved to another user")
        << QStringList{"UPDATE Ritenute SET utente = '8' WHERE ID = 1"} << -1
        << QStringList{"correzione Ritenute 1 8"} << "utente"
        << "7"
        << "8";
    QTest::newRow("nothing changed") << QStringList{"UPDATE Ritenute SET anno = anno"} << -1
                                     << QStringList{} << none << none << none;
    QTest::newRow("record deleted") << QStringList{"DELETE FROM Ritenute WHERE ID = 1"} << -1
                                    << QStringList{"cancellazione Ritenute 1 7"} << "ft"
                                    << "12/A" << none;
    QTest::newRow("subject corrected")
        << QStringList{"UPDATE Soggetti SET note = 'nuova' WHERE ID = 1"} << -1
        << QStringList{"correzione Soggetti 1 -"} << "note" << none << "nuova";
    QTest::newRow("subject deleted") << QStringList{"DELETE FROM Soggetti WHERE ID = 1"} << -1
                                     << QStringList{"cancellazione Soggetti 1 -"} << "denominazione"
                                     << "ROSSI MARIO" << none;
    QTest::newRow("lookup table") << QStringList{"INSERT INTO Anno (Anno) VALUES ('2040')"} << -1
                                  << QStringList{"tabelle Anno 8 -"} << "anno" << none << "2040";
    QTest::newRow("options, keyed by name")
        << QStringList{"INSERT INTO Opzioni (chiave, valore) VALUES ('prova', 'S')"} << -1
        << QStringList{"tabelle Opzioni - -"} << "valore" << none << "S";
    QTest::newRow("the work's action")
        << QStringList{"DELETE FROM Ritenute WHERE anno = '2024'",
                       "INSERT INTO Anno (Anno) VALUES ('2041')"}
        << int(store::Azione::CancellazioneAnno)
        << QStringList{"cancellazione anno Ritenute 1 7", "cancellazione anno Anno 8 -"} << "anno"
        << none << "2041";
    QTest::newRow("upkeep not recorded")
        << QStringList{"UPDATE Soggetti SET ordine = 'X'",
                       "INSERT INTO Anno (Anno) VALUES ('2042')"}
        << int(store::Azione::Manutenzione) << QStringList{} << none << none << none;
    // A write that fails leaves no entry: the record is part of the write.
    QTest::newRow("failed write") << QStringList{"INSERT INTO Anno (Anno) VALUES ('2043')",
                                                 "INSERT INTO Anno (Anno) VALUES ('2043')"}
                                  << -1 << QStringList{} << none << none << none;
}

void ChangeRecordTest::writesRecorded() {
    QFETCH(QStringList, statements);
    QFETCH(int, scope);
    QFETCH(QStringList, expected);
    QFETCH(QString, changed);
    QFETCH(QString, before);
    QFETCH(QString, after);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::addSubject("ROSSI MARIO");
    TestDatabase::exec("INSERT INTO Ritenute (utente, anno, FT, data, imponibile) "
                       "VALUES ('7', '2024', '12/A', '2024-03-01', 100000)");
    const int earlier = statements.isEmpty() ? 0 : int(entries().size());
    QCOMPARE(earlier, statements.isEmpty() ? 0 : 2);
    {
        std::optional<store::RecordedAs> recorded;
        if (scope >= 0)
            recorded.emplace(store::connection(), store::Azione(scope));
        Transaction tx(store::connection());
        bool ok = true;
        for (const QString& sql : statements)
            ok = ok && store::run(sql).ok();
        if (ok)
            QVERIFY(tx.commit().ok());
    }
    const QList<Entry> all = entries();
    QVERIFY(!all.isEmpty());
    const QList<Entry> added = all.mid(earlier);
    QStringList described;
    for (const Entry& e : added)
        described << QStringLiteral("%1 %2 %3 %4")
                         .arg(e.action, e.table,
                              e.key.isNull() ? QStringLiteral("-") : e.key.toString(),
                              e.user.isNull() ? QStringLiteral("-") : e.user.toString());
    QCOMPARE(described, expected);
    if (added.isEmpty())
        return;
    const Entry& last = added.last();
    const auto shown = [&](const QJsonObject& row) {
        return row.value(changed).isUndefined() || row.value(changed).isNull()
                   ? QString()
                   : row.value(changed).toVariant().toString();
    };
    QCOMPARE(shown(last.before), before);
    QCOMPARE(shown(last.after), after);
    // Every column of the row, as the table has it, on either side the row exists.
    for (const QJsonObject& row : {last.before, last.after}) {
        if (!row.isEmpty())
            QCOMPARE(row.keys(), columnKeys(last.table));
    }
    if (last.table == "Ritenute")
        QVERIFY((last.after.isEmpty() ? last.before : last.after).value("imponibile").isDouble());
}

// On a server the record names the session's role; on a file the desk's login.
void ChangeRecordTest::operatorNamed() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    TestDatabase::addSubject("BIANCHI");
    Result<QSqlQuery> q = store::run("SELECT operatore FROM Modifiche");
    QVERIFY(q.ok() && q.value.next());
    const QString expected = TestDatabase::onServer()
                                 ? store::parseLedgerAddress(db.path()).user
                                 : qEnvironmentVariable("USER", q.value.value(0).toString());
    QCOMPARE(q.value.value(0).toString(), expected);
}

QTEST_GUILESS_MAIN(ChangeRecordTest)
#include "tst_change_record.moc"
