#include "store/prepared_writes.h"

#include "store/connection.h"

#include <map>

namespace store {
namespace {

// Writes are few and fixed (a statement per table and kind of write): no bound is needed.
// A map keeps each query where it is while others are added.
std::map<QString, QSqlQuery>& preparedWrites() {
    static std::map<QString, QSqlQuery> queries;
    return queries;
}

} // namespace

Result<QSqlQuery*> preparedWrite(const QString& sql) {
    if (const auto found = preparedWrites().find(sql); found != preparedWrites().end())
        return {Status::success(), &found->second};
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
