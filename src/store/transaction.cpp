#include "store/transaction.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/prepared_writes.h"
#include "store/server_connection.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <optional>

namespace {

const QString kAlreadyOpen = QStringLiteral("una transazione è già in corso su questa connessione");

// The connections with a transaction open. SQLite refuses a second BEGIN, PostgreSQL
// only warns and would fold the inner write into the outer transaction: both refuse.
QSet<QString>& openConnections() {
    static QSet<QString> names;
    return names;
}

} // namespace

Transaction::Transaction(QSqlDatabase db) : db_(std::move(db)) {
    if (begun_ = store::reconnectIfLost(); !begun_.ok())
        return;
    if (openConnections().contains(db_.connectionName())) {
        begun_ = Status::failure(kAlreadyOpen);
        return;
    }
    open_ = db_.transaction();
    if (!open_)
        begun_ = store::noteFailure(db_.lastError());
    else
        openConnections().insert(db_.connectionName());
}

Transaction::~Transaction() {
    if (open_) {
        openConnections().remove(db_.connectionName());
        db_.rollback();
    }
}

Status Transaction::commit() {
    if (!open_)
        return begun_.ok() ? Status::failure(QStringLiteral("Transazione già conclusa")) : begun_;
    open_ = false;
    openConnections().remove(db_.connectionName());
    if (!db_.commit()) {
        const Status failed = store::noteFailure(db_.lastError());
        db_.rollback();
        return failed;
    }
    return Status::success();
}

namespace store {

Result<Written> runInTransaction(const QString& sql, const QVariantList& values) {
    Result<Written> result;
    std::optional<Transaction> transaction;
    if (!dialect::singleStatementsRunAlone()) {
        transaction.emplace(connection());
        if (!transaction->begun().ok()) {
            result.status = transaction->begun();
            return result;
        }
    } else if (openConnections().contains(connection().connectionName())) {
        result.status = Status::failure(kAlreadyOpen);
        return result;
    }
    {
        const bool insert = sql.startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive);
        if (Status s = reconnectIfLost(); !s.ok()) {
            result.status = s;
            return result;
        }
        const Result<QSqlQuery*> prepared =
            preparedWrite(insert ? dialect::insertReturningKey(sql) : sql);
        if (!prepared.ok()) {
            result.status = prepared.status;
            return result;
        }
        QSqlQuery& query = *prepared.value;
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!exec(query)) {
            result.status = failureOf(query);
            query.finish();
            return result;
        }
        result.value.rows = query.numRowsAffected();
        if (insert) {
            result.value.lastId = dialect::insertedId(query);
            // A row handed back by RETURNING is a row inserted.
            result.value.rows = std::max<qint64>(result.value.rows, result.value.lastId > 0);
        }
        query.finish();
    }
    result.status = transaction ? transaction->commit() : Status::success();
    return result;
}

} // namespace store
