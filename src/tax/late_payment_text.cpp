#include "tax/late_payment_text.h"

namespace tax {

QString legalRateText(qint64 rate) {
    return Amount::fromCents(rate).plainText() + QLatin1Char('%');
}

QStringList dueDateLines(const QDate& monthly, const DueDate& due) {
    QStringList lines{QStringLiteral("Scadenza: ") + dayText(monthly),
                      QStringLiteral("Scadenza legale: ") + dayText(due.legal)};
    if (!due.reasons.isEmpty())
        lines.append(QStringLiteral("Motivo: ") + due.reasonText());
    for (const QString& warning : due.warnings)
        lines.append(QStringLiteral("Attenzione: ") + warning);
    return lines;
}

QStringList latePaymentLines(const LatePayment& result) {
    QStringList lines{QStringLiteral("Scadenza legale: ") + dayText(result.due.legal)};
    if (!result.due.reasons.isEmpty())
        lines.append(QStringLiteral("Motivo: ") + result.due.reasonText());
    lines.append(QStringLiteral("Giorni di ritardo: %1").arg(result.daysLate));
    lines.append(QStringLiteral("Regime: ") + result.regimeText);
    lines.append(QStringLiteral("Fascia: %1 (%2)").arg(result.bandText, result.penaltyRate));
    lines.append(QStringLiteral("Sanzione: ") + result.penalty.format());
    lines.append(QStringLiteral("Interessi: ") + result.interestTotal.format());
    for (const InterestYear& part : result.interest)
        lines.append(QStringLiteral("  %1: %2 giorni al %3 = %4")
                         .arg(part.year)
                         .arg(part.days)
                         .arg(legalRateText(part.rate), part.amount.format()));
    lines.append(QStringLiteral("  (interessi arrotondati al centesimo anno per anno: il totale è "
                                "la somma delle righe)"));
    lines.append(QStringLiteral("Totale: ") + result.total.format());
    lines.append(QStringLiteral("F24 (codice, mese, anno, importo):"));
    for (const F24Line& line : result.lines)
        lines.append(
            QStringLiteral("  %1  %2  %3  %4")
                .arg(line.code, line.month.leftJustified(4), line.year, line.amount.format()));
    for (const QString& warning : result.warnings)
        lines.append(QStringLiteral("Attenzione: ") + warning);
    return lines;
}

QString inputFaultText(InputFault fault, const QString& taxCode) {
    switch (fault) {
    case InputFault::UnknownTaxCode:
        return QStringLiteral("codice tributo sconosciuto: %1").arg(taxCode.trimmed());
    case InputFault::RemittanceBeforePayment:
        return QStringLiteral("la data del versamento precede quella del pagamento");
    case InputFault::NothingToRemit:
        return QStringLiteral("ritenuta di 0,00: nessun importo da versare");
    case InputFault::None:
        break;
    }
    return {};
}

QString notComputedText(const LatePayment& result) {
    switch (result.outcome) {
    case LatePayment::Outcome::NotLate:
        return QStringLiteral("Versamento nei termini (scadenza legale %1): nessun ravvedimento.")
            .arg(dayText(result.due.legal));
    case LatePayment::Outcome::MissingRate:
        return QStringLiteral("Manca il tasso legale dell'anno %1: inserirlo nella tabella "
                              "\"Tasso legale\" (Servizi) per calcolare gli interessi.")
            .arg(result.missingRateYear);
    case LatePayment::Outcome::TooLarge:
        return QStringLiteral("Importo troppo grande per il calcolo.");
    case LatePayment::Outcome::Late:
        break;
    }
    return {};
}

} // namespace tax
