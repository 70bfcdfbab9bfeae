#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <compare>
#include <limits>
#include <optional>

// An exact sum of money (or a rate in percent) held as whole cents.
//
// Every value lies in [-kMaxCents, kMaxCents], so negation never overflows; the
// arithmetic is checked and gives no value instead of wrapping.
class Amount {
public:
    static constexpr qint64 kMaxCents = std::numeric_limits<qint64>::max();

    constexpr Amount() = default;
    // Clamps nothing: the checked arithmetic assumes `cents` lies within the range above.
    static constexpr Amount fromCents(qint64 cents) { return Amount(cents); }

    // Reads Italian text: an optional leading minus, digits with full stops between
    // groups of three, an optional decimal comma ("1.234,5", "1234,50", "-3", ",5").
    // Digits beyond the cents round half away from zero ("0,005" is 0,01). Blanks
    // around the number are ignored. Anything else, or a value out of range, gives
    // no value.
    static std::optional<Amount> parse(QStringView text);

    constexpr qint64 cents() const { return cents_; }
    constexpr bool isZero() const { return cents_ == 0; }

    // "#,0.00" in the Italian convention: "1.234,50", "0,04", "-3,00".
    QString format() const;
    // The shortest plain form, no grouping: 400 cents "4", 450 "4,5", 425 "4,25".
    QString plainText() const;

    std::optional<Amount> plus(Amount other) const;
    std::optional<Amount> minus(Amount other) const;
    // This amount times `factor` (itself an amount: 0,04 is four cents), rounded
    // half away from zero to cents.
    std::optional<Amount> times(Amount factor) const;
    // `rate` percent of this amount, rounded half away from zero to cents.
    std::optional<Amount> percent(Amount rate) const;

    friend constexpr auto operator<=>(Amount, Amount) = default;

private:
    constexpr explicit Amount(qint64 cents) : cents_(cents) {}

    qint64 cents_ = 0;
};

// The name by which the ledger formats an amount for the operator.
QString CtrNumD(Amount amount);
