#pragma once

#include <QDate>
#include <QList>
#include <QString>

// A spreadsheet read back as values: what a cell holds, independent of the file it came
// from (an Excel workbook or delimited text).
namespace sheet {

struct Value {
    enum class Kind { Empty, Text, Number, Date, Boolean };
    Kind kind = Kind::Empty;
    // Text: the text. Number: the shortest decimal text that reads back as the stored
    // number, "." before the fraction and never an exponent ("1234.56", "-0.1", "20").
    QString text;
    QDate date;        // Date
    bool flag = false; // Boolean

    bool isEmpty() const { return kind == Kind::Empty; }
    bool operator==(const Value&) const = default;

    static Value ofText(const QString& text);
    static Value ofNumber(const QString& decimal);
    static Value ofDate(const QDate& date);
    static Value ofBoolean(bool flag);
};

struct Row {
    int number = 0; // the row of the sheet, or the line of the text, counted from 1
    QList<Value> cells;
};

struct Table {
    QList<Row> rows; // rows without any value are left out
    QString error;   // Italian, when the file cannot be read
};

} // namespace sheet
