#include "printing/report_preview.h"

#include "printing/pdf_export.h"
#include "shell/file_folders.h"
#include "shell/qt_message_boxes.h"
#include "widgets/status_bar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace report {

// The page shown on a white sheet, painted on demand at the chosen zoom.
class PageView : public QWidget {
public:
    PageView(const PageFrame& frame, const RenderedPage& page, ReportPainter& painter,
             QWidget* parent)
        : QWidget(parent), frame_(frame), page_(page), painter_(painter) {
        setAutoFillBackground(false);
    }

    void setZoom(double zoom) {
        zoom_ = zoom;
        const double pixelsPerTwip = zoom_ * logicalDpiX() / kTwipsPerInch;
        setFixedSize(qRound(frame_.pageWidth * pixelsPerTwip),
                     qRound(frame_.pageHeight * pixelsPerTwip));
        update();
    }
    double zoom() const { return zoom_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(zoom_ * logicalDpiX() / kTwipsPerInch, zoom_ * logicalDpiY() / kTwipsPerInch);
        painter_.paintPage(painter, page_);
    }

private:
    const PageFrame& frame_;
    const RenderedPage& page_;
    ReportPainter& painter_;
    double zoom_ = 1.0;
};

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;
// Work shorter than this shows no progress dialog.
constexpr int kProgressDelayMs = 400;

// The entries of the zoom box: fitting choices first, then fixed scales.
enum ZoomChoice { FitPage = 0, FitWidth = 1 };
const double kZoomSteps[] = {0.5, 0.75, 1.0, 1.5, 2.0};

QString defaultPdfPath(QWidget* parent, const QString& caption) {
    QString name = caption.trimmed();
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("stampa");
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Esporta PDF"),
        file_folders::startPath(file_folders::Kind::Pdf, name + QStringLiteral(".pdf")),
        QStringLiteral("Documenti PDF (*.pdf)"));
    file_folders::remember(file_folders::Kind::Pdf, path);
    return path;
}

