#pragma once

#include "base/status.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

// Holds one transaction on the connection: rolled back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Whether BEGIN succeeded; a write must not start when it did not.
    const Status& begun() const { return begun_; }
    Status commit();

private:
    QSqlDatabase db_;
    Status begun_ = Status::success();
    bool open_ = false;
};

namespace store {

// What one write did.
struct Written {
    qint64 rows = 0;   // rows inserted, changed or deleted
    qint64 lastId = 0; // the key of the row an INSERT added
};

// Runs one statement, its values bound, in a transaction of its own, committed only when
// the statement succeeded.
Result<Written> runInTransaction(const QString& sql, const QVariantList& values = {});

} // namespace store
