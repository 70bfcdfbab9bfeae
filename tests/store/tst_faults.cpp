#include "ledger/withholding_store.h"
#include "store/archive.h"
#include "store/connection.h"
#include "support/private_mounts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <sys/mount.h>

// Faults a ledger must survive: the program killed while it saves, the disk filling up.
namespace {

const char* const kWriterVariable = "VELARCO_CRASH_WRITER";
const char* const kFirstVariable = "VELARCO_CRASH_FIRST";

// The record number `n` stands for: every column follows from it, so any row read back
// can be checked to the cent.
WithholdingRecord recordNumber(qint64 n) {
    WithholdingRecord r;
    r.name = QStringLiteral("SOGGETTO %1").arg(n % 977);
    r.invoiceNumber = QString::number(n);
    r.invoiceDate =
        Nullable<QString>(QDate(2024, 1, 1).addDays(int(n % 366)).toString(Qt::ISODate));
    r.taxable = n * 100 + 7;
    r.rate = 2000;
    r.withheld = (n * 100 + 7) / 5;
    r.paid = QStringLiteral("S");
    r.year = QStringLiteral("2024");
    r.user = QStringLiteral("1");
    return r;
}

struct StoredRow {
    qint64 id = 0;
    qint64 n = 0;
};

// What a saved row must hold, read back column by column; empty when it does.
QString mismatchOf(const QSqlQuery& row) {
    const qint64 n = row.value(1).toLongLong();
    const WithholdingRecord expected = recordNumber(n);
    const QVariantList want = {*expected.name, (*expected.invoiceDate)->toUtf8(), *expected.taxable,
                               *expected.withheld};
    for (int i = 0; i < want.size(); ++i) {
        if (row.value(i + 2).toString() != want.at(i).toString())
            return QStringLiteral("row %1 (n %2), column %3: %4 instead of %5")
                .arg(row.value(0).toLongLong())
                .arg(n)
                .arg(i + 2)
                .arg(row.value(i + 2).toString(), want.at(i).toString());
    }
    return {};
}

// The period a correction writes, which no saved record has.
const char* const kCorrectedPeriod = "13";

// The child: saves one record after another through the store, corrects every third and
// deletes every fifth, and says which ("I", "C", "D", key, n) once each is committed, until
// it is killed.
int writeUntilKilled(const QString& path, qint64 first) {
    if (Status s = store::openDatabase(path); !s.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(s.error()));
        return 1;
    }
    WithholdingRecord correction;
    correction.period = QString::fromLatin1(kCorrectedPeriod);
    for (qint64 n = first;; ++n) {
        const Result<qint64> id = ledger::insertWithholding(recordNumber(n));
        const auto say = [&](const Status& done, char what) {
            if (!done.ok()) {
                std::fprintf(stderr, "%s\n", qPrintable(done.error()));
                std::exit(1);
            }
            std::printf("%c %lld %lld\n", what, static_cast<long long>(id.value),
                        static_cast<long long>(n));
            std::fflush(stdout);
        };
        say(id.status, 'I');
        if (n % 3 == 1)
            say(ledger::updateWithholding(id.value, correction, 0), 'C');
        if (n % 5 == 2)
            say(ledger::deleteWithholding(id.value), 'D');
    }
}

// Replays the record of changes from an empty table: each correction and deletion must
// find the row as its entry saw it before, and the rows the replay ends with must be the
// ledger's. Thus every change present has exactly one entry and every entry its change.
// The differences, empty when none.
QString replayDifferences() {
    QHash<qint64, QString> replayed; // key: the row's JSON after its last entry
    Result<QSqlQuery> entries = store::run(QStringLiteral(
        "SELECT ID, azione, chiave, prima, dopo FROM Modifiche WHERE tabella = 'Ritenute' "
        "ORDER BY ID"));
    if (!entries.ok())
        return entries.error();
    const auto normal = [](const QVariant& json) {
        return QString::fromUtf8(
            QJsonDocument::fromJson(json.toString().toUtf8()).toJson(QJsonDocument::Compact));
    };
    while (entries.value.next()) {
        const QString action = entries.value.value(1).toString();
        const qint64 key = entries.value.value(2).toLongLong();
        const QString before = normal(entries.value.value(3));
        const bool known = replayed.contains(key);
        if (action == QLatin1String("inserimento") ? known
                                                   : !known || replayed.value(key) != before)
            return QStringLiteral("entry %1 (%2 of %3) does not follow the entries before")
                .arg(entries.value.value(0).toString(), action)
                .arg(key);
        if (action == QLatin1String("cancellazione"))
            replayed.remove(key);
        else
            replayed.insert(key, normal(entries.value.value(4)));
    }
    entries.value = QSqlQuery();
    // The rows as JSON the way the record writes them, one column at a time.
    Result<QSqlQuery> rows = store::run(QStringLiteral("SELECT * FROM Ritenute"));
    if (!rows.ok())
        return rows.error();
    qint64 present = 0;
    while (rows.value.next()) {
        ++present;
        const QSqlRecord record = rows.value.record();
        const qint64 key = rows.value.value(0).toLongLong();
        const QJsonObject entry = QJsonDocument::fromJson(replayed.value(key).toUtf8()).object();
        for (int c = 0; c < record.count(); ++c) {
            const QString column = record.fieldName(c).toLower();
            const QVariant value = rows.value.value(c);
            const QString stored = value.isNull() ? QString()
                                   : value.typeId() == QMetaType::QDate
                                       ? value.toDate().toString(Qt::ISODate)
                                       : value.toString();
            const QJsonValue recorded = entry.value(column);
            if (recorded.isUndefined() ||
                (recorded.isNull() ? QString() : recorded.toVariant().toString()) != stored)
                return QStringLiteral("row %1, column %2: %3 in the ledger, %4 in its record")
                    .arg(key)
                    .arg(column, stored, recorded.toVariant().toString());
        }
    }
    if (present != replayed.size())
        return QStringLiteral("%1 rows in the ledger, %2 by its record")
            .arg(present)
            .arg(replayed.size());
    return {};
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving();
    void fullDisk();
};

