#include "platform/report/keyed_row_source.h"

#include "store/connection.h"

#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>

namespace report {

Result<std::shared_ptr<KeyedRowSource>> KeyedRowSource::open(const KeyedQuery& query) {
    Result<std::shared_ptr<KeyedRowSource>> result;
    std::shared_ptr<KeyedRowSource> source(new KeyedRowSource);
    const auto fail = [&result](const QSqlQuery& failed) {
        result.status = Status::failure(store::reasonOf(failed));
        return result;
    };

    QSqlQuery keys(store::connection());
    keys.setForwardOnly(true);
    if (!keys.prepare(query.keySql()))
        return fail(keys);
    for (int i = 0; i < query.values.size(); ++i)
        keys.bindValue(i, query.values.at(i));
    if (!keys.exec())
        return fail(keys);
    while (keys.next())
        source->keys_.push_back(keys.value(0).toLongLong());
    if (keys.lastError().isValid())
        return fail(keys);

    // Prepared once and run for every window; a run with no keys names the columns.
    QSqlQuery& window = source->windowQuery_;
    window = QSqlQuery(store::connection());
    window.setForwardOnly(true);
    if (!window.prepare(query.windowSql(kWindowRows)))
        return fail(window);
    for (int i = 0; i < kWindowRows; ++i)
        window.bindValue(i, QVariant());
    if (!window.exec())
        return fail(window);
    const QSqlRecord record = window.record();
    for (int c = 1; c < record.count(); ++c)
        source->names_.append(record.fieldName(c));
    window.finish();
    result.value = std::move(source);
    return result;
}

Status KeyedRowSource::read(qint64 first, int count, RowWindow& window, const QList<int>& columns) {
    window.first = std::max<qint64>(first, 0);
    window.rows = int(std::clamp<qint64>(rowCount() - window.first, 0, count));
    window.width = int(columns.isEmpty() ? names_.size() : columns.size());
    window.values.assign(std::size_t(window.rows) * std::size_t(window.width), QVariant());
    for (int done = 0; done < window.rows; done += kWindowRows) {
        if (Status s = readPart(window.first + done, std::min(kWindowRows, window.rows - done),
                                window, columns);
            !s.ok())
            return s;
    }
    return Status::success();
}

Status KeyedRowSource::readPart(qint64 first, int count, RowWindow& window,
                                const QList<int>& columns) {
    // The rows come back in key order; each goes to its key's place in the window.
    std::vector<std::pair<qint64, int>> places;
    places.reserve(std::size_t(count));
    for (int i = 0; i < kWindowRows; ++i) {
        if (i < count) {
            const qint64 key = keys_[std::size_t(first + i)];
            windowQuery_.bindValue(i, key);
            places.emplace_back(key, int(first - window.first) + i);
        } else {
            windowQuery_.bindValue(i, QVariant());
        }
    }
    std::sort(places.begin(), places.end());
    if (!windowQuery_.exec())
        return Status::failure(store::reasonOf(windowQuery_));
    while (windowQuery_.next()) {
        const qint64 key = windowQuery_.value(0).toLongLong();
        const auto place =
            std::lower_bound(places.begin(), places.end(), std::pair<qint64, int>(key, 0));
        if (place == places.end() || place->first != key)
            continue;
        QVariant* row = &window.values[std::size_t(place->second) * std::size_t(window.width)];
        for (int c = 0; c < window.width; ++c)
            row[c] = windowQuery_.value((columns.isEmpty() ? c : columns.at(c)) + 1);
    }
    const QSqlError error = windowQuery_.lastError();
    windowQuery_.finish();
    if (error.isValid())
        return Status::failure(error.text());
    return Status::success();
}

} // namespace report
