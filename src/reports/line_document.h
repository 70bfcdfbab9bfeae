#pragma once

#include "printing/report_data.h"
#include "printing/report_layout.h"

#include <QList>
#include <QString>
#include <QStringList>

// A document made of lines for the report engine: each row of its data is one printed
// line, either a text across the page or the cells of one of the document's tables, in
// plain or bold type. A new page is started by filling the current one with empty lines,
// which works because every band has a fixed height. Documents whose parts vary (a page
// per payee, a block per user) are written with it and print, preview and export like
// every other report.
class LineDocument {
public:
    enum class Style { Plain, Bold, Title };

    struct Cell {
        int left;  // twips from the left margin
        int width; // twips
        Qt::Alignment alignment;
    };
    using Table = QList<Cell>;

    // `tables` fixes the column sets the document's rows may use, by index.
    LineDocument(const QString& name, const QString& caption, QList<Table> tables);

    void text(const QString& line, Style style = Style::Plain);
    // A text longer than a line, broken between words over as many lines as it needs.
    void paragraph(const QString& text, Style style = Style::Plain);
    // The cells of table `table`, from its first column; fewer texts leave the rest empty.
    void row(int table, const QStringList& cells, Style style = Style::Plain);
    void blank();
    // The next line starts a page (nothing happens at the top of a page).
    void newPage();

    // Lines a page holds, from the page geometry and the line height.
    int linesPerPage() const;
    int lineCount() const { return data_.rowCount(); }

    const report::ReportLayout& layout() const { return layout_; }
    const report::ReportData& data() const { return data_; }
    // Hands over the lines written so far, for a document made a part at a time; the
    // next line counts as the first.
    QList<QVariantList> takeLines() { return data_.takeRows(); }

private:
    QString columnOf(int table, int cell, Style style) const;
    void append(const QList<std::pair<QString, QString>>& values);

    report::ReportLayout layout_;
    report::ReportData data_;
    QList<Table> tables_;
};
