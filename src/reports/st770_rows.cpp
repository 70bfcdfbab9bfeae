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

// The columns of records(), in the order of kRecordColumns.
enum class RecordColumn {
    Id,
    User,
    Payee,
    Invoice,
    LedgerYear,
    TaxCode,
    Paid,
    Remitted,
    Withheld,
    RemittedAmount,
    Interest,
    Penalty,
    Regularised
};
const char* const kRecordColumns[] = {"r.ID",       "r.utente",  "r.denominazione", "r.FT",
                                      "r.anno",     "r.tributo", "r.datap",         "r.versamento",
                                      "r.ritenuta", "r.versato", "r.interessi",     "r.sanzione",
                                      "r.ravv"};
static_assert(std::size(kRecordColumns) == std::size_t(RecordColumn::Regularised) + 1);

// Each record of `conditions`, in user and payment order.
Query records(const Query& conditions) {
    QStringList columns;
    for (const char* column : kRecordColumns)
        columns.append(QLatin1String(column));
    return {QStringLiteral("SELECT %1 FROM Ritenute r WHERE %2 ORDER BY r.utente, r.datap, r.ID")
                .arg(columns.join(QStringLiteral(", ")), conditions.sql),
            conditions.values};
}

// The columns of grouping(), in the order groupColumns() lists them: the first five
// are the group's key.
enum class GroupColumn {
    User,
    TaxCode,
    Year,
    Month,
    Remitted,
    Withheld,
    Paid,
    Interest,
    Regularised,
    Records
};
QStringList groupColumns() {
    return {QStringLiteral("r.utente"),
            QStringLiteral("coalesce(r.tributo, '')"),
            store::dialect::yearText(QStringLiteral("r.datap")),
            store::dialect::monthText(QStringLiteral("r.datap")),
            QStringLiteral("r.versamento"),
            QStringLiteral("sum(r.ritenuta)"),
            QStringLiteral("sum(r.versato - r.sanzione)"),
            QStringLiteral("sum(r.interessi)"),
            QStringLiteral("max(r.ravv)"),
            QStringLiteral("count(*)")};
}

// The rows of `user`: from 2018 one per user, code, period (year, month) and payment
// date; before, the record's key joins the group so that each remittance is a row of its own.
Query grouping(const Query& user, int year) {
    const Query paid = remitted(user, year);
    return {QStringLiteral("SELECT %1 FROM Ritenute r WHERE %2 GROUP BY %3 ORDER BY %3")
                .arg(groupColumns().join(QStringLiteral(", ")), paid.sql,
                     rowsAggregated(year) ? QStringLiteral("1, 2, 3, 4, 5")
                                          : QStringLiteral("1, 2, 3, 4, 5, r.ID")),
            paid.values};
}

// The columns of a user's totals, in the order of kTotalColumns.
enum class TotalColumn { TaxCode, Withheld, Paid, Interest, Records };
const char* const kTotalColumns[] = {"coalesce(r.tributo, '')", "sum(r.ritenuta)",
                                     "sum(r.versato - r.sanzione)", "sum(r.interessi)", "count(*)"};
static_assert(std::size(kTotalColumns) == std::size_t(TotalColumn::Records) + 1);

// The value of `column` in the query's current row.
template <typename Column> QVariant valueOf(const QSqlQuery& q, Column column) {
    return q.value(int(column));
}

