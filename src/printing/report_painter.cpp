#include "printing/report_painter.h"

#include "printing/page_pipeline.h"
#include "printing/report_document.h"
#include "printing/report_layout.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace report {

ReportPainter::ReportPainter(const PageFrame& frame) : shaper_(frame.styles) {}

void ReportPainter::mapTwips(QPainter& painter, const QPaintDevice& device) {
    painter.scale(device.logicalDpiX() / double(kTwipsPerInch),
                  device.logicalDpiY() / double(kTwipsPerInch));
}

void ReportPainter::paintPage(QPainter& painter, const RenderedPage& page) {
    QPen pen(Qt::black);
    pen.setWidth(15); // about 0.75 pt, a thin rule on paper and still visible on screen
    painter.setPen(pen);
    for (const LineRun& line : page.lines)
        painter.drawLine(line.line);
    for (const TextRun& run : page.texts) {
        const ShapedText& text = shaper_.shaped(run.style, run.text);
        if (text.width > run.box.width()) {
            // Text boxes cut what does not fit, as the designs expect.
            painter.setFont(shaper_.font(run.style));
            painter.drawText(run.box, int(run.alignment) | Qt::TextSingleLine, run.text);
            continue;
        }
        const qreal x = shaper_.startOf(run, text);
        for (const QGlyphRun& glyphs : text.glyphs)
            painter.drawGlyphRun(QPointF(x, run.box.top()), glyphs);
        if (shaper_.underlined(run.style)) {
            const QFontMetricsF& m = shaper_.metrics(run.style);
            const qreal y = run.box.top() + m.ascent() + m.underlinePos();
            painter.save();
            QPen underline(Qt::black);
            underline.setWidthF(m.lineWidth());
            painter.setPen(underline);
            painter.drawLine(QLineF(x, y, x + text.width, y));
            painter.restore();
        }
    }
}

Status paintPages(ReportDocument& document, QPagedPaintDevice& device, int first, int last,
                  const PageProgress& progress) {
    const auto paint = [&](PageQueue& queue, int total) {
        const Status failed = Status::failure(QStringLiteral("la stampa non può essere disegnata"));
        QPainter painter;
        if (!painter.begin(&device))
            return failed;
        ReportPainter pages(document.frame());
        RenderedPage page;
        for (int i = 0; i < total && queue.pop(page); ++i) {
            if (i > 0)
                device.newPage();
            painter.save();
            ReportPainter::mapTwips(painter, device);
            pages.paintPage(painter, page);
            painter.restore();
            queue.markPainted();
        }
        return painter.end() ? Status::success() : failed;
    };
    return pipePages(document, first, last, paint, progress);
}

} // namespace report
