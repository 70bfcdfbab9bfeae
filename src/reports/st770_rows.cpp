#include "reports/st770_rows.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"
#include "values/stored_money.h"

#include <QSqlError>
#include <QVariant>
#include <algorithm>
#include <tuple>

namespace st770 {
namespace {

// The condition on the user of the records: none for every user.
Query everyUser() {
    return {};
}

// The records of user `userId`; those without a user when it is empty.
Query oneUser(const QString& userId) {
    if (userId.isEmpty())
        return {QStringLiteral("(r.utente IS NULL OR r.utente = '') AND "), {}};
    return {QStringLiteral("r.utente = ? AND "), {userId}};
}

// The fees of `user`'s records paid in `year`.
Query paidInYear(const Query& user, int year) {
    Query q = user;
    q.sql += QStringLiteral("r.datap >= ? AND r.datap < ?");
    q.values << QDate(year, 1, 1).toString(Qt::ISODate)
             << QDate(year + 1, 1, 1).toString(Qt::ISODate);
    return q;
}

// The withholdings of the year not remitted.
Query notRemitted(const Query& user, int year) {
    Query q = paidInYear(user, year);
    q.sql += QStringLiteral(" AND r.ritenuta <> 0 AND ") +
             store::dialect::noDate(QStringLiteral("r.versamento"));
    return q;
}

// The withholdings of the year remitted: the rows and the checks read the same records.
Query remitted(const Query& user, int year) {
    Query q = paidInYear(user, year);
    q.sql += QStringLiteral(" AND ") + store::dialect::hasDate(QStringLiteral("r.versamento"));
    return q;
}

// The records of ledger year `year` whose fee was paid in another year.
Query otherYears(const Query& user, int year) {
    Query q{QStringLiteral("r.anno = ? AND "), {QString::number(year)}};
    q.sql += user.sql + QStringLiteral("(r.datap < ? OR r.datap >= ?)");
    q.values << user.values << QDate(year, 1, 1).toString(Qt::ISODate)
             << QDate(year + 1, 1, 1).toString(Qt::ISODate);
    return q;
}

// Each record of `conditions`, in user and payment order.
Query records(const Query& conditions) {
    return {QStringLiteral("SELECT r.ID, r.utente, r.denominazione, r.FT, r.anno, r.tributo, "
                           "r.datap, r.versamento, r.ritenuta, r.versato, r.interessi, "
                           "r.sanzione, r.ravv FROM Ritenute r WHERE %1 "
                           "ORDER BY r.utente, r.datap, r.ID")
                .arg(conditions.sql),
            conditions.values};
}

// The rows of `user`: from 2018 one per user, code, period (year, month) and payment
// date; before, the record's key joins the group so that each remittance is a row of its own.
Query grouping(const Query& user, int year) {
    const Query paid = remitted(user, year);
    return {QStringLiteral("SELECT r.utente, coalesce(r.tributo, ''), %1, %2, r.versamento, "
                           "sum(r.ritenuta), sum(r.versato - r.sanzione), sum(r.interessi), "
                           "max(r.ravv), count(*) FROM Ritenute r WHERE %3 "
                           "GROUP BY %4 ORDER BY %4")
                .arg(store::dialect::yearText(QStringLiteral("r.datap")),
                     store::dialect::monthText(QStringLiteral("r.datap")), paid.sql,
                     rowsAggregated(year) ? QStringLiteral("1, 2, 3, 4, 5")
                                          : QStringLiteral("1, 2, 3, 4, 5, r.ID")),
            paid.values};
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

bool readRow(const QSqlQuery& q, Row& row, Status& status) {
    row.taxCode = q.value(1).toString().trimmed();
    row.period = q.value(3).toString() + QLatin1Char('/') + q.value(2).toString();
    row.remitted = dateOf(q.value(4));
    if (!readCents(q, 5, row.withheld, status) || !readCents(q, 6, row.paid, status) ||
        !readCents(q, 7, row.interest, status))
        return false;
    row.regularised = q.value(8).toString().trimmed() == u"S";
    row.records = q.value(9).toInt();
    return true;
}

bool readRecord(const QSqlQuery& q, Record& r, Status& status) {
    r.id = q.value(0).toLongLong();
    r.user = q.value(1).toString();
    r.payee = q.value(2).toString();
    r.invoice = q.value(3).toString();
    r.ledgerYear = q.value(4).toString();
    r.taxCode = q.value(5).toString().trimmed();
    r.paid = dateOf(q.value(6));
    r.remitted = dateOf(q.value(7));
    if (!readCents(q, 8, r.withheld, status) || !readCents(q, 9, r.remittedAmount, status) ||
        !readCents(q, 10, r.interest, status) || !readCents(q, 11, r.penalty, status))
        return false;
    r.regularised = q.value(12).toString().trimmed() == u"S";
    return true;
}

} // namespace

Result<QList<User>> readUsers(const QString& userId, int year) {
    Result<QList<User>> result;
    const Query user = userId.isEmpty() ? everyUser() : oneUser(userId);
    // A user is in the prospectus when it has a row or a difference.
    const Query shown[] = {remitted(user, year), notRemitted(user, year), otherYears(user, year)};
    QStringList parts;
    QVariantList values;
    for (const Query& q : shown) {
        parts.append(QStringLiteral("SELECT coalesce(r.utente, '') FROM Ritenute r WHERE ") +
                     q.sql);
        values.append(q.values);
    }
    Result<QSqlQuery> q = store::run(parts.join(QStringLiteral(" UNION ")), values);
    if (!q.ok()) {
        result.status = q.status;
        return result;
    }
    while (q.value.next())
        result.value.append({q.value.value(0).toString(), {}, {}});
    if (q.value.lastError().isValid()) {
        result.status = failedRead(q.value);
        return result;
    }
    q.value.finish();
    for (User& u : result.value) {
        bool numeric = false;
        const qint64 id = u.id.toLongLong(&numeric);
        if (!numeric)
            continue;
        Result<QSqlQuery> s = store::run(
            QStringLiteral("SELECT denominazione, codice FROM Soggetti WHERE ID = ?"), {id});
        if (!s.ok()) {
            result.status = s.status;
            return result;
        }
        if (s.value.next()) {
            u.name = s.value.value(0).toString().trimmed();
            u.fiscalCode = s.value.value(1).toString().trimmed();
        }
    }
    std::stable_sort(result.value.begin(), result.value.end(), [](const User& a, const User& b) {
        return std::tuple(store::nameKey(a.name), a.name, a.id) <
               std::tuple(store::nameKey(b.name), b.name, b.id);
    });
    return result;
}

Result<QHash<QString, Row>> readTotals(const QString& userId, int year) {
    Result<QHash<QString, Row>> result;
    const Query paid = remitted(oneUser(userId), year);
    Result<QSqlQuery> q =
        store::run(QStringLiteral("SELECT coalesce(r.tributo, ''), sum(r.ritenuta), "
                                  "sum(r.versato - r.sanzione), sum(r.interessi), count(*) "
                                  "FROM Ritenute r WHERE %1 GROUP BY 1")
                       .arg(paid.sql),
                   paid.values);
    if (!q.ok()) {
        result.status = q.status;
        return result;
    }
    while (q.value.next()) {
        // Codes that differ only by spaces are one code, as in the rows.
        Row& total = result.value[q.value.value(0).toString().trimmed()];
        total.taxCode = q.value.value(0).toString().trimmed();
        qint64 withheld = 0, paidCents = 0, interest = 0;
        if (!readCents(q.value, 1, withheld, result.status) ||
            !readCents(q.value, 2, paidCents, result.status) ||
            !readCents(q.value, 3, interest, result.status))
            return result;
        total.withheld += withheld;
        total.paid += paidCents;
        total.interest += interest;
        total.records += q.value.value(4).toInt();
    }
    if (q.value.lastError().isValid())
        result.status = failedRead(q.value);
    return result;
}

Result<std::shared_ptr<const Checks>> readChecks(const QString& userId, int year) {
    Result<std::shared_ptr<const Checks>> result;
    const Result<tax::LateRules> rules = tax::storedLateRules();
    if (!rules.ok()) {
        result.status = rules.status;
        return result;
    }
    const Result<tax::CalendarDates> calendars =
        tax::yearCalendarDates(userId, rules.value.choice, year);
    if (!calendars.ok()) {
        result.status = calendars.status;
        return result;
    }
    result.value = std::make_shared<const Checks>(Checks{rules.value, calendars.value});
    return result;
}

UserItems::UserItems(const QString& userId, int year, std::shared_ptr<const Checks> checks)
    : userId_(userId), year_(year), checks_(std::move(checks)) {}

bool UserItems::open() {
    const Query user = oneUser(userId_);
    Query query;
    switch (part_) {
    case Part::Rows:
        query = grouping(user, year_);
        break;
    case Part::NotRemitted:
        query = records(notRemitted(user, year_));
        break;
    case Part::AmountDiffers:
    case Part::LateNotRegularised:
    case Part::InterestDiffers:
    case Part::Warnings:
        query = records(remitted(user, year_));
        break;
    case Part::OtherYear:
        query = records(otherYears(user, year_));
        break;
    case Part::Done:
        return false;
    }
    Result<QSqlQuery> q = store::run(query.sql, query.values);
    if (!q.ok()) {
        status_ = q.status;
        return false;
    }
    query_.emplace(std::move(q.value));
    return true;
}

// Whether the part is read at all: only the rows without checks; the later checks of
// the remittances and the warnings only when the first reading found some.
bool UserItems::skipped() const {
    switch (part_) {
    case Part::Rows:
    case Part::Done:
        return false;
    case Part::LateNotRegularised:
        return !checks_ || laterKinds_[0] == 0;
    case Part::InterestDiffers:
        return !checks_ || laterKinds_[1] == 0;
    case Part::Warnings:
        return !checks_ || warnings_ == 0;
    case Part::NotRemitted:
    case Part::AmountDiffers:
    case Part::OtherYear:
        break;
    }
    return !checks_;
}

bool UserItems::next(Item& item) {
    while (status_.ok() && part_ != Part::Done) {
        if (!query_ && (skipped() || !open())) {
            if (!status_.ok())
                return false;
            part_ = Part(int(part_) + 1);
            continue;
        }
        if (nextInPart(item))
            return true;
        if (!status_.ok())
            return false;
        // Released before the next part runs: PostgreSQL drops a prepared statement with a
        // statement of its own, which would cut short a result still being read.
        query_.reset();
        part_ = Part(int(part_) + 1);
    }
    return false;
}

bool UserItems::nextInPart(Item& item) {
    while (query_->next()) {
        if (part_ == Part::Rows) {
            item.type = Item::Type::Row;
            return readRow(*query_, item.row, status_);
        }
        Record r;
        if (!readRecord(*query_, r, status_))
            return false;
        item.type = Item::Type::Difference;
        switch (part_) {
        case Part::NotRemitted:
            item.difference = {Kind::NotRemitted, r, 0, 0, {}};
            return true;
        case Part::OtherYear:
            item.difference = {Kind::OtherYear, r, 0, 0, {}};
            return true;
        default:
            break;
        }
        const tax::DueDate due =
            tax::storedDueDate(r.id, r.paid, checks_->calendars, checks_->rules.choice);
        const Check check = checkRemittance(r, due, checks_->rules);
        if (part_ == Part::Warnings) {
            if (check.warnings.isEmpty())
                continue;
            // One record gives at most one warning.
            item.type = Item::Type::Warning;
            item.warning = check.warnings.first();
            return true;
        }
        if (part_ == Part::AmountDiffers) {
            warnings_ += int(check.warnings.size());
            for (const Difference& d : check.differences) {
                if (d.kind == Kind::LateNotRegularised)
                    ++laterKinds_[0];
                else if (d.kind == Kind::InterestDiffers)
                    ++laterKinds_[1];
            }
        }
        const Kind wanted = Kind(int(part_) - int(Part::NotRemitted));
        for (const Difference& d : check.differences) {
            if (d.kind == wanted) {
                item.difference = d;
                return true;
            }
        }
    }
    if (query_->lastError().isValid())
        status_ = failedRead(*query_);
    return false;
}

Query groupingQuery(const QString& userId, int year) {
    return grouping(userId.isEmpty() ? everyUser() : oneUser(userId), year);
}

} // namespace st770
