#pragma once

#include "printing/report_layout.h"
#include "printing/report_pages.h"
#include "printing/row_source.h"

#include <QDate>
#include <QList>
#include <memory>

namespace report {

// A layout over a row source, laid out one page at a time. The bands have fixed heights
// and the rows come in order, so where every page starts follows from the row count
// alone: a page is laid out by reading its own rows, and the running or grand totals it
// prints from the summed columns of the rows before it. Memory does not grow with the
// length of the report.
//
// Report header once at the top of the first page, page header at the top of every
// page, one detail band per row (never split across pages), page footer at the foot of
// every page, report footer once after the last row; "%d", "%p" and "%P" filled in.
class ReportDocument {
public:
    ReportDocument(const ReportLayout& layout, std::shared_ptr<RowSource> rows,
                   const QDate& printDate = QDate::currentDate());
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    // Caption, paper and text styles; the same for every page.
    const PageFrame& frame() const { return frame_; }
    int pageCount() const { return pageCount_; }
    qint64 rowCount() const;
    // The rows laid out on pages before `page`.
    qint64 firstRowOf(int page) const;

    // Lays out page `index` (0-based). A failed read gives the database's reason.
    Status layOut(int index, RenderedPage& page);

private:
    struct Compiled;

    // Sets the running totals to those after the first `row` rows (none when negative).
    Status advanceTotals(qint64 row);

    std::unique_ptr<Compiled> compiled_;
    std::shared_ptr<RowSource> rows_;
    PageFrame frame_;
    int pageCount_ = 0;
};

} // namespace report
