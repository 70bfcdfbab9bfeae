#include "values/stored_money.h"

#include "values/amount.h"

#include <cmath>

namespace money {

QString formatCents(qint64 cents) {
    return Amount::fromCents(cents).format();
}

namespace {

// Far beyond any amount, and well inside the range of MicroCents.
constexpr MicroCents kMicroLimit = MicroCents(kMicroCentsPerCent) * 1000000000000000000LL * 10;

// Decimal text: an optional sign, digits, an optional point and fraction digits; the
// fraction rounds half away from zero at the millionth of a cent.
bool parseDecimal(QStringView text, MicroCents& micro) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    MicroCents whole = 0;
    MicroCents fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    bool digits = false;
    bool point = false;
    for (const QChar c : text) {
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        const int digit = c.unicode() - u'0';
        digits = true;
        if (!point) {
            whole = whole * 10 + digit;
            if (whole > kMicroLimit)
                return false;
        } else if (fractionDigits < 6) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (fractionDigits == 6) {
            roundUp = digit >= 5;
            ++fractionDigits;
        }
    }
    if (!digits)
        return false;
    for (; fractionDigits < 6; ++fractionDigits)
        fraction *= 10;
    micro = whole * kMicroCentsPerCent + fraction + (roundUp ? 1 : 0);
    if (negative)
        micro = -micro;
    return true;
}

} // namespace

bool microCentsOf(const QVariant& value, MicroCents& micro) {
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        micro = MicroCents(value.toLongLong()) * kMicroCentsPerCent;
        return true;
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 1e19)
            return false;
        if (d == std::floor(d)) {
            micro = MicroCents(d) * kMicroCentsPerCent;
            return true;
        }
        // The stored real to the millionth of a cent: 12345.6 is 12345,600000 cents.
        return parseDecimal(QString::number(d, 'f', 6), micro);
    }
    default:
        return parseDecimal(value.toString(), micro);
    }
}

bool roundToCents(MicroCents micro, qint64& cents) {
    const MicroCents half = kMicroCentsPerCent / 2;
    const MicroCents whole =
        micro >= 0 ? (micro + half) / kMicroCentsPerCent : -((-micro + half) / kMicroCentsPerCent);
    if (whole > Amount::kMaxCents || whole < -Amount::kMaxCents)
        return false;
    cents = qint64(whole);
    return true;
}

bool centsOf(const QVariant& value, qint64& cents) {
    const int type = value.typeId();
    if (type == QMetaType::LongLong && !value.isNull()) {
        // The stored form of nearly every amount: no need to go through the fraction.
        cents = value.toLongLong();
        return cents >= -Amount::kMaxCents;
    }
    if (type == QMetaType::ULongLong && !value.isNull()) {
        // A server's driver hands back an amount that is not negative unsigned.
        const qulonglong stored = value.toULongLong();
        if (stored > qulonglong(Amount::kMaxCents))
            return false;
        cents = qint64(stored);
        return true;
    }
    MicroCents micro = 0;
    return microCentsOf(value, micro) && roundToCents(micro, cents);
}

} // namespace money
