#pragma once

#include "reports/report_catalogue.h"

#include <functional>

class Shell;
class QWidget;

// One report run of the window, shared by the menu commands and the searches: prepares
// the command with the window's current user and year, shows the box of an empty list or
// of a failure, otherwise previews the pages. The preview is replaceable so that tests
// see what would be shown instead of a modal dialog.
class ReportLauncher {
public:
    // Shows the prepared report; a failure carries its reason for the operator.
    using Preview = std::function<Status(const PreparedReport& report)>;

    // The preview window belongs to the window of `dialogParent` (which may be null).
    ReportLauncher(Shell& shell, QWidget* dialogParent);

    // The request for command `name` with the window's current user and year.
    ReportRequest requestFor(const QString& name) const;

    // Runs `request`; true when the report was previewed.
    bool run(const ReportRequest& request);

    void setPreview(Preview preview);
    // The modal on-screen preview that runs unless a test replaces it.
    static Status previewOnScreen(const PreparedReport& report, QWidget* parent);

private:
    Shell& shell_;
    Preview preview_;
};
