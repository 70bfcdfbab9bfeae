#include "platform/report/report_renderer.h"

#include "platform/report/report_format.h"

#include <algorithm>

namespace report {
namespace {

constexpr int kProgressEvery = 250;

// One item of a section, with everything a row needs resolved once per render.
struct CompiledItem {
    ItemKind kind = ItemKind::Label;
    QRect box; // relative to the section's top and the left margin
    int style = 0;
    Qt::Alignment alignment;
    Format format = Format::Text;
    int column = -1;
    int total = -1; // index into the running totals of a sum
    QString text;   // label text with "%d" already filled in
    bool pageFill = false;
};

struct CompiledSection {
    int height = 0;
    QList<CompiledItem> items;
};

// A running sum over one column; `seen` tells an empty total from a zero one.
struct Total {
    int column = -1;
    qint64 cents = 0;
    bool seen = false;
    bool overflow = false; // beyond the range of cents: printed as a mark, never wrapped

    void add(const QVariant& value) {
        qint64 cents = 0;
        if (column < 0 || !centsOf(value, cents))
            return;
        seen = true;
        if (__builtin_add_overflow(this->cents, cents, &this->cents))
            overflow = true;
    }
};

class Renderer {
public:
    Renderer(const ReportLayout& layout, const ReportData& data, const RenderOptions& options)
        : layout_(layout), data_(data), options_(options) {}

    RenderedReport run();

private:
    CompiledSection compile(const ReportSection& section);
    int styleOf(const FontSpec& font);
    void emitSection(const CompiledSection& section, int top, int row);
    void startPage(bool first);
    void finishPage();
    void addRow(int row);
    void fillPageNumbers();

