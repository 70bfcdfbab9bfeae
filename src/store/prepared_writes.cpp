#include "store/prepared_writes.h"

#include "store/connection.h"

#include <map>

namespace store {
namespace {

// A statement per table and kind of write, and per set of corrected columns: a few dozen
// in a day's work. Past this many the statements start afresh.
constexpr std::size_t kKeptWrites = 64;

// A map keeps each query where it is while others are added.
std::map<QString, QSqlQuery>& preparedWrites() {
    static std::map<QString, QSqlQuery> queries;
    return queries;
}

} // namespace

Result<QSqlQuery*> preparedWrite(const QString& sql) {
    if (const auto found = preparedWrites().find(sql); found != preparedWrites().end())
        return {Status::success(), &found->second};
    if (preparedWrites().size() >= kKeptWrites)
        preparedWrites().clear();
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return {failureOf(query), nullptr};
    return {Status::success(), &preparedWrites().emplace(sql, std::move(query)).first->second};
}

void forgetPreparedWrites() {
    preparedWrites().clear();
}

} // namespace store
