#pragma once

#include "reports/report_launcher.h"

#include <QObject>
#include <functional>

class Shell;

// The report commands of the menus: the lists of the current user's year (`ElencoR`,
// `FattureNP`, `FattureP`, `RitenuteNV`, `RitenuteV`), the general lists across users
// (`StampaG`, `StampaS`), the late withholdings of the user's year and of everyone
// (`RitenuteScadute`, `StampaScadute`, late at a day the operator may type) and the
// subjects registry (`Elenco`). None of them changes a menu or a panel. `StanpaAt`
// prints the certification of the user's year (`Attestazione`); `PianoF24` and
// `PianoF24G` ask the due month and print the F24 plan of the user or of every user.
// `Prospetto770` and `Prospetto770G` (menu "Servizi") print the remittances of the
// window's year as the annual return lists them, for the user or for every user.
class ReportCommands : public QObject {
    Q_OBJECT

public:
    ReportCommands(Shell& shell, QObject* parent = nullptr);

    // The command `name`, as its menu item runs it.
    void run(const QString& name);

    ReportLauncher& runner() { return runner_; }

    // The commands connected to their menu items, in menu order.
    static const QStringList& commandNames();

    // Asks the due month and runs the F24 plan `name` for it.
    void runDueMonth(const QString& name);
    // Asks which payees, then either writes a PDF per payee into a folder or previews
    // the whole certification.
    void runCertificate();

    // Asks the folder of the certificates; the empty text cancels.
    using FolderChooser = std::function<QString(QWidget* parent)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

private:
    Shell& shell_;
    ReportLauncher runner_;
    FolderChooser chooseFolder_;
};
