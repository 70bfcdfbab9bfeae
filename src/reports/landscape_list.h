#pragma once

#include "printing/report_layout.h"

// The look the landscape withholding lists share: the faces of the design, Arial and
// Arial Narrow, by their metric twins, and an A4 landscape page whose 15874-twip rules
// end just inside the right edge.
namespace landscape_list {

inline const report::FontSpec kTitleFont{QStringLiteral("Liberation Sans"), 9.75, true, true};
inline const report::FontSpec kHeadingFont{QStringLiteral("Liberation Sans"), 9.75, true, false};
inline const report::FontSpec kCaptionFont{QStringLiteral("Liberation Sans"), 8.25, true, false};
inline const report::FontSpec kValueFont{QStringLiteral("Liberation Sans Narrow"), 8.25, false,
                                         false};
inline const report::FontSpec kTotalFont{QStringLiteral("Liberation Sans"), 9.0, false, false};

constexpr int kRuleWidth = 15874;

// An empty list on that page, 1 cm from the left edge, base font size 8.
report::ReportLayout layout(const QString& name, const QString& caption);

} // namespace landscape_list
