#include "reports/st770_rows.h"

#include "platform/stored_money.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <functional>
#include <tuple>

namespace st770 {
namespace {

// The fees paid in `year`: the conditions and their values, for one user or every one.
Query paidInYear(const QString& userId, int year) {
    Query q;
    if (!userId.isEmpty()) {
        q.sql = QStringLiteral("r.utente = ? AND ");
        q.values.append(userId);
    }
    q.sql += QStringLiteral("r.datap >= ? AND r.datap < ?");
    q.values << QDate(year, 1, 1).toString(Qt::ISODate)
             << QDate(year + 1, 1, 1).toString(Qt::ISODate);
    return q;
}

QDate dateOf(const QVariant& value) {
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

Status failedRead(const QSqlQuery& query) {
    return Status::failure(query.lastError().text());
}

// Reads an amount column, refusing one out of range rather than misreading it.
bool readCents(const QSqlQuery& q, int column, qint64& cents, Status& status) {
    if (money::centsOf(q.value(column), cents))
        return true;
    status = Status::failure(QStringLiteral("importo fuori misura nel prospetto 770"));
    return false;
}

class Builder {
public:
    Builder(const QString& userId, int year) : userId_(userId), year_(year) {
        prospectus_.year = year;
        prospectus_.aggregated = rowsAggregated(year);
    }

    Status readRows();
    Status readUnremitted();
    Status checkRemitted();
    Status readOtherYears();
    Status readNames();
    Prospectus take();

private:
    UserProspectus& userOf(const QString& id);
    Status readRecords(const QString& conditions, const QVariantList& values,
                       const std::function<void(const Record&)>& each);

    QString userId_;
    int year_;
    Prospectus prospectus_;
    QHash<QString, qsizetype> index_;
};

UserProspectus& Builder::userOf(const QString& id) {
    auto found = index_.constFind(id);
    if (found == index_.constEnd()) {
        found = index_.insert(id, prospectus_.users.size());
        prospectus_.users.append({id, {}, {}, {}, {}, {}});
    }
    return prospectus_.users[*found];
}

Status Builder::readRows() {
    const Query query = groupingQuery(userId_, year_);
    Result<QSqlQuery> q = store::run(query.sql, query.values);
    if (!q.ok())
        return q.status;
    Status status = Status::success();
    while (q.value.next()) {
        Row row;
        row.taxCode = q.value.value(1).toString().trimmed();
        row.period = q.value.value(3).toString() + QLatin1Char('/') + q.value.value(2).toString();
        row.remitted = dateOf(q.value.value(4));
        if (!readCents(q.value, 5, row.withheld, status) ||
            !readCents(q.value, 6, row.paid, status) ||
            !readCents(q.value, 7, row.interest, status))
            return status;
        row.regularised = q.value.value(8).toString().trimmed() == u"S";
        row.records = q.value.value(9).toInt();
        userOf(q.value.value(0).toString()).rows.append(row);
    }
    return q.value.lastError().isValid() ? failedRead(q.value) : Status::success();
}

// Each record of `conditions`, in user and payment order.
Status Builder::readRecords(const QString& conditions, const QVariantList& values,
                            const std::function<void(const Record&)>& each) {
    Result<QSqlQuery> q = store::run(
        QStringLiteral("SELECT r.ID, r.utente, r.denominazione, r.FT, r.anno, r.tributo, r.datap, "
                       "r.versamento, r.ritenuta, r.versato, r.interessi, r.sanzione, r.ravv "
                       "FROM Ritenute r WHERE %1 ORDER BY r.utente, r.datap, r.ID")
            .arg(conditions),
        values);
    if (!q.ok())
        return q.status;
    Status status = Status::success();
    while (q.value.next()) {
        Record r;
        r.id = q.value.value(0).toLongLong();
        r.user = q.value.value(1).toString();
        r.payee = q.value.value(2).toString();
        r.invoice = q.value.value(3).toString();
        r.ledgerYear = q.value.value(4).toString();
        r.taxCode = q.value.value(5).toString().trimmed();
        r.paid = dateOf(q.value.value(6));
        r.remitted = dateOf(q.value.value(7));
        if (!readCents(q.value, 8, r.withheld, status) ||
            !readCents(q.value, 9, r.remittedAmount, status) ||
            !readCents(q.value, 10, r.interest, status) ||
            !readCents(q.value, 11, r.penalty, status))
            return status;
        r.regularised = q.value.value(12).toString().trimmed() == u"S";
        each(r);
    }
    return q.value.lastError().isValid() ? failedRead(q.value) : Status::success();
}

Status Builder::readUnremitted() {
    const Query paid = paidInYear(userId_, year_);
    return readRecords(paid.sql + QStringLiteral(" AND r.ritenuta <> 0 AND ") +
                           store::dialect::noDate(QStringLiteral("r.versamento")),
                       paid.values, [this](const Record& r) {
                           userOf(r.user).differences.append({Kind::NotRemitted, r, 0, 0, {}});
                       });
}

Status Builder::checkRemitted() {
    const Result<tax::LateRules> rules = tax::storedLateRules();
    if (!rules.ok())
        return rules.status;
    const tax::CalendarChoice& choice = rules.value.choice;
    const Result<tax::CalendarDates> calendars = tax::yearCalendarDates(userId_, choice);
    if (!calendars.ok())
        return calendars.status;
    const Query paid = paidInYear(userId_, year_);
    return readRecords(paid.sql + QStringLiteral(" AND ") +
                           store::dialect::hasDate(QStringLiteral("r.versamento")),
                       paid.values, [&](const Record& r) {
                           const tax::DueDate due =
                               tax::storedDueDate(r.id, r.paid, calendars.value, choice);
                           const Check check = checkRemittance(r, due, rules.value);
                           UserProspectus& user = userOf(r.user);
                           user.differences.append(check.differences);
                           user.warnings.append(check.warnings);
                       });
}

Status Builder::readOtherYears() {
    QString sql = QStringLiteral("r.anno = ? AND ");
    QVariantList values{QString::number(year_)};
    if (!userId_.isEmpty()) {
        sql += QStringLiteral("r.utente = ? AND ");
        values.append(userId_);
    }
    sql += QStringLiteral("(r.datap < ? OR r.datap >= ?)");
    values << QDate(year_, 1, 1).toString(Qt::ISODate)
           << QDate(year_ + 1, 1, 1).toString(Qt::ISODate);
    return readRecords(sql, values, [this](const Record& r) {
        userOf(r.user).differences.append({Kind::OtherYear, r, 0, 0, {}});
    });
}

Status Builder::readNames() {
    for (UserProspectus& user : prospectus_.users) {
        bool numeric = false;
        const qint64 id = user.userId.toLongLong(&numeric);
        if (!numeric)
            continue;
        Result<QSqlQuery> q = store::run(
            QStringLiteral("SELECT denominazione, codice FROM Soggetti WHERE ID = ?"), {id});
        if (!q.ok())
            return q.status;
        if (q.value.next()) {
            user.name = q.value.value(0).toString().trimmed();
            user.fiscalCode = q.value.value(1).toString().trimmed();
        }
    }
    return Status::success();
}

Prospectus Builder::take() {
    QList<UserProspectus>& users = prospectus_.users;
    for (UserProspectus& user : users) {
        std::stable_sort(user.differences.begin(), user.differences.end(),
                         [](const Difference& a, const Difference& b) { return a.kind < b.kind; });
    }
    std::stable_sort(users.begin(), users.end(),
                     [](const UserProspectus& a, const UserProspectus& b) {
                         return std::tuple(store::nameKey(a.name), a.name, a.userId) <
                                std::tuple(store::nameKey(b.name), b.name, b.userId);
                     });
    return std::move(prospectus_);
}

} // namespace

QList<Row> totalsByCode(const QList<Row>& rows) {
    QList<Row> totals;
    for (const Row& row : rows) {
        auto total = std::find_if(totals.begin(), totals.end(),
                                  [&row](const Row& t) { return t.taxCode == row.taxCode; });
        if (total == totals.end()) {
            totals.append(Row{{}, row.taxCode, {}, 0, 0, 0, false, 0});
            total = totals.end() - 1;
        }
        total->withheld += row.withheld;
        total->paid += row.paid;
        total->interest += row.interest;
        total->records += row.records;
    }
    return totals;
}

Query groupingQuery(const QString& userId, int year) {
    const Query paid = paidInYear(userId, year);
    // From 2018 one row per user, code, period (year, month) and payment date; before,
    // the record's key joins the group so that each remittance is a row of its own.
    return {QStringLiteral("SELECT r.utente, coalesce(r.tributo, ''), %1, %2, r.versamento, "
                           "sum(r.ritenuta), sum(r.versato - r.sanzione), sum(r.interessi), "
                           "max(r.ravv), count(*) FROM Ritenute r WHERE %3 AND %4 "
                           "GROUP BY %5 ORDER BY %5")
                .arg(store::dialect::yearText(QStringLiteral("r.datap")),
                     store::dialect::monthText(QStringLiteral("r.datap")), paid.sql,
                     store::dialect::hasDate(QStringLiteral("r.versamento")),
                     rowsAggregated(year) ? QStringLiteral("1, 2, 3, 4, 5")
                                          : QStringLiteral("1, 2, 3, 4, 5, r.ID")),
            paid.values};
}

Result<Prospectus> readProspectus(const QString& userId, int year) {
    Result<Prospectus> result;
    Builder builder(userId, year);
    for (Status (Builder::*step)() :
         {&Builder::readRows, &Builder::readUnremitted, &Builder::checkRemitted,
          &Builder::readOtherYears, &Builder::readNames}) {
        if (const Status s = (builder.*step)(); !s.ok()) {
            result.status = s;
            return result;
        }
    }
    result.value = builder.take();
    return result;
}

} // namespace st770
