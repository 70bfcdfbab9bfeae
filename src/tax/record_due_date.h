#pragma once

#include "base/status.h"
#include "tax/deferral_calendar.h"
#include "tax/due_date.h"
#include "tax/legal_rates.h"
#include "tax/return_deadlines.h"
#include "values/amount.h"

#include <QDate>
#include <QHash>
#include <QString>

// The legal due date of one withholding, with the calendar its tax code follows.
namespace tax {

struct CalendarChoice {
    DueDateOverrides overrides;
    bool smallAmountDeferral = false; // the office's option for 1040
};

// The legal due date of a withholding paid on `paid` to which its calendar gives `date`:
// never before the ordinary one (the 16th of the next month, moved as any date is), which
// every deferral may only postpone.
DueDate calendarDueDate(const QDate& paid, const CalendarDate& date,
                        const DueDateOverrides& overrides);

// The due date of the withholding at `index` of `year` (one agent's withholdings of
// the same calendar of one calendar year, in payment-date order) under code `taxCode`.
DueDate dueDateAmong(const QList<YearWithholding>& year, qsizetype index, const QString& taxCode,
                     const CalendarChoice& choice);

// One withholding as the entry panel or a report holds it; `id` 0 when not yet saved.
struct WithholdingKey {
    qint64 id = 0;
    QString user;
    QString taxCode;
    QDate paymentDate;
    Amount withheld;
};

// The due date of `key`, reading the user's other withholdings of the same year when
// the calendar of its code depends on them.
Result<DueDate> recordDueDate(const WithholdingKey& key, const CalendarChoice& choice);

// The nominal due dates, by record ID, of the withholdings of `user` (every user when
// empty) whose calendar depends on the other withholdings of the year (condominium codes;
// 1040 when the office defers small amounts). Each agent's year is read and computed
// once, not once per withholding, so a large ledger stays quick. Only the withholdings
// paid in `paidIn` when it is given: a calendar year's dates depend on that year alone.
using CalendarDates = QHash<qint64, CalendarDate>;
Result<CalendarDates> yearCalendarDates(const QString& user, const CalendarChoice& choice,
                                        int paidIn = 0);

// The legal due dates of the withholdings that follow the ordinary calendar, by their
// nominal date: a ledger's thousands of withholdings share a dozen such dates a year.
using OrdinaryDueDates = QHash<QDate, DueDate>;

// The legal due date of record `id`, paid on `paid`: its date in `calendars`, else the
// ordinary 16th of the month after the payment; then the stored deferrals and holidays.
// An ordinary one is taken from `known`, or worked out and kept there.
DueDate storedDueDate(qint64 id, const QDate& paid, const CalendarDates& calendars,
                      const CalendarChoice& choice, OrdinaryDueDates& known);

// The overrides and the office option as stored.
Result<CalendarChoice> storedCalendarChoice();

// The general extraordinary deferrals the program knows, seeded into a new database.
const DueDateOverrides& knownOverrides();

// What the cost of a late remittance reads: the program's own facts until a ledger's
// are read.
struct LateRules {
    LegalRates rates = knownLegalRates();
    ReturnDeadlines deadlines = knownReturnDeadlines();
    CalendarChoice choice{knownOverrides()};
};

// The legal rates, the return deadlines and the calendar choice as stored.
Result<LateRules> storedLateRules();

} // namespace tax
