#pragma once

#include "values/amount.h"

#include <QDate>
#include <QList>
#include <QString>

// The calendars that let some withholdings wait past the 16th of the next month.
// Each takes one agent's withholdings of one calendar year under the calendar's tax
// codes, in payment-date order, and gives each its nominal due date and why.
namespace tax {

struct YearWithholding {
    QDate paid;
    Amount withheld;
};

struct CalendarDate {
    QDate nominal;
    QString reason;  // empty when it is the ordinary 16th of the next month
    QString warning; // when the date rests on a reading not confirmed
};

// Condominium withholdings (codes 1019 and 1020), from 2017: they may wait past the
// ordinary 16th of the next month, never be due before it. Those not yet remitted are
// due the 16th after the month in which they reach 500 euro, and in any case by the
// first half-year date on or after their ordinary deadline: up to 2023 January-May by
// 30 June, June-November by 20 December, December by 30 June of the next year (December
// 2023 by 16 June 2024, a reading not confirmed); from 2024 January-May by 16 June,
// June-November by 16 December, December by 16 January. Before 2017, monthly.
QList<CalendarDate> condominiumDueDates(const QList<YearWithholding>& year);

// The optional deferral of small self-employment withholdings (code 1040), for
// payments from January 2024: a month's withholdings wait while the total not yet
// remitted stays at most 100 euro, and are due with the month that takes it over; in
// any case by 16 December; December's by 16 January. Earlier payments: monthly.
QList<CalendarDate> smallAmountDueDates(const QList<YearWithholding>& year);

bool isCondominiumCode(const QString& taxCode);
bool isSmallAmountCode(const QString& taxCode);

} // namespace tax
