#pragma once

#include "base/status.h"
#include "printing/page_progress.h"
#include "printing/report_pages.h"
#include "printing/text_shaper.h"

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace report {

class ReportDocument;

// Draws laid-out pages on any device: the preview widget, a printer.
class ReportPainter {
public:
    explicit ReportPainter(const PageFrame& frame);

    // Scales `painter` so that one unit is one twip on `device`.
    static void mapTwips(QPainter& painter, const QPaintDevice& device);

    // Draws `page` with a painter already mapped to twips.
    void paintPage(QPainter& painter, const RenderedPage& page);

private:
    TextShaper shaper_;
};

// Prints pages first..last (0-based, inclusive) of `document` on a device already set up
// for its paper. The pages are laid out on this thread and painted on a second one, in
// order, so that reading and painting overlap; only a few pages are held at a time.
Status paintPages(ReportDocument& document, QPagedPaintDevice& device, int first, int last,
                  const PageProgress& progress = {});

} // namespace report
