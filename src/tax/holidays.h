#pragma once

#include <QDate>
#include <QString>

// The Italian national calendar that moves a tax deadline: Saturdays, Sundays and the
// national holidays with civil effect, each valid from the year the law made it one.
namespace tax {

// Easter Sunday of `year` (Gregorian computus).
QDate easterSunday(int year);

// The national holiday with civil effect on `date` ("Natale", "Lunedì dell'Angelo"),
// whatever the day of the week; empty when there is none.
QString holidayName(const QDate& date);

// Why `date` is not a working day, in Italian ("sabato", "domenica", "Natale",
// "Lunedì dell'Angelo"); empty for a working day. A holiday on a Sunday is named.
QString nonWorkingReason(const QDate& date);

inline bool isWorkingDay(const QDate& date) {
    return nonWorkingReason(date).isEmpty();
}

} // namespace tax
