#pragma once

#include <QObject>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class DateBox;
class ElidedLabel;
class Shell;

// The tax calendar in the withholding entry panel `Frame4`, reached through the fixed
// names of its fields: beside `Scadenza` a note with the legal due date and its reason
// when it is not the date shown; the command "Calcola ravvedimento", enabled when the
// remittance is late or "Ravved." is ticked, whose "Applica" fills Interessi, Sanzione
// and Totale Versato and ticks "Ravved.".
class EntryTaxCalendar : public QObject {
    Q_OBJECT

public:
    EntryTaxCalendar(Shell& shell, QGroupBox& panel);

    // Reads the fields afresh and updates the note and the command.
    void refresh();
    // The command's press.
    void calculate();

private:
    Shell& shell_;
    QComboBox* taxCode_;
    QLineEdit* withheld_;
    DateBox* paymentDate_;
    QLineEdit* dueDate_;
    DateBox* remittanceDate_;
    QCheckBox* lateRegularisation_;
    QLineEdit* interest_;
    QLineEdit* penalty_;
    QLineEdit* remitted_;
    QLineEdit* recordId_;
    ElidedLabel* note_;
    QPushButton* command_;
};
