#include "store/queries.h"

#include "store/connection.h"

#include <QSqlQuery>
#include <QVariant>

namespace store {
namespace {

Result<QStringList> firstColumn(const QString& sql) {
    Result<QStringList> result;
    Result<QSqlQuery> query = run(sql);
    result.status = query.status;
    while (query.ok() && query.value.next())
        result.value.append(query.value.value(0).toString());
    return result;
}

} // namespace

Result<QStringList> years() {
    return firstColumn(QStringLiteral("SELECT Anno FROM Anno ORDER BY Anno"));
}

Result<QStringList> userNames() {
    return firstColumn(QStringLiteral(
        "SELECT denominazione FROM Soggetti WHERE utente = 'S' ORDER BY denominazione, ID"));
}

Result<QStringList> subjectNames() {
    return firstColumn(
        QStringLiteral("SELECT denominazione FROM Soggetti ORDER BY denominazione, ID"));
}

Result<std::optional<qint64>> subjectIdByName(const QString& name) {
    Result<std::optional<qint64>> result;
    Result<QSqlQuery> query = run(
        QStringLiteral(
            "SELECT ID FROM Soggetti WHERE denominazione = ? COLLATE NOCASE ORDER BY ID LIMIT 1"),
        {name});
    result.status = query.status;
    if (query.ok() && query.value.next())
        result.value = query.value.value(0).toLongLong();
    return result;
}

} // namespace store
