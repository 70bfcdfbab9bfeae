#include "store/transaction.h"

#include "store/connection.h"
#include "store/reasons.h"

#include <QSqlError>
#include <QSqlQuery>

Transaction::Transaction(QSqlDatabase db) : db_(std::move(db)) {
    open_ = db_.transaction();
    if (!open_)
        begun_ = Status::failure(store::reasonFor(db_.lastError()));
}

Transaction::~Transaction() {
    if (open_)
        db_.rollback();
}

Status Transaction::commit() {
    if (!open_)
        return begun_.ok() ? Status::failure(QStringLiteral("Transazione già conclusa")) : begun_;
    open_ = false;
    if (!db_.commit()) {
        const QString reason = store::reasonFor(db_.lastError());
        db_.rollback();
        return Status::failure(reason);
    }
    return Status::success();
}

namespace store {

Result<Written> runInTransaction(const QString& sql, const QVariantList& values) {
    Result<Written> result;
    Transaction transaction(connection());
    if (!transaction.begun().ok()) {
        result.status = transaction.begun();
        return result;
    }
    {
        Result<QSqlQuery> query = run(sql, values);
        if (!query.ok()) {
            result.status = query.status;
            return result;
        }
        result.value.rows = query.value.numRowsAffected();
        result.value.lastId = query.value.lastInsertId().toLongLong();
    }
    result.status = transaction.commit();
    return result;
}

} // namespace store
