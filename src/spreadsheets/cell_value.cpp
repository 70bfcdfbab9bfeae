#include "spreadsheets/table.h"
#include "values/stored_money.h"

namespace table_export {

Cell cellOf(CellKind kind, const QVariant& value) {
    Cell cell;
    if (value.isNull())
        return cell;
    switch (kind) {
    case CellKind::Money:
    case CellKind::Rate:
        if (money::centsOf(value, cell.cents)) {
            cell.type = Cell::Type::Number;
            return cell;
        }
        break;
    case CellKind::Date:
        if (value.typeId() == QMetaType::QDate)
            cell.date = value.toDate();
        else
            cell.date = QDate::fromString(value.toString().left(10), Qt::ISODate);
        if (cell.date.isValid()) {
            cell.type = Cell::Type::Date;
            return cell;
        }
        break;
    case CellKind::Flag:
        if (value.typeId() == QMetaType::Bool) {
            cell.type = Cell::Type::Text;
            cell.text = value.toBool() ? QStringLiteral("S") : QStringLiteral("N");
            return cell;
        }
        break;
    case CellKind::Text:
        break;
    }
    cell.text = value.toString();
    cell.type = cell.text.isEmpty() ? Cell::Type::Empty : Cell::Type::Text;
    return cell;
}

} // namespace table_export
