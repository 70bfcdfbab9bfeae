#include "printing/report_document.h"

#include "printing/report_format.h"
#include "values/stored_money.h"

#include <algorithm>
#include <limits>

namespace report {
namespace {

// Rows read at once: a few pages' worth for the page bands, more for a totals pass.
constexpr int kRowWindow = 256;
constexpr int kTotalsWindow = 2048;

// One item of a section, with everything a row needs resolved once.
struct CompiledItem {
    ItemKind kind = ItemKind::Label;
    QRect box; // relative to the section's top and the left margin
    int style = 0;
    Qt::Alignment alignment;
    Format format = Format::Text;
    int column = -1; // a field's position among the columns read
    int total = -1;  // a sum's running total
    QString text;    // label text with "%d" already filled in
    bool pageFill = false;
};

struct CompiledSection {
    int height = 0;
    QList<CompiledItem> items;

    bool has(ItemKind kind) const {
        return std::any_of(items.cbegin(), items.cend(),
                           [kind](const CompiledItem& i) { return i.kind == kind; });
    }
};

// A running sum over one column, exact to the millionth of a cent and rounded once when
// printed; `seen` tells an empty total from a zero one.
struct Total {
    int column = -1; // position among the columns read; -1 when the rows lack it
    money::MicroCents micro = 0;
    bool seen = false;

    void add(const QVariant& value) {
        money::MicroCents v = 0;
        if (!money::microCentsOf(value, v))
            return;
        seen = true;
        micro += v;
    }
};

// The totals after the first `row` rows.
struct TotalsState {
    qint64 row = 0;
    QList<Total> totals;
};

} // namespace

struct ReportDocument::Compiled {
    CompiledSection reportHeader, pageHeader, detail, pageFooter, reportFooter;
    QList<int> columns; // positions in the source of the columns read, in reading order
    QList<Total> emptyTotals;
    bool runningTotals = false; // sums in a band printed on every page
    bool grandTotals = false;   // sums in the report header or footer
    int firstBodyTop = 0;       // where the first detail of the first page goes
    int bodyTop = 0;            // and of every other page
    int footerTop = 0;          // where the page footer starts
    qint64 firstCapacity = 1;   // rows on the first page
    qint64 capacity = 1;        // rows on every other page
    int marginTop = 0;

    RowWindow window;    // the rows last read
    TotalsState known;   // the furthest totals worked out
    TotalsState current; // while a page is laid out
    qint64 rowsCounted = 0;
    QString pageNumber, pageTotal;
};

namespace {

class Compiler {
public:
    Compiler(const ReportLayout& layout, const RowSource& rows, const QDate& printDate,
             PageFrame& frame, QList<int>& columns, QList<Total>& totals)
        : layout_(layout), rows_(rows), frame_(frame), columns_(columns), totals_(totals),
          date_(printDate.toString(QStringLiteral("dd/MM/yyyy"))) {}

    CompiledSection compile(const ReportSection& section) {
        CompiledSection compiled;
        compiled.height = std::max(0, section.height);
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
                c.text.replace(QStringLiteral("%d"), date_);
                c.pageFill =
                    c.text.contains(QStringLiteral("%p")) || c.text.contains(QStringLiteral("%P"));
                if (c.text.isEmpty())
                    continue;
                break;
            case ItemKind::Field:
                // A field whose column the rows lack prints nothing, as an empty value would.
                c.column = columnRead(item.column);
                if (c.column < 0)
                    continue;
                break;
            case ItemKind::Sum:
                c.total = int(totals_.size());
                totals_.append(Total{columnRead(item.column), 0, false});
                break;
            case ItemKind::Count:
            case ItemKind::Line:
                break;
            }
            compiled.items.append(c);
        }
        return compiled;
    }

private:
    int styleOf(const FontSpec& font) {
        TextStyle style;
        style.family = font.family.isEmpty() ? layout_.page.baseFontFamily : font.family;
        style.pointSize = font.pointSize > 0 ? font.pointSize : layout_.page.baseFontSize;
        style.bold = font.bold;
        style.underline = font.underline;
        const qsizetype found = frame_.styles.indexOf(style);
        if (found >= 0)
            return int(found);
        frame_.styles.append(style);
        return int(frame_.styles.size() - 1);
    }

