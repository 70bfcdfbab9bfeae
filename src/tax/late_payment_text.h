#pragma once

#include "tax/due_date.h"
#include "tax/late_payment.h"

#include <QStringList>

// The late-payment breakdown as lines of Italian text, the same on the command line, in
// the dialog and in what its "Copia" puts on the clipboard.
namespace tax {

// A legal rate in hundredths of a percent as the operator reads it: "2,5%".
QString legalRateText(qint64 rate);

// "Scadenza:", "Scadenza legale:", when the date moved "Motivo:", and "Attenzione:" for
// what it rests on that is not confirmed.
QStringList dueDateLines(const QDate& monthly, const DueDate& due);

// The breakdown of a computed late payment: "Scadenza legale:", "Giorni di ritardo:",
// regime and band, "Sanzione:", "Interessi:" with one line per year and how they are
// rounded, "Totale:", the F24 lines and the facts it rests on that are not confirmed.
QStringList latePaymentLines(const LatePayment& result);

// Why inputs are refused, as the command line says it: "codice tributo sconosciuto:
// 9999"; empty for InputFault::None.
QString inputFaultText(InputFault fault, const QString& taxCode);

// Why no breakdown: not late, or a year without its legal rate.
QString notComputedText(const LatePayment& result);

} // namespace tax
