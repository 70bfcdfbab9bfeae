#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The date by which a withholding may be remitted without being late.
namespace tax {

// An extraordinary deferral no calendar rule can foresee: a remittance due on
// `original` may be made by `moved`.
struct DueDateOverride {
    QDate original;
    QDate moved;
    QString note;
};
using DueDateOverrides = QList<DueDateOverride>;

struct DueDate {
    QDate nominal; // what the calendar of the tax code gives, before any shift
    QDate legal;   // the last day on which remitting is on time
    QStringList reasons;
    QStringList warnings; // what the date rests on that is not confirmed

    // The reasons in Italian, in order: "16/04/2022 è sabato; 18/04/2022 è Lunedì
    // dell'Angelo"; empty when nothing moved the date.
    QString reasonText() const { return reasons.join(QStringLiteral("; ")); }
};

// The remittance is nominally due on the 16th of the month after the payment.
QDate nominalDueDate(const QDate& paymentDate);

// The legal due date of a remittance nominally due on `nominal`: an override of that
// date wins, unless it would bring the date forward (then it is said and left out);
// otherwise a date from 1 to 20 August moves to 20 August, then a Saturday,
// Sunday or national holiday moves to the next day, until a working day; an override
// of the date reached wins again. `calendarReason`, when given, leads the reasons.
DueDate legalDueDate(const QDate& nominal, const DueDateOverrides& overrides = {},
                     const QString& calendarReason = {});

// A deadline shifted only for Saturdays, Sundays and holidays (filing dates).
QDate nextWorkingDay(const QDate& date);

// dd/MM/yyyy, as every text of this folder writes dates.
QString dayText(const QDate& date);

} // namespace tax
