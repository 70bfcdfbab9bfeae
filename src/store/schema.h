#pragma once

#include "base/status.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <utility>

// Creation and upgrade of the database layout. The layout version lives in the
// database (see dialect::storedVersion); each step brings it from one version to the next.
namespace store::schema {

inline constexpr int kCurrentVersion = 11;

int versionOf(QSqlDatabase db);

// The legal interest rate of each year the program knows (hundredths of a percent),
// seeded into the rate table.
const QList<std::pair<int, qint64>>& seededLegalRates();

// The tax codes seeded into the Tributo table of a new database.
QStringList seededTaxCodes();

// The deadline of the withholding agents' return (770) for the violations of a year, as
// seeded into its table; `confirmed` false where no source settles the date (those are
// seeded as 31 October moved to the next working day).
struct SeededReturnDeadline {
    int violationYear;
    QDate deadline;
    bool confirmed;
    const char* note;
};
const QList<SeededReturnDeadline>& seededReturnDeadlines();

// The extraordinary deferrals of due dates that held for every taxpayer, as seeded into
// the deferral table; those of some sectors, sizes or places are the office's to add.
struct SeededDeferral {
    QDate original;
    QDate moved;
    const char* note;
};
const QList<SeededDeferral>& seededDeferrals();

// Runs every missing step, each in its own transaction, then gives the names that have
// no sort key yet (rows another tool wrote) theirs. `today` decides the years seeded
// into a new database. A database newer than this program is refused.
Status upgrade(QSqlDatabase db, const QDate& today);

} // namespace store::schema
