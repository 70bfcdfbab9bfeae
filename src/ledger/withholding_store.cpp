#include "ledger/withholding_store.h"

#include "ledger/ledger_grid_query.h"
#include "store/connection.h"
#include "store/name_order.h"
#include "store/row_version.h"
#include "store/transaction.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace ledger {
namespace {

struct Column {
    const char* name;
    QVariant value;
};

QVariant nullOf(QMetaType type) {
    return QVariant(type);
}

template <typename T> void add(QList<Column>& columns, const char* name, const Written<T>& value) {
    if (value)
        columns.append({name, QVariant::fromValue(*value)});
}

template <typename T>
void add(QList<Column>& columns, const char* name, const Written<Nullable<T>>& value) {
    if (!value)
        return;
    columns.append(
        {name, *value ? QVariant::fromValue(**value) : nullOf(QMetaType::fromType<T>())});
}

// The written columns of a record; the key ID is never among them.
QList<Column> writtenColumns(const WithholdingRecord& r) {
    QList<Column> c;
    add(c, "ID_A", r.subjectId);
    add(c, "denominazione", r.name);
    if (r.name)
        c.append({store::kNameKeyColumn, store::nameKey(*r.name)});
    add(c, "FT", r.invoiceNumber);
    add(c, "data", r.invoiceDate);
    add(c, "imponibile", r.taxable);
    add(c, "aliquota", r.rate);
    add(c, "ritenuta", r.withheld);
    add(c, "altro", r.other);
    add(c, "totale", r.total);
    add(c, "pag", r.paid);
    add(c, "datap", r.paymentDate);
    add(c, "periodo", r.period);
    add(c, "versamento", r.remittanceDate);
    add(c, "ravv", r.lateRegularisation);
    add(c, "versato", r.remitted);
    add(c, "interessi", r.interest);
    add(c, "sanzione", r.penalty);
    add(c, "tributo", r.taxCode);
    add(c, "anno", r.year);
    add(c, "utente", r.user);
    add(c, "scadenza", r.dueDate);
    return c;
}

Result<bool> rowExists(qint64 id) {
    Result<bool> result;
    Result<QSqlQuery> query =
        store::run(QStringLiteral("SELECT 1 FROM Ritenute WHERE ID = ?"), {id});
    result.status = query.status;
    result.value = query.ok() && query.value.next();
    return result;
}

// Runs one statement that must touch exactly the row `id`, inside its own transaction;
// with `loadedVersion` the statement ends with the version condition.
Status writeRow(qint64 id, QString sql, QVariantList values, std::optional<qint64> loadedVersion) {
    if (loadedVersion) {
        sql += QLatin1String(store::kSameVersion);
        values.append(*loadedVersion);
    }
    const Result<store::Written> done = store::runInTransaction(sql, values);
    if (!done.ok() || done.value.rows > 0)
        return done.status;
    const Result<bool> exists = rowExists(id);
    if (!exists.ok())
        return exists.status;
    return exists.value ? store::changedMeanwhile(QStringLiteral("La registrazione"))
                        : Status::failure(ErrorKind::NotFound, missingRowReason(id));
}

QString text(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

Nullable<QString> nullableText(const QVariant& v) {
    return v.isNull() ? Nullable<QString>() : Nullable<QString>(v.toString());
}

} // namespace

QString missingRowReason(qint64 id) {
    return QStringLiteral("la registrazione con ID %1 non esiste più").arg(id);
}

namespace {

// The INSERT statement and its values for the written columns of `record`, and its
// key when `keepKey`.
std::pair<QString, QVariantList> insertStatement(const WithholdingRecord& record,
                                                 bool keepKey = false) {
    QList<Column> columns = writtenColumns(record);
    if (keepKey)
        columns.prepend({"ID", record.id});
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (const Column& column : columns) {
        names.append(QString::fromLatin1(column.name));
        marks.append(QStringLiteral("?"));
        values.append(column.value);
    }
    const QString sql = columns.isEmpty() ? QStringLiteral("INSERT INTO Ritenute DEFAULT VALUES")
                                          : QStringLiteral("INSERT INTO Ritenute (%1) VALUES (%2)")
                                                .arg(names.join(QStringLiteral(", ")),
                                                     marks.join(QStringLiteral(", ")));
    return {sql, values};
}

} // namespace

Result<qint64> insertWithholding(const WithholdingRecord& record) {
    const auto [sql, values] = insertStatement(record);
    const Result<store::Written> done = store::runInTransaction(sql, values);
    return {done.status, done.value.lastId};
}

Status appendWithholding(const WithholdingRecord& record) {
    const auto [sql, values] = insertStatement(record);
    return store::run(sql, values).status;
}

Status insertWithholdingKeepingKey(const WithholdingRecord& record) {
    const auto [sql, values] = insertStatement(record, true);
    return store::run(sql, values).status;
}

Status insertWithholdings(const QList<WithholdingRecord>& records) {
    Transaction transaction(store::connection());
    if (!transaction.begun().ok())
        return transaction.begun();
    QSqlQuery query(store::connection());
    QString prepared;
    for (const WithholdingRecord& record : records) {
        const auto [sql, values] = insertStatement(record);
        if (sql != prepared) {
            if (!query.prepare(sql))
                return store::failureOf(query);
            prepared = sql;
        }
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!store::exec(query))
            return store::failureOf(query);
    }
    return transaction.commit();
}