    const ReportLayout& layout_;
    const ReportData& data_;
    const RenderOptions& options_;
    RenderedReport out_;
    QList<Total> totals_;
    qint64 rowsCounted_ = 0;
    CompiledSection reportHeader_, pageHeader_, detail_, pageFooter_, reportFooter_;
    int bodyTop_ = 0;   // where the first detail of a page may start
    int footerTop_ = 0; // where the page footer starts
    int y_ = 0;
    bool pageHasBody_ = false;
    // Runs that hold "%p" or "%P", filled once the page count is known.
    QList<std::pair<int, int>> pageFills_;
};

int Renderer::styleOf(const FontSpec& font) {
    TextStyle style;
    style.family = font.family.isEmpty() ? layout_.page.baseFontFamily : font.family;
    style.pointSize = font.pointSize > 0 ? font.pointSize : layout_.page.baseFontSize;
    style.bold = font.bold;
    style.underline = font.underline;
    const auto found = std::find(out_.styles.cbegin(), out_.styles.cend(), style);
    if (found != out_.styles.cend())
        return int(found - out_.styles.cbegin());
    out_.styles.append(style);
    return int(out_.styles.size() - 1);
}

CompiledSection Renderer::compile(const ReportSection& section) {
    CompiledSection compiled;
    compiled.height = std::max(0, section.height);
    const QString date = options_.printDate.toString(QStringLiteral("dd/MM/yyyy"));
    for (const ReportItem& item : section.items) {
        if (!item.visible)
            continue;
        CompiledItem c;
        c.kind = item.kind;
        c.box = QRect(layout_.page.marginLeft + item.left, item.top, item.width, item.height);
        c.alignment = (item.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
        c.format = item.format;
        if (item.kind != ItemKind::Line)
            c.style = styleOf(item.font);
        switch (item.kind) {
        case ItemKind::Label:
            c.text = item.text;
            c.text.replace(QStringLiteral("%d"), date);
            c.pageFill =
                c.text.contains(QStringLiteral("%p")) || c.text.contains(QStringLiteral("%P"));
            if (c.text.isEmpty())
                continue;
            break;
        case ItemKind::Field:
            // A field whose column the data lacks prints nothing, as an empty value would.
            c.column = data_.columnIndex(item.column);
            if (c.column < 0)
                continue;
            break;
        case ItemKind::Sum:
            c.column = data_.columnIndex(item.column);
            c.total = int(totals_.size());
            totals_.append(Total{c.column, 0, false, false});
            break;
        case ItemKind::Count:
        case ItemKind::Line:
            break;
        }
        compiled.items.append(c);
    }
    return compiled;
}

void Renderer::emitSection(const CompiledSection& section, int top, int row) {
    if (section.items.isEmpty())
        return;
    RenderedPage& page = out_.pages.last();
    for (const CompiledItem& item : section.items) {
        const QRect box = item.box.translated(0, top);
        QString text;
        switch (item.kind) {
        case ItemKind::Line:
            page.lines.append(LineRun{QLine(box.left(), box.top(), box.left() + box.width(),
                                            box.top() + item.box.height())});
            continue;
        case ItemKind::Label:
            text = item.text;
            break;
        case ItemKind::Field:
            text = formatValue(data_.value(row, item.column), item.format);
            break;
        case ItemKind::Sum: {
            const Total& total = totals_.at(item.total);
            // Rows exist but every value was empty: the total is empty too.
            if (total.overflow)
                text = QStringLiteral("######");
            else if (total.seen || rowsCounted_ == 0)
                text = formatValue(QVariant(total.cents), item.format);
            break;
        }
        case ItemKind::Count:
            text = QString::number(rowsCounted_);
            break;
        }
        if (text.isEmpty())
            continue;
        if (item.pageFill)
            pageFills_.append({int(out_.pages.size() - 1), int(page.texts.size())});
        page.texts.append(TextRun{box, std::move(text), item.style, item.alignment});
    }
}

void Renderer::startPage(bool first) {
    out_.pages.append(RenderedPage{});
    y_ = layout_.page.marginTop;
    if (first) {
        emitSection(reportHeader_, y_, -1);
        y_ += reportHeader_.height;
    }
    emitSection(pageHeader_, y_, -1);
    y_ += pageHeader_.height;
    bodyTop_ = y_;
    pageHasBody_ = false;
}

void Renderer::finishPage() {
    emitSection(pageFooter_, footerTop_, -1);
}

void Renderer::addRow(int row) {
    // A band that cannot fit even on an empty page is printed anyway rather than
    // looping over blank pages.
    if (y_ + detail_.height > footerTop_ && (pageHasBody_ || y_ > bodyTop_)) {
        finishPage();
        startPage(false);
    }
    ++rowsCounted_;
    for (Total& total : totals_)
        total.add(data_.value(row, total.column));
    emitSection(detail_, y_, row);
    y_ += detail_.height;
    pageHasBody_ = true;
}

void Renderer::fillPageNumbers() {
    const QString count = QString::number(out_.pages.size());
    for (const auto& [pageIndex, runIndex] : pageFills_) {
        QString& text = out_.pages[pageIndex].texts[runIndex].text;
        text.replace(QStringLiteral("%p"), QString::number(pageIndex + 1));
        text.replace(QStringLiteral("%P"), count);
    }
}

RenderedReport Renderer::run() {
    out_.caption = layout_.caption;
    out_.landscape = layout_.page.landscape;
    out_.pageWidth = pageWidthTwips(layout_.page);
    out_.pageHeight = pageHeightTwips(layout_.page);
    reportHeader_ = compile(layout_.reportHeader);
    pageHeader_ = compile(layout_.pageHeader);
    detail_ = compile(layout_.detail);
    pageFooter_ = compile(layout_.pageFooter);

    // Sums in the report header and footer print the grand totals, so those are taken
    // before any page is laid out; page footer sums print the running total.
    reportFooter_ = compile(layout_.reportFooter);
    const int rows = data_.rowCount();
    const bool grandInHeader = std::any_of(
        reportHeader_.items.cbegin(), reportHeader_.items.cend(),
        [](const CompiledItem& i) { return i.kind == ItemKind::Sum || i.kind == ItemKind::Count; });
    if (grandInHeader) {
        for (int row = 0; row < rows; ++row) {
            for (Total& total : totals_)
                total.add(data_.value(row, total.column));
        }
        rowsCounted_ = rows;
    }
    footerTop_ = out_.pageHeight - layout_.page.marginBottom - pageFooter_.height;

    startPage(true);
    if (grandInHeader) {
        for (Total& total : totals_)
            total = Total{total.column, 0, false, false};
        rowsCounted_ = 0;
    }
    for (int row = 0; row < rows; ++row) {
        if (options_.progress && row % kProgressEvery == 0 && !options_.progress(row, rows)) {
            RenderedReport cancelled;
            cancelled.caption = out_.caption;
            cancelled.cancelled = true;
            return cancelled;
        }
        addRow(row);
    }
    if (y_ + reportFooter_.height > footerTop_ && (pageHasBody_ || y_ > bodyTop_)) {
        finishPage();
        startPage(false);
    }
    emitSection(reportFooter_, y_, -1);
    y_ += reportFooter_.height;
    finishPage();
    fillPageNumbers();
    if (options_.progress)
        options_.progress(rows, rows);
    return std::move(out_);
}

QString alignmentCode(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("C");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("R");
    return QStringLiteral("L");
}

} // namespace

RenderedReport render(const ReportLayout& layout, const ReportData& data,
                      const RenderOptions& options) {
    return Renderer(layout, data, options).run();
}

QString textDump(const RenderedReport& report) {
    QString out;
    out += QStringLiteral("report \"%1\" %2 %3x%4 twips, %5 pages\n")
               .arg(report.caption,
                    report.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"))
               .arg(report.pageWidth)
               .arg(report.pageHeight)
               .arg(report.pageCount());
    for (int i = 0; i < report.styles.size(); ++i) {
        const TextStyle& s = report.styles.at(i);
        out += QStringLiteral("style %1: %2 %3%4%5\n")
                   .arg(i)
                   .arg(s.family)
                   .arg(s.pointSize)
                   .arg(s.bold ? QStringLiteral(" bold") : QString())
                   .arg(s.underline ? QStringLiteral(" underline") : QString());
    }
    for (int p = 0; p < report.pages.size(); ++p) {
        const RenderedPage& page = report.pages.at(p);
        out += QStringLiteral("-- page %1\n").arg(p + 1);
        for (const TextRun& t : page.texts) {
            out += QStringLiteral("T %1 %2 %3 %4 %5 s%6 \"%7\"\n")
                       .arg(t.box.left())
                       .arg(t.box.top())
                       .arg(t.box.width())
                       .arg(t.box.height())
                       .arg(alignmentCode(t.alignment))
                       .arg(t.style)
                       .arg(t.text);
        }
        for (const LineRun& l : page.lines) {
            out += QStringLiteral("L %1 %2 %3 %4\n")
                       .arg(l.line.x1())
                       .arg(l.line.y1())
                       .arg(l.line.x2())
                       .arg(l.line.y2());
        }
    }
    return out;
}

QStringList pageTexts(const RenderedPage& page) {
    QList<const TextRun*> runs;
    runs.reserve(page.texts.size());
    for (const TextRun& t : page.texts)
        runs.append(&t);
    std::stable_sort(runs.begin(), runs.end(), [](const TextRun* a, const TextRun* b) {
        return a->box.top() != b->box.top() ? a->box.top() < b->box.top()
                                            : a->box.left() < b->box.left();
    });
    QStringList texts;
    texts.reserve(runs.size());
    for (const TextRun* t : runs)
        texts.append(t->text);
    return texts;
}

} // namespace report
