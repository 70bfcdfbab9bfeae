#include "ledger/withholding_rules.h"

#include "tax/due_date.h"
#include "values/date_text.h"

#include <QRegularExpression>

namespace ledger {

QString formatOnLeave(const QString& text) {
    if (text.isEmpty())
        return text;
    const std::optional<Amount> amount = Amount::parse(text);
    return amount ? CtrNumD(*amount) : text;
}

std::optional<Amount> withheldFor(const QString& taxable, const QString& rate) {
    // The factor is the rate over 100 as CtrNumD writes it ("0,04", "0,20"), so the
    // product keeps the cents of the taxable amount exact.
    std::optional<Amount> factor;
    if (rate == u"4")
        factor = Amount::fromCents(4);
    else if (rate == u"20")
        factor = Amount::fromCents(20);
    if (!factor || taxable.isEmpty())
        return std::nullopt;
    const std::optional<Amount> base = Amount::parse(taxable);
    if (!base)
        return std::nullopt;
    return base->times(*factor);
}

RateOutcome chooseRate(const QString& rate, const QString& taxable, const QString& other) {
    RateOutcome outcome;
    outcome.other = other.isEmpty() ? QStringLiteral("0") : other;
    if (const std::optional<Amount> withheld = withheldFor(taxable, rate))
        outcome.withheld = CtrNumD(*withheld);
    return outcome;
}

std::optional<QString> totalText(const QString& withheld, const QString& taxable,
                                 const QString& other) {
    std::optional<Amount> total = Amount();
    for (const QString* text : {&withheld, &taxable, &other}) {
        const std::optional<Amount> part = Amount::parse(*text);
        if (!part)
            return std::nullopt;
        total = total->plus(*part);
        if (!total)
            return std::nullopt;
    }
    return CtrNumD(*total);
}

std::optional<QDate> readShortDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(),
                     match.captured(1).toInt());
    if (!date.isValid() || !isTypedYear(date.year()))
        return std::nullopt;
    return date;
}

QString shortDateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

std::optional<QString> isoFromShortDate(const QString& text) {
    const std::optional<QDate> date = readShortDate(text);
    if (!date)
        return std::nullopt;
    return date->toString(Qt::ISODate);
}

QString periodOf(const QDate& paymentDate) {
    return QString::number(paymentDate.month());
}

PaymentDateOutcome leavePaymentDate(const QString& paymentDate) {
    PaymentDateOutcome outcome;
    if (paymentDate.isEmpty()) {
        outcome.period = QString();
        return outcome;
    }
    // An unreadable date skips the period and the due date but still moves on.
    if (const std::optional<QDate> date = readShortDate(paymentDate)) {
        outcome.period = periodOf(*date);
        outcome.dueDate = shortDateText(tax::nominalDueDate(*date));
    }
    outcome.focusRemittanceDate = true;
    return outcome;
}

bool remittanceDateClearsRemitted(const QString& remittanceDate, bool changed) {
    return changed && !remittanceDate.isEmpty();
}

} // namespace ledger
