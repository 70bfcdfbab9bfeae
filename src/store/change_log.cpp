#include "store/change_log.h"

#include "store/connection.h"

#include <QSqlQuery>
#include <QVariant>

namespace store {

Result<QList<ChangeEntry>> rowChanges(const QString& table, qint64 key) {
    Result<QList<ChangeEntry>> result;
    // The index on (tabella, chiave) ends with the ID: the changes come in the order
    // they were recorded, with no sort.
    Result<QSqlQuery> query = run(QStringLiteral("SELECT locale, operatore, computer, azione, "
                                                 "prima, dopo FROM Modifiche WHERE tabella = ? "
                                                 "AND chiave = ? ORDER BY ID"),
                                  {table, key});
    result.status = query.status;
    while (query.ok() && query.value.next()) {
        const QSqlQuery& q = query.value;
        result.value.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                             q.value(3).toString(), q.value(4).toString(), q.value(5).toString()});
    }
    return result;
}

} // namespace store