// A modal progress dialog that appears only when the work lasts; false once cancelled.
class Progress {
public:
    Progress(QWidget* parent, const QString& text)
        : dialog_(text, QStringLiteral("Annulla"), 0, 100, parent) {
        dialog_.setWindowTitle(QStringLiteral("Velarco"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(kProgressDelayMs);
        dialog_.setAutoClose(true);
    }
    bool step(int done, int total) {
        if (dialog_.maximum() != total)
            dialog_.setMaximum(std::max(total, 1));
        dialog_.setValue(std::min(done, total));
        return !dialog_.wasCanceled();
    }
    bool stopped() const { return dialog_.wasCanceled(); }

private:
    QProgressDialog dialog_;
};

} // namespace

ReportPreview::ReportPreview(std::shared_ptr<ReportDocument> document, QWidget* parent)
    : QDialog(parent), document_(std::move(document)),
      painter_(std::make_unique<ReportPainter>(document_->frame())), chooser_(defaultPdfPath),
      tableChooser_(table_export::chooseExportPath) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(document_->frame().caption);
    setModal(true);
    buildUi();
    setZoom(1.0);
    setCurrentPage(0);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildUi() {
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("Strumenti"));
    auto addButton = [&](const QString& name, const QString& text, auto slot) {
        QAction* action = toolbar->addAction(text, this, slot);
        action->setObjectName(name);
        return action;
    };
    addButton(QStringLiteral("Stampa"), QStringLiteral("Stampa..."), &ReportPreview::print)
        ->setShortcut(QKeySequence::Print);
    addButton(QStringLiteral("EsportaPdf"), QStringLiteral("Esporta PDF..."),
              [this] { exportPdf(); });
    exportExcel_ = addButton(QStringLiteral("EsportaExcel"),
                             table_export::exportCaption(table_export::FileFormat::Xlsx),
                             [this] { exportTable(table_export::FileFormat::Xlsx); });
    exportCsv_ = addButton(QStringLiteral("EsportaCsv"),
                           table_export::exportCaption(table_export::FileFormat::Csv),
                           [this] { exportTable(table_export::FileFormat::Csv); });
    exportExcel_->setEnabled(false);
    exportCsv_->setEnabled(false);
    toolbar->addSeparator();
    addButton(QStringLiteral("PrimaPagina"), QStringLiteral("|<"), &ReportPreview::firstPage);
    addButton(QStringLiteral("PaginaPrecedente"), QStringLiteral("<"), &ReportPreview::previousPage)
        ->setShortcut(QKeySequence(Qt::Key_PageUp));
    pageBox_ = new QSpinBox(toolbar);
    pageBox_->setObjectName(QStringLiteral("Pagina"));
    pageBox_->setRange(1, std::max(1, pageCount()));
    pageBox_->setKeyboardTracking(false);
    toolbar->addWidget(new QLabel(QStringLiteral(" Pagina "), toolbar));
    toolbar->addWidget(pageBox_);
    pageCountLabel_ = new QLabel(QStringLiteral(" di %1 ").arg(pageCount()), toolbar);
    toolbar->addWidget(pageCountLabel_);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int v) { setCurrentPage(v - 1); });
    addButton(QStringLiteral("PaginaSuccessiva"), QStringLiteral(">"), &ReportPreview::nextPage)
        ->setShortcut(QKeySequence(Qt::Key_PageDown));
    addButton(QStringLiteral("UltimaPagina"), QStringLiteral(">|"), &ReportPreview::lastPage);
    toolbar->addSeparator();
    addButton(QStringLiteral("Riduci"), QStringLiteral("-"), &ReportPreview::zoomOut)
        ->setShortcut(QKeySequence::ZoomOut);
    zoomBox_ = new QComboBox(toolbar);
    zoomBox_->setObjectName(QStringLiteral("Zoom"));
    zoomBox_->addItem(QStringLiteral("Pagina intera"));
    zoomBox_->addItem(QStringLiteral("Larghezza pagina"));
    for (double step : kZoomSteps)
        zoomBox_->addItem(QStringLiteral("%1%").arg(qRound(step * 100)), step);
    toolbar->addWidget(zoomBox_);
    connect(zoomBox_, &QComboBox::activated, this, &ReportPreview::applyZoomChoice);
    addButton(QStringLiteral("Ingrandisci"), QStringLiteral("+"), &ReportPreview::zoomIn)
        ->setShortcut(QKeySequence::ZoomIn);
    toolbar->addSeparator();
    addButton(QStringLiteral("Chiudi"), QStringLiteral("Chiudi"), &QDialog::accept);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Anteprima"));
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(document_->frame(), shown_, *painter_, scroll_);
    scroll_->setWidget(view_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(scroll_, 1);
}

double ReportPreview::zoom() const {
    return view_->zoom();
}

void ReportPreview::setCurrentPage(int index) {
    if (pageCount() == 0)
        return;
    const int wanted = std::clamp(index, 0, pageCount() - 1);
    if (wanted != current_) {
        // The page's own rows, and the totals before them when it prints any.
        const Status read = document_->layOut(wanted, shown_);
        if (!read.ok())
            showError(QStringLiteral("La pagina non può essere letta.\nErrore del database: ") +
                      read.error());
    }
    current_ = wanted;
    view_->update();
    scroll_->verticalScrollBar()->setValue(0);
    updateNavigation();
}

void ReportPreview::setZoom(double zoom) {
    view_->setZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
    // The box names a fixed scale only when the zoom is one; otherwise it shows none.
    const QSignalBlocker block(zoomBox_);
    zoomBox_->setCurrentIndex(zoomBox_->findData(view_->zoom()));
    updateNavigation();
}

void ReportPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The whole page at first, once the window has its size.
    if (!fitted_) {
        fitted_ = true;
        QTimer::singleShot(0, this, [this] {
            applyZoomChoice(FitPage);
            zoomBox_->setCurrentIndex(FitPage);
        });
    }
}

void ReportPreview::zoomIn() {
    setZoom(zoom() * 1.25);
}

void ReportPreview::zoomOut() {
    setZoom(zoom() / 1.25);
}

