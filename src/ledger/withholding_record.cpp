#include "ledger/withholding_record.h"

#include "ledger/withholding_rules.h"
#include "values/amount.h"

namespace {

bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

Written<qint64> amountColumn(const QString& text) {
    if (isBlank(text))
        return 0;
    const std::optional<Amount> amount = Amount::parse(text);
    if (!amount)
        return std::nullopt;
    return amount->cents();
}

Written<Nullable<QString>> dateColumn(const QString& text) {
    if (isBlank(text))
        return Nullable<QString>();
    const std::optional<QString> iso = ledger::isoFromShortDate(text);
    if (!iso)
        return std::nullopt;
    return Nullable<QString>(*iso);
}

Written<Nullable<qint64>> keyColumn(const QString& text) {
    if (isBlank(text))
        return Nullable<qint64>();
    bool ok = false;
    const qint64 key = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return Nullable<qint64>(key);
}

QString flag(bool ticked) {
    return ticked ? QStringLiteral("S") : QStringLiteral("N");
}

} // namespace

namespace ledger {

std::optional<QString> recomputedTotal(const WithholdingEntry& entry) {
    return ledger::totalText(entry.withheld, entry.taxable, entry.other);
}

WithholdingRecord recordFromEntry(const WithholdingEntry& e) {
    WithholdingRecord r;
    r.subjectId = keyColumn(e.subjectId);
    r.name = e.subjectName;
    r.invoiceNumber = e.invoiceNumber;
    r.invoiceDate = dateColumn(e.invoiceDate);
    r.taxable = amountColumn(e.taxable);
    r.rate = amountColumn(e.rate);
    r.withheld = amountColumn(e.withheld);
    r.other = amountColumn(e.other);
    r.total = amountColumn(recomputedTotal(e).value_or(e.total));
    r.paid = flag(e.paid);
    r.paymentDate = dateColumn(e.paymentDate);
    r.period = e.period;
    r.remittanceDate = dateColumn(e.remittanceDate);
    r.lateRegularisation = flag(e.lateRegularisation);
    r.remitted = amountColumn(e.remitted);
    r.interest = amountColumn(e.interest);
    r.penalty = amountColumn(e.penalty);
    r.taxCode = e.taxCode;
    r.year = e.year;
    r.user = e.user;
    r.dueDate = dateColumn(e.dueDate);
    return r;
}

} // namespace ledger
