#include "reports/year_deletion_store.h"

#include "platform/amount.h"
#include "store/connection.h"
#include "store/transaction.h"

#include <QSqlQuery>

namespace year_deletion {

bool isSystemPassword(const QString& entry) {
    // Read as the program reads every number typed by the operator.
    const std::optional<Amount> value = Amount::parse(entry);
    return value && value->cents() == qint64(kSystemPassword) * 100;
}

Status deleteYear(const QString& userId, const QString& year, int* deleted) {
    Transaction tx(store::connection());
    if (!tx.begun().ok())
        return tx.begun();
    // Equality, not LIKE: a year typed as "20%" must not reach other years.
    Result<QSqlQuery> result = store::run(
        QStringLiteral("DELETE FROM Ritenute WHERE anno = ? AND utente = ?"), {year, userId});
    if (!result.ok())
        return result.status;
    const int count = result.value.numRowsAffected();
    if (Status s = tx.commit(); !s.ok())
        return s;
    if (deleted)
        *deleted = count;
    return Status::success();
}

} // namespace year_deletion
