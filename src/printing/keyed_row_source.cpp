#include "printing/keyed_row_source.h"

#include <algorithm>

namespace report {

Result<std::shared_ptr<KeyedRowSource>> KeyedRowSource::open(const KeyedQuery& query) {
    Result<std::shared_ptr<KeyedRowSource>> result;
    std::shared_ptr<KeyedRowSource> source(new KeyedRowSource);
    result.status = source->reader_.open(query);
    if (result.ok())
        result.value = std::move(source);
    return result;
}

Status KeyedRowSource::read(qint64 first, int count, RowWindow& window, const QList<int>& columns) {
    window.first = std::max<qint64>(first, 0);
    window.rows = int(std::clamp<qint64>(rowCount() - window.first, 0, count));
    window.width = int(columns.isEmpty() ? reader_.names().size() : columns.size());
    window.values.assign(std::size_t(window.rows) * std::size_t(window.width), QVariant());
    // Only the columns asked are read when the database can give them apart.
    const bool apart = reader_.readsApart(columns);
    const QList<int> read = apart ? columns : QList<int>();
    for (int done = 0; done < window.rows; done += kWindowRows) {
        const auto take = [&window, &read, &columns, done](int place, const QSqlQuery& row) {
            QVariant* values =
                &window.values[std::size_t(done + place) * std::size_t(window.width)];
            for (int c = 0; c < window.width; ++c)
                values[c] =
                    row.value((read.isEmpty() && !columns.isEmpty() ? columns.at(c) : c) + 1);
        };
        if (Status s = reader_.read(window.first + done, std::min(kWindowRows, window.rows - done),
                                    take, read);
            !s.ok())
            return s;
    }
    return Status::success();
}

} // namespace report
