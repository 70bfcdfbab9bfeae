#pragma once

#include <QObject>

class Shell;

// The tax calendar's items of the "Servizi" menu (`Funzioni`): the calculator
// "Calcolo ravvedimento" and the office's choice to defer 1040 withholdings of at most
// 100 euro ("Rinvio ritenute 1040 fino a 100 euro", ticked when chosen).
class TaxCommands : public QObject {
    Q_OBJECT

public:
    TaxCommands(Shell& shell, QObject* parent = nullptr);

    // Shows the office's choice as stored; called after the ledger is opened.
    void loadChoice();

private:
    void openCalculator();
    void chooseDeferral(bool chosen);

    Shell& shell_;
};
