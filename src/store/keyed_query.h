#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// A result read by row keys: first the integer key of every row, in the order shown,
// then the columns of the rows in view, a few at a time. A grid of a hundred thousand
// rows so costs eight bytes a row, however wide its rows.
struct KeyedQuery {
    QString table;       // the FROM clause
    QString key;         // a unique integer column of `table`
    QString columns;     // the select list, "*" for every column
    QString filter;      // the WHERE clause without WHERE, empty for every row
    QString order;       // the ORDER BY clause without ORDER BY
    QVariantList values; // bound, in order, to the placeholders of `filter`

    // The keys in display order.
    QString keySql() const;
    // `key` and then `columns` of the rows whose key is one of `count` bound values.
    QString windowSql(int count) const;
    // The same rows with only some of their columns: `fields`, the names of the result's
    // columns as the engine gives them, each unique among them, spelt for the engine.
    QString windowSql(int count, const QStringList& fields) const;
};