Status updateWithholding(qint64 id, const WithholdingRecord& record,
                         std::optional<qint64> loadedVersion) {
    const QList<Column> columns = writtenColumns(record);
    if (columns.isEmpty()) {
        // Nothing to change, but the caller still learns whether the row is there.
        const Result<bool> exists = rowExists(id);
        if (!exists.ok())
            return exists.status;
        return exists.value ? Status::success()
                            : Status::failure(ErrorKind::NotFound, missingRowReason(id));
    }
    QStringList assignments;
    QVariantList values;
    for (const Column& column : columns) {
        assignments.append(QString::fromLatin1(column.name) + QStringLiteral(" = ?"));
        values.append(column.value);
    }
    assignments.append(QLatin1String(store::kNextVersion));
    values.append(id);
    return writeRow(id,
                    QStringLiteral("UPDATE Ritenute SET %1 WHERE ID = ?")
                        .arg(assignments.join(QStringLiteral(", "))),
                    values, loadedVersion);
}

Status deleteWithholding(qint64 id, std::optional<qint64> loadedVersion) {
    return writeRow(id, QStringLiteral("DELETE FROM Ritenute WHERE ID = ?"), {id}, loadedVersion);
}

Result<QVariantList> fetchGridRow(qint64 id) {
    Result<QVariantList> result;
    QStringList names;
    for (const GridColumn& column : ledgerGridColumns())
        names.append(QString::fromLatin1(column.name));
    Result<QSqlQuery> query = store::run(QStringLiteral("SELECT %1 FROM Ritenute WHERE ID = ?")
                                             .arg(names.join(QStringLiteral(", "))),
                                         {id});
    result.status = query.status;
    if (query.ok() && query.value.next()) {
        for (int c = 0; c < names.size(); ++c)
            result.value.append(query.value.value(c));
    }
    return result;
}

Result<std::optional<WithholdingRecord>> fetchWithholding(qint64 id) {
    Result<std::optional<WithholdingRecord>> result;
    Result<QSqlQuery> query = store::run(
        QStringLiteral("SELECT ID, ID_A, denominazione, FT, data, imponibile, aliquota, "
                       "ritenuta, altro, totale, pag, datap, periodo, versamento, ravv, versato, "
                       "interessi, sanzione, tributo, anno, utente, scadenza, versione "
                       "FROM Ritenute WHERE ID = ?"),
        {id});
    result.status = query.status;
    if (!query.ok() || !query.value.next())
        return result;
    const QSqlQuery& q = query.value;
    WithholdingRecord r;
    r.id = q.value(0).toLongLong();
    r.subjectId =
        q.value(1).isNull() ? Nullable<qint64>() : Nullable<qint64>(q.value(1).toLongLong());
    r.name = text(q.value(2));
    r.invoiceNumber = text(q.value(3));
    r.invoiceDate = nullableText(q.value(4));
    r.taxable = q.value(5).toLongLong();
    r.rate = q.value(6).toLongLong();
    r.withheld = q.value(7).toLongLong();
    r.other = q.value(8).toLongLong();
    r.total = q.value(9).toLongLong();
    r.paid = text(q.value(10));
    r.paymentDate = nullableText(q.value(11));
    r.period = text(q.value(12));
    r.remittanceDate = nullableText(q.value(13));
    r.lateRegularisation = text(q.value(14));
    r.remitted = q.value(15).toLongLong();
    r.interest = q.value(16).toLongLong();
    r.penalty = q.value(17).toLongLong();
    r.taxCode = text(q.value(18));
    r.year = text(q.value(19));
    r.user = text(q.value(20));
    r.dueDate = nullableText(q.value(21));
    r.version = q.value(22).toLongLong();
    result.value = r;
    return result;
}

} // namespace ledger
