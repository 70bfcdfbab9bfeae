#include "platform/report/report_painter.h"

#include "platform/report/page_queue.h"
#include "platform/report/report_document.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>
#include <thread>

namespace report {
namespace {

// Distinct texts kept shaped per style; past this the cache starts afresh, so that a
// long report of ever new names and amounts does not grow it without end.
constexpr qsizetype kShapedTexts = 4096;

} // namespace

ReportPainter::ReportPainter(const PageFrame& frame) : styles_(frame.styles) {
    fonts_.reserve(styles_.size());
    for (const TextStyle& style : styles_) {
        QFont font(style.family);
        // Sizes in twips: with the painter mapped to twips, text keeps its point size on
        // every device and its layout does not depend on the device's resolution.
        font.setPixelSize(qRound(style.pointSize * kTwipsPerPoint));
        font.setBold(style.bold);
        font.setUnderline(style.underline);
        font.setKerning(false);
        font.setHintingPreference(QFont::PreferNoHinting);
        fonts_.append(font);
        metrics_.append(QFontMetricsF(font));
    }
    cache_.resize(fonts_.size());
}

const ReportPainter::Shaped& ReportPainter::shaped(int style, const QString& text) {
    QHash<QString, Shaped>& cache = cache_[style];
    auto found = cache.constFind(text);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() >= kShapedTexts)
        cache.clear();
    QTextLayout layout(text, fonts_.at(style));
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    Shaped entry;
    if (line.isValid()) {
        entry.width = line.naturalTextWidth();
        entry.glyphs = line.glyphRuns();
        // The underline is drawn with the text box (see paintPage): glyph runs place
        // their own underline wrongly on scaled raster devices.
        for (QGlyphRun& run : entry.glyphs)
            run.setUnderline(false);
    }
    return *cache.insert(text, std::move(entry));
}

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
        const Shaped& text = shaped(run.style, run.text);
        if (text.width > run.box.width()) {
            // Text boxes cut what does not fit, as the designs expect.
            painter.setFont(fonts_.at(run.style));
            painter.drawText(run.box, int(run.alignment) | Qt::TextSingleLine, run.text);
            continue;
        }
        qreal x = run.box.left();
        if (run.alignment & Qt::AlignHCenter)
            x += (run.box.width() - text.width) / 2;
        else if (run.alignment & Qt::AlignRight)
            x += run.box.width() - text.width;
        for (const QGlyphRun& glyphs : text.glyphs)
            painter.drawGlyphRun(QPointF(x, run.box.top()), glyphs);
        if (styles_.at(run.style).underline) {
            const QFontMetricsF& m = metrics_.at(run.style);
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
    first = std::max(first, 0);
    last = std::min(last, document.pageCount() - 1);
    const int total = std::max(0, last - first + 1);
    PageQueue queue;
    bool painted = false;
    std::thread painterThread([&] {
        QPainter painter;
        if (!painter.begin(&device)) {
            queue.close();
            return;
        }
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
        painted = painter.end() && queue.painted() == total;
        queue.close();
    });
    Status status = Status::success();
    const auto keepGoing = [&] { return !progress || progress(queue.painted(), total); };
    for (int i = first; i <= last && status.ok(); ++i) {
        RenderedPage page;
        status = document.layOut(i, page);
        if (status.ok() && !keepGoing())
            status = Status::failure(kStopped);
        if (status.ok() && !queue.push(std::move(page), keepGoing))
            status = queue.isClosed() ? Status::success() : Status::failure(kStopped);
    }
    if (status.ok() && !queue.waitPainted(total, keepGoing))
        status = Status::failure(kStopped);
    queue.close();
    painterThread.join();
    if (status.ok() && !painted)
        return Status::failure(QStringLiteral("la stampa non può essere disegnata"));
    return status;
}

Status writePdf(ReportDocument& document, const QString& path, const PageProgress& progress) {
    // Written beside the destination and put in its place only when complete: a failure
    // or a stop leaves no partial file, and an older file of that name as it was.
    QSaveFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("impossibile scrivere il file PDF %1: %2")
                                   .arg(name, file.errorString()));
    Status status = Status::success();
    {
        QPdfWriter writer(&file);
        const PageFrame& frame = document.frame();
        writer.setTitle(frame.caption);
        writer.setCreator(QStringLiteral("Velarco"));
        writer.setResolution(kTwipsPerInch);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4),
                        frame.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                        QMarginsF(0, 0, 0, 0)));
        status = paintPages(document, writer, 0, std::max(0, document.pageCount() - 1), progress);
    }
    if (!status.ok()) {
        file.cancelWriting();
        return status;
    }
    if (!file.commit())
        return Status::failure(QStringLiteral("impossibile scrivere il file PDF %1: %2")
                                   .arg(name, file.errorString()));
    return Status::success();
}

} // namespace report
