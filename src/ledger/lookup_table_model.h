#pragma once

#include "ledger/lookup_tables.h"

#include <QAbstractTableModel>

// One lookup table, editable in place: each accepted change is written to the table at
// once; a refused one leaves both the table and the shown value as they were and is
// announced through `refused`.
class LookupTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LookupTableModel(lookup::Table table, QObject* parent = nullptr);

    lookup::Table table() const { return table_; }
    // Reads every row of the table afresh.
    Status load();
    // The position of the column the entry lists read; -1 before loading.
    int keyColumn() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // An empty row at the end for a new entry, written to the table once its key
    // column is filled; only one such row exists at a time. Returns its position.
    int appendBlankRow();
    bool isBlankRow(int row) const;
    // Deletes the row from the table (a blank row only from the grid).
    Status removeRowAt(int row);

Q_SIGNALS:
    void refused(const QString& text, const QString& title);

private:
    bool refuse(const lookup::Refusal& refusal);
    QString columnName(int column) const { return columns_.at(column); }

    lookup::Table table_;
    QStringList columns_;
    QList<QVariantList> rows_; // column 0 holds the row's ID, null on the blank row
};
