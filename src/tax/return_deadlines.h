#pragma once

#include <QDate>
#include <QMap>

// The deadline of the withholding agents' return (770) by the year of the violation: the
// late-payment bands beyond 90 days end on it.
namespace tax {

struct ReturnDeadline {
    QDate date;
    bool confirmed = true; // false: no source settles the date
};

using ReturnDeadlines = QMap<int, ReturnDeadline>;

// The deadlines the program knows, seeded into a new database and used when no database
// gives them.
const ReturnDeadlines& knownReturnDeadlines();

} // namespace tax
