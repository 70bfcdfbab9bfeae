#pragma once

#include "values/amount.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <optional>

// The live calculations of the withholding panel, on the texts its fields hold.
// The panel calls these and writes the results back; nothing here touches a widget.
namespace ledger {

// The text an amount field takes when it loses the focus: an empty text stays
// empty, an unreadable one stays as typed, anything else becomes CtrNumD's form.
QString formatOnLeave(const QString& text);

// The withheld amount for the rate chosen in the combo. Only the exact texts "4"
// and "20" are known rates; any other text, or an unreadable taxable amount,
// gives nothing.
std::optional<Amount> withheldFor(const QString& taxable, const QString& rate);

// What choosing a rate does to the fields of the panel.
struct RateOutcome {
    QString other;    // Altro: "0" when it was empty, otherwise unchanged
    QString withheld; // Ritenuta: CtrNumD of the computed amount, or empty
    QString total;    // Totale: always emptied
};
RateOutcome chooseRate(const QString& rate, const QString& taxable, const QString& other);

// Totale = Ritenuta + Imponibile + Altro in CtrNumD's form; nothing when any of the
// three is empty or does not read as an amount.
std::optional<QString> totalText(const QString& withheld, const QString& taxable,
                                 const QString& other);

// Reads a date box's text in the short form dd/MM/yyyy (one-digit day and month
// are accepted, years 1900 to 2100); nothing for an empty or invalid date.
std::optional<QDate> readShortDate(const QString& text);
// The short form, day and month with two digits: 16/06/2011.
QString shortDateText(const QDate& date);
// ISO yyyy-MM-dd of a short-form text; nothing for an empty or invalid date.
std::optional<QString> isoFromShortDate(const QString& text);

// The period of a payment date: its month number without a leading zero.
QString periodOf(const QDate& paymentDate);

// What leaving the payment-date box does. Fields left as they are have no value.
struct PaymentDateOutcome {
    std::optional<QString> period;  // Periodo
    std::optional<QString> dueDate; // Scadenza, short form
    bool focusRemittanceDate = false;
};
PaymentDateOutcome leavePaymentDate(const QString& paymentDate);

// Leaving the remittance-date box holding a date that the operator changed while in it
// empties Totale Versato; passing through it, or emptying it, keeps the amount.
bool remittanceDateClearsRemitted(const QString& remittanceDate, bool changed);

} // namespace ledger
