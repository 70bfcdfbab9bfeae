#pragma once

#include <QString>
#include <utility>

// The outcome of a store operation: success, or the database's reason for failing.
// The store never shows anything; GUI code decides how to report an error.
class Status {
public:
    static Status success() { return Status(); }
    static Status failure(QString reason) { return Status(std::move(reason), true); }

    bool ok() const { return !failed_; }
    const QString& error() const { return error_; }

private:
    Status() = default;
    Status(QString reason, bool failed) : error_(std::move(reason)), failed_(failed) {}

    QString error_;
    bool failed_ = false;
};

// A value together with the status of the operation that produced it.
template <typename T> struct Result {
    Status status = Status::success();
    T value{};

    bool ok() const { return status.ok(); }
    const QString& error() const { return status.error(); }
};
