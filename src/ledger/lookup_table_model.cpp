#include "ledger/lookup_table_model.h"

LookupTableModel::LookupTableModel(lookup::Table table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

Status LookupTableModel::load() {
    Result<lookup::Rows> loaded = lookup::loadRows(table_);
    beginResetModel();
    columns_ = loaded.ok() ? loaded.value.columns : QStringList();
    rows_ = loaded.ok() ? loaded.value.rows : QList<QVariantList>();
    endResetModel();
    return loaded.status;
}

int LookupTableModel::keyColumn() const {
    return int(columns_.indexOf(lookup::keyColumn(table_)));
}

int LookupTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int LookupTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant LookupTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size() || index.column() >= columns_.size())
        return {};
    const QVariant& stored = rows_.at(index.row()).at(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return lookup::displayText(table_, columnName(index.column()), stored);
    case Qt::TextAlignmentRole: {
        const bool rate = table_ == lookup::Table::Rates && index.column() == keyColumn();
        return QVariant::fromValue((rate ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant LookupTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return lookup::columnHeading(columnName(section));
}

Qt::ItemFlags LookupTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    // The row key is the database's own business.
    if (index.isValid() && index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool LookupTableModel::refuse(const lookup::Refusal& refusal) {
    Q_EMIT refused(refusal.text, refusal.title);
    return false;
}

bool LookupTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() == 0 ||
        index.row() >= rows_.size())
        return false;
    const int row = index.row();
    const QString column = columnName(index.column());
    // Leaving a new row's cell without typing anything is no attempt to write.
    if (isBlankRow(row) && value.toString().trimmed().isEmpty())
        return false;
    const lookup::CellValue cell = lookup::checkCell(table_, column, value.toString());
    if (!cell.ok())
        return refuse(*cell.refusal);
    QVariantList& values = rows_[row];
    if (lookup::displayText(table_, column, values.at(index.column())) ==
            lookup::displayText(table_, column, cell.stored) &&
        !values.at(index.column()).isNull())
        return true; // nothing changed: nothing to write

    if (isBlankRow(row)) {
        if (index.column() != keyColumn())
            return refuse({QStringLiteral("Inserire prima %1 della nuova riga.")
                               .arg(lookup::columnHeading(lookup::keyColumn(table_))),
                           QStringLiteral("ERRORE - CAMPO   VUOTO")});
        const Result<qint64> id = lookup::insertRow(table_, column, cell.stored);
        if (!id.ok())
            return refuse(lookup::refusedByDatabase(id.status));
        values[0] = id.value;
    } else {
        const Status s = lookup::updateCell(table_, values.at(0).toLongLong(), column, cell.stored);
        if (!s.ok())
            return refuse(lookup::refusedByDatabase(s));
    }
    values[index.column()] = cell.stored;
    Q_EMIT dataChanged(this->index(row, 0), this->index(row, int(columns_.size()) - 1));
    return true;
}

bool LookupTableModel::isBlankRow(int row) const {
    return row >= 0 && row < rows_.size() && rows_.at(row).at(0).isNull();
}

int LookupTableModel::appendBlankRow() {
    for (int row = 0; row < rows_.size(); ++row) {
        if (isBlankRow(row))
            return row;
    }
    const int row = int(rows_.size());
    beginInsertRows({}, row, row);
    QVariantList blank;
    for (int c = 0; c < columns_.size(); ++c)
        blank.append(QVariant());
    rows_.append(blank);
    endInsertRows();
    return row;
}

Status LookupTableModel::removeRowAt(int row) {
    if (row < 0 || row >= rows_.size())
        return Status::failure(QStringLiteral("nessuna riga selezionata"));
    if (!isBlankRow(row)) {
        if (Status s = lookup::deleteRow(table_, rows_.at(row).at(0).toLongLong()); !s.ok())
            return s;
    }
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    endRemoveRows();
    return Status::success();
}
