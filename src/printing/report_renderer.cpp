#include "printing/report_renderer.h"

#include "printing/report_document.h"

#include <algorithm>

namespace report {
namespace {

QString alignmentCode(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("C");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("R");
    return QStringLiteral("L");
}

} // namespace

RenderedReport render(const ReportLayout& layout, std::shared_ptr<RowSource> rows,
                      const RenderOptions& options) {
    ReportDocument document(layout, std::move(rows), options.printDate);
    RenderedReport out;
    static_cast<PageFrame&>(out) = document.frame();
    for (int i = 0; i < document.pageCount(); ++i) {
        if (options.progress && !options.progress(document.firstRowOf(i), document.rowCount())) {
            RenderedReport cancelled;
            cancelled.caption = out.caption;
            cancelled.cancelled = true;
            return cancelled;
        }
        RenderedPage page;
        if (Status s = document.layOut(i, page); !s.ok()) {
            RenderedReport failed;
            failed.caption = out.caption;
            failed.error = s.error();
            return failed;
        }
        out.pages.append(std::move(page));
    }
    if (options.progress)
        options.progress(document.rowCount(), document.rowCount());
    return out;
}

RenderedReport render(const ReportLayout& layout, const ReportData& rows,
                      const RenderOptions& options) {
    return render(layout, std::make_shared<ReportData>(rows), options);
}

QString textDump(const RenderedReport& report) {
    QString out;
    out += QStringLiteral("report \"%1\" %2 %3x%4 twips, %5 pages\n")
               .arg(report.caption,
                    report.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"))
               .arg(report.pageWidth)
               .arg(report.pageHeight)
               .arg(report.pageCount());
    for (int i = 0; i < report.styles.size(); ++i) {
        const TextStyle& s = report.styles.at(i);
        out += QStringLiteral("style %1: %2 %3%4%5\n")
                   .arg(i)
                   .arg(s.family)
                   .arg(s.pointSize)
                   .arg(s.bold ? QStringLiteral(" bold") : QString())
                   .arg(s.underline ? QStringLiteral(" underline") : QString());
    }
    for (int p = 0; p < report.pages.size(); ++p) {
        const RenderedPage& page = report.pages.at(p);
        out += QStringLiteral("-- page %1\n").arg(p + 1);
        for (const TextRun& t : page.texts) {
            out += QStringLiteral("T %1 %2 %3 %4 %5 s%6 \"%7\"\n")
                       .arg(t.box.left())
                       .arg(t.box.top())
                       .arg(t.box.width())
                       .arg(t.box.height())
                       .arg(alignmentCode(t.alignment))
                       .arg(t.style)
                       .arg(t.text);
        }
        for (const LineRun& l : page.lines) {
            out += QStringLiteral("L %1 %2 %3 %4\n")
                       .arg(l.line.x1())
                       .arg(l.line.y1())
                       .arg(l.line.x2())
                       .arg(l.line.y2());
        }
    }
    return out;
}

QStringList pageTexts(const RenderedPage& page) {
    QList<const TextRun*> runs;
    runs.reserve(page.texts.size());
    for (const TextRun& t : page.texts)
        runs.append(&t);
    std::stable_sort(runs.begin(), runs.end(), [](const TextRun* a, const TextRun* b) {
        return a->box.top() != b->box.top() ? a->box.top() < b->box.top()
                                            : a->box.left() < b->box.left();
    });
    QStringList texts;
    texts.reserve(runs.size());
    for (const TextRun* t : runs)
        texts.append(t->text);
    return texts;
}

} // namespace report
