#include "printing/report_table.h"

#include <optional>

namespace report {
namespace {

using table_export::CellKind;

const ReportItem* printedField(const ReportLayout& layout, const QString& column) {
    for (const ReportItem& item : layout.detail.items) {
        if (item.kind == ItemKind::Field && item.visible &&
            item.column.compare(column, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

bool summed(const ReportLayout& layout, const QString& column) {
    for (const ReportItem& item : layout.reportFooter.items) {
        if (item.kind == ItemKind::Sum && item.visible &&
            item.column.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

CellKind kindOf(Format format) {
    switch (format) {
    case Format::Money:
        return CellKind::Money;
    case Format::Rate:
        return CellKind::Rate;
    case Format::Date:
        return CellKind::Date;
    case Format::Text:
        break;
    }
    return CellKind::Text;
}

// The table's columns of the report's rows, in print order, a window at a time.
class ReportRows : public table_export::RowSource {
public:
    ReportRows(report::RowSource& source, const QStringList& names) : source_(source) {
        QList<int> read;
        for (const QString& name : names) {
            const int index = source.columnIndex(name);
            places_.append(index < 0 ? -1 : int(read.size()));
            if (index >= 0)
                read.append(index);
        }
        // A cursor given no columns reads them all: give it one at least.
        cursor_.emplace(source_, RowCursor::kDefaultWindowRows,
                        read.isEmpty() ? QList<int>{0} : read);
    }
    qint64 size() const override { return source_.rowCount(); }
    bool next(QVariantList& values) override {
        if (!cursor_->next())
            return false;
        values.clear();
        for (int place : places_)
            values.append(place < 0 ? QVariant() : cursor_->value(place));
        return true;
    }
    QString error() const override { return cursor_->status().error(); }

private:
    report::RowSource& source_;
    QList<int> places_; // per table column: its place among the columns read, or -1
    std::optional<RowCursor> cursor_;
};

} // namespace

table_export::TableShape tableSpecOf(const ReportLayout& layout) {
    table_export::TableShape shape{layout.caption.trimmed(), layout.selection, {}};
    for (const TableColumn& column : layout.table) {
        if (const ReportItem* field = printedField(layout, column.column))
            shape.columns.append(
                {column.caption, kindOf(field->format), summed(layout, column.column)});
    }
    return shape;
}

QStringList tableColumnNames(const ReportLayout& layout) {
    QStringList columns;
    for (const TableColumn& column : layout.table) {
        if (printedField(layout, column.column))
            columns.append(column.column);
    }
    return columns;
}

table_export::TableSource tableSourceOf(const ReportLayout& layout,
                                        std::shared_ptr<RowSource> rows) {
    if (layout.table.isEmpty() || !rows)
        return {};
    return {tableSpecOf(layout), [names = tableColumnNames(layout), rows = std::move(rows)] {
                return std::unique_ptr<table_export::RowSource>(
                    std::make_unique<ReportRows>(*rows, names));
            }};
}

} // namespace report
