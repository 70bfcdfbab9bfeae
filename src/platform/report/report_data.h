#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlQuery;

namespace report {

// The rows a report prints: named columns and their values, read once from a query so
// that rendering never goes back to the database.
class ReportData {
public:
    ReportData() = default;
    explicit ReportData(QStringList columns);

    // Walks `query` from its current position to the end. False when a row could not be
    // read; `error` then holds the database's reason.
    static bool fromQuery(QSqlQuery& query, ReportData& data, QString* error = nullptr);

    const QStringList& columns() const { return columns_; }
    // The position of `name`, ignoring letter case, or -1.
    int columnIndex(const QString& name) const;

    int rowCount() const { return int(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    // A missing column or row reads as a null value.
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString& column) const;

    // Appends a row; missing trailing values read as null.
    void addRow(QVariantList values);

private:
    QStringList columns_;
    QList<QVariantList> rows_;
};

} // namespace report