QDate dateOf(const QVariant& value) {
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

Status failedRead(const QSqlQuery& query) {
    return Status::failure(query.lastError().text());
}

// Reads an amount column, refusing one out of range rather than misreading it.
template <typename Column>
bool readCents(const QSqlQuery& q, Column column, qint64& cents, Status& status) {
    if (money::centsOf(valueOf(q, column), cents))
        return true;
    status = Status::failure(QStringLiteral("importo fuori misura nel prospetto 770"));
    return false;
}

bool readRow(const QSqlQuery& q, Row& row, Status& status) {
    using C = GroupColumn;
    row.taxCode = valueOf(q, C::TaxCode).toString().trimmed();
    row.period =
        valueOf(q, C::Month).toString() + QLatin1Char('/') + valueOf(q, C::Year).toString();
    row.remitted = dateOf(valueOf(q, C::Remitted));
    if (!readCents(q, C::Withheld, row.withheld, status) ||
        !readCents(q, C::Paid, row.paid, status) ||
        !readCents(q, C::Interest, row.interest, status))
        return false;
    row.regularised = valueOf(q, C::Regularised).toString().trimmed() == u"S";
    row.records = valueOf(q, C::Records).toInt();
    return true;
}

bool readRecord(const QSqlQuery& q, Record& r, Status& status) {
    using C = RecordColumn;
    r.id = valueOf(q, C::Id).toLongLong();
    r.user = valueOf(q, C::User).toString();
    r.payee = valueOf(q, C::Payee).toString();
    r.invoice = valueOf(q, C::Invoice).toString();
    r.ledgerYear = valueOf(q, C::LedgerYear).toString();
    r.taxCode = valueOf(q, C::TaxCode).toString().trimmed();
    r.paid = dateOf(valueOf(q, C::Paid));
    r.remitted = dateOf(valueOf(q, C::Remitted));
    if (!readCents(q, C::Withheld, r.withheld, status) ||
        !readCents(q, C::RemittedAmount, r.remittedAmount, status) ||
        !readCents(q, C::Interest, r.interest, status) ||
        !readCents(q, C::Penalty, r.penalty, status))
        return false;
    r.regularised = valueOf(q, C::Regularised).toString().trimmed() == u"S";
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
            u.name = s.value.value(QStringLiteral("denominazione")).toString().trimmed();
            u.fiscalCode = s.value.value(QStringLiteral("codice")).toString().trimmed();
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
    QStringList columns;
    for (const char* column : kTotalColumns)
        columns.append(QLatin1String(column));
    Result<QSqlQuery> q = store::run(QStringLiteral("SELECT %1 FROM Ritenute r WHERE %2 GROUP BY 1")
                                         .arg(columns.join(QStringLiteral(", ")), paid.sql),
                                     paid.values);
    if (!q.ok()) {
        result.status = q.status;
        return result;
    }
    using C = TotalColumn;
    while (q.value.next()) {
        // Codes that differ only by spaces are one code, as in the rows.
        const QString code = valueOf(q.value, C::TaxCode).toString().trimmed();
        Row& total = result.value[code];
        total.taxCode = code;
        qint64 withheld = 0, paidCents = 0, interest = 0;
        if (!readCents(q.value, C::Withheld, withheld, result.status) ||
            !readCents(q.value, C::Paid, paidCents, result.status) ||
            !readCents(q.value, C::Interest, interest, result.status))
            return result;
        total.withheld += withheld;
        total.paid += paidCents;
        total.interest += interest;
        total.records += valueOf(q.value, C::Records).toInt();
    }
    if (q.value.lastError().isValid())
        result.status = failedRead(q.value);
    return result;
}

UserItems::UserItems(const QString& userId, int year, std::shared_ptr<const tax::LateRules> rules)
    : userId_(userId), year_(year), rules_(std::move(rules)) {}

// The user's due-date calendars, read on the first check and kept for the user's block
// only. For the records without a user (an empty `userId_`) every user's are read: the
// dates are keyed by record, and those records make one group of their own.
bool UserItems::readCalendars() {
    if (calendars_)
        return true;
    Result<tax::CalendarDates> dates = tax::yearCalendarDates(userId_, rules_->choice, year_);
    if (!dates.ok()) {
        status_ = dates.status;
        return false;
    }
    calendars_ = std::move(dates.value);
    return true;
}

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
        if (!readCalendars())
            return false;
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
        return !rules_ || laterKinds_[0] == 0;
    case Part::InterestDiffers:
        return !rules_ || laterKinds_[1] == 0;
    case Part::Warnings:
        return !rules_ || warnings_ == 0;
    case Part::NotRemitted:
    case Part::AmountDiffers:
    case Part::OtherYear:
        break;
    }
    return !rules_;
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
            tax::storedDueDate(r.id, r.paid, *calendars_, rules_->choice, ordinaryDueDates_);
        const Check check = checkRemittance(r, due, *rules_);
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
