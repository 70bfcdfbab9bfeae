#pragma once

#include <QString>
#include <utility>

// What went wrong, for the code that must act on it; the reason is for the operator.
// A caller branches on the kind, never on the reason's words.
enum class ErrorKind {
    Failed,           // any other failure: the reason says what
    NothingToPrint,   // a report lists nothing, or was asked without the input it needs
    NotFound,         // a file, folder or row that is not there
    ChangedMeanwhile, // another operator changed the row after it was loaded
    ConnectionLost,   // the server connection broke; the next command reconnects
    DiskFull,         // no room left on the disk, or the file size limit reached
    ReadOnly,         // the file, folder or database may not be written
    Damaged,          // a damaged database, or a file that is no database
    Duplicate,        // the value is already in the table
    Stopped,          // the operator stopped the work
};

// The outcome of an operation: success, or the kind of failure and its reason.
// Nothing here shows anything; GUI code decides how to report an error.
class Status {
public:
    static Status success() { return Status(); }
    static Status failure(QString reason) { return failure(ErrorKind::Failed, std::move(reason)); }
    static Status failure(ErrorKind kind, QString reason) {
        return Status(kind, std::move(reason), true);
    }

    bool ok() const { return !failed_; }
    const QString& error() const { return error_; }
    ErrorKind kind() const { return kind_; }
    // Whether this is a failure of that kind.
    bool is(ErrorKind kind) const { return failed_ && kind_ == kind; }

private:
    Status() = default;
    Status(ErrorKind kind, QString reason, bool failed)
        : error_(std::move(reason)), kind_(kind), failed_(failed) {}

    QString error_;
    ErrorKind kind_ = ErrorKind::Failed;
    bool failed_ = false;
};

// A value together with the status of the operation that produced it.
template <typename T> struct Result {
    Status status = Status::success();
    T value{};

    bool ok() const { return status.ok(); }
    const QString& error() const { return status.error(); }
    bool is(ErrorKind kind) const { return status.is(kind); }
};
