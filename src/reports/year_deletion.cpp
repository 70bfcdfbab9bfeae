#include "reports/year_deletion.h"

#include "reports/year_deletion_store.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/server_jobs.h"

#include <QAction>
#include <QGroupBox>

namespace {

const QString kNoticeTitle = QStringLiteral(" Velarco..........................- AVVISO ");
const QString kPromptTitle = QStringLiteral(" Velarco................................");

} // namespace

YearDeletion::YearDeletion(Shell& shell, QObject* parent) : QObject(parent), shell_(shell) {
    connect(shell_.action("EliminaR"), &QAction::triggered, this, &YearDeletion::run);
}

void YearDeletion::run() {
    shell_.setMenusEnabled({"Funzioni", "Esci", "Anagrafica", "Ritenute", "Servizi"}, false);
    shell_.setPanelsVisible({"Frame5", "Frame6"}, false);

    if (!shell_.requireSelection())
        return; // back at the selection, with the ledger menus disabled
    askAndDelete();

    // Every way through the command past the selection, a failed deletion included,
    // ends here.
    shell_.setMenusEnabled({"Funzioni", "Esci", "Anagrafica", "Ritenute", "Servizi"}, true);
    shell_.setPanelsVisible({"Frame2"}, false);
}

void YearDeletion::askAndDelete() {
    MessageBoxes& boxes = shell_.boxes();
    const QString entry =
        boxes.input(QStringLiteral(" Per accedere, occorre digitare la PASSWORD di sistema"),
                    kPromptTitle, true);
    if (!year_deletion::isSystemPassword(entry)) {
        boxes.notice(QStringLiteral("PASSWORD.................errata !!"), kNoticeTitle);
        return;
    }
    QString question = QStringLiteral(" Sei sicuro di voler di eliminare le registrazioni  ?");
    if (store::currentEngine() == store::Engine::PostgreSQL)
        question +=
            QStringLiteral("\n\n") +
            store::serverJobText(store::ServerJob::CopyBeforeDeletion, store::databasePath());
    if (!boxes.confirm(question, kPromptTitle)) {
        boxes.notice(QStringLiteral("  Eliminazione  cancellata dall'Utente  !!"), kNoticeTitle);
        return;
    }
    const Status status = year_deletion::deleteYear(shell_.currentUserId(), shell_.currentYear());
    if (!status.ok()) {
        boxes.notice(QStringLiteral("Eliminazione non effettuata: nessuna registrazione è stata "
                                    "eliminata.\nErrore del database: ") +
                         status.error(),
                     blockingTitle());
        return;
    }
    boxes.notice(QStringLiteral(" Eliminazione Registrazioni  effettuata con successo ! "),
                 QStringLiteral("Velarco............................ - ELIMINA "));
}
