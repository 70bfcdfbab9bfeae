#pragma once

#include "printing/report_data.h"
#include "printing/report_layout.h"
#include "printing/report_pages.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// A whole report laid out at once, for tests, reference files and short lists; long
// reports go page by page through ReportDocument.
namespace report {

struct RenderedReport : PageFrame {
    QList<RenderedPage> pages;
    bool cancelled = false;
    QString error; // the reason a read failed; no pages then

    int pageCount() const { return int(pages.size()); }
};

struct RenderOptions {
    // The date that "%d" prints; tests fix it.
    QDate printDate = QDate::currentDate();
    // Called before each page with the rows laid out so far; returning false stops the
    // render, which then comes back empty and marked cancelled.
    std::function<bool(qint64 done, qint64 total)> progress;
};

// Every page of `layout` over `rows` (see ReportDocument).
RenderedReport render(const ReportLayout& layout, std::shared_ptr<RowSource> rows,
                      const RenderOptions& options = {});
RenderedReport render(const ReportLayout& layout, const ReportData& rows,
                      const RenderOptions& options = {});

// A line per page, text and rule, for reference files and failure messages.
QString textDump(const RenderedReport& report);

// The texts of one page in reading order (top to bottom, left to right).
QStringList pageTexts(const RenderedPage& page);

} // namespace report
