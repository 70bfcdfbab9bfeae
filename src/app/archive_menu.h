#pragma once

#include <QObject>

class Shell;
namespace store {
enum class ServerJob;
}

// The "Archivio" menu: opening a shared ledger or another local one, the check of the
// ledger, its copies, its replacement by a copy and what the program knows of it.
// Enabled in every state of the window.
class ArchiveMenu : public QObject {
    Q_OBJECT

public:
    ArchiveMenu(Shell& shell, QObject* parent = nullptr);
    ~ArchiveMenu() override;

    // The refusal every command that writes gives on a read-only ledger.
    static QString readOnlyText();

Q_SIGNALS:
    // The ledger is about to be closed: nothing may keep reading it.
    void ledgerClosing();
    // The ledger was closed and opened again: every panel starts afresh.
    void ledgerReopened();

private:
    void ApriCondiviso();
    void NuovoArchivio();
    void ApriLocale();
    // Makes the ledger file `file`, not yet there, and opens it.
    void createLedger(const QString& file);
    // Closes the open ledger and opens `ledger` (a file or a server address), remembered
    // for the next start, and says `opened` (the path follows it); when it does not open,
    // the previous ledger is opened again.
    void switchTo(const QString& ledger,
                  const QString& opened = QStringLiteral("Aperto l'archivio"));
    void VerificaArchivio();
    void SalvaCopia();
    void RipristinaCopia();
    void Informazioni();
    void RegistroModifiche();
    // On a server ledger, tells the operator that `job` is the server's; true then.
    bool leftToTheServer(store::ServerJob job);

    Shell& shell_;
};
