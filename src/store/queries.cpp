#include "store/queries.h"

#include "store/connection.h"
#include "store/name_order.h"

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
        "SELECT denominazione FROM Soggetti WHERE utente = 'S' ORDER BY ordine, denominazione, "
        "ID"));
}

Result<QStringList> subjectNames() {
    return firstColumn(
        QStringLiteral("SELECT denominazione FROM Soggetti ORDER BY ordine, denominazione, ID"));
}

Result<std::optional<qint64>> subjectIdByName(const QString& name) {
    // The key finds the names that differ at most in accents and case (rows another tool
    // wrote may have no key yet); of those, the first that differs in case only.
    Result<std::optional<qint64>> result;
    Result<QSqlQuery> query = run(QStringLiteral("SELECT ID, denominazione FROM Soggetti "
                                                 "WHERE ordine = ? OR ordine IS NULL ORDER BY ID"),
                                  {nameKey(name)});
    result.status = query.status;
    while (query.ok() && query.value.next()) {
        if (query.value.value(1).toString().compare(name, Qt::CaseInsensitive) == 0) {
            result.value = query.value.value(0).toLongLong();
            break;
        }
    }
    return result;
}

Result<std::optional<SubjectRef>> subjectByCode(SubjectCode kind, const QString& code) {
    const QString sql = kind == SubjectCode::TaxCode
                            ? QStringLiteral("SELECT ID, denominazione FROM Soggetti WHERE "
                                             "upper(trim(codice)) = ? ORDER BY ID")
                            : QStringLiteral("SELECT ID, denominazione FROM Soggetti WHERE "
                                             "upper(trim(partita)) = ? ORDER BY ID");
    Result<std::optional<SubjectRef>> result;
    Result<QSqlQuery> query = run(sql, {code.trimmed().toUpper()});
    result.status = query.status;
    if (query.ok() && query.value.next())
        result.value =
            SubjectRef{query.value.value(0).toLongLong(), query.value.value(1).toString()};
    return result;
}

} // namespace store
