#pragma once

#include "spreadsheets/table.h"

class KeyedQueryModel;

namespace table_export {

// The rows of a keyed query model in its order, only the columns given, skipping rows
// deleted since it was loaded. A text column gives the text its cells show (what its
// format makes of the value); the other kinds give the stored value.
class ModelRows : public RowSource {
public:
    ModelRows(const KeyedQueryModel& model, QList<int> columns, QList<CellKind> kinds);
    qint64 size() const override;
    bool next(QVariantList& values) override;

private:
    const KeyedQueryModel& model_;
    QList<int> columns_;
    QList<CellKind> kinds_;
    int row_ = 0;
};

} // namespace table_export
