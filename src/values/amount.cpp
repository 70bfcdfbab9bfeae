#include "values/amount.h"

#include <array>

namespace {

__extension__ typedef __int128 Wide;

constexpr Wide kMax = Amount::kMaxCents;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool allDigits(QStringView s) {
    for (QChar c : s) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// The integer part either has no full stops, or full stops between a leading group
// of one to three digits and further groups of exactly three: a stray stop more
// likely marks a decimal typed the English way than a thousands separator.
bool validIntegerPart(QStringView s) {
    if (!s.contains(u'.'))
        return allDigits(s);
    qsizetype start = 0;
    bool first = true;
    while (true) {
        const qsizetype stop = s.indexOf(u'.', start);
        const QStringView group = s.mid(start, stop < 0 ? -1 : stop - start);
        if (!allDigits(group))
            return false;
        if (first ? (group.isEmpty() || group.size() > 3) : group.size() != 3)
            return false;
        if (stop < 0)
            return true;
        first = false;
        start = stop + 1;
    }
}

// `numerator / denominator` rounded half away from zero; no value out of range.
std::optional<Amount> divideRounded(Wide numerator, Wide denominator) {
    Wide quotient = numerator / denominator;
    const Wide remainder = numerator % denominator;
    const Wide twice = remainder < 0 ? -2 * remainder : 2 * remainder;
    if (twice >= denominator)
        quotient += numerator < 0 ? -1 : 1;
    if (quotient > kMax || quotient < -kMax)
        return std::nullopt;
    return Amount::fromCents(static_cast<qint64>(quotient));
}

// Through unsigned arithmetic, so that even a value outside the range is safe to show.
quint64 magnitudeOf(qint64 cents) {
    return cents < 0 ? quint64(0) - quint64(cents) : quint64(cents);
}

std::optional<Amount> checked(Wide cents) {
    if (cents > kMax || cents < -kMax)
        return std::nullopt;
    return Amount::fromCents(static_cast<qint64>(cents));
}

} // namespace

std::optional<Amount> Amount::parse(QStringView text) {
    QStringView s = text.trimmed();
    bool negative = false;
    if (s.startsWith(u'-')) {
        negative = true;
        s = s.mid(1);
    }
    const qsizetype comma = s.indexOf(u',');
    const QStringView integerPart = comma < 0 ? s : s.left(comma);
    const QStringView fraction = comma < 0 ? QStringView() : s.mid(comma + 1);
    if (integerPart.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (!validIntegerPart(integerPart) || !allDigits(fraction))
        return std::nullopt;

    Wide cents = 0;
    for (QChar c : integerPart) {
        if (c == u'.')
            continue;
        cents = cents * 10 + (c.unicode() - u'0');
        // Stop before the wide accumulator itself could overflow.
        if (cents > kMax)
            return std::nullopt;
    }
    cents *= 100;
    if (fraction.size() > 0)
        cents += 10 * (fraction[0].unicode() - u'0');
    if (fraction.size() > 1)
        cents += fraction[1].unicode() - u'0';
    // Only the third decimal decides: at 5 or more the rest is at least half a cent.
    if (fraction.size() > 2 && fraction[2] >= u'5')
        cents += 1;
    return checked(negative ? -cents : cents);
}

QString Amount::format() const {
    // Written from the right into a buffer wide enough for any 64-bit amount: this runs
    // for every money cell of a grid, so it avoids temporaries.
    std::array<char16_t, 32> text{};
    std::size_t at = text.size();
    quint64 magnitude = magnitudeOf(cents_);
    text[--at] = char16_t(u'0' + magnitude % 10);
    magnitude /= 10;
    text[--at] = char16_t(u'0' + magnitude % 10);
    magnitude /= 10;
    text[--at] = u',';
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            text[--at] = u'.';
        text[--at] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude > 0);
    if (cents_ < 0)
        text[--at] = u'-';
    return QString(reinterpret_cast<const QChar*>(text.data() + at), qsizetype(text.size() - at));
}

QString Amount::plainText() const {
    const quint64 magnitude = magnitudeOf(cents_);
    QString text = QString::number(magnitude / 100);
    const quint64 decimals = magnitude % 100;
    if (decimals != 0) {
        text += u',';
        text += decimals % 10 == 0 ? QString::number(decimals / 10)
                                   : QStringLiteral("%1").arg(decimals, 2, 10, QLatin1Char('0'));
    }
    return (cents_ < 0 ? QStringLiteral("-") : QString()) + text;
}

std::optional<Amount> Amount::plus(Amount other) const {
    return checked(Wide(cents_) + other.cents_);
}

std::optional<Amount> Amount::minus(Amount other) const {
    return checked(Wide(cents_) - other.cents_);
}

std::optional<Amount> Amount::times(Amount factor) const {
    // Both factors carry two decimals: the product has four, of which two go.
    return divideRounded(Wide(cents_) * factor.cents_, 100);
}

std::optional<Amount> Amount::percent(Amount rate) const {
    return divideRounded(Wide(cents_) * rate.cents_, 10000);
}

QString CtrNumD(Amount amount) {
    return amount.format();
}
