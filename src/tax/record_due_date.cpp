#include "tax/record_due_date.h"

#include "ledger/withholding_rules.h"
#include "store/connection.h"
#include "tax/tax_tables.h"

#include <QSqlQuery>
#include <QVariant>

namespace tax {

DueDate dueDateAmong(const QList<YearWithholding>& year, qsizetype index, const QString& taxCode,
                     const CalendarChoice& choice) {
    CalendarDate date{ledger::dueDateOf(year.at(index).paid), {}};
    if (isCondominiumCode(taxCode))
        date = condominiumDueDates(year).at(index);
    else if (isSmallAmountCode(taxCode) && choice.smallAmountDeferral)
        date = smallAmountDueDates(year).at(index);
    return legalDueDate(date.nominal, choice.overrides, date.reason);
}

Result<DueDate> recordDueDate(const WithholdingKey& key, const CalendarChoice& choice) {
    Result<DueDate> result;
    const bool condominium = isCondominiumCode(key.taxCode);
    const bool deferred = isSmallAmountCode(key.taxCode) && choice.smallAmountDeferral;
    QList<YearWithholding> year;
    qsizetype index = 0;
    if (condominium || deferred) {
        const QStringList codes = condominium
                                      ? QStringList{QStringLiteral("1019"), QStringLiteral("1020")}
                                      : QStringList{QStringLiteral("1040")};
        const int y = key.paymentDate.year();
        Result<QSqlQuery> query = store::run(
            QStringLiteral("SELECT datap, ritenuta FROM Ritenute WHERE utente = ? AND ID <> ? "
                           "AND tributo IN (?, ?) AND datap BETWEEN ? AND ? ORDER BY datap, ID"),
            {key.user, key.id, codes.first(), codes.last(), QDate(y, 1, 1).toString(Qt::ISODate),
             QDate(y, 12, 31).toString(Qt::ISODate)});
        if (!query.ok()) {
            result.status = query.status;
            return result;
        }
        while (query.value.next()) {
            const QDate paid = QDate::fromString(query.value.value(0).toString(), Qt::ISODate);
            if (!paid.isValid())
                continue;
            if (paid <= key.paymentDate)
                ++index;
            year.append({paid, Amount::fromCents(query.value.value(1).toLongLong())});
        }
    }
    year.insert(index, {key.paymentDate, key.withheld});
    result.value = dueDateAmong(year, index, key.taxCode, choice);
    return result;
}

Result<CalendarChoice> storedCalendarChoice() {
    Result<CalendarChoice> result;
    const Result<DueDateOverrides> overrides = loadOverrides();
    const Result<bool> deferral = smallAmountDeferralChosen();
    result.status = overrides.ok() ? deferral.status : overrides.status;
    result.value = {overrides.value, deferral.value};
    return result;
}

} // namespace tax
