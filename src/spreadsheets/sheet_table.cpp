#include "spreadsheets/sheet_table.h"

namespace sheet {

Value Value::ofText(const QString& text) {
    Value value;
    value.kind = text.isEmpty() ? Kind::Empty : Kind::Text;
    value.text = text;
    return value;
}

Value Value::ofNumber(const QString& decimal) {
    Value value;
    value.kind = Kind::Number;
    value.text = decimal;
    return value;
}

Value Value::ofDate(const QDate& date) {
    Value value;
    value.kind = Kind::Date;
    value.date = date;
    return value;
}

Value Value::ofBoolean(bool flag) {
    Value value;
    value.kind = Kind::Boolean;
    value.flag = flag;
    return value;
}

} // namespace sheet
