#include "printing/report_layout.h"

namespace report {
namespace {

// A4 is 210 x 297 mm; 1 mm = 1440 / 25.4 twips.
constexpr int kA4ShortTwips = 11906;
constexpr int kA4LongTwips = 16838;

template <typename Layout, typename Item> Item* find(Layout& layout, const QString& name) {
    for (auto* section : {&layout.reportHeader, &layout.pageHeader, &layout.detail,
                          &layout.pageFooter, &layout.reportFooter}) {
        for (auto& item : section->items) {
            if (!item.name.isEmpty() && item.name.compare(name, Qt::CaseInsensitive) == 0)
                return &item;
        }
    }
    return nullptr;
}

ReportItem make(ItemKind kind, int left, int top, int width, const FontSpec& font,
                Qt::Alignment alignment) {
    ReportItem item;
    item.kind = kind;
    item.left = left;
    item.top = top;
    item.width = width;
    item.font = font;
    item.alignment = alignment;
    return item;
}

// An item that shows a column's value (a field) or its total (a sum).
ReportItem ofColumn(ItemKind kind, const QString& column, int left, int top, int width,
                    const FontSpec& font, Qt::Alignment alignment, Format format) {
    ReportItem item = make(kind, left, top, width, font, alignment);
    item.column = column;
    item.format = format;
    return item;
}

} // namespace

ReportItem* ReportLayout::findItem(const QString& name) {
    return find<ReportLayout, ReportItem>(*this, name);
}

const ReportItem* ReportLayout::findItem(const QString& name) const {
    return find<const ReportLayout, const ReportItem>(*this, name);
}

bool ReportLayout::setCaption(const QString& name, const QString& text) {
    ReportItem* item = findItem(name);
    if (!item)
        return false;
    item->text = text;
    return true;
}

bool ReportLayout::setVisible(const QString& name, bool visible) {
    ReportItem* item = findItem(name);
    if (!item)
        return false;
    item->visible = visible;
    return true;
}

ReportItem label(const QString& text, int left, int top, int width, const FontSpec& font,
                 Qt::Alignment alignment) {
    ReportItem item = make(ItemKind::Label, left, top, width, font, alignment);
    item.text = text;
    return item;
}

ReportItem field(const QString& column, int left, int top, int width, const FontSpec& font,
                 Qt::Alignment alignment, Format format) {
    return ofColumn(ItemKind::Field, column, left, top, width, font, alignment, format);
}

ReportItem sum(const QString& column, int left, int top, int width, const FontSpec& font,
               Qt::Alignment alignment, Format format) {
    return ofColumn(ItemKind::Sum, column, left, top, width, font, alignment, format);
}

ReportItem count(int left, int top, int width, const FontSpec& font, Qt::Alignment alignment) {
    return make(ItemKind::Count, left, top, width, font, alignment);
}

ReportItem hline(int left, int top, int width) {
    ReportItem item = make(ItemKind::Line, left, top, width, {}, Qt::AlignLeft);
    item.height = 0;
    return item;
}

ReportItem named(ReportItem item, const QString& name) {
    item.name = name;
    return item;
}

int pageWidthTwips(const PageSetup& page) {
    return page.landscape ? kA4LongTwips : kA4ShortTwips;
}

int pageHeightTwips(const PageSetup& page) {
    return page.landscape ? kA4ShortTwips : kA4LongTwips;
}

} // namespace report