void ReportPreview::applyZoomChoice(int index) {
    if (index == FitPage || index == FitWidth) {
        const QSize area = scroll_->viewport()->size();
        const double pageWidth =
            document_->frame().pageWidth * double(logicalDpiX()) / kTwipsPerInch;
        const double pageHeight =
            document_->frame().pageHeight * double(logicalDpiY()) / kTwipsPerInch;
        const double byWidth = (area.width() - 8) / pageWidth;
        setZoom(index == FitWidth ? byWidth : std::min(byWidth, (area.height() - 8) / pageHeight));
        return;
    }
    setZoom(zoomBox_->itemData(index).toDouble());
}

void ReportPreview::updateNavigation() {
    const QSignalBlocker block(pageBox_);
    pageBox_->setValue(current_ + 1);
    const auto actions = findChildren<QAction*>();
    for (QAction* action : actions) {
        const QString name = action->objectName();
        if (name == QLatin1String("PrimaPagina") || name == QLatin1String("PaginaPrecedente"))
            action->setEnabled(current_ > 0);
        else if (name == QLatin1String("PaginaSuccessiva") || name == QLatin1String("UltimaPagina"))
            action->setEnabled(current_ < pageCount() - 1);
    }
}

void ReportPreview::showError(const QString& text) {
    if (boxes_) {
        boxes_->notice(text, QStringLiteral("Velarco - ERRORE"));
        return;
    }
    QtMessageBoxes boxes(this);
    boxes.notice(text, QStringLiteral("Velarco - ERRORE"));
}

bool ReportPreview::exportPdf() {
    const QString path = chooser_ ? chooser_(this, document_->frame().caption) : QString();
    if (path.isEmpty())
        return false;
    return exportPdfTo(path);
}

bool ReportPreview::exportPdfTo(const QString& path) {
    Progress progress(this, QStringLiteral("Esportazione PDF in corso..."));
    const Status written = writePdf(
        *document_, path, [&progress](int done, int total) { return progress.step(done, total); });
    if (written.ok()) {
        StatusBar::tellFileWritten(this, path);
        return true;
    }
    if (!progress.stopped())
        showError(QStringLiteral("Esportazione PDF non riuscita: %1").arg(written.error()));
    return false;
}

void ReportPreview::setTable(table_export::TableSource table) {
    table_ = std::move(table);
    exportExcel_->setEnabled(!table_.isEmpty());
    exportCsv_->setEnabled(!table_.isEmpty());
}

bool ReportPreview::exportTable(table_export::FileFormat format) {
    if (table_.isEmpty())
        return false;
    const QString path =
        tableChooser_ ? tableChooser_(this, format, table_.shape.title) : QString();
    if (path.isEmpty())
        return false;
    QtMessageBoxes realBoxes(this);
    MessageBoxes& boxes = boxes_ ? *boxes_ : realBoxes;
    std::unique_ptr<table_export::RowSource> rows = table_.rows();
    return table_export::exportWithProgress(this, boxes, format, path, table_.shape, *rows);
}

bool ReportPreview::printOn(QPrinter& printer) {
    const PageFrame& frame = document_->frame();
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), frame.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0)));
    printer.setDocName(frame.caption);
    int first = 0;
    int last = pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::min(last, printer.toPage() - 1);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = current_;
    }
    Progress progress(this, QStringLiteral("Stampa in corso..."));
    const Status printed =
        paintPages(*document_, printer, first, last,
                   [&progress](int done, int total) { return progress.step(done, total); });
    if (!printed.ok() && !progress.stopped())
        showError(QStringLiteral("Stampa non riuscita: %1").arg(printed.error()));
    return printed.ok();
}

void ReportPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(document_->frame().landscape ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    printer.setFromTo(1, std::max(1, pageCount()));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    dialog.setMinMax(1, std::max(1, pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printOn(printer);
}

void ReportPreview::run(const ReportLayout& layout, std::shared_ptr<RowSource> rows,
                        table_export::TableSource table, QWidget* parent, const QDate& printDate) {
    ReportPreview preview(std::make_shared<ReportDocument>(layout, std::move(rows), printDate),
                          parent);
    preview.setTable(std::move(table));
    // The window covers nine tenths of the screen, centred, and opens maximised.
    if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size(area.width() / 10 * 9, area.height() / 10 * 9);
        preview.setGeometry(QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                                          (area.height() - size.height()) / 2),
                                  size));
    }
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
}

} // namespace report
