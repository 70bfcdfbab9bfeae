#pragma once

#include "store/status.h"

#include <QSqlDatabase>

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
