#pragma once

#include <QObject>

class Shell;

// The "Archivio" menu: the check of the ledger, its copies, its replacement by a copy
// and what the program knows of it. Enabled in every state of the window.
class ArchiveMenu : public QObject {
    Q_OBJECT

public:
    ArchiveMenu(Shell& shell, QObject* parent = nullptr);

    // The refusal every command that writes gives on a read-only ledger.
    static QString readOnlyText();

Q_SIGNALS:
    // The ledger is about to be closed: nothing may keep reading it.
    void ledgerClosing();
    // The ledger was closed and opened again: every panel starts afresh.
    void ledgerReopened();

private:
    void VerificaArchivio();
    void SalvaCopia();
    void RipristinaCopia();
    void Informazioni();

    Shell& shell_;
};
