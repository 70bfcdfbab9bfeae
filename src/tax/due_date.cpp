#include "tax/due_date.h"

#include "tax/holidays.h"

namespace tax {
namespace {

const DueDateOverride* overrideOf(const QDate& date, const DueDateOverrides& overrides) {
    for (const DueDateOverride& o : overrides) {
        if (o.original == date && o.moved.isValid())
            return &o;
    }
    return nullptr;
}

bool applyOverride(DueDate& due, const QDate& date, const DueDateOverrides& overrides) {
    const DueDateOverride* o = overrideOf(date, overrides);
    if (!o)
        return false;
    QString text = QStringLiteral("%1 prorogata al %2").arg(dayText(date), dayText(o->moved));
    if (!o->note.trimmed().isEmpty())
        text += QStringLiteral(" (") + o->note.trimmed() + QLatin1Char(')');
    if (o->moved < date) {
        // A deferral lets one remit later, never sooner.
        due.reasons.append(text + QStringLiteral(": data precedente, proroga non applicata"));
        return false;
    }
    due.legal = o->moved;
    due.reasons.append(text);
    return true;
}

} // namespace

QDate nominalDueDate(const QDate& paymentDate) {
    return QDate(paymentDate.year(), paymentDate.month(), 16).addMonths(1);
}

QString dayText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QDate nextWorkingDay(const QDate& date) {
    QDate day = date;
    while (!isWorkingDay(day))
        day = day.addDays(1);
    return day;
}

DueDate legalDueDate(const QDate& nominal, const DueDateOverrides& overrides,
                     const QString& calendarReason) {
    DueDate due{nominal, nominal, {}, {}};
    if (!calendarReason.isEmpty())
        due.reasons.append(calendarReason);
    if (applyOverride(due, nominal, overrides))
        return due;
    QDate day = nominal;
    if (day.month() == 8 && day.day() < 20) {
        day = QDate(day.year(), 8, 20);
        due.reasons.append(QStringLiteral("%1 cade tra il 1° e il 20 agosto: si versa entro il %2")
                               .arg(dayText(nominal), dayText(day)));
    }
    bool afterSaturday = false;
    for (QString why = nonWorkingReason(day); !why.isEmpty(); why = nonWorkingReason(day)) {
        // "sabato" says the Sunday after it too (Easter among them); a holiday is always said.
        if (!(afterSaturday && day.dayOfWeek() == Qt::Sunday && holidayName(day).isEmpty()))
            due.reasons.append(QStringLiteral("%1 è %2").arg(dayText(day), why));
        afterSaturday = day.dayOfWeek() == Qt::Saturday;
        day = day.addDays(1);
    }
    due.legal = day;
    if (day != nominal)
        applyOverride(due, day, overrides);
    return due;
}

} // namespace tax
