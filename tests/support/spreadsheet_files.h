#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Reads back what an export wrote, as a spreadsheet program would see it.

// One cell of a sheet: its XML type ("s", "inlineStr", "str", "n" or empty for a
// number), its value as text, its formula, its number format code and whether its text
// wraps onto its lines.
struct SheetCell {
    QString type;
    QString value;
    QString formula;
    QString numberFormat;
    bool wrapped = false;
};

struct XlsxContents {
    QString error; // empty when the package was read
    QString sheetName;
    QMap<QString, SheetCell> cells;    // by reference, "A1"
    QString frozenTopLeft;             // the first cell below and right of the frozen panes
    QString autoFilter;                // its range, "A5:P20"
    QMap<int, double> columnWidths;    // 0-based column -> width in characters
    QMap<int, double> rowHeights;      // 1-based row -> height in points, where set
    QMap<QString, QString> properties; // title, subject, description, and custom ones
};

// Unzips the parts of `path` with the `unzip` tool and reads the first sheet.
XlsxContents readXlsx(const QString& path);

struct CsvContents {
    QString error;
    bool byteOrderMark = false;
    bool crlfOnly = false; // every line ends with CR LF, outside quoted fields
    QList<QStringList> records;
};

// Parses ";"-separated text as RFC 4180 quotes it.
CsvContents readCsv(const QString& path);

// The text a cell held before the guard apostrophe was put in front of it.
QString unguarded(const QString& field);
