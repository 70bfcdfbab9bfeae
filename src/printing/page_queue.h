#pragma once

#include "printing/report_pages.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace report {

// Laid-out pages handed from the thread that lays them out to the thread that paints
// them, in order. Holds a few pages at most; while the laying-out thread waits it keeps
// asking `keepGoing`, so that a progress dialog stays live and can stop the work.
class PageQueue {
public:
    static constexpr std::size_t kCapacity = 8;
    using KeepGoing = std::function<bool()>;

    // Waits for room; false when the queue was closed or `keepGoing` said stop.
    bool push(RenderedPage page, const KeepGoing& keepGoing);
    // Waits for a page; false once the queue is closed.
    bool pop(RenderedPage& page);

    void markPainted();
    int painted() const;
    // Waits until `count` pages are painted or the queue is closed; false when
    // `keepGoing` said stop.
    bool waitPainted(int count, const KeepGoing& keepGoing);

    // Wakes both sides; nothing more is handed over.
    void close();
    bool isClosed() const;

private:
    bool waitFor(const std::function<bool()>& done, const KeepGoing& keepGoing);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RenderedPage> pages_;
    int painted_ = 0;
    bool closed_ = false;
};

} // namespace report
