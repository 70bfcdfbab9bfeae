#include "tax/tax_tables.h"

#include "store/connection.h"
#include "store/transaction.h"

#include <QSqlQuery>
#include <QVariant>

namespace tax {
namespace {

const QString kSmallAmountKey = QStringLiteral("rinvio_1040_100");

} // namespace

Result<LegalRates> loadLegalRates() {
    Result<LegalRates> result;
    Result<QSqlQuery> query =
        store::run(QStringLiteral("SELECT anno, tasso FROM TassoLegale WHERE tasso IS NOT NULL"));
    result.status = query.status;
    while (query.ok() && query.value.next())
        result.value.insert(query.value.value(0).toInt(), query.value.value(1).toLongLong());
    return result;
}

Result<DueDateOverrides> loadOverrides() {
    Result<DueDateOverrides> result;
    Result<QSqlQuery> query =
        store::run(QStringLiteral("SELECT originale, nuova, nota FROM Proroghe"));
    result.status = query.status;
    while (query.ok() && query.value.next()) {
        const QDate original = QDate::fromString(query.value.value(0).toString(), Qt::ISODate);
        const QDate moved = QDate::fromString(query.value.value(1).toString(), Qt::ISODate);
        if (original.isValid() && moved.isValid())
            result.value.append({original, moved, query.value.value(2).toString()});
    }
    return result;
}

Result<ReturnDeadlines> loadReturnDeadlines() {
    Result<ReturnDeadlines> result;
    Result<QSqlQuery> query = store::run(
        QStringLiteral("SELECT violazione, scadenza, confermata FROM ScadenzaDichiarazione"));
    result.status = query.status;
    while (query.ok() && query.value.next()) {
        const QDate date = QDate::fromString(query.value.value(1).toString(), Qt::ISODate);
        if (date.isValid())
            result.value.insert(query.value.value(0).toInt(),
                                {date, query.value.value(2).toString() != u"N"});
    }
    return result;
}

Result<bool> smallAmountDeferralChosen() {
    Result<bool> result;
    Result<QSqlQuery> query = store::run(
        QStringLiteral("SELECT valore FROM Opzioni WHERE chiave = ?"), {kSmallAmountKey});
    result.status = query.status;
    result.value = query.ok() && query.value.next() && query.value.value(0).toString() == u"S";
    return result;
}

Status chooseSmallAmountDeferral(bool chosen) {
    // The options table has no numbered key for an INSERT to hand back: one statement in a
    // transaction of its own, written for both engines.
    Transaction transaction(store::connection());
    if (!transaction.begun().ok())
        return transaction.begun();
    const Result<QSqlQuery> written = store::run(
        QStringLiteral("INSERT INTO Opzioni (chiave, valore) VALUES (?, ?) ON CONFLICT (chiave) "
                       "DO UPDATE SET valore = excluded.valore"),
        {kSmallAmountKey, chosen ? QStringLiteral("S") : QStringLiteral("N")});
    if (!written.ok())
        return written.status;
    return transaction.commit();
}

} // namespace tax
