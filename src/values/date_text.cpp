#include "values/date_text.h"

#include <QDate>
#include <QVariant>
#include <optional>

namespace {

// The usual stored form, rearranged character by character: a date format is many
// times slower, and a large grid or report shows a great many dates.
std::optional<QString> quickShownDate(const QString& iso) {
    if (iso.size() != 10 || iso[4] != u'-' || iso[7] != u'-')
        return std::nullopt;
    const auto number = [&iso](int from, int length) {
        int n = 0;
        for (int i = from; i < from + length; ++i) {
            if (iso[i] < u'0' || iso[i] > u'9')
                return -1;
            n = n * 10 + (iso[i].unicode() - u'0');
        }
        return n;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 0 || month < 0 || day < 0 || !QDate(year, month, day).isValid())
        return std::nullopt;
    const QChar shown[10] = {iso[8], iso[9], u'/',   iso[5], iso[6],
                             u'/',   iso[0], iso[1], iso[2], iso[3]};
    return QString(shown, 10);
}

} // namespace

QString shownDate(const QString& stored) {
    if (std::optional<QString> quick = quickShownDate(stored))
        return *std::move(quick);
    const QDate date = QDate::fromString(stored, Qt::ISODate);
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : stored;
}

QString shownDate(const QVariant& stored) {
    if (stored.metaType().id() != QMetaType::QDate)
        return shownDate(stored.toString());
    const QDate date = stored.toDate();
    if (!date.isValid() || date.year() < 1000 || date.year() > 9999)
        return date.toString(QStringLiteral("dd/MM/yyyy"));
    const int year = date.year();
    const auto digit = [](int n) { return QChar(u'0' + n % 10); };
    const QChar shown[10] = {digit(date.day() / 10),
                             digit(date.day()),
                             u'/',
                             digit(date.month() / 10),
                             digit(date.month()),
                             u'/',
                             digit(year / 1000),
                             digit(year / 100),
                             digit(year / 10),
                             digit(year)};
    return QString(shown, 10);
}

QString shownMoment(const QString& stored) {
    if (stored.size() < 11 || stored[10] != u' ')
        return stored;
    const QString day = shownDate(stored.left(10));
    return day == stored.left(10) ? stored : day + stored.mid(10);
}
