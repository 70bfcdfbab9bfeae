#pragma once

#include "base/status.h"
#include "tax/late_payment.h"

#include <QDate>
#include <QList>
#include <QString>

// The withholdings made but not remitted (no remittance date) whose legal due date has
// passed, with what remitting them on a given day costs.
namespace tax {

struct LateWithholding {
    qint64 id = 0;
    QString user;     // the user's ID, as text
    QString userName; // the user's name in the registry
    QString name;     // the invoice's subject
    QString invoice;
    QDate paid;
    QString taxCode;
    Amount withheld;
    LatePayment cost; // remitted on the day asked; MissingRate when a year has no rate
};

// Those of `user` (every user when empty) in the ledger year `year` (every year when
// empty), in user and payment-date order, late at `at`. Without `costed` only the due date
// of each is worked out (`cost.due`), which is all a count needs.
Result<QList<LateWithholding>> lateWithholdings(const QString& user, const QString& year,
                                                const QDate& at, bool costed = true);

} // namespace tax