    int columnRead(const QString& name) {
        const int source = rows_.columnIndex(name);
        if (source < 0)
            return -1;
        const qsizetype read = columns_.indexOf(source);
        if (read >= 0)
            return int(read);
        columns_.append(source);
        return int(columns_.size() - 1);
    }

    const ReportLayout& layout_;
    const RowSource& rows_;
    PageFrame& frame_;
    QList<int>& columns_;
    QList<Total>& totals_;
    const QString date_;
};

// Rows a page holds when its first detail starts at `top`: always at least one, since a
// band too tall for an empty page is printed anyway rather than looping over blank pages.
qint64 capacityFrom(int top, int detailHeight, int footerTop) {
    if (top + detailHeight > footerTop)
        return 1;
    if (detailHeight == 0)
        return std::numeric_limits<qint64>::max();
    return (footerTop - top) / detailHeight;
}

} // namespace

ReportDocument::ReportDocument(const ReportLayout& layout, std::shared_ptr<RowSource> rows,
                               const QDate& printDate)
    : compiled_(std::make_unique<Compiled>()), rows_(std::move(rows)) {
    Compiled& c = *compiled_;
    frame_.caption = layout.caption;
    frame_.landscape = layout.page.landscape;
    frame_.pageWidth = pageWidthTwips(layout.page);
    frame_.pageHeight = pageHeightTwips(layout.page);
    Compiler compiler(layout, *rows_, printDate, frame_, c.columns, c.emptyTotals);
    c.reportHeader = compiler.compile(layout.reportHeader);
    c.pageHeader = compiler.compile(layout.pageHeader);
    c.detail = compiler.compile(layout.detail);
    c.pageFooter = compiler.compile(layout.pageFooter);
    c.reportFooter = compiler.compile(layout.reportFooter);
    c.runningTotals = c.pageHeader.has(ItemKind::Sum) || c.detail.has(ItemKind::Sum) ||
                      c.pageFooter.has(ItemKind::Sum);
    c.grandTotals = c.reportHeader.has(ItemKind::Sum) || c.reportFooter.has(ItemKind::Sum);
    c.known.totals = c.emptyTotals;

    c.marginTop = layout.page.marginTop;
    c.footerTop = frame_.pageHeight - layout.page.marginBottom - c.pageFooter.height;
    c.bodyTop = c.marginTop + c.pageHeader.height;
    c.firstBodyTop = c.bodyTop + c.reportHeader.height;
    c.firstCapacity = capacityFrom(c.firstBodyTop, c.detail.height, c.footerTop);
    c.capacity = capacityFrom(c.bodyTop, c.detail.height, c.footerTop);

    const qint64 rowCount = rows_->rowCount();
    qint64 rowPages = 1;
    if (rowCount > c.firstCapacity)
        rowPages += (rowCount - c.firstCapacity + c.capacity - 1) / c.capacity;
    // The report footer goes on a page of its own when it does not fit under the last row.
    const qint64 lastRows = rowCount - (rowPages == 1 ? 0 : firstRowOf(int(rowPages - 1)));
    const int lastTop = rowPages == 1 ? c.firstBodyTop : c.bodyTop;
    const bool footerAlone =
        lastRows > 0 && lastTop + lastRows * c.detail.height + c.reportFooter.height > c.footerTop;
    pageCount_ =
        int(std::min<qint64>(rowPages + (footerAlone ? 1 : 0), std::numeric_limits<int>::max()));
    c.pageTotal = QString::number(pageCount_);
}

ReportDocument::~ReportDocument() = default;

qint64 ReportDocument::rowCount() const {
    return rows_->rowCount();
}

qint64 ReportDocument::firstRowOf(int page) const {
    const Compiled& c = *compiled_;
    if (page <= 0)
        return 0;
    const qint64 first = c.firstCapacity + qint64(page - 1) * c.capacity;
    return std::min(first, rowCount());
}

namespace {

// The page text of a section item; empty prints no run.
QString textOf(const CompiledItem& item, const QList<Total>& totals, qint64 rowsCounted,
               const RowWindow& window, qint64 row) {
    switch (item.kind) {
    case ItemKind::Label:
        return item.text;
    case ItemKind::Field:
        return formatValue(window.value(int(row - window.first), item.column), item.format);
    case ItemKind::Sum: {
        const Total& total = totals.at(item.total);
        // Rows exist but every value was empty: the total is empty too.
        if (!total.seen && rowsCounted != 0)
            return {};
        qint64 cents = 0;
        if (!money::roundToCents(total.micro, cents))
            return QStringLiteral("######"); // beyond the range of cents, never wrapped
        return formatValue(QVariant(cents), item.format);
    }
    case ItemKind::Count:
        return QString::number(rowsCounted);
    case ItemKind::Line:
        break;
    }
    return {};
}

} // namespace

