#include "tax/deferral_calendar.h"

#include "tax/due_date.h"

#include <QHash>
#include <algorithm>

namespace tax {
namespace {

const Amount kCondominiumThreshold = Amount::fromCents(50000);
const Amount kSmallAmountLimit = Amount::fromCents(10000);

// The first half-year date on or after the ordinary deadline (the 16th of the next
// month) of a condominium withholding paid on `paid`.
QDate condominiumHalfYearDate(const QDate& paid) {
    const int y = paid.year();
    const int m = paid.month();
    if (m <= 5)
        return QDate(y, 6, y <= 2023 ? 30 : 16);
    if (m <= 11)
        return QDate(y, 12, y <= 2023 ? 20 : 16);
    if (y < 2023)
        return QDate(y + 1, 6, 30);
    return y == 2023 ? QDate(2024, 6, 16) : QDate(y + 1, 1, 16);
}

// Withholdings of one month, as the position of the first and one past the last.
struct MonthSpan {
    qsizetype begin;
    qsizetype end;
};

QList<MonthSpan> monthSpans(const QList<YearWithholding>& year) {
    QList<MonthSpan> spans;
    for (qsizetype i = 0; i < year.size(); ++i) {
        if (spans.isEmpty() || year.at(spans.last().begin).paid.month() != year.at(i).paid.month())
            spans.append({i, i + 1});
        else
            spans.last().end = i + 1;
    }
    return spans;
}

Amount addClamped(Amount a, Amount b) {
    return a.plus(b).value_or(Amount::fromCents(Amount::kMaxCents));
}

} // namespace

bool isCondominiumCode(const QString& taxCode) {
    return taxCode == u"1019" || taxCode == u"1020";
}

bool isSmallAmountCode(const QString& taxCode) {
    return taxCode == u"1040";
}

QList<CalendarDate> condominiumDueDates(const QList<YearWithholding>& year) {
    QList<CalendarDate> dates;
    // Those not yet remitted: made but neither past their half-year date nor due with
    // a month that reached the threshold.
    QList<qsizetype> pending;
    // The texts of a date, made once and shared by its withholdings: a year may hold many.
    QHash<QDate, QString> halfYearReasons;
    const QString unconfirmed = QStringLiteral("Ritenuta condominiale di dicembre 2023: la "
                                               "scadenza del 16/06/2024 non è confermata.");
    for (const MonthSpan& span : monthSpans(year)) {
        const QDate monthly = tax::nominalDueDate(year.at(span.begin).paid);
        for (qsizetype i = span.begin; i < span.end; ++i) {
            const QDate paid = year.at(i).paid;
            if (paid.year() < 2017) {
                dates.append({monthly, {}, {}});
                continue;
            }
            const QDate halfYear = condominiumHalfYearDate(paid);
            pending.removeIf([&](qsizetype p) { return dates.at(p).nominal < paid; });
            pending.append(i);
            QString& reason = halfYearReasons[halfYear];
            if (reason.isEmpty())
                reason = QStringLiteral("ritenuta condominiale: entro il %1 se non si "
                                        "raggiungono 500 euro")
                             .arg(dayText(halfYear));
            dates.append({halfYear, reason,
                          paid.year() == 2023 && paid.month() == 12 ? unconfirmed : QString()});
        }
        Amount total;
        for (qsizetype p : std::as_const(pending))
            total = addClamped(total, year.at(p).withheld);
        if (total < kCondominiumThreshold)
            continue;
        // The month that reaches the threshold makes everything not yet remitted due
        // by the next 16th, unless a half-year date comes first.
        const QString reached =
            QStringLiteral("ritenute condominiali non versate: 500 euro raggiunti nel mese %1")
                .arg(year.at(span.begin).paid.toString(QStringLiteral("MM/yyyy")));
        for (qsizetype p : std::as_const(pending)) {
            if (dates[p].nominal > monthly)
                dates[p] = {monthly, reached, {}};
        }
        pending.clear();
    }
    return dates;
}

QList<CalendarDate> smallAmountDueDates(const QList<YearWithholding>& year) {
    QList<CalendarDate> dates;
    Amount pending;
    qsizetype firstPending = 0;
    for (const MonthSpan& span : monthSpans(year)) {
        const QDate paid = year.at(span.begin).paid;
        const QDate monthly = tax::nominalDueDate(paid);
        for (qsizetype i = span.begin; i < span.end; ++i) {
            pending = addClamped(pending, year.at(i).withheld);
            dates.append({monthly, {}, {}});
        }
        const bool deferrable = paid >= QDate(2024, 1, 1) && paid.month() < 11;
        if (deferrable && pending <= kSmallAmountLimit) {
            // Waits for a later month; 16 December unless a later month takes it over.
            const QString waits = QStringLiteral("rinvio delle ritenute fino a 100 euro: entro il "
                                                 "16/12/%1 se non si superano 100 euro")
                                      .arg(paid.year());
            for (qsizetype i = span.begin; i < span.end; ++i)
                dates[i] = {QDate(paid.year(), 12, 16), waits, {}};
            continue;
        }
        const QString exceeded = QStringLiteral("ritenute rinviate: superati 100 euro nel mese %1")
                                     .arg(paid.toString(QStringLiteral("MM/yyyy")));
        for (qsizetype i = firstPending; i < span.begin; ++i)
            dates[i] = {monthly, exceeded, {}};
        pending = Amount();
        firstPending = span.end;
    }
    return dates;
}

} // namespace tax
