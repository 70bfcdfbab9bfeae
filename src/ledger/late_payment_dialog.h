#pragma once

#include "tax/late_payment.h"
#include "tax/record_due_date.h"

#include <QDialog>
#include <optional>

class AmountField;
class DateBox;
class MessageBoxes;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The late-payment breakdown of one withholding. For a record of the entry panel its
// inputs are shown as they are and "Applica" accepts the result; as the calculator of
// the "Servizi" menu its inputs are editable and "Copia" puts the text on the clipboard.
class LatePaymentDialog : public QDialog {
    Q_OBJECT

public:
    enum class Mode { ForRecord, Calculator };

    struct Inputs {
        QString taxCode;
        QString withheld;    // as typed: "1.234,56"
        QString paymentDate; // dd/MM/yyyy
        QString remittanceDate;
        qint64 recordId = 0; // the record itself, left out of its year's other withholdings
        QString user;        // whose other withholdings of the year count; empty: none
    };

    LatePaymentDialog(Mode mode, MessageBoxes& boxes, const Inputs& inputs,
                      QWidget* parent = nullptr);

    // The breakdown shown, when one is.
    const std::optional<tax::LatePayment>& result() const { return result_; }
    QString text() const;

    // Reads the inputs and shows the breakdown or why there is none.
    void calculate();

private:
    void build(Mode mode);
    void copy();

    MessageBoxes& boxes_;
    Inputs inputs_;
    QComboBox* taxCode_;
    AmountField* withheld_;
    DateBox* paymentDate_;
    DateBox* remittanceDate_;
    QPlainTextEdit* breakdown_;
    QPushButton* applyButton_ = nullptr;
    std::optional<tax::LatePayment> result_;
};
