#include "app/shared_ledger_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QLineEdit* makeField(const char* name, const QString& text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

} // namespace

SharedLedgerDialog::SharedLedgerDialog(const store::LedgerAddress& proposed, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ArchivioCondiviso"));
    setWindowTitle(QStringLiteral("Apri archivio condiviso"));
    user_ = makeField("Utente", proposed.user, this);
    host_ = makeField("Server", proposed.host, this);
    port_ = new QSpinBox(this);
    port_->setObjectName(QStringLiteral("Porta"));
    port_->setRange(1, 65535);
    port_->setValue(proposed.port);
    database_ = makeField("Database", proposed.database, this);

    auto* form = new QFormLayout(this);
    auto* intro = new QLabel(QStringLiteral("L'archivio di un ufficio su un server PostgreSQL. "
                                            "La password, se il server la chiede, viene "
                                            "domandata all'apertura e non viene salvata."),
                             this);
    intro->setWordWrap(true);
    form->addRow(intro);
    // Each field and button has its Alt letter.
    form->addRow(QStringLiteral("&Utente"), user_);
    form->addRow(QStringLiteral("&Server"), host_);
    form->addRow(QStringLiteral("P&orta"), port_);
    form->addRow(QStringLiteral("&Database"), database_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(QStringLiteral("&Apri"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("Apri"));
    open->setDefault(true);
    buttons->addButton(QStringLiteral("A&nnulla"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Annulla"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Server and database are needed; the user may be left to the system's name.
    const auto complete = [this, open] {
        open->setEnabled(!host_->text().trimmed().isEmpty() &&
                         !database_->text().trimmed().isEmpty());
    };
    connect(host_, &QLineEdit::textChanged, this, complete);
    connect(database_, &QLineEdit::textChanged, this, complete);
    complete();
}

store::LedgerAddress SharedLedgerDialog::address() const {
    store::LedgerAddress typed;
    typed.server = true;
    typed.user = user_->text().trimmed();
    typed.host = host_->text().trimmed();
    typed.port = port_->value();
    typed.database = database_->text().trimmed();
    return typed;
}

QString SharedLedgerDialog::ask(QWidget* parent, const store::LedgerAddress& proposed) {
    SharedLedgerDialog dialog(proposed, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.address().display() : QString();
}
