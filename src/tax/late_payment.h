#pragma once

#include "tax/due_date.h"
#include "tax/legal_rates.h"
#include "tax/return_deadlines.h"
#include "values/amount.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What regularising a late remittance of a withholding costs: penalty, interest and
// the F24 lines, by the rules in force on the legal due date.
namespace tax {

// The penalty rules, by the date the violation was committed (the legal due date).
enum class Regime { Until2015, From2016, FromSeptember2024 };

struct InterestYear {
    int year = 0;
    int days = 0;
    qint64 rate = 0; // hundredths of a percent
    Amount amount;   // days x rate / 365 of the withheld amount, rounded half up
};

struct F24Line {
    QString code;
    QString month; // "00MM"
    QString year;
    Amount amount;
};

struct LatePaymentInput {
    QString taxCode;
    Amount withheld;
    QDate paymentDate; // fixes the month of the withholding
    DueDate due;       // the legal due date, from the calendar of the tax code
    QDate remittanceDate;
};

struct LatePayment {
    enum class Outcome { Late, NotLate, MissingRate, TooLarge };
    Outcome outcome = Outcome::NotLate;
    int missingRateYear = 0;

    DueDate due;
    int daysLate = 0;
    Regime regime = Regime::FromSeptember2024; // the rules applied
    bool favorRei = false; // a 2015 violation regularised from 2016, under the 2016 rules
    QString regimeText;
    QString bandText;    // "da 31 a 90 giorni: 1/9"
    QString penaltyRate; // the effective rate in percent, "1,6667%"
    Amount penalty;
    QList<InterestYear> interest;
    Amount interestTotal;
    Amount total;         // withheld + interest + penalty
    QList<F24Line> lines; // the tax line; the penalty line when its code is known
    QStringList warnings; // facts this result rests on that are not confirmed
};

// Why inputs are no withholding to cost: a tax code the ledger does not know, a
// remittance dated before the payment, nothing withheld.
enum class InputFault { None, UnknownTaxCode, RemittanceBeforePayment, NothingToRemit };

// Whether `taxCode` is one of `taxCodes` (the ledger's Tributo table), ignoring blanks
// around it and letter case.
bool isKnownTaxCode(const QStringList& taxCodes, const QString& taxCode);
InputFault inputFault(const QStringList& taxCodes, const LatePaymentInput& input);

LatePayment computeLatePayment(const LatePaymentInput& input, const LegalRates& rates,
                               const ReturnDeadlines& deadlines);

Regime regimeOf(const QDate& legalDueDate);

} // namespace tax
