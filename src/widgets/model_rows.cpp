#include "widgets/model_rows.h"

#include "widgets/keyed_query_model.h"

namespace table_export {

ModelRows::ModelRows(const KeyedQueryModel& model, QList<int> columns, QList<CellKind> kinds)
    : model_(model), columns_(std::move(columns)), kinds_(std::move(kinds)) {}

qint64 ModelRows::size() const {
    return model_.rowCount();
}

bool ModelRows::next(QVariantList& values) {
    while (row_ < model_.rowCount() && !model_.isRowPresent(row_))
        ++row_;
    if (row_ >= model_.rowCount())
        return false;
    values.clear();
    for (int c = 0; c < columns_.size(); ++c) {
        const int column = columns_.at(c);
        values.append(kinds_.value(c) == CellKind::Text
                          ? model_.data(model_.index(row_, column), Qt::DisplayRole)
                          : model_.value(row_, column));
    }
    ++row_;
    return true;
}

} // namespace table_export
