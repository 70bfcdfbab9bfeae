#pragma once

#include "base/status.h"
#include "reports/st770_rules.h"
#include "tax/record_due_date.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>

// The remittances of a reference year as the annual return lists them (quadro ST,
// section I), per user, with the differences to mend before filing. The reference year
// is the year the fees were paid (datap), whichever ledger year holds the records.
// Everything is read through cursors, a user at a time, so that no list grows with the
// ledger.
namespace st770 {

// One row: from 2018 the remittances of one payment date, tax code and period of
// reference summed (the ledger has no note, so the note is always empty); before 2018
// one remittance record. Amounts in cents.
struct Row {
    QString period; // point 1, "MM/AAAA"
    QString taxCode;
    QDate remitted;           // point 14
    qint64 withheld = 0;      // point 2
    qint64 paid = 0;          // point 7: remitted less the penalty, interest included
    qint64 interest = 0;      // point 8
    bool regularised = false; // point 9: any record of the row regularised
    int records = 0;
};

// A user with something in the prospectus of the year.
struct User {
    QString id;
    QString name;       // empty when the user is no subject
    QString fiscalCode; // codice fiscale
};

// The users of the prospectus of `userId`, or of every user when it is empty, for `year`,
// in name order.
Result<QList<User>> readUsers(const QString& userId, int year);

// The rows of user `userId` summed per tax code (point 1 and the date left empty).
Result<QHash<QString, Row>> readTotals(const QString& userId, int year);

// One thing of a user's block, in printed order: the rows by tax code, period and
// payment date; the differences by kind, each kind in payment order; the warnings.
struct Item {
    enum class Type { Row, Difference, Warning };
    Type type = Type::Row;
    Row row;
    Difference difference;
    QString warning;
};

// The items of one user's block, read on demand: each part is an ordered query read
// when it is reached, and a part with nothing in it is not read again.
class UserItems {
public:
    // Checked against `rules` (tax::storedLateRules(), shared by every user); only the
    // rows when it is null.
    UserItems(const QString& userId, int year, std::shared_ptr<const tax::LateRules> rules);

    // The next item; false after the last one or on a failure, which status() names.
    bool next(Item& item);
    const Status& status() const { return status_; }

private:
    enum class Part {
        Rows,
        NotRemitted,
        AmountDiffers,
        LateNotRegularised,
        InterestDiffers,
        OtherYear,
        Warnings,
        Done
    };

    bool skipped() const;
    bool readCalendars();
    bool open();
    bool nextInPart(Item& item);

    QString userId_;
    int year_;
    std::shared_ptr<const tax::LateRules> rules_;
    std::optional<tax::CalendarDates> calendars_; // of the user's withholdings of the year
    tax::OrdinaryDueDates ordinaryDueDates_;
    Part part_ = Part::Rows;
    std::optional<QSqlQuery> query_; // of the part being read
    // Counted on the first read of the checked remittances, so that parts with nothing
    // in them are skipped.
    int laterKinds_[2] = {0, 0};
    int warnings_ = 0;
    Status status_ = Status::success();
};

// The grouping query of the rows with its values, in the current engine's spelling.
struct Query {
    QString sql;
    QVariantList values;
};
Query groupingQuery(const QString& userId, int year);

} // namespace st770
