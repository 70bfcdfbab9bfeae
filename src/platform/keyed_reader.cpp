#include "platform/keyed_reader.h"

#include "store/connection.h"
#include "store/dialect.h"

#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>
#include <utility>

Status KeyedReader::open(const KeyedQuery& query) {
    clear();
    const auto fail = [this](const QSqlQuery& failed) {
        const Status refused = store::failureOf(failed);
        clear();
        return refused;
    };

    QSqlQuery keys(store::connection());
    store::dialect::readWholeResults(keys);
    if (!keys.prepare(query.keySql()))
        return fail(keys);
    for (int i = 0; i < query.values.size(); ++i)
        keys.bindValue(i, query.values.at(i));
    if (!store::exec(keys))
        return fail(keys);
    while (keys.next())
        keys_.push_back(keys.value(0).toLongLong());
    if (keys.lastError().isValid())
        return fail(keys);

    // A run with no keys names the columns.
    window_ = QSqlQuery(store::connection());
    store::dialect::readWholeResults(window_);
    if (!window_.prepare(query.windowSql(windowRows_)))
        return fail(window_);
    for (int i = 0; i < windowRows_; ++i)
        window_.bindValue(i, QVariant());
    if (!store::exec(window_))
        return fail(window_);
    const QSqlRecord record = window_.record();
    for (int c = 1; c < record.count(); ++c)
        names_.append(
            store::dialect::fieldName(store::currentEngine(), query.table, record.fieldName(c)));
    window_.finish();
    return Status::success();
}

void KeyedReader::clear() {
    keys_.clear();
    names_.clear();
    window_ = QSqlQuery(store::connection());
}

Status KeyedReader::read(qint64 first, int count, const Take& take) {
    // The rows come back in key order; each goes to its key's place.
    std::vector<std::pair<qint64, int>> places;
    places.reserve(std::size_t(count));
    for (int i = 0; i < windowRows_; ++i) {
        if (i < count) {
            const qint64 key = keys_[std::size_t(first + i)];
            window_.bindValue(i, key);
            places.emplace_back(key, i);
        } else {
            window_.bindValue(i, QVariant());
        }
    }
    std::sort(places.begin(), places.end());
    if (!store::exec(window_))
        return store::failureOf(window_);
    while (window_.next()) {
        const qint64 key = window_.value(0).toLongLong();
        const auto place =
            std::lower_bound(places.begin(), places.end(), std::pair<qint64, int>(key, 0));
        if (place != places.end() && place->first == key)
            take(place->second, window_);
    }
    const QSqlError error = window_.lastError();
    const Status read = error.isValid() ? store::failureOf(window_) : Status::success();
    window_.finish();
    return read;
}
