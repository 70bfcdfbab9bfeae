#include "tax/holidays.h"

namespace tax {
namespace {

struct FixedHoliday {
    int month;
    int day;
    int fromYear; // the first year it counts
    const char* name;
};

// 6 January counts again from 1986, 2 June again from 2001, 4 October from 2026.
const FixedHoliday kFixedHolidays[] = {
    {1, 1, 0, "Capodanno"},
    {1, 6, 1986, "Epifania"},
    {4, 25, 0, "Festa della Liberazione"},
    {5, 1, 0, "Festa del Lavoro"},
    {6, 2, 2001, "Festa della Repubblica"},
    {8, 15, 0, "Ferragosto"},
    {10, 4, 2026, "San Francesco d'Assisi"},
    {11, 1, 0, "Ognissanti"},
    {12, 8, 0, "Immacolata Concezione"},
    {12, 25, 0, "Natale"},
    {12, 26, 0, "Santo Stefano"},
};

} // namespace

QDate easterSunday(int year) {
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return QDate(year, n / 31, n % 31 + 1);
}

QString holidayName(const QDate& date) {
    for (const FixedHoliday& holiday : kFixedHolidays) {
        if (date.month() == holiday.month && date.day() == holiday.day &&
            date.year() >= holiday.fromYear)
            return QString::fromUtf8(holiday.name);
    }
    if (date == easterSunday(date.year()).addDays(1))
        return QStringLiteral("Lunedì dell'Angelo");
    return {};
}

QString nonWorkingReason(const QDate& date) {
    if (const QString holiday = holidayName(date); !holiday.isEmpty())
        return holiday;
    if (date == easterSunday(date.year()))
        return QStringLiteral("Pasqua");
    if (date.dayOfWeek() == Qt::Saturday)
        return QStringLiteral("sabato");
    if (date.dayOfWeek() == Qt::Sunday)
        return QStringLiteral("domenica");
    return {};
}

} // namespace tax
