#pragma once

#include "reports/report_launcher.h"

#include <QObject>
#include <functional>

class Shell;

// The report commands of the menus: every report of the catalogue that is no search
// (reports/report_catalogue.h) runs from its menu item. A report with an input asks it in
// a box first (the due month of the F24 plans, the payees of the certification, which
// may also be written as a folder of files), a late list the day it is late at. None of
// them changes a menu or a panel.
class ReportCommands : public QObject {
    Q_OBJECT

public:
    ReportCommands(Shell& shell, QObject* parent = nullptr);

    // The report as its menu item runs it: asks what it needs, then previews it.
    void run(const ReportDescription& report);

    ReportLauncher& runner() { return runner_; }

    // Asks the folder of the certificates; the empty text cancels.
    using FolderChooser = std::function<QString(QWidget* parent)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

private:
    // Asks the report's input, or the late list's day, into `request`; false when the
    // operator cancels or the answer is no valid input (the box has said so).
    bool ask(const ReportDescription& report, ReportRequest& request);
    // Asks whether to write a PDF per payee into a folder and does; false: preview.
    bool writeFolder(const ReportDescription& report, const ReportRequest& request);

    Shell& shell_;
    ReportLauncher runner_;
    FolderChooser chooseFolder_;
};
