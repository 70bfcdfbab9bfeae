#include "reports/st770_rules.h"

#include "tax/late_payment.h"
#include "tax/late_payment_text.h"
#include "values/stored_money.h"

namespace st770 {
namespace {

using money::formatCents;

QString recordText(const Record& r) {
    QString text = r.payee.trimmed().isEmpty() ? QStringLiteral("(senza nome)") : r.payee.trimmed();
    text += QStringLiteral(", fattura %1")
                .arg(r.invoice.trimmed().isEmpty() ? QStringLiteral("(senza numero)")
                                                   : r.invoice.trimmed());
    if (r.paid.isValid())
        text += QStringLiteral(" pagata il ") + tax::dayText(r.paid);
    if (!r.taxCode.isEmpty())
        text += QStringLiteral(", tributo ") + r.taxCode;
    return text;
}

} // namespace

bool rowsAggregated(int referenceYear) {
    return referenceYear >= kFirstAggregatedYear;
}

QString referencePeriod(const QDate& paid) {
    return paid.toString(QStringLiteral("MM/yyyy"));
}

qint64 amountPaid(const Record& r) {
    return r.remittedAmount - r.penalty;
}

Check checkRemittance(const Record& r, const tax::DueDate& due, const tax::LateRules& rules) {
    Check check;
    const qint64 remittedTax = amountPaid(r) - r.interest;
    if (remittedTax != r.withheld)
        check.differences.append({Kind::AmountDiffers, r, r.withheld, remittedTax, {}});
    const bool late = r.remitted > due.legal;
    if (late && !r.regularised)
        check.differences.append({Kind::LateNotRegularised, r, 0, 0, due.legal});
    if (!r.regularised)
        return check;
    const tax::LatePayment cost =
        tax::computeLatePayment({r.taxCode, Amount::fromCents(r.withheld), r.paid, due, r.remitted},
                                rules.rates, rules.deadlines);
    switch (cost.outcome) {
    case tax::LatePayment::Outcome::Late:
    case tax::LatePayment::Outcome::NotLate: {
        const qint64 expected = late ? cost.interestTotal.cents() : 0;
        if (expected != r.interest)
            check.differences.append({Kind::InterestDiffers, r, expected, r.interest, due.legal});
        break;
    }
    case tax::LatePayment::Outcome::MissingRate:
    case tax::LatePayment::Outcome::TooLarge:
        check.warnings.append(QStringLiteral("Interessi non verificati (%1): %2")
                                  .arg(recordText(r), tax::notComputedText(cost)));
        break;
    }
    return check;
}

QString kindText(Kind kind) {
    switch (kind) {
    case Kind::NotRemitted:
        return QStringLiteral("Ritenute dell'anno senza versamento");
    case Kind::AmountDiffers:
        return QStringLiteral("Versamenti diversi dalle ritenute del periodo e del tributo");
    case Kind::LateNotRegularised:
        return QStringLiteral("Versamenti dopo la scadenza legale senza ravvedimento");
    case Kind::InterestDiffers:
        return QStringLiteral("Ravvedimenti con interessi diversi dal calcolo ai tassi legali");
    case Kind::OtherYear:
        break;
    }
    return QStringLiteral("Registrazioni dell'anno con compenso pagato in un altro anno");
}

QString differenceText(const Difference& d) {
    const Record& r = d.record;
    const QString record = recordText(r);
    switch (d.kind) {
    case Kind::NotRemitted:
        return QStringLiteral("%1: ritenuta di %2 non versata.")
            .arg(record, formatCents(r.withheld));
    case Kind::AmountDiffers:
        return QStringLiteral("%1, versata il %2: ritenuta %3, versati %4 (%5 %6).")
            .arg(record, tax::dayText(r.remitted), formatCents(d.expected), formatCents(d.found),
                 d.found < d.expected ? QStringLiteral("mancano") : QStringLiteral("in più"),
                 formatCents(std::abs(d.found - d.expected)));
    case Kind::LateNotRegularised:
        return QStringLiteral("%1: versata il %2, scadenza legale %3, ravvedimento non indicato.")
            .arg(record, tax::dayText(r.remitted), tax::dayText(d.due));
    case Kind::InterestDiffers:
        return QStringLiteral("%1, versata il %2 (scadenza legale %3): interessi registrati %4, "
                              "calcolati %5.")
            .arg(record, tax::dayText(r.remitted), tax::dayText(d.due), formatCents(d.found),
                 formatCents(d.expected));
    case Kind::OtherYear:
        break;
    }
    return QStringLiteral("%1: registrata nell'anno %2, compenso pagato nel %3.")
        .arg(record, r.ledgerYear, QString::number(r.paid.year()));
}

} // namespace st770
