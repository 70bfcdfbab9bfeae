#include "printing/pdf_page_encoder.h"

#include "printing/deflater.h"
#include "printing/pdf_page_content.h"

#include <QMap>

namespace report {

struct PdfPageEncoder::Worker {
    Worker(const PageFrame& frame, double pageHeight) : content(frame, pageHeight) {}
    PdfPageContent content;
    Deflater deflater;
};

PdfPageEncoder::PdfPageEncoder(const PageFrame& frame, double pageHeight, int workers) {
    for (int i = 0; i < std::max(1, workers); ++i)
        workers_.push_back(std::make_unique<Worker>(frame, pageHeight));
    for (const auto& worker : workers_)
        threads_.emplace_back([this, w = worker.get()] { work(*w); });
}

PdfPageEncoder::~PdfPageEncoder() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void PdfPageEncoder::submit(RenderedPage page) {
    auto job = std::make_shared<Job>();
    job->page = std::move(page);
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(job);
        inOrder_.push_back(std::move(job));
    }
    changed_.notify_all();
}

std::size_t PdfPageEncoder::pending() const {
    const std::lock_guard lock(mutex_);
    return inOrder_.size();
}

QByteArray PdfPageEncoder::takeNext() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return inOrder_.empty() || inOrder_.front()->done; });
    if (inOrder_.empty())
        return {};
    QByteArray content = std::move(inOrder_.front()->content);
    inOrder_.pop_front();
    return content;
}

QList<PdfFont> PdfPageEncoder::fonts() const {
    const std::lock_guard lock(mutex_);
    QMap<QString, PdfFont> byName;
    for (const auto& worker : workers_) {
        for (const PdfFont& font : worker->content.fonts()) {
            auto found = byName.find(font.name());
            if (found == byName.end())
                byName.insert(font.name(), font);
            else
                found->merge(font);
        }
    }
    return byName.values();
}

void PdfPageEncoder::work(Worker& worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_)
            return;
        std::shared_ptr<Job> job = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        QByteArray content = worker.deflater.deflated(worker.content.of(job->page));
        job->page = {};
        lock.lock();
        job->content = std::move(content);
        job->done = true;
        changed_.notify_all();
    }
}

} // namespace report
