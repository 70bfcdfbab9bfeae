#include "importing/legacy_values.h"

#include <QRegularExpression>

namespace importing {

std::optional<Amount> amountFromDecimalText(const QString& text) {
    static const QRegularExpression decimal(QStringLiteral("^[-+]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    QString s = text.trimmed();
    if (s.isEmpty())
        return Amount();
    if (!decimal.match(s).hasMatch())
        return std::nullopt;
    if (s.startsWith(u'+'))
        s.remove(0, 1);
    if (s.endsWith(u'.'))
        s.chop(1);
    // The Italian reader takes a comma for the decimal point and rounds to cents exactly.
    return Amount::parse(QString(s).replace(u'.', u','));
}

std::optional<QDate> dateFromText(const QString& text, const QDate& today) {
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})( \\d{2}:\\d{2}:\\d{2})?$"));
    static const QRegularExpression american(
        QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{2})( \\d{2}:\\d{2}:\\d{2})?$"));
    const QString s = text.trimmed();
    if (s.isEmpty())
        return QDate();
    QDate date;
    if (const QRegularExpressionMatch m = iso.match(s); m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else if (const QRegularExpressionMatch a = american.match(s); a.hasMatch()) {
        const int yy = a.captured(3).toInt();
        const int year = (yy <= today.year() % 100 ? 2000 : 1900) + yy;
        date = QDate(year, a.captured(1).toInt(), a.captured(2).toInt());
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QString> flagFromText(const QString& text) {
    const QString s = text.trimmed().toUpper();
    if (s.isEmpty() || s == QLatin1String("N"))
        return QStringLiteral("N");
    if (s == QLatin1String("S"))
        return QStringLiteral("S");
    return std::nullopt;
}

std::optional<qint64> wholeFromText(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^-?\\d{1,18}(\\.0*)?$"));
    const QString s = text.trimmed();
    if (!whole.match(s).hasMatch())
        return std::nullopt;
    return s.section(u'.', 0, 0).toLongLong();
}

} // namespace importing
