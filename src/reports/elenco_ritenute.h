#pragma once

#include "printing/report_layout.h"

// The two layouts of the withholding lists. Each call gives a fresh layout with its
// defaults, so what one run changes (title, hidden balance) never reaches the next.

// One user's year, with a balance per record and the totals.
report::ReportLayout ElencoRitenute();

// All users, with each record's user in place of the balance.
report::ReportLayout ElencoRitenuteG();

// Names of the items that the commands change at run time.
namespace elenco_ritenute {
inline const QString kTitle = QStringLiteral("Label3");
inline const QString kUserName = QStringLiteral("Label37");
inline const QString kYear = QStringLiteral("Label14");
inline const QString kBalance = QStringLiteral("TextBox15");
} // namespace elenco_ritenute
