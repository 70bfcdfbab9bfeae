#include "ledger/ledger_lookups.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "values/amount.h"

#include <QSqlQuery>
#include <QVariant>

namespace ledger {
namespace {

template <typename Convert> Result<QStringList> firstColumn(const QString& sql, Convert convert) {
    Result<QStringList> result;
    Result<QSqlQuery> query = store::run(sql);
    result.status = query.status;
    while (query.ok() && query.value.next())
        result.value.append(convert(query.value.value(0)));
    return result;
}

QString asText(const QVariant& value) {
    return value.toString();
}

} // namespace

Result<QStringList> taxCodes() {
    return firstColumn(QStringLiteral("SELECT codice FROM Tributo ORDER BY codice, ID"), asText);
}

Result<QStringList> rateTexts() {
    // Rates are stored in cents of percent: 2000 is shown "20".
    return firstColumn(
        QStringLiteral("SELECT Percentuale FROM Percentuale ORDER BY ID"),
        [](const QVariant& value) { return Amount::fromCents(value.toLongLong()).plainText(); });
}

Result<QStringList> periods() {
    return firstColumn(QStringLiteral("SELECT periodo FROM periodo ORDER BY ID"), asText);
}

Result<QString> taxCodeDescription(const QString& code) {
    Result<QString> result;
    Result<QSqlQuery> query =
        store::run(QStringLiteral("SELECT Causale FROM Tributo WHERE %1 ORDER BY ID LIMIT 1")
                       .arg(store::dialect::equalsIgnoringCase(QStringLiteral("codice"))),
                   {code});
    result.status = query.status;
    if (query.ok() && query.value.next())
        result.value = query.value.value(0).toString();
    return result;
}

} // namespace ledger
