#include "reports/landscape_list.h"

namespace landscape_list {

report::ReportLayout layout(const QString& name, const QString& caption) {
    report::ReportLayout layout;
    layout.name = name;
    layout.caption = caption;
    layout.page.landscape = true;
    layout.page.marginLeft = 567;
    layout.page.marginRight = 397;
    layout.page.marginTop = 400;
    layout.page.marginBottom = 400;
    layout.page.reportWidth = kRuleWidth;
    layout.page.baseFontSize = 8;
    return layout;
}

} // namespace landscape_list
