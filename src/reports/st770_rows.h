#pragma once

#include "base/status.h"
#include "reports/st770_rules.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The remittances of a reference year as the annual return lists them (quadro ST,
// section I), per user, with the differences to mend before filing. The reference year
// is the year the fees were paid (datap), whichever ledger year holds the records.
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

struct UserProspectus {
    QString userId;
    QString name;                  // empty when the user is no subject
    QString fiscalCode;            // codice fiscale
    QList<Row> rows;               // by tax code, period and payment date
    QList<Difference> differences; // by kind, then user's records in payment order
    QStringList warnings;
};

struct Prospectus {
    int year = 0;
    bool aggregated = true;
    QList<UserProspectus> users; // in name order
    bool isEmpty() const { return users.isEmpty(); }
};

// The rows of one tax code summed, in the order the codes first appear in `rows`.
QList<Row> totalsByCode(const QList<Row>& rows);

// The grouping query of the rows with its values, in the current engine's spelling.
struct Query {
    QString sql;
    QVariantList values;
};
Query groupingQuery(const QString& userId, int year);

// The prospectus of user `userId`, or of every user when it is empty, for `year`.
Result<Prospectus> readProspectus(const QString& userId, int year);

} // namespace st770
