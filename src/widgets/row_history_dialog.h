#pragma once

#include "store/field_changes.h"

#include <QDialog>

class DataGrid;
class MessageBoxes;

// "Storia…": the changes of one row of a grid, oldest first: when, who (operator and
// computer), what (the action) and, one line each, the fields that changed, as the grid
// shows them.
class RowHistoryDialog : public QDialog {
    Q_OBJECT

public:
    // The changes of row `key` of `table`, its fields shown as `fields` say, under the
    // heading `heading`. A failed read is told on `boxes` and leaves the list empty.
    RowHistoryDialog(const QString& table, qint64 key, const QList<field_changes::Field>& fields,
                     const QString& heading, MessageBoxes& boxes, QWidget* parent = nullptr);

    DataGrid& grid() const { return *grid_; }

private:
    DataGrid* grid_;
};
