#pragma once

#include "base/status.h"
#include "store/keyed_query.h"

#include <QSqlQuery>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The rows of a KeyedQuery on the one connection, by position: the integer key of every
// row is read once, in display order (eight bytes a row; this fixes the order and the
// count), then the rows by key, up to `windowRows` at a time, with one statement
// prepared once.
class KeyedReader {
public:
    explicit KeyedReader(int windowRows) : windowRows_(windowRows) {}

    // Reads the keys and the column names; on failure the reader is empty and the
    // database's reason is given.
    Status open(const KeyedQuery& query);
    void clear();

    qint64 rowCount() const { return qint64(keys_.size()); }
    // The columns of the query after its key.
    const QStringList& names() const { return names_; }

    // True when `columns` (positions in names()) can be read without the rest of the
    // row: each is a name the result holds once.
    bool readsApart(const QList<int>& columns) const;

    // Reads the rows at `first` .. `first + count - 1` (at most `windowRows`) and hands
    // each to `take` with its place from `first`; value c + 1 of the statement is the
    // row's column c, or, given `columns` that readsApart(), its column columns[c]:
    // only those are read. A row deleted since the keys were read is not handed over.
    using Take = std::function<void(int place, const QSqlQuery& row)>;
    Status read(qint64 first, int count, const Take& take, const QList<int>& columns = {});

private:
    // The statement that reads `columns` (every column when none), prepared on first use.
    Result<QSqlQuery*> windowOf(const QList<int>& columns);

    int windowRows_;
    KeyedQuery query_;
    std::vector<qint64> keys_;
    QStringList names_;
    QStringList fields_; // the names of names_ as the engine gives them
    QSqlQuery window_;
    // The statements of the column sets read so far: a report reads two or three.
    std::vector<std::pair<QList<int>, std::unique_ptr<QSqlQuery>>> narrowed_;
};
