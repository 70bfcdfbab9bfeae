#include "store/ledger_copy.h"

#include "store/change_record.h"
#include "store/dialect.h"
#include "store/ledger_address.h"
#include "store/schema.h"
#include "store/server_connection.h"
#include "store/transaction.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <optional>

namespace store {
namespace {

struct CopiedTable {
    const char* name;
    QStringList amounts; // summed by the check
};

// Every table of the layout; the target's seeded lookup rows give way to the source's. The
// record of changes comes last, whole, and the copy adds its own entry after the check.
const QList<CopiedTable>& copiedTables() {
    static const QList<CopiedTable> tables = {
        {"Soggetti", {}},
        {"Ritenute",
         {QStringLiteral("imponibile"), QStringLiteral("aliquota"), QStringLiteral("ritenuta"),
          QStringLiteral("altro"), QStringLiteral("totale"), QStringLiteral("versato"),
          QStringLiteral("interessi"), QStringLiteral("sanzione")}},
        {"Anno", {}},
        {"periodo", {}},
        {"Tributo", {}},
        {"Percentuale", {QStringLiteral("Percentuale")}},
        {"TassoLegale", {}},
        {"Proroghe", {}},
        {"ScadenzaDichiarazione", {}},
        {"Opzioni", {}},
        {"Modifiche", {}},
    };
    return tables;
}

constexpr int kProgressRows = 10000;

QString reasonOf(const QSqlQuery& query) {
    const QString text = query.lastError().databaseText();
    return text.isEmpty() ? query.lastError().text() : text;
}

// One side of the copy: a connection of its own, removed when done.
class Side {
public:
    Side(const QString& connectionName, QString address)
        : name_(connectionName), address_(std::move(address)) {}
    ~Side() {
        if (!QSqlDatabase::contains(name_))
            return;
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    Side(const Side&) = delete;
    Side& operator=(const Side&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
    const QString& address() const { return address_; }

    // Opens the database; a file source must exist and is only read.
    std::optional<QString> open(bool source) {
        QString error;
        const LedgerAddress address = parseLedgerAddress(address_, &error);
        if (!error.isEmpty())
            return error;
        if (address.server)
            return connectServer(name_, address);
        const QFileInfo info(address.path);
        if (source && !info.isFile())
            return QStringLiteral("il file non esiste");
        if (!source && !QFileInfo(info.absolutePath()).isDir())
            return QStringLiteral("la cartella non esiste");
        const bool created = !info.exists();
        QSqlDatabase db = QSqlDatabase::addDatabase(dialect::driverName(Engine::SQLite), name_);
        db.setDatabaseName(address.path);
        if (source)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return db.lastError().text();
        if (created)
            QFile::setPermissions(address.path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return std::nullopt;
    }

private:
    QString name_;
    QString address_;
};

Result<qint64> single(QSqlDatabase db, const QString& sql) {
    Result<qint64> result;
    QSqlQuery query(db);
    if (!query.exec(sql) || !query.next())
        result.status = Status::failure(reasonOf(query));
    else
        result.value = query.value(0).toLongLong();
    return result;
}

Result<TableFigures> figuresOf(QSqlDatabase db, const CopiedTable& table) {
    Result<TableFigures> result;
    result.value.table = QLatin1String(table.name);
    const Result<qint64> rows =
        single(db, QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table.name));
    result.status = rows.status;
    result.value.rows = rows.value;
    for (const QString& amount : table.amounts) {
        if (!result.ok())
            break;
        const Result<qint64> sum =
            single(db, QStringLiteral("SELECT CAST(coalesce(sum(%1), 0) AS BIGINT) FROM %2")
                           .arg(amount, QLatin1String(table.name)));
        result.status = sum.status;
        result.value.cents += sum.value;
    }
    return result;
}

// Every row of `table` from `from` into `to`, keys included.
Status copyRows(QSqlDatabase from, QSqlDatabase to, const CopiedTable& table,
                const std::function<void(const QString&)>& progress) {
    const QString name = QLatin1String(table.name);
    QSqlQuery read(from);
    read.setForwardOnly(true);
    // In the order of the key, the first column (Opzioni's is its name).
    if (!read.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(name)))
        return Status::failure(name + QStringLiteral(": ") + reasonOf(read));
    const QSqlRecord record = read.record();
    QStringList columns;
    QStringList marks;
    for (int c = 0; c < record.count(); ++c) {
        columns.append(record.fieldName(c));
        marks.append(QStringLiteral("?"));
    }
    QSqlQuery write(to);
    if (!write.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(name, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")))))
        return Status::failure(name + QStringLiteral(": ") + reasonOf(write));
    qint64 copied = 0;
    while (read.next()) {
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = read.value(c);
            // A server date becomes the ISO text a file keeps, and back.
            write.bindValue(c, value.typeId() == QMetaType::QDate && !value.isNull()
                                   ? QVariant(value.toDate().toString(Qt::ISODate))
                                   : value);
        }
        if (!write.exec())
            return Status::failure(QStringLiteral("%1, riga con ID %2: %3")
                                       .arg(name, read.value(0).toString(), reasonOf(write)));
        if (++copied % kProgressRows == 0 && progress)
            progress(QStringLiteral("%1: %2 righe").arg(name).arg(copied));
    }
    if (read.lastError().isValid())
        return Status::failure(name + QStringLiteral(": ") + reasonOf(read));
    const bool numbered = record.indexOf(QStringLiteral("ID")) >= 0;
    return numbered ? dialect::continueKeysAfter(to, name) : Status::success();
}

CopyResult refuse(CopyOutcome outcome, const QString& message) {
    CopyResult result;
    result.outcome = outcome;
    result.message = message;
    return result;
}

CopyResult copyBetween(Side& source, Side& target,
                       const std::function<void(const QString&)>& progress) {
    const auto notOpened = [](CopyOutcome outcome, const Side& side, const QString& reason) {
        return refuse(outcome, QStringLiteral("Impossibile aprire il database \"%1\": %2")
                                   .arg(side.address(), reason));
    };
    if (const std::optional<QString> reason = source.open(true))
        return notOpened(CopyOutcome::SourceNotOpened, source, *reason);
    const Result<int> sourceVersion = dialect::storedVersion(source.db());
    if (!sourceVersion.ok())
        return notOpened(CopyOutcome::SourceNotOpened, source, sourceVersion.error());
    if (sourceVersion.value != schema::kCurrentVersion)
        return notOpened(CopyOutcome::SourceNotOpened, source,
                         QStringLiteral("l'archivio è della versione %1, questo programma copia "
                                        "la versione %2: aprirlo prima con il programma")
                             .arg(sourceVersion.value)
                             .arg(schema::kCurrentVersion));

    if (const std::optional<QString> reason = target.open(false))
        return notOpened(CopyOutcome::TargetNotOpened, target, *reason);
    const Result<int> targetVersion = dialect::storedVersion(target.db());
    if (!targetVersion.ok())
        return notOpened(CopyOutcome::TargetNotOpened, target, targetVersion.error());
    if (Status s = openChangeRecord(target.db()); !s.ok())
        return notOpened(CopyOutcome::TargetNotOpened, target, s.error());
    if (targetVersion.value == 0) {
        if (Status s = schema::upgrade(target.db(), QDate::currentDate()); !s.ok())
            return notOpened(CopyOutcome::TargetNotOpened, target, s.error());
    } else if (targetVersion.value != schema::kCurrentVersion) {
        return refuse(CopyOutcome::TargetHoldsData,
                      QStringLiteral("Il database di destinazione \"%1\" contiene già un "
                                     "archivio (versione %2): la copia va fatta in un "
                                     "database vuoto.")
                          .arg(target.address())
                          .arg(targetVersion.value));
    }
    for (const char* table : {"Soggetti", "Ritenute", "Modifiche"}) {
        const Result<qint64> rows =
            single(target.db(), QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table));
        if (!rows.ok())
            return notOpened(CopyOutcome::TargetNotOpened, target, rows.error());
        if (rows.value > 0)
            return refuse(CopyOutcome::TargetHoldsData,
                          QStringLiteral("Il database di destinazione \"%1\" contiene già dei "
                                         "dati (%2 righe in %3): la copia va fatta in un "
                                         "database vuoto.")
                              .arg(target.address())
                              .arg(rows.value)
                              .arg(QLatin1String(table)));
    }

    const auto failed = [](const QString& reason) {
        return refuse(CopyOutcome::Failed,
                      QStringLiteral("Copia non eseguita, la destinazione è rimasta "
                                     "vuota: %1")
                          .arg(reason));
    };
    // The rows arrive as they are, with their record: the copy is one entry of its own.
    const RecordedAs copying(target.db(), Azione::Manutenzione);
    if (!copying.begun().ok())
        return failed(copying.begun().error());
    Transaction transaction(target.db());
    if (!transaction.begun().ok())
        return failed(transaction.begun().error());
    CopyResult result;
    for (const CopiedTable& table : copiedTables()) {
        if (progress)
            progress(QLatin1String(table.name));
        QSqlQuery clear(target.db());
        if (!clear.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table.name)))
            return failed(reasonOf(clear));
        if (Status s = copyRows(source.db(), target.db(), table, progress); !s.ok())
            return failed(s.error());
        const Result<TableFigures> from = figuresOf(source.db(), table);
        const Result<TableFigures> to = figuresOf(target.db(), table);
        if (!from.ok() || !to.ok())
            return failed(from.ok() ? to.error() : from.error());
        if (from.value.rows != to.value.rows || from.value.cents != to.value.cents)
            return failed(QStringLiteral("la verifica di %1 non torna (origine %2 righe, "
                                         "importi %3; destinazione %4 righe, importi %5)")
                              .arg(QLatin1String(table.name))
                              .arg(from.value.rows)
                              .arg(from.value.cents)
                              .arg(to.value.rows)
                              .arg(to.value.cents));
        result.figures.append(to.value);
    }
    if (Status s = recordWholeLedger(target.db(), Azione::Copia); !s.ok())
        return failed(s.error());
    if (Status s = transaction.commit(); !s.ok())
        return failed(s.error());
    result.outcome = CopyOutcome::Copied;
    result.message = QStringLiteral("Archivio copiato da \"%1\" a \"%2\".")
                         .arg(source.address(), target.address());
    return result;
}

} // namespace

CopyResult copyLedger(const QString& source, const QString& target,
                      const std::function<void(const QString&)>& progress) {
    QString sourceError;
    QString targetError;
    const LedgerAddress from = parseLedgerAddress(source, &sourceError);
    const LedgerAddress to = parseLedgerAddress(target, &targetError);
    if (!sourceError.isEmpty())
        return refuse(CopyOutcome::SourceNotOpened, sourceError);
    if (!targetError.isEmpty())
        return refuse(CopyOutcome::TargetNotOpened, targetError);
    const bool same =
        from.server == to.server && (from.server ? from.display() == to.display()
                                                 : QFileInfo(from.path).absoluteFilePath() ==
                                                       QFileInfo(to.path).absoluteFilePath());
    if (same)
        return refuse(CopyOutcome::TargetHoldsData,
                      QStringLiteral("Origine e destinazione sono lo stesso database."));
    Side sourceSide(QStringLiteral("copy-source"), from.display());
    Side targetSide(QStringLiteral("copy-target"), to.display());
    return copyBetween(sourceSide, targetSide, progress);
}

} // namespace store
