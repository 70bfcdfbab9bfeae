#include "printing/report_data.h"

#include <algorithm>

namespace report {

ReportData::ReportData(QStringList columns) : columns_(std::move(columns)) {}

Status ReportData::read(qint64 first, int count, RowWindow& window, const QList<int>& columns) {
    window.first = std::max<qint64>(first, 0);
    window.rows = int(std::clamp<qint64>(rowCount() - window.first, 0, count));
    window.width = int(columns.isEmpty() ? columns_.size() : columns.size());
    window.values.assign(std::size_t(window.rows) * std::size_t(window.width), QVariant());
    for (int r = 0; r < window.rows; ++r) {
        for (int c = 0; c < window.width; ++c)
            window.values[std::size_t(r * window.width + c)] =
                value(window.first + r, columns.isEmpty() ? c : columns.at(c));
    }
    return Status::success();
}

QVariant ReportData::value(qint64 row, int column) const {
    if (row < 0 || row >= rows_.size() || column < 0)
        return {};
    const QVariantList& values = rows_.at(row);
    return column < values.size() ? values.at(column) : QVariant();
}

QVariant ReportData::value(qint64 row, const QString& column) const {
    return value(row, columnIndex(column));
}

void ReportData::addRow(QVariantList values) {
    rows_.append(std::move(values));
}

} // namespace report
