#include "store/transaction.h"

#include <QSqlError>

Transaction::Transaction(QSqlDatabase db) : db_(std::move(db)) {
    open_ = db_.transaction();
    if (!open_)
        begun_ = Status::failure(db_.lastError().text());
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
        const QString reason = db_.lastError().text();
        db_.rollback();
        return Status::failure(reason);
    }
    return Status::success();
}
