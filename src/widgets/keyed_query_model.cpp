#include "widgets/keyed_query_model.h"

#include <algorithm>
#include <utility>

KeyedQueryModel::KeyedQueryModel(QObject* parent) : QAbstractTableModel(parent) {}

KeyedQueryModel::~KeyedQueryModel() = default;

Status KeyedQueryModel::load(const KeyedQuery& query) {
    beginResetModel();
    columns_.clear();
    windows_.clear();
    readFailed_ = false;
    const Status opened = reader_.open(query);
    columns_.resize(std::size_t(reader_.names().size()));
    endResetModel();
    return opened;
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
    return parent.isValid() ? 0 : int(reader_.rowCount());
}

int KeyedQueryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(reader_.names().size());
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
        section < reader_.names().size())
        return reader_.names().at(section);
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

    const Status read =
        reader_.read(first, window.rows, [&window, columns](int place, const QSqlQuery& row) {
            window.present[std::size_t(place)] = true;
            QVariant* values = &window.values[std::size_t(place) * columns];
            for (std::size_t c = 0; c < columns; ++c)
                values[c] = row.value(int(c) + 1);
        });
    if (!read.ok() && !readFailed_) {
        readFailed_ = true;
        Q_EMIT readFailed(read.error());
    }
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
