#include "ledger/tax_commands.h"

#include "ledger/late_payment_dialog.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "tax/tax_tables.h"

#include <QAction>
#include <QDate>
#include <QSignalBlocker>
#include <QWidget>

namespace {} // namespace

TaxCommands::TaxCommands(Shell& shell, QObject* parent) : QObject(parent), shell_(shell) {
    setObjectName(QStringLiteral("TaxCommands"));
    if (QAction* calculator = shell_.action("CalcoloRavvedimento"))
        connect(calculator, &QAction::triggered, this, &TaxCommands::openCalculator);
    if (QAction* deferral = shell_.action("Rinvio1040")) {
        deferral->setCheckable(true);
        connect(deferral, &QAction::toggled, this, &TaxCommands::chooseDeferral);
    }
    loadChoice();
}

void TaxCommands::loadChoice() {
    QAction* deferral = shell_.action("Rinvio1040");
    if (!deferral)
        return;
    const QSignalBlocker quiet(deferral);
    deferral->setChecked(tax::smallAmountDeferralChosen().value);
}

void TaxCommands::openCalculator() {
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    LatePaymentDialog dialog(LatePaymentDialog::Mode::Calculator, shell_.boxes(),
                             {QStringLiteral("1040"), QString(), QString(), today, 0, QString()},
                             dynamic_cast<QWidget*>(&shell_));
    dialog.exec();
}

void TaxCommands::chooseDeferral(bool chosen) {
    const Status written = tax::chooseSmallAmountDeferral(chosen);
    if (written.ok())
        return;
    loadChoice();
    shell_.boxes().notice(QStringLiteral("Scelta non salvata.\nErrore del database: ") +
                              written.error(),
                          blockingTitle());
}
