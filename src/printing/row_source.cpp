#include "printing/row_source.h"

namespace report {

int RowSource::columnIndex(const QString& name) const {
    const QStringList& names = columns();
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

RowCursor::RowCursor(RowSource& source, int windowRows, QList<int> columns)
    : source_(source), windowRows_(std::max(1, windowRows)), columns_(std::move(columns)) {}

bool RowCursor::next() {
    if (!status_.ok() || row_ + 1 >= source_.rowCount())
        return false;
    ++row_;
    if (row_ >= window_.first + window_.rows) {
        status_ = source_.read(row_, windowRows_, window_, columns_);
        if (!status_.ok() || window_.rows == 0)
            return false;
    }
    return true;
}

} // namespace report
