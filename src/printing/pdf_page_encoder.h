#pragma once

#include "printing/pdf_font.h"
#include "printing/report_pages.h"

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace report {

// Turns laid-out pages into compressed PDF content on worker threads, each with its own
// shaping cache and its own record of the glyphs used, and gives the results back in the
// order the pages came: a file written from them is the same whatever the threads did.
class PdfPageEncoder {
public:
    // `pageHeight` in points.
    PdfPageEncoder(const PageFrame& frame, double pageHeight, int workers);
    ~PdfPageEncoder();
    PdfPageEncoder(const PdfPageEncoder&) = delete;
    PdfPageEncoder& operator=(const PdfPageEncoder&) = delete;

    void submit(RenderedPage page);
    // Pages submitted and not yet taken.
    std::size_t pending() const;
    // Waits for the oldest page not yet taken and gives its compressed content; empty
    // only when compression ran out of memory.
    QByteArray takeNext();

    // The fonts used by every page taken, by name; call once every page is taken.
    QList<PdfFont> fonts() const;

private:
    struct Job {
        RenderedPage page;
        QByteArray content;
        bool done = false;
    };
    struct Worker;
    void work(Worker& worker);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Job>> waiting_; // not yet started, oldest first
    std::deque<std::shared_ptr<Job>> inOrder_; // not yet taken, oldest first
    bool stopping_ = false;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::vector<std::thread> threads_;
};

} // namespace report
