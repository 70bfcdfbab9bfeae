#include "store/keyed_reader.h"

#include "store/connection.h"
#include "store/dialect.h"

#include <QSqlDriver>
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
    for (int c = 1; c < record.count(); ++c) {
        fields_.append(record.fieldName(c));
        names_.append(
            store::dialect::fieldName(store::currentEngine(), query.table, record.fieldName(c)));
    }
    window_.finish();
    query_ = query;
    return Status::success();
}

void KeyedReader::clear() {
    query_ = {};
    keys_.clear();
    names_.clear();
    fields_.clear();
    narrowed_.clear();
    window_ = QSqlQuery(store::connection());
}

bool KeyedReader::readsApart(const QList<int>& columns) const {
    for (int c : columns) {
        if (c < 0 || c >= fields_.size() || fields_.count(fields_.at(c)) != 1)
            return false;
    }
    return true;
}

Result<QSqlQuery*> KeyedReader::windowOf(const QList<int>& columns) {
    Result<QSqlQuery*> result;
    result.value = &window_;
    if (columns.isEmpty())
        return result;
    for (auto& [read, statement] : narrowed_) {
        if (read == columns) {
            result.value = statement.get();
            return result;
        }
    }
    QStringList fields;
    for (int c : columns)
        fields.append(
            store::connection().driver()->escapeIdentifier(fields_.at(c), QSqlDriver::FieldName));
    auto statement = std::make_unique<QSqlQuery>(store::connection());
    store::dialect::readWholeResults(*statement);
    if (!statement->prepare(query_.windowSql(windowRows_, fields))) {
        result.status = store::failureOf(*statement);
        return result;
    }
    result.value = statement.get();
    narrowed_.emplace_back(columns, std::move(statement));
    return result;
}

Status KeyedReader::read(qint64 first, int count, const Take& take, const QList<int>& columns) {
    Q_ASSERT(readsApart(columns));
    const Result<QSqlQuery*> statement = windowOf(columns);
    if (!statement.ok())
        return statement.status;
    QSqlQuery& window = *statement.value;
    // The rows come back in key order; each goes to its key's place.
    std::vector<std::pair<qint64, int>> places;
    places.reserve(std::size_t(count));
    for (int i = 0; i < windowRows_; ++i) {
        if (i < count) {
            const qint64 key = keys_[std::size_t(first + i)];
            window.bindValue(i, key);
            places.emplace_back(key, i);
        } else {
            window.bindValue(i, QVariant());
        }
    }
    std::sort(places.begin(), places.end());
    if (!store::exec(window))
        return store::failureOf(window);
    while (window.next()) {
        const qint64 key = window.value(0).toLongLong();
        const auto place =
            std::lower_bound(places.begin(), places.end(), std::pair<qint64, int>(key, 0));
        if (place != places.end() && place->first == key)
            take(place->second, window);
    }
    const QSqlError error = window.lastError();
    const Status read = error.isValid() ? store::failureOf(window) : Status::success();
    window.finish();
    return read;
}
