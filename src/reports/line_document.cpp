#include "reports/line_document.h"

using report::FontSpec;
using report::ReportItem;

namespace {

const QString kSans = QStringLiteral("Liberation Sans");
constexpr int kLineHeight = 255;
constexpr int kTitleHeight = 255;
constexpr int kFooterHeight = 400;
// Characters of running Italian text that fit the width of a plain line.
constexpr qsizetype kParagraphColumns = 120;
// Portrait A4 with 1 cm margins.
constexpr int kMargin = 567;
constexpr int kWidth = 11906 - 2 * kMargin;

const FontSpec kPlain{kSans, 8.5, false, false};
const FontSpec kBold{kSans, 8.5, true, false};
const FontSpec kTitle{kSans, 11.0, true, false};

const FontSpec& fontOf(LineDocument::Style style) {
    switch (style) {
    case LineDocument::Style::Bold:
        return kBold;
    case LineDocument::Style::Title:
        return kTitle;
    case LineDocument::Style::Plain:
        break;
    }
    return kPlain;
}

const QString& suffixOf(LineDocument::Style style) {
    static const QString plain = QStringLiteral("p"), bold = QStringLiteral("b"),
                         title = QStringLiteral("t");
    switch (style) {
    case LineDocument::Style::Bold:
        return bold;
    case LineDocument::Style::Title:
        return title;
    case LineDocument::Style::Plain:
        break;
    }
    return plain;
}

constexpr LineDocument::Style kStyles[] = {LineDocument::Style::Plain, LineDocument::Style::Bold,
                                           LineDocument::Style::Title};

} // namespace

LineDocument::LineDocument(const QString& name, const QString& caption, QList<Table> tables)
    : tables_(std::move(tables)) {
    layout_.name = name;
    layout_.caption = caption;
    layout_.page.landscape = false;
    layout_.page.marginLeft = kMargin;
    layout_.page.marginRight = kMargin;
    layout_.page.marginTop = kMargin;
    layout_.page.marginBottom = kMargin;
    layout_.page.reportWidth = kWidth;
    layout_.page.baseFontSize = 8.5;

    QStringList columns;
    layout_.detail.height = kLineHeight;
    for (Style style : kStyles) {
        const QString column = QStringLiteral("line") + suffixOf(style);
        columns.append(column);
        layout_.detail.items.append(
            report::field(column, 0, 0, kWidth, fontOf(style), Qt::AlignLeft));
        layout_.detail.items.last().height = style == Style::Title ? kTitleHeight : kLineHeight;
    }
    for (int t = 0; t < tables_.size(); ++t) {
        for (int c = 0; c < tables_.at(t).size(); ++c) {
            const Cell& cell = tables_.at(t).at(c);
            for (Style style : {Style::Plain, Style::Bold}) {
                const QString column = columnOf(t, c, style);
                columns.append(column);
                layout_.detail.items.append(
                    report::field(column, cell.left, 0, cell.width, fontOf(style), cell.alignment));
            }
        }
    }
    data_ = report::ReportData(columns);

    layout_.pageFooter.height = kFooterHeight;
    layout_.pageFooter.items = {
        report::hline(0, 60, kWidth),
        report::label(QStringLiteral("Stampato il %d"), 0, 120, 3000, kPlain),
        report::label(QStringLiteral("Pagina %p di %P"), kWidth - 3000, 120, 3000, kPlain,
                      Qt::AlignRight),
    };
}

QString LineDocument::columnOf(int table, int cell, Style style) const {
    return QStringLiteral("c%1_%2%3").arg(table).arg(cell).arg(suffixOf(style));
}

void LineDocument::append(const QList<std::pair<QString, QString>>& values) {
    QVariantList row;
    row.resize(data_.columns().size());
    for (const auto& [column, value] : values)
        row[data_.columnIndex(column)] = value;
    data_.addRow(row);
}

void LineDocument::text(const QString& line, Style style) {
    append({{QStringLiteral("line") + suffixOf(style), line}});
}

void LineDocument::paragraph(const QString& text, Style style) {
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > kParagraphColumns) {
            this->text(line, style);
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        this->text(line, style);
}

void LineDocument::row(int table, const QStringList& cells, Style style) {
    const Style cellStyle = style == Style::Plain ? Style::Plain : Style::Bold;
    QList<std::pair<QString, QString>> values;
    const int count = std::min<int>(int(cells.size()), int(tables_.at(table).size()));
    for (int c = 0; c < count; ++c)
        values.append({columnOf(table, c, cellStyle), cells.at(c)});
    append(values);
}

void LineDocument::blank() {
    append({});
}

int LineDocument::linesPerPage() const {
    const int pageHeight = report::pageHeightTwips(layout_.page);
    const int footerTop = pageHeight - layout_.page.marginBottom - layout_.pageFooter.height;
    const int bodyTop = layout_.page.marginTop + layout_.pageHeader.height;
    return std::max(1, (footerTop - bodyTop) / layout_.detail.height);
}

void LineDocument::newPage() {
    const int perPage = linesPerPage();
    const int used = lineCount() % perPage;
    if (used == 0)
        return;
    for (int i = used; i < perPage; ++i)
        blank();
}