void FaultsTest::killedWhileSaving() {
    constexpr int kKills = 60;
    QTemporaryDir dir;
    const QString path = dir.filePath("Database.db");
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    QList<StoredRow> acknowledged;
    QSet<qint64> corrected;
    QSet<qint64> deleted;
    QElapsedTimer clock;
    clock.start();
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kWriterVariable, path);
        environment.insert(kFirstVariable, QString::number(qint64(kill) * 1000000));
        writer.setProcessEnvironment(environment);
        writer.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(writer.waitForStarted());
        // Killed once it saves, at a moment of the run chosen at random.
        QVERIFY2(writer.waitForReadyRead(30000), writer.readAllStandardError().constData());
        QThread::msleep(random.bounded(1, 60));
        writer.kill();
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
        // The last line may be cut short by the kill; a whole line is a saved row.
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> fields = lines.at(i).split(' ');
            QCOMPARE(fields.size(), 3);
            const qint64 id = fields.at(1).toLongLong();
            if (fields.at(0) == "I")
                acknowledged.append({id, fields.at(2).toLongLong()});
            else
                (fields.at(0) == "C" ? corrected : deleted).insert(id);
        }

        const Status opened = store::openDatabase(path);
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        QVERIFY(store::checkOpenLedger().whole());
        QHash<qint64, qint64> stored;
        QSet<qint64> correctedRows;
        Result<QSqlQuery> rows = store::run(QStringLiteral(
            "SELECT ID, FT, denominazione, data, imponibile, ritenuta, periodo FROM Ritenute"));
        QVERIFY(rows.ok());
        while (rows.value.next()) {
            const QString mismatch = mismatchOf(rows.value);
            QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
            stored.insert(rows.value.value(0).toLongLong(), rows.value.value(1).toLongLong());
            if (rows.value.value(6).toString() == QLatin1String(kCorrectedPeriod))
                correctedRows.insert(rows.value.value(0).toLongLong());
        }
        rows.value = QSqlQuery();
        const QString replay = replayDifferences();
        store::closeDatabase();
        QVERIFY2(replay.isEmpty(), qPrintable(replay + QStringLiteral(" (seed %1)").arg(seed)));
        // Every acknowledged change is there: rows saved, corrected, deleted. A row may be
        // gone without its deletion acknowledged only when the kill came during it.
        for (const StoredRow& row : acknowledged) {
            const QString lost = QStringLiteral("acknowledged change of row %1 lost (seed %2)")
                                     .arg(row.id)
                                     .arg(seed);
            if (deleted.contains(row.id) || !stored.contains(row.id)) {
                QVERIFY2(!stored.contains(row.id) && (deleted.contains(row.id) || row.n % 5 == 2),
                         qPrintable(lost));
                continue;
            }
            QVERIFY2(stored.value(row.id) == row.n, qPrintable(lost));
            if (corrected.contains(row.id))
                QVERIFY2(correctedRows.contains(row.id), qPrintable(lost));
        }
    }
    // The figures of the run, for the record.
    qInfo("%d kills, %lld acknowledged rows, all present and exact, %lld ms, seed %u", kKills,
          qint64(acknowledged.size()), clock.elapsed(), seed);
    QVERIFY(acknowledged.size() >= kKills);
}

void FaultsTest::fullDisk() {
    if (!private_mounts::refusal().isEmpty())
        QSKIP(qPrintable("a full disk needs a private mount: " + private_mounts::refusal()));
    QTemporaryDir dir;
    QString error;
    QVERIFY2(private_mounts::mountSmall(dir.path(), 512, &error), qPrintable(error));
    const QString path = dir.filePath("Database.db");
    QVERIFY(store::openDatabase(path).ok());
    QString refusal;
    qint64 saved = 0;
    for (qint64 n = 0; n < 100000 && refusal.isEmpty(); ++n) {
        const Result<qint64> id = ledger::insertWithholding(recordNumber(n));
        if (id.ok())
            ++saved;
        else
            refusal = id.error();
    }
    QVERIFY2(!refusal.isEmpty(), "the small disk never filled up");
    QVERIFY2(refusal.startsWith(QStringLiteral("Il disco è pieno")), qPrintable(refusal));
    QVERIFY2(refusal.contains(QStringLiteral("\nDettaglio: ")), qPrintable(refusal));

    // A copy onto the full disk fails whole and leaves nothing behind.
    const QStringList before = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QVERIFY(!store::saveCopy(dir.filePath("copia.db")).ok());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), before);

    // Every saved row is still there after the ledger is opened again.
    store::closeDatabase();
    QVERIFY(store::openDatabase(path).ok());
    QVERIFY(store::checkOpenLedger().whole());
    Result<QSqlQuery> count = store::run(QStringLiteral("SELECT count(*) FROM Ritenute"));
    QVERIFY(count.ok() && count.value.next());
    QCOMPARE(count.value.value(0).toLongLong(), saved);
    count.value = QSqlQuery();
    store::closeDatabase();
    umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
}

int main(int argc, char* argv[]) {
    if (const QByteArray path = qgetenv(kWriterVariable); !path.isEmpty()) {
        QCoreApplication app(argc, argv);
        return writeUntilKilled(QString::fromLocal8Bit(path), qgetenv(kFirstVariable).toLongLong());
    }
    private_mounts::enter();
    QCoreApplication app(argc, argv);
    FaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
