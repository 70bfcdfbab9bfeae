#include "ledger/entry_tax_calendar.h"

#include "ledger/late_payment_dialog.h"
#include "shell/shell.h"
#include "tax/due_date.h"
#include "tax/tax_tables.h"
#include "widgets/date_box.h"
#include "widgets/elided_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <typename T> T* field(QGroupBox& panel, const char* name) {
    T* found = panel.findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

} // namespace

EntryTaxCalendar::EntryTaxCalendar(Shell& shell, QGroupBox& panel)
    : QObject(&panel), shell_(shell), taxCode_(field<QComboBox>(panel, "Cbo5")),
      withheld_(field<QLineEdit>(panel, "Text15")), paymentDate_(field<DateBox>(panel, "DataBox3")),
      dueDate_(field<QLineEdit>(panel, "Text21")),
      remittanceDate_(field<DateBox>(panel, "DataBox4")),
      lateRegularisation_(field<QCheckBox>(panel, "Check3")),
      interest_(field<QLineEdit>(panel, "Text13")), penalty_(field<QLineEdit>(panel, "Text14")),
      remitted_(field<QLineEdit>(panel, "Text18")), recordId_(field<QLineEdit>(panel, "Text22")) {
    setObjectName(QStringLiteral("EntryTaxCalendar"));
    note_ = new ElidedLabel(&panel);
    note_->setObjectName(QStringLiteral("legalDueDateNote"));
    note_->setStyleSheet(QStringLiteral("color: #8a4b00;"));
    note_->hide();
    command_ = new QPushButton(QStringLiteral("Calcola ravvedimento"), &panel);
    command_->setObjectName(QStringLiteral("calculateLatePayment"));
    command_->setEnabled(false);
    // On the line the panel keeps free under Scadenza, and under Sanzione.
    if (auto* grid = qobject_cast<QGridLayout*>(panel.layout())) {
        grid->addWidget(note_, 7, 2, 1, 6);
        grid->addWidget(command_, 9, 6, 1, 2);
    }

    connect(command_, &QPushButton::clicked, this, &EntryTaxCalendar::calculate);
    const auto update = [this] { refresh(); };
    connect(dueDate_, &QLineEdit::textChanged, this, update);
    connect(withheld_, &QLineEdit::textChanged, this, update);
    connect(taxCode_, &QComboBox::currentTextChanged, this, update);
    connect(paymentDate_->editor(), &QLineEdit::textChanged, this, update);
    connect(remittanceDate_->editor(), &QLineEdit::textChanged, this, update);
    connect(lateRegularisation_, &QCheckBox::toggled, this, update);
}

void EntryTaxCalendar::refresh() {
    const QDate paid = paymentDate_->date();
    const QString code = taxCode_->currentText().trimmed();
    std::optional<tax::DueDate> due;
    if (paid.isValid() && !code.isEmpty()) {
        const Result<tax::CalendarChoice> choice = tax::storedCalendarChoice();
        const Result<tax::DueDate> read =
            tax::recordDueDate({recordId_->text().toLongLong(), shell_.currentUserId(), code, paid,
                                Amount::parse(withheld_->text()).value_or(Amount())},
                               choice.value);
        if (choice.ok() && read.ok())
            due = read.value;
    }
    // The 16th is what Scadenza holds; the note says when the law gives another day.
    const bool differs = due && due->legal != tax::nominalDueDate(paid);
    note_->setVisible(differs);
    QStringList note;
    if (differs)
        note = QStringList{QStringLiteral("Scadenza legale %1: %2")
                               .arg(tax::dayText(due->legal), due->reasonText())} +
               due->warnings;
    note_->setText(note.join(QLatin1Char('\n')));
    const QDate remitted = remittanceDate_->date();
    command_->setEnabled(lateRegularisation_->isChecked() ||
                         (due && remitted.isValid() && remitted > due->legal));
}

void EntryTaxCalendar::calculate() {
    LatePaymentDialog dialog(LatePaymentDialog::Mode::ForRecord, shell_.boxes(),
                             {taxCode_->currentText().trimmed(), withheld_->text(),
                              paymentDate_->text(), remittanceDate_->text(),
                              recordId_->text().toLongLong(), shell_.currentUserId()},
                             command_->window());
    if (dialog.exec() != QDialog::Accepted || !dialog.result())
        return;
    const tax::LatePayment& result = *dialog.result();
    // Ticking "Ravved." empties the three fields before they are filled.
    lateRegularisation_->setChecked(true);
    interest_->setText(result.interestTotal.format());
    penalty_->setText(result.penalty.format());
    remitted_->setText(result.total.format());
}
