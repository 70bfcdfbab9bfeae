#pragma once

#include "platform/report/report_pages.h"
#include "store/status.h"

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

class ReportDocument;

// Draws laid-out pages on any device: the preview widget, a printer, a PDF file.
class ReportPainter {
public:
    explicit ReportPainter(const PageFrame& frame);

    // Scales `painter` so that one unit is one twip on `device`.
    static void mapTwips(QPainter& painter, const QPaintDevice& device);

    // Draws `page` with a painter already mapped to twips.
    void paintPage(QPainter& painter, const RenderedPage& page);

private:
    // A text laid out once in one style; ledger pages repeat captions, dates, codes and
    // names, so most runs are drawn from here without laying them out again.
    struct Shaped {
        QList<QGlyphRun> glyphs;
        qreal width = 0;
    };
    const Shaped& shaped(int style, const QString& text);

    QList<TextStyle> styles_;
    QList<QFont> fonts_;
    QList<QFontMetricsF> metrics_;
    QList<QHash<QString, Shaped>> cache_;
};

// Called now and then with the pages painted and the pages to paint; false stops.
using PageProgress = std::function<bool(int done, int total)>;

// The reason given when the operator stopped the work.
inline const QString kStopped = QStringLiteral("interrotta dall'operatore");

// Prints pages first..last (0-based, inclusive) of `document` on a device already set up
// for its paper. The pages are laid out on this thread and painted on a second one, in
// order, so that reading and painting overlap; only a few pages are held at a time.
Status paintPages(ReportDocument& document, QPagedPaintDevice& device, int first, int last,
                  const PageProgress& progress = {});

// Writes every page to a PDF file (A4, the document's orientation). On failure or when
// stopped, no file is left behind and the reason is given.
Status writePdf(ReportDocument& document, const QString& path, const PageProgress& progress = {});

} // namespace report
