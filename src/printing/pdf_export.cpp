#include "printing/pdf_export.h"

#include "printing/page_pipeline.h"
#include "printing/pdf_file.h"
#include "printing/pdf_page_encoder.h"
#include "printing/report_document.h"

#include <QFileInfo>
#include <QPageSize>
#include <QSaveFile>
#include <QThread>

namespace report {
namespace {

// Pages handed to the encoding threads and not yet written; enough to keep them busy.
constexpr std::size_t kPagesAhead = 8;

QByteArray reference(int number) {
    return QByteArray::number(number) + " 0 R";
}

// The pages of one PDF file, written as they come and closed with the fonts they used.
class PdfReport {
public:
    PdfReport(QSaveFile& file, const PageFrame& frame)
        : file_(file), pdf_(file), caption_(frame.caption) {
        const QSize a4 = QPageSize(QPageSize::A4).sizePoints();
        paper_ = frame.landscape ? a4.transposed() : a4;
        catalog_ = pdf_.reserve();
        pages_ = pdf_.reserve();
        resources_ = pdf_.reserve();
        info_ = pdf_.reserve();
    }

    double pageHeight() const { return paper_.height(); }

    void addPage(const QByteArray& deflatedContent) {
        const int content = pdf_.reserve();
        // An empty result comes only from a compression that ran out of memory.
        if (deflatedContent.isEmpty())
            reason_ = QStringLiteral("memoria insufficiente");
        pdf_.writeStream(content, {}, deflatedContent, true);
        const int page = pdf_.reserve();
        pdf_.writeObject(page, "<</Type /Page /Parent " + reference(pages_) + " /Resources " +
                                   reference(resources_) + " /Contents " + reference(content) +
                                   ">>");
        kids_.append(reference(page));
    }

    // Writes the fonts and the document's frame; false when the file could not be written
    // or a face cannot be embedded.
    bool finish(const QList<PdfFont>& fonts) {
        QByteArray fontList;
        for (const PdfFont& font : fonts) {
            const int number = pdf_.reserve();
            const SubsetFault fault = font.write(pdf_, number);
            if (fault != SubsetFault::None) {
                reason_ = QStringLiteral("il carattere %1 %2").arg(font.name(), describe(fault));
                return false;
            }
            fontList.append(font.resourceName() + ' ' + reference(number) + ' ');
        }
        pdf_.writeObject(resources_, "<</Font <<" + fontList + ">> /ProcSet [/PDF /Text]>>");
        pdf_.writeObject(pages_, "<</Type /Pages /Kids [" + kids_.join(' ') + "] /Count " +
                                     QByteArray::number(kids_.size()) + " /MediaBox [0 0 " +
                                     QByteArray::number(paper_.width()) + ' ' +
                                     QByteArray::number(paper_.height()) + "]>>");
        pdf_.writeObject(info_, "<</Title " + pdfTextString(caption_) +
                                    " /Creator (Velarco) /Producer (Velarco)>>");
        pdf_.writeObject(catalog_, "<</Type /Catalog /Pages " + reference(pages_) + ">>");
        pdf_.finish(catalog_, info_);
        return pdf_.ok() && reason_.isEmpty();
    }

    QString errorString() const { return reason_.isEmpty() ? file_.errorString() : reason_; }

private:
    QSaveFile& file_;
    PdfFile pdf_;
    QString caption_;
    QSize paper_;
    int catalog_ = 0;
    int pages_ = 0;
    int resources_ = 0;
    int info_ = 0;
    QByteArrayList kids_;
    QString reason_; // why the document cannot be written, besides the device's error
};

} // namespace

Status writePdf(ReportDocument& document, const QString& path, const PageProgress& progress) {
    // Written beside the destination and put in its place only when complete: a failure
    // or a stop leaves no partial file, and an older file of that name as it was.
    QSaveFile file(path);
    const QString name = QFileInfo(path).fileName();
    const auto failure = [&name](const QString& reason) {
        return Status::failure(
            QStringLiteral("impossibile scrivere il file PDF %1: %2").arg(name, reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    PdfReport pdf(file, document.frame());
    const auto write = [&](PageQueue& queue, int total) {
        PdfPageEncoder encoder(document.frame(), pdf.pageHeight(),
                               std::max(1, QThread::idealThreadCount()));
        const auto writeOldest = [&] {
            pdf.addPage(encoder.takeNext());
            queue.markPainted();
        };
        RenderedPage page;
        for (int i = 0; i < total && queue.pop(page); ++i) {
            encoder.submit(std::move(page));
            while (encoder.pending() > kPagesAhead)
                writeOldest();
        }
        while (encoder.pending() > 0)
            writeOldest();
        if (queue.painted() != total)
            return Status::success(); // stopped: the file is dropped
        if (total == 0) {             // a PDF has at least one page
            encoder.submit({});
            pdf.addPage(encoder.takeNext());
        }
        return pdf.finish(encoder.fonts()) ? Status::success() : failure(pdf.errorString());
    };
    const int last = document.pageCount() - 1;
    const Status status = pipePages(document, 0, std::max(0, last), write, progress);
    if (!status.ok()) {
        file.cancelWriting();
        return status;
    }
    if (!file.commit())
        return failure(file.errorString());
    return Status::success();
}

} // namespace report
