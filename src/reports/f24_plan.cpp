#include "reports/f24_plan.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "tax/late_payment_text.h"
#include "tax/late_withholdings.h"
#include "tax/record_due_date.h"
#include "values/stored_money.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <map>
#include <tuple>

namespace {

// Columns 0-2 the user, 3-5 the line's code and reference, 6 remittance date, 7-8 sum
// and count. A record whose user is no subject keeps its key and an empty name.
// The engine's spelling is chosen when a query is made (store/dialect.h).
QString selectPart() {
    return QStringLiteral("SELECT r.utente, s.denominazione, s.codice, coalesce(r.tributo, ''), "
                          "'00' || %1, %2, ")
        .arg(store::dialect::monthText(QStringLiteral("r.datap")),
             store::dialect::yearText(QStringLiteral("r.datap")));
}

QString fromPart() {
    return QStringLiteral(", sum(r.ritenuta), count(*) FROM Ritenute r LEFT JOIN Soggetti s "
                          "ON CAST(s.ID AS TEXT) = r.utente WHERE r.ritenuta <> 0 AND %1 ")
        .arg(store::dialect::hasDate(QStringLiteral("r.datap")));
}

QString unremitted() {
    return store::dialect::noDate(QStringLiteral("r.versamento"));
}

enum class Kind { ToPay, Remitted, Late };

QString sqlOf(Kind kind, bool oneUser) {
    QString sql = selectPart();
    sql += kind == Kind::Remitted ? QStringLiteral("r.versamento") : QStringLiteral("''");
    sql += fromPart();
    if (oneUser)
        sql += QStringLiteral("AND r.utente = ? ");
    switch (kind) {
    case Kind::ToPay:
        sql += QStringLiteral("AND r.datap >= ? AND r.datap < ? AND ") + unremitted();
        break;
    case Kind::Remitted:
        sql += QStringLiteral("AND r.datap >= ? AND r.datap < ? AND NOT ") + unremitted();
        break;
    case Kind::Late:
        sql += QStringLiteral("AND r.datap < ? AND ") + unremitted();
        break;
    }
    // The user's name and code follow the user; PostgreSQL wants them named.
    sql += QStringLiteral(" GROUP BY 1, 2, 3, 4, 6, 5, 7 ORDER BY 1, 6, 5, 4, 7");
    return sql;
}

F24UserPlan& userOf(F24Plan& plan, const QString& id, const QString& name, const QString& taxCode) {
    for (F24UserPlan& user : plan.users) {
        if (user.userId == id)
            return user;
    }
    plan.users.append({id, name.trimmed(), taxCode.trimmed(), {}, {}, {}, {}, {}});
    return plan.users.last();
}

void appendOnce(QStringList& notes, const QString& note) {
    if (!notes.contains(note))
        notes.append(note);
}

// The late withholdings' F24 lines summed per code and reference, in reference order
// (year, month, then the tax code before the penalty code).
Status addRegularisation(F24Plan& plan, const QString& userId) {
    const Result<QList<tax::LateWithholding>> late =
        tax::lateWithholdings(userId, {}, plan.due.legal);
    if (!late.ok())
        return late.status;
    using Key = std::tuple<QString, QString, QString>; // year, month, code
    std::map<QString, std::map<Key, F24Line>> lines;   // by user
    for (const tax::LateWithholding& w : late.value) {
        F24UserPlan& user = userOf(plan, w.user, w.userName, {});
        if (w.cost.outcome != tax::LatePayment::Outcome::Late) {
            appendOnce(user.regularisationNotes, tax::notComputedText(w.cost));
            continue;
        }
        for (const tax::F24Line& l : w.cost.lines) {
            F24Line& line = lines[w.user][{l.year, l.month, l.code}];
            line.taxCode = l.code;
            line.referenceMonth = l.month;
            line.referenceYear = l.year;
            line.amount += l.amount.cents();
            // An invoice counts once, on its tax line; its penalty line counts none.
            if (l.code == w.taxCode)
                ++line.count;
        }
        for (const QString& warning : w.cost.warnings)
            appendOnce(user.regularisationNotes, warning);
    }
    for (F24UserPlan& user : plan.users) {
        for (const auto& [key, line] : lines[user.userId])
            user.regularisation.append(line);
    }
    return Status::success();
}

} // namespace

qint64 totalOf(const QList<F24Line>& lines) {
    qint64 total = 0;
    for (const F24Line& line : lines)
        total += line.amount;
    return total;
}

QDate firstDayOfPaymentMonth(int year, int month) {
    return QDate(year, month, 1).addMonths(-1);
}

std::optional<QDate> parseDueMonth(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2})\\s*[/.-]\\s*([0-9]{4})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int month = m.captured(1).toInt();
    const int year = m.captured(2).toInt();
    if (month < 1 || month > 12 || year < 1000)
        return std::nullopt;
    return QDate(year, month, 1);
}

Result<F24Plan> readF24Plan(const QString& userId, int year, int month) {
    Result<F24Plan> result;
    F24Plan& plan = result.value; // users in Italian name order, as every list
    plan.year = year;
    plan.month = month;
    const Result<tax::CalendarChoice> choice = tax::storedCalendarChoice();
    if (!choice.ok()) {
        result.status = choice.status;
        return result;
    }
    plan.due = tax::legalDueDate(QDate(year, month, 16), choice.value.overrides);
    const QString from = firstDayOfPaymentMonth(year, month).toString(Qt::ISODate);
    const QString to = QDate(year, month, 1).toString(Qt::ISODate);
    const bool oneUser = !userId.isEmpty();
    for (Kind kind : {Kind::ToPay, Kind::Remitted, Kind::Late}) {
        QVariantList values;
        if (oneUser)
            values.append(userId);
        values.append(from);
        if (kind != Kind::Late)
            values.append(to);
        Result<QSqlQuery> q = store::run(sqlOf(kind, oneUser), values);
        if (!q.ok()) {
            result.status = q.status;
            return result;
        }
        while (q.value.next()) {
            F24Line line{q.value.value(3).toString(),
                         q.value.value(4).toString(),
                         q.value.value(5).toString(),
                         q.value.value(6).toString(),
                         0,
                         q.value.value(8).toInt()};
            if (!money::centsOf(q.value.value(7), line.amount)) {
                result.status = Status::failure(
                    QStringLiteral("importo delle ritenute fuori misura (tributo %1)")
                        .arg(line.taxCode));
                return result;
            }
            F24UserPlan& user = userOf(plan, q.value.value(0).toString(),
                                       q.value.value(1).toString(), q.value.value(2).toString());
            (kind == Kind::ToPay      ? user.toPay
             : kind == Kind::Remitted ? user.remitted
                                      : user.late)
                .append(line);
        }
        if (q.value.lastError().isValid()) {
            result.status = Status::failure(q.value.lastError().text());
            return result;
        }
    }
    if (const Status added = addRegularisation(plan, userId); !added.ok()) {
        result.status = added;
        return result;
    }
    std::stable_sort(plan.users.begin(), plan.users.end(),
                     [](const F24UserPlan& a, const F24UserPlan& b) {
                         return std::pair(store::nameKey(a.name), a.name) <
                                std::pair(store::nameKey(b.name), b.name);
                     });
    return result;
}
