#pragma once

#include "tax/due_date.h"
#include "tax/record_due_date.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The rules of the annual return's remittance rows (quadro ST, section I, Erario) and
// of the checks an office makes on them before filing.
namespace st770 {

// From the reference year 2018 (the return of 2019) the rows are aggregated: one row per
// payment date, tax code, period of reference and note. Before, one row per remittance.
constexpr int kFirstAggregatedYear = 2018;
bool rowsAggregated(int referenceYear);

// The period of reference of a withholding: month and year of the fee's payment, also
// when it was remitted in a later month or under regularisation ("12/2024").
QString referencePeriod(const QDate& paid);

// One ledger record as the checks read it; amounts in cents.
struct Record {
    qint64 id = 0;
    QString user;    // the user's ID, as text
    QString payee;   // the invoice's subject
    QString invoice; // its number
    QString ledgerYear;
    QString taxCode;
    QDate paid;     // the fee (datap)
    QDate remitted; // versamento; invalid when not remitted
    qint64 withheld = 0;
    qint64 remittedAmount = 0; // versato: withholding, interest and penalty
    qint64 interest = 0;
    qint64 penalty = 0;
    bool regularised = false; // ravv
};

// Point 7: what was paid for the row, the penalty left out (it is not reported).
qint64 amountPaid(const Record& r);

enum class Kind {
    NotRemitted,        // a withholding of the year with no remittance
    AmountDiffers,      // remitted (interest and penalty left out) differs from withheld
    LateNotRegularised, // remitted after the legal due date, regularisation not ticked
    InterestDiffers,    // regularised, interest differs from the legal rates' figure
    OtherYear,          // a record of the ledger year whose fee was paid in another year
};

struct Difference {
    Kind kind = Kind::NotRemitted;
    Record record;
    qint64 expected = 0; // AmountDiffers, InterestDiffers: cents the rule gives
    qint64 found = 0;    // the cents in the ledger
    QDate due;           // LateNotRegularised: the legal due date
};

struct Check {
    QList<Difference> differences;
    QStringList warnings; // why a figure could not be checked
};

// The differences of one remitted record: its amount against its withholding, its date
// against its legal due date `due`, and when regularised its interest against the one
// the legal rates of `rules` give for the days late.
Check checkRemittance(const Record& r, const tax::DueDate& due, const tax::LateRules& rules);

// The differences heading and one difference, in Italian, naming the record.
QString kindText(Kind kind);
QString differenceText(const Difference& d);

} // namespace st770
