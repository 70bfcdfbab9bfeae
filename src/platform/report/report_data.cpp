#include "platform/report/report_data.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace report {

ReportData::ReportData(QStringList columns) : columns_(std::move(columns)) {}

bool ReportData::fromQuery(QSqlQuery& query, ReportData& data, QString* error) {
    const QSqlRecord record = query.record();
    QStringList columns;
    columns.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        columns.append(record.fieldName(i));
    data = ReportData(columns);
    const int width = int(columns.size());
    while (query.next()) {
        QVariantList row;
        row.reserve(width);
        for (int i = 0; i < width; ++i)
            row.append(query.value(i));
        data.rows_.append(std::move(row));
    }
    if (query.lastError().isValid()) {
        if (error)
            *error = query.lastError().text();
        return false;
    }
    return true;
}

int ReportData::columnIndex(const QString& name) const {
    for (int i = 0; i < columns_.size(); ++i) {
        if (columns_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant ReportData::value(int row, int column) const {
    if (row < 0 || row >= rows_.size() || column < 0)
        return {};
    const QVariantList& values = rows_.at(row);
    return column < values.size() ? values.at(column) : QVariant();
}

QVariant ReportData::value(int row, const QString& column) const {
    return value(row, columnIndex(column));
}

void ReportData::addRow(QVariantList values) {
    rows_.append(std::move(values));
}

} // namespace report
