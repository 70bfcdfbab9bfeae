#include "tax/late_withholdings.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace tax {
namespace {

// The columns read, each once with the field of the row it fills.
struct ReadColumn {
    const char* expression;
    void (*fill)(LateWithholding& row, const QVariant& value);
};

const ReadColumn kReadColumns[] = {
    {"Ritenute.ID", [](LateWithholding& r, const QVariant& v) { r.id = v.toLongLong(); }},
    {"Ritenute.utente", [](LateWithholding& r, const QVariant& v) { r.user = v.toString(); }},
    {"Soggetti.denominazione",
     [](LateWithholding& r, const QVariant& v) { r.userName = v.toString(); }},
    {"Ritenute.denominazione",
     [](LateWithholding& r, const QVariant& v) { r.name = v.toString(); }},
    {"Ritenute.FT", [](LateWithholding& r, const QVariant& v) { r.invoice = v.toString(); }},
    {"Ritenute.datap",
     [](LateWithholding& r, const QVariant& v) {
         r.paid = QDate::fromString(v.toString(), Qt::ISODate);
     }},
    {"Ritenute.tributo",
     [](LateWithholding& r, const QVariant& v) { r.taxCode = v.toString().trimmed(); }},
    {"Ritenute.ritenuta",
     [](LateWithholding& r, const QVariant& v) { r.withheld = Amount::fromCents(v.toLongLong()); }},
};

QString readColumnList() {
    QStringList expressions;
    for (const ReadColumn& column : kReadColumns)
        expressions.append(QString::fromLatin1(column.expression));
    return expressions.join(QStringLiteral(", "));
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
    const Result<CalendarDates> calendars = yearCalendarDates(user, choice);
    if (!calendars.ok()) {
        result.status = calendars.status;
        return result;
    }
    // Paid before the day asked (nothing paid later can be due by then) and not remitted.
    QString sql =
        QStringLiteral(
            "SELECT %1 "
            "FROM Ritenute LEFT JOIN Soggetti ON CAST(Soggetti.ID AS TEXT) = Ritenute.utente "
            "WHERE %2 AND Ritenute.datap IS NOT NULL AND Ritenute.datap < ? "
            "AND Ritenute.ritenuta > 0 ")
            .arg(readColumnList(), store::dialect::noDate(QStringLiteral("Ritenute.versamento")));
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
    OrdinaryDueDates ordinary;
    while (query.value.next()) {
        LateWithholding row;
        int position = 0;
        for (const ReadColumn& column : kReadColumns)
            column.fill(row, query.value.value(position++));
        if (!row.paid.isValid())
            continue;
        const DueDate due = storedDueDate(row.id, row.paid, calendars.value, choice, ordinary);
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
