#include "ledger/withholding_store.h"

#include "ledger/withholding_columns.h"
#include "store/connection.h"
#include "store/name_order.h"
#include "store/row_version.h"
#include "store/transaction.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <variant>

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

// The key and the version are never written.
void add(QList<Column>&, const char*, qint64) {}

// The written columns of a record, in stored order; the name's sort key follows the name.
QList<Column> writtenColumns(const WithholdingRecord& r) {
    QList<Column> c;
    for (const WithholdingColumn& column : withholdingColumns()) {
        std::visit([&](auto field) { add(c, column.name, r.*field); }, column.field);
        if (column.field == RecordField(&WithholdingRecord::name) && r.name)
            c.append({store::kNameKeyColumn, store::nameKey(*r.name)});
    }
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

// A stored value into the record field of its column.
void read(const QVariant& v, qint64& field) {
    field = v.toLongLong();
}
void read(const QVariant& v, Written<qint64>& field) {
    field = v.toLongLong();
}
void read(const QVariant& v, Written<Nullable<qint64>>& field) {
    field = v.isNull() ? Nullable<qint64>() : Nullable<qint64>(v.toLongLong());
}
void read(const QVariant& v, Written<QString>& field) {
    field = text(v);
}
void read(const QVariant& v, Written<Nullable<QString>>& field) {
    field = nullableText(v);
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
    Result<QSqlQuery> query = store::run(
        QStringLiteral("SELECT %1 FROM Ritenute WHERE ID = ?").arg(withholdingColumnList()), {id});
    result.status = query.status;
    if (query.ok() && query.value.next()) {
        for (int c = 0; c < ColumnCount; ++c)
            result.value.append(query.value.value(c));
    }
    return result;
}

Result<std::optional<WithholdingRecord>> fetchWithholding(qint64 id) {
    Result<std::optional<WithholdingRecord>> result;
    Result<QSqlQuery> query = store::run(
        QStringLiteral("SELECT %1 FROM Ritenute WHERE ID = ?").arg(withholdingColumnList()), {id});
    result.status = query.status;
    if (!query.ok() || !query.value.next())
        return result;
    WithholdingRecord r;
    const auto columns = withholdingColumns();
    for (int c = 0; c < ColumnCount; ++c) {
        const QVariant value = query.value.value(c);
        std::visit([&](auto field) { read(value, r.*field); }, columns[std::size_t(c)].field);
    }
    result.value = r;
    return result;
}

} // namespace ledger
