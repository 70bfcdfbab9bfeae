#include "ledger/late_payment_dialog.h"

#include "ledger/amount_field.h"
#include "ledger/ledger_lookups.h"
#include "shell/message_boxes.h"
#include "tax/late_payment_text.h"
#include "tax/tax_tables.h"
#include "widgets/date_box.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* addButton(QDialogButtonBox* box, const char* name, const QString& caption,
                       QDialogButtonBox::ButtonRole role) {
    QPushButton* button = box->addButton(caption, role);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

LatePaymentDialog::LatePaymentDialog(Mode mode, MessageBoxes& boxes, const Inputs& inputs,
                                     QWidget* parent)
    : QDialog(parent), boxes_(boxes), inputs_(inputs) {
    setObjectName(QStringLiteral("LatePaymentDialog"));
    setWindowTitle(mode == Mode::Calculator ? QStringLiteral("Calcolo ravvedimento")
                                            : QStringLiteral("Calcola ravvedimento"));
    build(mode);
    calculate();
}

void LatePaymentDialog::build(Mode mode) {
    const bool editable = mode == Mode::Calculator;
    taxCode_ = new QComboBox(this);
    taxCode_->setObjectName(QStringLiteral("taxCode"));
    taxCode_->setEditable(true);
    taxCode_->addItems(ledger::taxCodes().value);
    taxCode_->setEditText(inputs_.taxCode);
    withheld_ = new AmountField("withheld", this);
    withheld_->setText(inputs_.withheld);
    paymentDate_ = new DateBox(this);
    paymentDate_->setObjectName(QStringLiteral("paymentDate"));
    paymentDate_->setText(inputs_.paymentDate);
    remittanceDate_ = new DateBox(this);
    remittanceDate_->setObjectName(QStringLiteral("remittanceDate"));
    remittanceDate_->setText(inputs_.remittanceDate);
    for (QWidget* input :
         {static_cast<QWidget*>(taxCode_), static_cast<QWidget*>(withheld_),
          static_cast<QWidget*>(paymentDate_), static_cast<QWidget*>(remittanceDate_)})
        input->setEnabled(editable);

    breakdown_ = new QPlainTextEdit(this);
    breakdown_->setObjectName(QStringLiteral("breakdown"));
    breakdown_->setReadOnly(true);
    breakdown_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    breakdown_->setMinimumSize(620, 320);

    auto* buttons = new QDialogButtonBox(this);
    if (editable) {
        connect(addButton(buttons, "calculateButton", QStringLiteral("&Calcola"),
                          QDialogButtonBox::ActionRole),
                &QPushButton::clicked, this, &LatePaymentDialog::calculate);
        connect(addButton(buttons, "copyButton", QStringLiteral("C&opia"),
                          QDialogButtonBox::ActionRole),
                &QPushButton::clicked, this, &LatePaymentDialog::copy);
        connect(addButton(buttons, "closeButton", QStringLiteral("C&hiudi"),
                          QDialogButtonBox::RejectRole),
                &QPushButton::clicked, this, &QDialog::reject);
    } else {
        applyButton_ = addButton(buttons, "applyButton", QStringLiteral("&Applica"),
                                 QDialogButtonBox::AcceptRole);
        connect(applyButton_, &QPushButton::clicked, this, &QDialog::accept);
        connect(addButton(buttons, "cancelButton", QStringLiteral("A&nnulla"),
                          QDialogButtonBox::RejectRole),
                &QPushButton::clicked, this, &QDialog::reject);
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Codice tributo"), taxCode_);
    form->addRow(QStringLiteral("Ritenuta"), withheld_);
    form->addRow(QStringLiteral("Data pagamento"), paymentDate_);
    form->addRow(QStringLiteral("Data versamento"), remittanceDate_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(breakdown_, 1);
    layout->addWidget(buttons);
}

QString LatePaymentDialog::text() const {
    return breakdown_->toPlainText();
}

void LatePaymentDialog::calculate() {
    result_.reset();
    if (applyButton_)
        applyButton_->setEnabled(false);
    const QString code = taxCode_->currentText().trimmed();
    const std::optional<Amount> withheld = Amount::parse(withheld_->text());
    const QDate paid = paymentDate_->date();
    const QDate remitted = remittanceDate_->date();
    QString why;
    if (code.isEmpty())
        why = QStringLiteral("Indicare il codice tributo.");
    else if (!withheld || withheld->cents() < 0)
        why = QStringLiteral("Indicare la ritenuta, ad esempio 1.234,56.");
    else if (!paid.isValid())
        why = QStringLiteral("Indicare la data di pagamento della fattura (gg/mm/aaaa).");
    else if (!remitted.isValid())
        why = QStringLiteral("Indicare la data del versamento (gg/mm/aaaa).");
    if (!why.isEmpty()) {
        breakdown_->setPlainText(why);
        return;
    }
    const Result<tax::LateRules> rules = tax::storedLateRules();
    const Result<QStringList> codes = ledger::taxCodes();
    if (!rules.ok() || !codes.ok()) {
        breakdown_->setPlainText(QStringLiteral("Lettura delle tabelle non riuscita."));
        boxes_.notice(QStringLiteral("Lettura dei tassi legali, delle proroghe, delle scadenze "
                                     "770 o dei codici tributo non riuscita.\nErrore del "
                                     "database: ") +
                          (rules.ok() ? codes.error() : rules.error()),
                      blockingTitle());
        return;
    }
    // The ledger's own codes, as the office keeps them; the dates in order; an amount.
    if (const QString fault = tax::inputFaultText(
            tax::inputFault(codes.value, {code, *withheld, paid, {}, remitted}), code);
        !fault.isEmpty()) {
        breakdown_->setPlainText(fault.left(1).toUpper() + fault.mid(1) + QLatin1Char('.'));
        return;
    }
    const tax::CalendarChoice& choice = rules.value.choice;
    tax::DueDate due;
    if (inputs_.user.isEmpty()) {
        due = tax::dueDateAmong({{paid, *withheld}}, 0, code, choice);
    } else {
        const Result<tax::DueDate> read =
            tax::recordDueDate({inputs_.recordId, inputs_.user, code, paid, *withheld}, choice);
        if (!read.ok()) {
            breakdown_->setPlainText(QStringLiteral("Lettura delle ritenute non riuscita."));
            boxes_.notice(QStringLiteral("Lettura delle ritenute dell'anno non riuscita.\nErrore "
                                         "del database: ") +
                              read.error(),
                          blockingTitle());
            return;
        }
        due = read.value;
    }
    const tax::LatePayment result = tax::computeLatePayment(
        {code, *withheld, paid, due, remitted}, rules.value.rates, rules.value.deadlines);
    if (result.outcome == tax::LatePayment::Outcome::Late) {
        result_ = result;
        breakdown_->setPlainText(tax::latePaymentLines(result).join(QLatin1Char('\n')));
    } else {
        breakdown_->setPlainText(tax::notComputedText(result));
    }
    if (applyButton_)
        applyButton_->setEnabled(result_.has_value());
}

void LatePaymentDialog::copy() {
    QGuiApplication::clipboard()->setText(text());
}
