#include "platform/report/report_painter.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

namespace report {

ReportPainter::ReportPainter(const RenderedReport& report) : report_(report) {
    fonts_.reserve(report.styles.size());
    for (const TextStyle& style : report.styles) {
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

void ReportPainter::paintPage(QPainter& painter, int index) {
    if (index < 0 || index >= report_.pages.size())
        return;
    const RenderedPage& page = report_.pages.at(index);
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
        if (report_.styles.at(run.style).underline) {
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

bool paintPages(const RenderedReport& report, QPagedPaintDevice& device, int first, int last,
                const PageProgress& progress) {
    first = std::max(first, 0);
    last = std::min(last, report.pageCount() - 1);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    ReportPainter pages(report);
    const int total = last - first + 1;
    for (int i = first; i <= last; ++i) {
        if (i > first)
            device.newPage();
        painter.save();
        ReportPainter::mapTwips(painter, device);
        pages.paintPage(painter, i);
        painter.restore();
        if (progress && !progress(i - first + 1, total)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

bool writePdf(const RenderedReport& report, const QString& path, QString* error,
              const PageProgress& progress) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setTitle(report.caption);
    writer.setCreator(QStringLiteral("Velarco"));
    writer.setResolution(kTwipsPerInch);
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0)));
    const bool ok = paintPages(report, writer, 0, std::max(0, report.pageCount() - 1), progress);
    if (!ok) {
        file.close();
        file.remove();
        if (error)
            *error = QStringLiteral("impossibile scrivere il file PDF %1")
                         .arg(QFileInfo(path).fileName());
        return false;
    }
    return true;
}

} // namespace report
