#pragma once

#include "spreadsheets/table.h"

namespace table_export {

// The rows of a table worked out whole in memory (a document's short list), in order.
class MemoryRows : public RowSource {
public:
    explicit MemoryRows(QList<QVariantList> rows) : rows_(std::move(rows)) {}
    qint64 size() const override { return rows_.size(); }
    bool next(QVariantList& values) override {
        if (next_ >= rows_.size())
            return false;
        values = rows_.at(next_++);
        return true;
    }

private:
    QList<QVariantList> rows_;
    qsizetype next_ = 0;
};

// `shape` over `rows` held in memory, for a document's table.
inline TableSource memoryTable(TableShape shape, QList<QVariantList> rows) {
    return {std::move(shape),
            [rows = std::move(rows)] { return std::make_unique<MemoryRows>(rows); }};
}

} // namespace table_export
