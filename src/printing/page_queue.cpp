#include "printing/page_queue.h"

#include <chrono>

namespace report {
namespace {

// How often a waiting producer asks whether to go on.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

} // namespace

bool PageQueue::waitFor(const std::function<bool()>& done, const KeepGoing& keepGoing) {
    std::unique_lock lock(mutex_);
    while (!done()) {
        if (changed_.wait_for(lock, kPollInterval, done))
            break;
        if (keepGoing) {
            lock.unlock();
            const bool goOn = keepGoing();
            lock.lock();
            if (!goOn)
                return false;
        }
    }
    return true;
}

bool PageQueue::push(RenderedPage page, const KeepGoing& keepGoing) {
    if (!waitFor([this] { return closed_ || pages_.size() < kCapacity; }, keepGoing))
        return false;
    const std::lock_guard lock(mutex_);
    if (closed_)
        return false;
    pages_.push_back(std::move(page));
    changed_.notify_all();
    return true;
}

bool PageQueue::pop(RenderedPage& page) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !pages_.empty(); });
    if (closed_)
        return false;
    page = std::move(pages_.front());
    pages_.pop_front();
    changed_.notify_all();
    return true;
}

void PageQueue::markPainted() {
    const std::lock_guard lock(mutex_);
    ++painted_;
    changed_.notify_all();
}

int PageQueue::painted() const {
    const std::lock_guard lock(mutex_);
    return painted_;
}

bool PageQueue::waitPainted(int count, const KeepGoing& keepGoing) {
    return waitFor([this, count] { return closed_ || painted_ >= count; }, keepGoing);
}

void PageQueue::close() {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

bool PageQueue::isClosed() const {
    const std::lock_guard lock(mutex_);
    return closed_;
}

} // namespace report
