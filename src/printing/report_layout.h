#pragma once

#include <QList>
#include <QString>
#include <Qt>
#include <utility>

// A banded report layout described as data: five sections of items placed in twips
// (1/1440 inch), as the report designs of the ledger give them.
namespace report {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPoint = 20;
// Items whose design states no height or width get these, so that a row of text boxes
// sits on one line of the base font.
inline constexpr int kDefaultItemHeight = 255;
inline constexpr int kDefaultItemWidth = 1440;

enum class ItemKind { Label, Field, Line, Sum, Count };

// How a value reaches the page. Money and rates are integer cents; dates ISO text.
enum class Format {
    Text,  // the stored value as it is
    Money, // cents shown as "1.234,50"
    Date,  // ISO date shown as dd/MM/yyyy
    Rate,  // cents of percent shown without trailing zeros: 2000 -> "20", 450 -> "4,5"
};

struct FontSpec {
    QString family;         // empty: the report's base family
    double pointSize = 0.0; // 0: the report's base font size
    bool bold = false;
    bool underline = false;
};

struct ReportItem {
    ItemKind kind = ItemKind::Label;
    QString name;   // the designer's name (Label3, TextBox15), used to change an item at run time
    QString text;   // caption of a label; may hold "%d", "%p", "%P"
    QString column; // column of a field, a sum or (ignored) a count
    int left = 0;
    int top = 0;
    int width = kDefaultItemWidth;
    int height = kDefaultItemHeight; // a line's height is its vertical extent (0: horizontal)
    FontSpec font;
    Qt::Alignment alignment = Qt::AlignLeft;
    Format format = Format::Text;
    bool visible = true;
};

struct ReportSection {
    int height = 0;
    QList<ReportItem> items;
};

struct PageSetup {
    bool landscape = true; // A4 paper
    int marginLeft = 0;    // twips
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    int reportWidth = 0; // the design width; items may reach past it and are not cut
    double baseFontSize = 8.0;
    QString baseFontFamily = QStringLiteral("Liberation Sans");
};

// A column of the report as a table (a spreadsheet export): the column of a detail
// field and the caption over it.
struct TableColumn {
    QString column;
    QString caption;
};

struct ReportLayout {
    QString name;    // Anagrafe, ElencoRitenute, ...
    QString caption; // title of the preview window
    PageSetup page;
    ReportSection reportHeader;
    ReportSection pageHeader;
    ReportSection detail;
    ReportSection pageFooter;
    ReportSection reportFooter;
    // The report as a table: its columns in order (one prints while its detail field is
    // visible) and the lines that say what was selected (user, year, month, ...).
    QList<TableColumn> table;
    QList<std::pair<QString, QString>> selection;

    // The item called `name` in any section, or nullptr.
    ReportItem* findItem(const QString& name);
    const ReportItem* findItem(const QString& name) const;
    // Sets a label's caption or an item's visibility; false when no item has that name.
    bool setCaption(const QString& name, const QString& text);
    bool setVisible(const QString& name, bool visible);
};

// Builders that keep the layout tables readable.
ReportItem label(const QString& text, int left, int top, int width, const FontSpec& font = {},
                 Qt::Alignment alignment = Qt::AlignLeft);
ReportItem field(const QString& column, int left, int top, int width, const FontSpec& font = {},
                 Qt::Alignment alignment = Qt::AlignLeft, Format format = Format::Text);
ReportItem sum(const QString& column, int left, int top, int width, const FontSpec& font = {},
               Qt::Alignment alignment = Qt::AlignRight, Format format = Format::Money);
ReportItem count(int left, int top, int width, const FontSpec& font = {},
                 Qt::Alignment alignment = Qt::AlignLeft);
ReportItem hline(int left, int top, int width);
ReportItem named(ReportItem item, const QString& name);

// The A4 page in twips, turned for landscape.
int pageWidthTwips(const PageSetup& page);
int pageHeightTwips(const PageSetup& page);

} // namespace report
