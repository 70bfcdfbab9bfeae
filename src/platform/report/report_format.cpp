#include "platform/report/report_format.h"

#include <QDate>

namespace report {
namespace {

QString groupedDigits(quint64 whole) {
    QString digits = QString::number(whole);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char('.'));
    return digits;
}

quint64 magnitude(qint64 value) {
    // Negating the smallest int64 overflows; go through unsigned arithmetic instead.
    return value < 0 ? quint64(0) - quint64(value) : quint64(value);
}

QString formatRate(qint64 cents) {
    const quint64 abs = magnitude(cents);
    QString text = QString::number(abs / 100);
    if (const quint64 fraction = abs % 100; fraction != 0) {
        text += QLatin1Char(',') + QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
        if (text.endsWith(QLatin1Char('0')))
            text.chop(1);
    }
    return cents < 0 ? QLatin1Char('-') + text : text;
}

} // namespace

QString formatCents(qint64 cents) {
    const quint64 abs = magnitude(cents);
    QString text = groupedDigits(abs / 100) + QLatin1Char(',') +
                   QStringLiteral("%1").arg(abs % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? QLatin1Char('-') + text : text;
}

bool centsOf(const QVariant& value, qint64& cents) {
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        cents = value.toLongLong();
        return true;
    case QMetaType::QString: {
        bool ok = false;
        cents = value.toString().trimmed().toLongLong(&ok);
        return ok;
    }
    default: {
        bool ok = false;
        cents = value.toLongLong(&ok);
        return ok;
    }
    }
}

QString formatValue(const QVariant& value, Format format) {
    if (value.isNull())
        return {};
    switch (format) {
    case Format::Text:
        return value.toString();
    case Format::Money:
    case Format::Rate: {
        qint64 cents = 0;
        if (!centsOf(value, cents))
            return value.toString();
        return format == Format::Money ? formatCents(cents) : formatRate(cents);
    }
    case Format::Date: {
        const QString text = value.toString();
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : text;
    }
    }
    return value.toString();
}

} // namespace report
