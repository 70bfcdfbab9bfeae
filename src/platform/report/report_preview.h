#pragma once

#include "platform/report/report_painter.h"
#include "platform/report/report_renderer.h"

#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

class MessageBoxes;
class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace report {

class PageView;

// The modal preview of a rendered report: one page at a time, zoom, page navigation,
// printing through the print dialog and "Esporta PDF". Pages are painted only when
// shown, so a long report opens at once.
class ReportPreview : public QDialog {
    Q_OBJECT

public:
    // Asks where to write the PDF; an empty answer cancels.
    using PdfPathChooser = std::function<QString(QWidget* parent, const QString& caption)>;

    explicit ReportPreview(RenderedReport pages, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Renders `layout` over `data` (with a progress dialog when it takes a while) and
    // shows the preview maximised and modal. False when the operator stopped the render.
    static bool run(const ReportLayout& layout, const ReportData& data, QWidget* parent,
                    const QDate& printDate = QDate::currentDate());
    // The render behind run(), with its progress dialog; the result is marked cancelled
    // when the operator stopped it.
    static RenderedReport renderWithProgress(const ReportLayout& layout, const ReportData& data,
                                             QWidget* parent,
                                             const QDate& printDate = QDate::currentDate());

    const RenderedReport& pages() const { return pages_; }
    int pageCount() const { return pages_.pageCount(); }
    int currentPage() const { return current_; } // 0-based
    double zoom() const;                         // 1.0 is the paper's size on screen

    void setCurrentPage(int index);
    void setZoom(double zoom);
    void setPdfPathChooser(PdfPathChooser chooser) { chooser_ = std::move(chooser); }
    // Boxes for a failed export or print; the real boxes when none is set.
    void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    // Asks for a file and writes every page to it; true when written.
    bool exportPdf();
    // Writes every page to `path`, showing progress; true when written.
    bool exportPdfTo(const QString& path);
    // Paints the pages the printer's range selects (all when none) on `printer`.
    bool printOn(QPrinter& printer);

public Q_SLOTS:
    void print();
    void nextPage() { setCurrentPage(current_ + 1); }
    void previousPage() { setCurrentPage(current_ - 1); }
    void firstPage() { setCurrentPage(0); }
    void lastPage() { setCurrentPage(pageCount() - 1); }
    void zoomIn();
    void zoomOut();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    void applyZoomChoice(int index);
    void updateNavigation();
    void showError(const QString& text);

    RenderedReport pages_;
    std::unique_ptr<ReportPainter> painter_;
    int current_ = 0;
    PdfPathChooser chooser_;
    MessageBoxes* boxes_ = nullptr;
    PageView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageCountLabel_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    bool fitted_ = false;
};

} // namespace report
