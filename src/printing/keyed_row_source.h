#pragma once

#include "printing/row_source.h"
#include "store/connection.h"
#include "store/keyed_reader.h"

#include <memory>

namespace report {

// The rows of a keyed query on the one connection: the integer key of every row is
// read once, in order (eight bytes a row; this fixes the order and the count), then
// the rows themselves by key, a window at a time. A row deleted after the keys were
// read comes back as empty values, as in the grid.
class KeyedRowSource : public RowSource {
public:
    // The most rows one read() asks the database for; longer reads take several.
    static constexpr int kWindowRows = 256;

    // Reads the keys and the column names; the database's reason on failure.
    static Result<std::shared_ptr<KeyedRowSource>> open(const KeyedQuery& query);

    const QStringList& columns() const override { return reader_.names(); }
    qint64 rowCount() const override { return reader_.rowCount(); }
    Status read(qint64 first, int count, RowWindow& window,
                const QList<int>& columns = {}) override;

private:
    KeyedRowSource() = default;

    // Declared first, so that it ends after the window query is released.
    store::UnmappedReads unmapped_;
    KeyedReader reader_{kWindowRows};
};

} // namespace report
