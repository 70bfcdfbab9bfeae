#include "platform/keyed_query.h"

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
