#include "tax/late_withholdings.h"

#include "ledger/withholding_rules.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "tax/deferral_calendar.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>

namespace tax {
namespace {

// The calendars that depend on the other withholdings of the year: each agent's year is
// read and computed once, not once per withholding, so a large ledger stays quick.
using CalendarDates = QHash<qint64, CalendarDate>; // by record ID

Result<CalendarDates> yearCalendars(const QString& user, const CalendarChoice& choice) {
    Result<CalendarDates> result;
    QStringList codes{QStringLiteral("1019"), QStringLiteral("1020")};
    if (choice.smallAmountDeferral)
        codes.append(QStringLiteral("1040"));
    QString sql = QStringLiteral("SELECT ID, utente, datap, ritenuta, tributo FROM Ritenute "
                                 "WHERE datap IS NOT NULL AND tributo IN (?, ?, ?) ");
    QVariantList values{codes.at(0), codes.at(1), codes.value(2, codes.at(1))};
    if (!user.isEmpty()) {
        sql += QStringLiteral("AND utente = ? ");
        values.append(user);
    }
    sql += QStringLiteral("ORDER BY utente, datap, ID");
    Result<QSqlQuery> query = store::run(sql, values);
    if (!query.ok()) {
        result.status = query.status;
        return result;
    }
    // One group per agent, calendar year and calendar, in payment-date order.
    struct Group {
        QList<qint64> ids;
        QList<YearWithholding> year;
        bool condominium = false;
    };
    QHash<QString, Group> groups;
    while (query.value.next()) {
        const QDate paid = QDate::fromString(query.value.value(2).toString(), Qt::ISODate);
        if (!paid.isValid())
            continue;
        const bool condominium = isCondominiumCode(query.value.value(4).toString().trimmed());
        Group& group = groups[QStringLiteral("%1|%2|%3")
                                  .arg(query.value.value(1).toString())
                                  .arg(paid.year())
                                  .arg(condominium)];
        group.condominium = condominium;
        group.ids.append(query.value.value(0).toLongLong());
        group.year.append({paid, Amount::fromCents(query.value.value(3).toLongLong())});
    }
    for (const Group& group : std::as_const(groups)) {
        const QList<CalendarDate> dates =
            group.condominium ? condominiumDueDates(group.year) : smallAmountDueDates(group.year);
        for (qsizetype i = 0; i < group.ids.size(); ++i)
            result.value.insert(group.ids.at(i), dates.at(i));
    }
    return result;
}

} // namespace

Result<QList<LateWithholding>> lateWithholdings(const QString& user, const QString& year,
                                                const QDate& at, bool costed) {
    Result<QList<LateWithholding>> result;
    const Result<LateRules> rules = storedLateRules();
    if (!rules.ok()) {
        result.status = rules.status;
        return result;
    }
    const CalendarChoice& choice = rules.value.choice;
    const Result<CalendarDates> calendars = yearCalendars(user, choice);
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
        const CalendarDate date =
            calendars.value.value(row.id, CalendarDate{ledger::dueDateOf(row.paid), {}, {}});
        const DueDate due = calendarDueDate(row.paid, date, choice.overrides);
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
