#pragma once

#include "platform/report/report_data.h"
#include "platform/report/report_layout.h"

#include <QDate>
#include <QLine>
#include <QList>
#include <QRect>
#include <QString>
#include <functional>

// Pagination of a layout over its rows into pages of positioned text and lines; the
// pages are plain data, so that tests read them and any device can draw them.
namespace report {

struct TextStyle {
    QString family;
    double pointSize = 8.0;
    bool bold = false;
    bool underline = false;

    bool operator==(const TextStyle&) const = default;
};

// Positions are twips from the top-left corner of the paper.
struct TextRun {
    QRect box;
    QString text;
    int style = 0; // index into RenderedReport::styles
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct LineRun {
    QLine line;
};

struct RenderedPage {
    QList<TextRun> texts;
    QList<LineRun> lines;
};

struct RenderedReport {
    QString caption;
    bool landscape = true;
    int pageWidth = 0; // twips
    int pageHeight = 0;
    QList<TextStyle> styles;
    QList<RenderedPage> pages;
    bool cancelled = false;

    int pageCount() const { return int(pages.size()); }
};

struct RenderOptions {
    // The date that "%d" prints; tests fix it.
    QDate printDate = QDate::currentDate();
    // Called now and then with the rows laid out so far; returning false stops the
    // render, which then comes back empty and marked cancelled.
    std::function<bool(int done, int total)> progress;
};

// Report header once at the top of the first page, page header at the top of every
// page, one detail band per row (never split across pages), page footer at the foot of
// every page, report footer once after the last row; "%d", "%p" and "%P" filled in.
RenderedReport render(const ReportLayout& layout, const ReportData& data,
                      const RenderOptions& options = {});

// A line per page, text and rule, for reference files and failure messages.
QString textDump(const RenderedReport& report);

// The texts of one page in reading order (top to bottom, left to right).
QStringList pageTexts(const RenderedPage& page);

} // namespace report
