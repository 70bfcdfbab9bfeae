#include "tax/late_withholdings.h"

#include "store/connection.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QSqlQuery>
#include <QVariant>

namespace tax {

Result<QList<LateWithholding>> lateWithholdings(const QString& user, const QString& year,
                                                const QDate& at) {
    Result<QList<LateWithholding>> result;
    const Result<LegalRates> rates = loadLegalRates();
    const Result<CalendarChoice> choice = storedCalendarChoice();
    if (!rates.ok() || !choice.ok()) {
        result.status = rates.ok() ? choice.status : rates.status;
        return result;
    }
    // Paid before the day asked (nothing paid later can be due by then) and not remitted.
    QString sql = QStringLiteral(
        "SELECT Ritenute.ID, Ritenute.utente, Soggetti.denominazione, Ritenute.denominazione, "
        "Ritenute.FT, Ritenute.datap, Ritenute.tributo, Ritenute.ritenuta "
        "FROM Ritenute LEFT JOIN Soggetti ON Soggetti.ID = Ritenute.utente "
        "WHERE (Ritenute.versamento IS NULL OR Ritenute.versamento = '') "
        "AND Ritenute.datap IS NOT NULL AND Ritenute.datap < ? AND Ritenute.ritenuta > 0 ");
    QVariantList values{at.toString(Qt::ISODate)};
    if (!user.isEmpty()) {
        sql += QStringLiteral("AND Ritenute.utente = ? ");
        values.append(user);
    }
    if (!year.isEmpty()) {
        sql += QStringLiteral("AND Ritenute.anno = ? ");
        values.append(year);
    }
    sql += QStringLiteral("ORDER BY Ritenute.utente, Ritenute.datap, Ritenute.ID");
    Result<QSqlQuery> query = store::run(sql, values);
    if (!query.ok()) {
        result.status = query.status;
        return result;
    }
    QList<LateWithholding> candidates;
    while (query.value.next()) {
        LateWithholding row;
        row.id = query.value.value(0).toLongLong();
        row.user = query.value.value(1).toString();
        row.userName = query.value.value(2).toString();
        row.name = query.value.value(3).toString();
        row.invoice = query.value.value(4).toString();
        row.paid = QDate::fromString(query.value.value(5).toString(), Qt::ISODate);
        row.taxCode = query.value.value(6).toString().trimmed();
        row.withheld = Amount::fromCents(query.value.value(7).toLongLong());
        if (row.paid.isValid())
            candidates.append(row);
    }
    query.value.finish();
    for (LateWithholding& row : candidates) {
        const Result<DueDate> due =
            recordDueDate({row.id, row.user, row.taxCode, row.paid, row.withheld}, choice.value);
        if (!due.ok()) {
            result.status = due.status;
            return result;
        }
        if (due.value.legal >= at)
            continue;
        row.cost =
            computeLatePayment({row.taxCode, row.withheld, row.paid, due.value, at}, rates.value);
        result.value.append(row);
    }
    return result;
}

} // namespace tax