Status ReportDocument::layOut(int index, RenderedPage& page) {
    page = RenderedPage{};
    if (index < 0 || index >= pageCount_)
        return Status::success();
    Compiled& c = *compiled_;
    const bool lastPage = index == pageCount_ - 1;
    const qint64 first = firstRowOf(index);
    const qint64 end = lastPage ? rowCount() : firstRowOf(index + 1);
    c.pageNumber = QString::number(index + 1);

    // The rows of the page, and the totals before them when the page prints any.
    if (end > first && (first < c.window.first || end > c.window.first + c.window.rows)) {
        if (Status s = rows_->read(first, int(std::max<qint64>(end - first, kRowWindow)), c.window,
                                   c.columns);
            !s.ok())
            return s;
    }
    const bool needsTotals = c.runningTotals || (c.grandTotals && lastPage);
    if (Status s = advanceTotals(needsTotals ? first : -1); !s.ok())
        return s;

    const auto emit = [&](const CompiledSection& section, int top, qint64 row) {
        for (const CompiledItem& item : section.items) {
            const QRect box = item.box.translated(0, top);
            if (item.kind == ItemKind::Line) {
                page.lines.append(LineRun{QLine(box.left(), box.top(), box.left() + box.width(),
                                                box.top() + item.box.height())});
                continue;
            }
            QString text = textOf(item, c.current.totals, c.rowsCounted, c.window, row);
            if (text.isEmpty())
                continue;
            if (item.pageFill) {
                text.replace(QStringLiteral("%p"), c.pageNumber);
                text.replace(QStringLiteral("%P"), c.pageTotal);
            }
            page.texts.append(TextRun{box, std::move(text), item.style, item.alignment});
        }
    };

    int y = c.marginTop;
    if (index == 0) {
        // Sums in the report header print the grand totals, before any row.
        c.rowsCounted = c.reportHeader.has(ItemKind::Count) ? rowCount() : 0;
        if (c.reportHeader.has(ItemKind::Sum)) {
            if (Status s = advanceTotals(rowCount()); !s.ok())
                return s;
            c.rowsCounted = rowCount();
        }
        emit(c.reportHeader, y, -1);
        c.current = TotalsState{0, c.emptyTotals};
        y += c.reportHeader.height;
    }
    c.rowsCounted = first;
    emit(c.pageHeader, y, -1);
    y += c.pageHeader.height;
    for (qint64 row = first; row < end; ++row) {
        ++c.rowsCounted;
        if (needsTotals) {
            for (Total& total : c.current.totals) {
                if (total.column >= 0)
                    total.add(c.window.value(int(row - c.window.first), total.column));
            }
        }
        emit(c.detail, y, row);
        y += c.detail.height;
    }
    if (lastPage)
        emit(c.reportFooter, y, -1);
    emit(c.pageFooter, c.footerTop, -1);
    if (needsTotals) {
        c.current.row = end;
        c.known = c.current;
    }
    return Status::success();
}

Status ReportDocument::advanceTotals(qint64 row) {
    Compiled& c = *compiled_;
    if (row < 0)
        return Status::success();
    TotalsState state = c.known.row <= row ? c.known : TotalsState{0, c.emptyTotals};
    // Only the summed columns are read.
    QList<int> columns;
    QList<int> totalOf;
    for (int t = 0; t < state.totals.size(); ++t) {
        if (state.totals.at(t).column >= 0) {
            columns.append(c.columns.at(state.totals.at(t).column));
            totalOf.append(t);
        }
    }
    RowWindow window;
    while (state.row < row && !columns.isEmpty()) {
        if (Status s = rows_->read(state.row, int(std::min<qint64>(kTotalsWindow, row - state.row)),
                                   window, columns);
            !s.ok())
            return s;
        if (window.rows == 0)
            break;
        for (int r = 0; r < window.rows; ++r) {
            for (int k = 0; k < totalOf.size(); ++k)
                state.totals[totalOf.at(k)].add(window.value(r, k));
        }
        state.row += window.rows;
    }
    state.row = row;
    c.current = state;
    c.known = state;
    return Status::success();
}

} // namespace report
