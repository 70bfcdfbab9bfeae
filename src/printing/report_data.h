#pragma once

#include "printing/row_source.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>

namespace report {

// Rows held in memory: small lists built by hand, and the tests of the engine.
class ReportData : public RowSource {
public:
    ReportData() = default;
    explicit ReportData(QStringList columns);

    const QStringList& columns() const override { return columns_; }
    qint64 rowCount() const override { return rows_.size(); }
    Status read(qint64 first, int count, RowWindow& window,
                const QList<int>& columns = {}) override;

    bool isEmpty() const { return rows_.isEmpty(); }
    // A missing column or row reads as a null value.
    QVariant value(qint64 row, int column) const;
    QVariant value(qint64 row, const QString& column) const;

    // Appends a row; missing trailing values read as null.
    void addRow(QVariantList values);
    // Hands over the rows held, leaving none.
    QList<QVariantList> takeRows() { return std::exchange(rows_, {}); }

private:
    QStringList columns_;
    QList<QVariantList> rows_;
};

} // namespace report
