#include "platform/keyed_query_model.h"

#include "store/connection.h"

#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>
#include <utility>

KeyedQueryModel::KeyedQueryModel(QObject* parent) : QAbstractTableModel(parent) {}

KeyedQueryModel::~KeyedQueryModel() = default;

Status KeyedQueryModel::load(const KeyedQuery& query) {
    beginResetModel();
    keys_.clear();
    names_.clear();
    columns_.clear();
    windows_.clear();
    readFailed_ = false;
    windowQuery_ = QSqlQuery(store::connection());
    const auto fail = [this](const QSqlQuery& failed) {
        const QString reason = store::reasonOf(failed);
        keys_.clear();
        windowQuery_ = QSqlQuery(store::connection());
        endResetModel();
        return Status::failure(reason);
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
        keys_.push_back(keys.value(0).toLongLong());
    if (keys.lastError().isValid())
        return fail(keys);

    // Prepared once and run for every window; a run with no keys names the columns.
    windowQuery_.setForwardOnly(true);
    if (!windowQuery_.prepare(query.windowSql(kWindowRows)))
        return fail(windowQuery_);
    for (int i = 0; i < kWindowRows; ++i)
        windowQuery_.bindValue(i, QVariant());
    if (!windowQuery_.exec())
        return fail(windowQuery_);
    const QSqlRecord record = windowQuery_.record();
    for (int c = 1; c < record.count(); ++c)
        names_.append(record.fieldName(c));
    windowQuery_.finish();
    columns_.resize(std::size_t(names_.size()));
    endResetModel();
    return Status::success();
}

void KeyedQueryModel::setColumnFormat(int column, Formatter format, Qt::Alignment alignment) {
    if (column < 0 || column >= columnCount())
        return;
    columns_[std::size_t(column)] = {std::move(format), alignment};
    for (Window& window : windows_)
        formatWindow(window);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
}

QVariant KeyedQueryModel::value(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return windowOf(row).values[std::size_t((row % kWindowRows) * columnCount() + column)];
}

bool KeyedQueryModel::isRowPresent(int row) const {
    if (row < 0 || row >= rowCount())
        return false;
    const Window& window = windowOf(row);
    return window.present[std::size_t(row - window.first)];
}

int KeyedQueryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(keys_.size());
}

int KeyedQueryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(names_.size());
}

QVariant KeyedQueryModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole) {
        const Window& window = windowOf(index.row());
        return window
            .texts[std::size_t((index.row() - window.first) * columnCount() + index.column())];
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[std::size_t(index.column())].alignment |
                                   Qt::AlignVCenter);
    return {};
}

QVariant KeyedQueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < names_.size())
        return names_.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

const KeyedQueryModel::Window& KeyedQueryModel::windowOf(int row) const {
    const int first = row - row % kWindowRows;
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [first](const Window& w) { return w.first == first; });
    if (found != windows_.end()) {
        windows_.splice(windows_.begin(), windows_, found);
    } else {
        windows_.push_front(readWindow(first));
        if (windows_.size() > kKeptWindows)
            windows_.pop_back();
    }
    return windows_.front();
}

KeyedQueryModel::Window KeyedQueryModel::readWindow(int first) const {
    Window window;
    window.first = first;
    window.rows = std::min(kWindowRows, rowCount() - first);
    const std::size_t columns = std::size_t(columnCount());
    window.values.resize(std::size_t(window.rows) * columns);
    window.present.assign(std::size_t(window.rows), false);

    // The rows come back in key order; each goes to its key's place in the window.
    std::vector<std::pair<qint64, int>> places;
    for (int i = 0; i < kWindowRows; ++i) {
        if (i < window.rows) {
            const qint64 key = keys_[std::size_t(first + i)];
            windowQuery_.bindValue(i, key);
            places.emplace_back(key, i);
        } else {
            windowQuery_.bindValue(i, QVariant());
        }
    }
    std::sort(places.begin(), places.end());
    if (windowQuery_.exec()) {
        while (windowQuery_.next()) {
            const qint64 key = windowQuery_.value(0).toLongLong();
            const auto place =
                std::lower_bound(places.begin(), places.end(), std::pair<qint64, int>(key, 0));
            if (place == places.end() || place->first != key)
                continue;
            window.present[std::size_t(place->second)] = true;
            QVariant* row = &window.values[std::size_t(place->second) * columns];
            for (std::size_t c = 0; c < columns; ++c)
                row[c] = windowQuery_.value(int(c) + 1);
        }
    }
    if (windowQuery_.lastError().isValid() && !readFailed_) {
        readFailed_ = true;
        Q_EMIT readFailed(store::reasonOf(windowQuery_));
    }
    windowQuery_.finish();
    formatWindow(window);
    return window;
}

void KeyedQueryModel::formatWindow(Window& window) const {
    const std::size_t columns = std::size_t(columnCount());
    window.texts.assign(window.values.size(), QString());
    for (std::size_t i = 0; i < window.values.size(); ++i) {
        if (!window.present[i / columns])
            continue;
        const Column& column = columns_[i % columns];
        window.texts[i] =
            column.format ? column.format(window.values[i]) : window.values[i].toString();
    }
}
