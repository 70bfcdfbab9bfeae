#include "platform/report/report_table.h"

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

} // namespace report
