#pragma once

#include "store/ledger_address.h"

#include <QDialog>

class QLineEdit;
class QSpinBox;

// "Apri archivio condiviso…": the address of a ledger on a PostgreSQL server, typed in
// its parts (user, server, port, database). No password: the server asks for it when
// PGPASSWORD and ~/.pgpass give none, and it is never written anywhere.
class SharedLedgerDialog : public QDialog {
    Q_OBJECT

public:
    SharedLedgerDialog(const store::LedgerAddress& proposed, QWidget* parent = nullptr);

    // The address as typed, postgresql://user@server:port/database.
    store::LedgerAddress address() const;

    // Shows the dialog; the address chosen, or an empty text when the operator gave up.
    static QString ask(QWidget* parent, const store::LedgerAddress& proposed);

private:
    QLineEdit* user_;
    QLineEdit* host_;
    QSpinBox* port_;
    QLineEdit* database_;
};
