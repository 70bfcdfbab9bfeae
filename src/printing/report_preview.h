#pragma once

#include "printing/report_document.h"
#include "printing/report_painter.h"
#include "widgets/export_run.h"

#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

class MessageBoxes;
class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace report {

class PageView;

// The modal preview of a report: one page at a time, zoom, page navigation, printing
// through the print dialog and "Esporta PDF". Only the page shown is laid out, so a
// report of any length opens at once on its first page; printing and the export show
// their progress and can be stopped.
class ReportPreview : public QDialog {
    Q_OBJECT

public:
    // Asks where to write the PDF; an empty answer cancels.
    using PdfPathChooser = std::function<QString(QWidget* parent, const QString& caption)>;

    explicit ReportPreview(std::shared_ptr<ReportDocument> document, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Shows `layout` over `rows` in the preview, maximised and modal, offering `table` to
    // the spreadsheet exports.
    static void run(const ReportLayout& layout, std::shared_ptr<RowSource> rows,
                    table_export::TableSource table, QWidget* parent,
                    const QDate& printDate = QDate::currentDate());

    int pageCount() const { return document_->pageCount(); }
    // The page shown, as laid out.
    const RenderedPage& shownPage() const { return shown_; }
    int currentPage() const { return current_; } // 0-based
    double zoom() const;                         // 1.0 is the paper's size on screen

    void setCurrentPage(int index);
    void setZoom(double zoom);
    void setPdfPathChooser(PdfPathChooser chooser) { chooser_ = std::move(chooser); }
    // Boxes for a failed export or print; the real boxes when none is set.
    void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    // Asks for a file and writes every page to it; true when written.
    bool exportPdf();
    // Writes every page to `path`, showing progress; true when written. Stopped or
    // failed, no file is left behind.
    bool exportPdfTo(const QString& path);
    // Paints the pages the printer's range selects (all when none) on `printer`,
    // showing progress; true when every page was printed.
    bool printOn(QPrinter& printer);

    // Offers "Esporta Excel..." and "Esporta CSV..." of the report's table (for a list the
    // rows the pages print, in their order); no table leaves them disabled.
    void setTable(table_export::TableSource table);
    void setTablePathChooser(table_export::PathChooser chooser) {
        tableChooser_ = std::move(chooser);
    }
    // Asks for a file and writes the table to it; true when written.
    bool exportTable(table_export::FileFormat format);

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

    std::shared_ptr<ReportDocument> document_;
    RenderedPage shown_;
    std::unique_ptr<ReportPainter> painter_;
    int current_ = -1; // none laid out yet
    PdfPathChooser chooser_;
    table_export::PathChooser tableChooser_;
    table_export::TableSource table_;
    QAction* exportExcel_ = nullptr;
    QAction* exportCsv_ = nullptr;
    MessageBoxes* boxes_ = nullptr;
    PageView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageCountLabel_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    bool fitted_ = false;
};

} // namespace report
