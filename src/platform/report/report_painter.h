#pragma once

#include "platform/report/report_renderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <functional>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace report {

// Draws rendered pages on any device: the preview widget, a printer, a PDF file.
class ReportPainter {
public:
    explicit ReportPainter(const RenderedReport& report);

    // Scales `painter` so that one unit is one twip on `device`.
    static void mapTwips(QPainter& painter, const QPaintDevice& device);

    // Draws page `index` (0-based) with a painter already mapped to twips.
    void paintPage(QPainter& painter, int index);

private:
    // A text laid out once in one style; ledger pages repeat captions, dates, codes and
    // names, so most runs are drawn from here without laying them out again.
    struct Shaped {
        QList<QGlyphRun> glyphs;
        qreal width = 0;
    };
    const Shaped& shaped(int style, const QString& text);

    const RenderedReport& report_;
    QList<QFont> fonts_;
    QList<QFontMetricsF> metrics_;
    QList<QHash<QString, Shaped>> cache_;
};

// Called after each page with the pages done and the pages to do; false stops.
using PageProgress = std::function<bool(int done, int total)>;

// Prints pages first..last (0-based, inclusive) on a device already set up for the
// report's paper; false when the device could not be painted on or the operator stopped.
bool paintPages(const RenderedReport& report, QPagedPaintDevice& device, int first, int last,
                const PageProgress& progress = {});

// Writes every page to a PDF file (A4, the report's orientation). False with the reason
// in `error` when the file cannot be written.
bool writePdf(const RenderedReport& report, const QString& path, QString* error = nullptr,
              const PageProgress& progress = {});

} // namespace report
