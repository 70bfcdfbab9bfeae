#include "printing/page_pipeline.h"

#include "printing/report_document.h"

#include <thread>

namespace report {

Status pipePages(ReportDocument& document, int first, int last, const PageConsumer& consume,
                 const PageProgress& progress) {
    first = std::max(first, 0);
    last = std::min(last, document.pageCount() - 1);
    const int total = std::max(0, last - first + 1);
    PageQueue queue;
    Status consumed = Status::success();
    std::thread consumer([&] {
        consumed = consume(queue, total);
        if (consumed.ok() && queue.painted() != total)
            consumed = stoppedByOperator();
        queue.close();
    });
    Status status = Status::success();
    const auto keepGoing = [&] { return !progress || progress(queue.painted(), total); };
    for (int i = first; i <= last && status.ok(); ++i) {
        RenderedPage page;
        status = document.layOut(i, page);
        if (status.ok() && !keepGoing())
            status = stoppedByOperator();
        if (status.ok() && !queue.push(std::move(page), keepGoing))
            status = queue.isClosed() ? Status::success() : stoppedByOperator();
    }
    if (status.ok() && !queue.waitPainted(total, keepGoing))
        status = stoppedByOperator();
    queue.close();
    consumer.join();
    return status.ok() ? consumed : status;
}

} // namespace report
