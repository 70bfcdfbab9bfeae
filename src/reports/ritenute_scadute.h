#pragma once

#include "printing/report_layout.h"
#include "reports/report_catalogue.h"

// "Ritenute scadute": the withholdings not remitted whose legal due date has passed at a
// day (today unless chosen), with days late and the cost of regularising on that day;
// for the current user's year (`RitenuteScadute`, in the user's report menu) or for
// every user and year (`StampaScadute`, in "Generale").
namespace ritenute_scadute {

inline const QString kUserCommand = QStringLiteral("RitenuteScadute");
inline const QString kGeneralCommand = QStringLiteral("StampaScadute");
inline const QString kTitle = QStringLiteral("Label3");
inline const QString kUserName = QStringLiteral("Label37");

// A fresh layout; `general` adds each record's user.
report::ReportLayout layout(bool general);

// The rows late at `request.at`, the layout and its captions.
Result<PreparedReport> prepare(const ReportRequest& request);

} // namespace ritenute_scadute
