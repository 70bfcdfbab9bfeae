#pragma once

#include "base/status.h"
#include "printing/page_progress.h"
#include "printing/page_queue.h"

#include <functional>

namespace report {

class ReportDocument;

// Takes `total` pages from the queue in order, marking each one done; runs on a thread of
// its own. Its status is the work's when the pages were all laid out.
using PageConsumer = std::function<Status(PageQueue& queue, int total)>;

// Lays out pages first..last (0-based, inclusive) of `document` on this thread and hands
// them to `consume` on a second one, so that reading and drawing overlap; only a few
// pages are held at a time. `progress` runs on this thread while it waits, so that a
// dialog stays live and can stop the work.
Status pipePages(ReportDocument& document, int first, int last, const PageConsumer& consume,
                 const PageProgress& progress);

} // namespace report
