#include "tax/late_payment.h"

#include <optional>

namespace tax {
namespace {

using Wide = __int128;

// A fraction of the base penalty for the days late.
struct Band {
    QString text;
    qint64 baseRate; // hundredths of a percent
    qint64 numerator;
    qint64 denominator;
};

// Half up, for the non-negative quotients of this file.
std::optional<Amount> roundedQuotient(Wide numerator, Wide denominator) {
    const Wide q = (2 * numerator + denominator) / (2 * denominator);
    if (q > Wide(Amount::kMaxCents))
        return std::nullopt;
    return Amount::fromCents(qint64(q));
}

qint64 reducedRate(Regime regime) {
    switch (regime) {
    case Regime::Until2015:
        return 3000;
    case Regime::From2016:
        return 1500;
    case Regime::FromSeptember2024:
        break;
    }
    return 1250;
}

qint64 fullRate(Regime regime) {
    return regime == Regime::FromSeptember2024 ? 2500 : 3000;
}

QString regimeText(Regime regime, bool favorRei) {
    if (favorRei)
        return QStringLiteral("violazione fino al 31/12/2015 regolarizzata dal 01/01/2016: "
                              "sanzioni più favorevoli del D.Lgs. 158/2015, 30%, 15% entro 90 "
                              "giorni");
    switch (regime) {
    case Regime::Until2015:
        return QStringLiteral("violazione fino al 31/12/2015: sanzione del 30%");
    case Regime::From2016:
        return QStringLiteral("violazione dal 01/01/2016 al 31/08/2024: sanzione del 30%, 15% "
                              "entro 90 giorni");
    case Regime::FromSeptember2024:
        break;
    }
    return QStringLiteral("violazione dal 01/09/2024: sanzione del 25%, 12,5% entro 90 giorni");
}

// The deadline of the return for the violations of `year`, and what it rests on when the
// table does not settle it.
QDate returnDeadline(const ReturnDeadlines& deadlines, int year, QStringList& warnings) {
    const auto found = deadlines.constFind(year);
    if (found == deadlines.constEnd()) {
        const QDate assumed = nextWorkingDay(QDate(year + 1, 10, 31));
        warnings.append(QStringLiteral("Scadenza della dichiarazione dei sostituti d'imposta per "
                                       "l'anno %1 assente dalla tabella \"Scadenze 770\": si usa "
                                       "il %2.")
                            .arg(year)
                            .arg(dayText(assumed)));
        return assumed;
    }
    if (!found->confirmed)
        warnings.append(
            QStringLiteral("La scadenza della dichiarazione dei sostituti d'imposta per "
                           "l'anno %1 (%2) non è confermata: verificarla nella "
                           "tabella \"Scadenze 770\".")
                .arg(year)
                .arg(dayText(found->date)));
    return found->date;
}

Band bandOf(Regime regime, int days, const QDate& legal, const QDate& remittance,
            const ReturnDeadlines& deadlines, QStringList& warnings) {
    const qint64 reduced = reducedRate(regime);
    const qint64 full = fullRate(regime);
    if (days <= 14)
        return {QStringLiteral("fino a 14 giorni: 1/10 di %1/15").arg(days), reduced, days, 150};
    if (days <= 30)
        return {QStringLiteral("da 15 a 30 giorni: 1/10"), reduced, 1, 10};
    if (days <= 90)
        return {QStringLiteral("da 31 a 90 giorni: 1/9"), reduced, 1, 9};
    const QDate firstReturn = returnDeadline(deadlines, legal.year(), warnings);
    if (remittance <= firstReturn)
        return {QStringLiteral("oltre 90 giorni, entro il %1: 1/8").arg(dayText(firstReturn)), full,
                1, 8};
    if (regime == Regime::FromSeptember2024)
        return {QStringLiteral("oltre il %1: 1/7").arg(dayText(firstReturn)), full, 1, 7};
    const QDate secondReturn = returnDeadline(deadlines, legal.year() + 1, warnings);
    if (remittance <= secondReturn)
        return {QStringLiteral("oltre il %1, entro il %2: 1/7")
                    .arg(dayText(firstReturn), dayText(secondReturn)),
                full, 1, 7};
    return {QStringLiteral("oltre il %1: 1/6").arg(dayText(secondReturn)), full, 1, 6};
}

// The effective rate in percent with four decimals at most: "0,8333%", "1,25%".
QString percentText(const Band& band) {
    const std::optional<Amount> scaled =
        roundedQuotient(Wide(band.baseRate) * band.numerator * 100, band.denominator);
    QString digits = QString::number(scaled->cents()).rightJustified(5, QLatin1Char('0'));
    QString whole = digits.left(digits.size() - 4);
    QString decimals = digits.right(4);
    while (decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    return whole + (decimals.isEmpty() ? QString() : QLatin1Char(',') + decimals) +
           QLatin1Char('%');
}

QString penaltyCode(const QString& taxCode, const QDate& remittance) {
    if (remittance <= QDate(2023, 7, 2))
        return QStringLiteral("8906");
    if (taxCode == u"1040")
        return QStringLiteral("8948");
    if (taxCode == u"1001")
        return QStringLiteral("8947");
    return {};
}

void addWarnings(LatePayment& result, const LatePaymentInput& input, const QString& sanctionCode) {
    QStringList& w = result.warnings;
    w.append(input.due.warnings);
    const bool condominium = input.taxCode == u"1019" || input.taxCode == u"1020";
    if (sanctionCode.isEmpty())
        w.append(condominium
                     ? QStringLiteral("Il codice tributo della sanzione per le ritenute "
                                      "condominiali (%1) versate dal 03/07/2023 non è confermato: "
                                      "la riga della sanzione non è compilata.")
                           .arg(input.taxCode)
                     : QStringLiteral("Nessun codice tributo noto per la sanzione sul tributo %1 "
                                      "versato dal 03/07/2023: la riga della sanzione non è "
                                      "compilata.")
                           .arg(input.taxCode));
    else if (sanctionCode != u"8906")
        w.append(QStringLiteral("Mese e anno della riga %1 come quelli della ritenuta: il "
                                "riferimento da indicare non è confermato.")
                     .arg(sanctionCode));
    if (condominium)
        w.append(QStringLiteral("Il mese di riferimento per i codici 1019/1020 non è confermato: "
                                "verificare la riga del tributo."));
    if (input.paymentDate.month() == 12 && result.daysLate > 90)
        w.append(QStringLiteral("Ritenuta di dicembre: le fasce oltre 90 giorni seguono la "
                                "dichiarazione dell'anno della scadenza (lettura non "
                                "confermata)."));
    if (result.favorRei)
        w.append(QStringLiteral("Violazione del 2015 regolarizzata dal 2016: le sanzioni più "
                                "favorevoli del D.Lgs. 158/2015 (favor rei) si applicano secondo "
                                "due fonti secondarie, non secondo un testo ufficiale."));
    w.append(QStringLiteral("Arrotondamento al centesimo, per eccesso dalla metà, della sanzione "
                            "e degli interessi di ogni anno solare: regola non confermata."));
}

} // namespace

bool isKnownTaxCode(const QStringList& taxCodes, const QString& taxCode) {
    return taxCodes.contains(taxCode.trimmed(), Qt::CaseInsensitive);
}

InputFault inputFault(const QStringList& taxCodes, const LatePaymentInput& input) {
    if (!isKnownTaxCode(taxCodes, input.taxCode))
        return InputFault::UnknownTaxCode;
    if (input.remittanceDate < input.paymentDate)
        return InputFault::RemittanceBeforePayment;
    if (input.withheld.cents() == 0)
        return InputFault::NothingToRemit;
    return InputFault::None;
}

Regime regimeOf(const QDate& legalDueDate) {
    if (legalDueDate < QDate(2016, 1, 1))
        return Regime::Until2015;
    if (legalDueDate < QDate(2024, 9, 1))
        return Regime::From2016;
    return Regime::FromSeptember2024;
}

LatePayment computeLatePayment(const LatePaymentInput& input, const LegalRates& rates,
                               const ReturnDeadlines& deadlines) {
    LatePayment result;
    result.due = input.due;
    const QDate legal = input.due.legal;
    if (!legal.isValid() || !input.remittanceDate.isValid() || input.remittanceDate <= legal)
        return result;
    result.daysLate = int(legal.daysTo(input.remittanceDate));
    result.regime = regimeOf(legal);
    // The milder penalties of 2016 reach the earlier violations regularised from then on.
    result.favorRei =
        result.regime == Regime::Until2015 && input.remittanceDate >= QDate(2016, 1, 1);
    if (result.favorRei)
        result.regime = Regime::From2016;
    result.regimeText = regimeText(result.regime, result.favorRei);

    QStringList deadlineWarnings;
    const Band band = bandOf(result.regime, result.daysLate, legal, input.remittanceDate, deadlines,
                             deadlineWarnings);
    result.bandText = band.text;
    result.penaltyRate = percentText(band);
    const Wide cents = input.withheld.cents();
    std::optional<Amount> penalty =
        roundedQuotient(cents * band.baseRate * band.numerator, Wide(10000) * band.denominator);

    std::optional<Amount> interestTotal = Amount();
    for (int year = legal.addDays(1).year(); year <= input.remittanceDate.year(); ++year) {
        const QDate first = std::max(legal.addDays(1), QDate(year, 1, 1));
        const QDate last = std::min(input.remittanceDate, QDate(year, 12, 31));
        const auto rate = rates.constFind(year);
        if (rate == rates.constEnd()) {
            result.outcome = LatePayment::Outcome::MissingRate;
            result.missingRateYear = year;
            return result;
        }
        InterestYear part{year, int(first.daysTo(last)) + 1, *rate, {}};
        // 365 also in leap years: 29 February is one more day late, at the same daily rate.
        const std::optional<Amount> amount =
            roundedQuotient(cents * part.rate * part.days, Wide(10000) * 365);
        part.amount = amount.value_or(Amount());
        interestTotal = amount && interestTotal ? interestTotal->plus(*amount) : std::nullopt;
        result.interest.append(part);
    }
    const std::optional<Amount> taxLine =
        interestTotal ? input.withheld.plus(*interestTotal) : std::nullopt;
    const std::optional<Amount> total = taxLine && penalty ? taxLine->plus(*penalty) : std::nullopt;
    if (!total) {
        // Beyond what an amount can hold: only a mistyped amount gets here.
        result.outcome = LatePayment::Outcome::TooLarge;
        return result;
    }
    result.outcome = LatePayment::Outcome::Late;
    result.penalty = *penalty;
    result.interestTotal = *interestTotal;
    result.total = *total;

    const QString month =
        QStringLiteral("00") + QString::number(input.paymentDate.month()).rightJustified(2, u'0');
    const QString year = QString::number(input.paymentDate.year());
    result.lines.append({input.taxCode, month, year, *taxLine});
    const QString sanctionCode = penaltyCode(input.taxCode, input.remittanceDate);
    if (!sanctionCode.isEmpty())
        result.lines.append({sanctionCode, month, year, *penalty});
    addWarnings(result, input, sanctionCode);
    result.warnings.append(deadlineWarnings);
    return result;
}

} // namespace tax
