#include "store/keyed_query.h"

#include <QStringList>

QString KeyedQuery::keySql() const {
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(key, table);
    if (!filter.isEmpty())
        sql += QStringLiteral(" WHERE ") + filter;
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order;
    return sql;
}

QString KeyedQuery::windowSql(int count) const {
    QStringList placeholders;
    placeholders.fill(QStringLiteral("?"), count);
    return QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IN (%4)")
        .arg(key, columns, table, placeholders.join(QLatin1Char(',')));
}

QString KeyedQuery::windowSql(int count, const QStringList& fields) const {
    // The engine leaves out the columns the outer list does not name.
    QString outer = QStringLiteral("w.velarco_key");
    for (const QString& field : fields)
        outer += QStringLiteral(", w.") + field;
    QStringList placeholders;
    placeholders.fill(QStringLiteral("?"), count);
    return QStringLiteral(
               "SELECT %1 FROM (SELECT %2 AS velarco_key, %3 FROM %4 WHERE %2 IN (%5)) AS w")
        .arg(outer, key, columns, table, placeholders.join(QLatin1Char(',')));
}
