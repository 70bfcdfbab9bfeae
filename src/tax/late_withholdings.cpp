#include "tax/late_withholdings.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QSqlQuery>
#include <QVariant>

namespace tax {
Result<QList<LateWithholding>> lateWithholdings(const QString& user, const QString& year,
                                                const QDate& at, bool costed) {
    Result<QList<LateWithholding>> result;
    const Result<LateRules> rules = storedLateRules();
    if (!rules.ok()) {
        result.status = rules.status;
        return result;
    }
    const CalendarChoice& choice = rules.value.choice;
    const Result<CalendarDates> calendars = yearCalendarDates(user, choice);
    if (!calendars.ok()) {
        result.status = calendars.status;
        return result;
    }
    // Paid before the day asked (nothing paid later can be due by then) and not remitted.
    QString sql =
        QStringLiteral(
            "SELECT Ritenute.ID, Ritenute.utente, Soggetti.denominazione, Ritenute.denominazione, "
            "Ritenute.FT, Ritenute.datap, Ritenute.tributo, Ritenute.ritenuta "
            "FROM Ritenute LEFT JOIN Soggetti ON CAST(Soggetti.ID AS TEXT) = Ritenute.utente "
            "WHERE %1 AND Ritenute.datap IS NOT NULL AND Ritenute.datap < ? "
            "AND Ritenute.ritenuta > 0 ")
            .arg(store::dialect::noDate(QStringLiteral("Ritenute.versamento")));
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
        if (!row.paid.isValid())
            continue;
        const DueDate due = storedDueDate(row.id, row.paid, calendars.value, choice);
        if (due.legal >= at)
            continue;
        row.cost.due = due;
        if (costed)
            row.cost = computeLatePayment({row.taxCode, row.withheld, row.paid, due, at},
                                          rules.value.rates, rules.value.deadlines);
        result.value.append(row);
    }
    return result;
}

} // namespace tax
