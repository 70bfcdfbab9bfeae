#include "tax/record_due_date.h"

#include "store/connection.h"
#include "store/schema.h"
#include "tax/due_date.h"
#include "tax/tax_tables.h"

#include <QSqlQuery>
#include <QVariant>

namespace tax {

DueDate calendarDueDate(const QDate& paid, const CalendarDate& date,
                        const DueDateOverrides& overrides) {
    const DueDate ordinary = legalDueDate(tax::nominalDueDate(paid), overrides);
    DueDate due = legalDueDate(date.nominal, overrides, date.reason);
    if (due.legal < ordinary.legal)
        return ordinary;
    if (!date.warning.isEmpty())
        due.warnings.append(date.warning);
    return due;
}

DueDate dueDateAmong(const QList<YearWithholding>& year, qsizetype index, const QString& taxCode,
                     const CalendarChoice& choice) {
    CalendarDate date{tax::nominalDueDate(year.at(index).paid), {}, {}};
    if (isCondominiumCode(taxCode))
        date = condominiumDueDates(year).at(index);
    else if (isSmallAmountCode(taxCode) && choice.smallAmountDeferral)
        date = smallAmountDueDates(year).at(index);
    return calendarDueDate(year.at(index).paid, date, choice.overrides);
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

Result<CalendarDates> yearCalendarDates(const QString& user, const CalendarChoice& choice,
                                        int paidIn) {
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
    if (paidIn > 0) {
        sql += QStringLiteral("AND datap >= ? AND datap < ? ");
        values << QDate(paidIn, 1, 1).toString(Qt::ISODate)
               << QDate(paidIn + 1, 1, 1).toString(Qt::ISODate);
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

DueDate storedDueDate(qint64 id, const QDate& paid, const CalendarDates& calendars,
                      const CalendarChoice& choice, OrdinaryDueDates& known) {
    if (const auto date = calendars.constFind(id); date != calendars.cend())
        return calendarDueDate(paid, *date, choice.overrides);
    // The ordinary calendar's date is its own lower bound: calendarDueDate gives it as is.
    const QDate nominal = tax::nominalDueDate(paid);
    auto due = known.constFind(nominal);
    if (due == known.cend())
        due = known.insert(nominal, legalDueDate(nominal, choice.overrides));
    return *due;
}

Result<CalendarChoice> storedCalendarChoice() {
    Result<CalendarChoice> result;
    const Result<DueDateOverrides> overrides = loadOverrides();
    const Result<bool> deferral = smallAmountDeferralChosen();
    result.status = overrides.ok() ? deferral.status : overrides.status;
    result.value = {overrides.value, deferral.value};
    return result;
}

const DueDateOverrides& knownOverrides() {
    static const DueDateOverrides overrides = [] {
        DueDateOverrides all;
        for (const store::schema::SeededDeferral& d : store::schema::seededDeferrals())
            all.append({d.original, d.moved, QString::fromUtf8(d.note)});
        return all;
    }();
    return overrides;
}

Result<LateRules> storedLateRules() {
    Result<LateRules> result;
    const Result<LegalRates> rates = loadLegalRates();
    const Result<ReturnDeadlines> deadlines = loadReturnDeadlines();
    const Result<CalendarChoice> choice = storedCalendarChoice();
    for (const Status& read : {rates.status, deadlines.status, choice.status}) {
        if (!read.ok()) {
            result.status = read;
            return result;
        }
    }
    result.value = {rates.value, deadlines.value, choice.value};
    return result;
}

} // namespace tax
