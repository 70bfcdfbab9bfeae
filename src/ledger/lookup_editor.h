#pragma once

#include "ledger/lookup_tables.h"

#include <QGroupBox>

class DataGrid;
class LookupTableModel;
class QCheckBox;
class QPushButton;
class Shell;

// The lookup-table editor `Frame6`: years, tax codes, rates, legal interest rates,
// due-date deferrals and return deadlines, edited in place in `DataGrid2`; the ticked check box
// chooses the table.
class LookupEditor : public QGroupBox {
    Q_OBJECT

public:
    LookupEditor(Shell& shell, QWidget* parent = nullptr);

    // Bind `DataGrid2` to a table, afresh.
    void CaricaGrigliaAnni();
    void CaricaGrigliaTributi();
    void CaricaGrigliaPercentuali();
    void loadLegalRates();
    void loadDeferrals();
    void loadReturnDeadlines();

    // Starts a new row at the end of the grid, ready for its key.
    void addRow();
    // Deletes the grid's current row from its table, after confirmation.
    void deleteRow();

private:
    using Loader = void (LookupEditor::*)();
    // The check boxes that choose a table, in the order shown.
    QList<QCheckBox*> tableChecks() const;
    void onCheckToggled(QCheckBox* box, Loader loader);
    void load(lookup::Table table);
    void clearGrid();
    void showRefusal(const QString& text, const QString& title);

    Shell& shell_;
    QCheckBox* XPCheck1;
    QCheckBox* XPCheck2;
    QCheckBox* XPCheck3;
    QCheckBox* legalRatesCheck_;
    QCheckBox* deferralsCheck_;
    QCheckBox* returnDeadlinesCheck_;
    DataGrid* DataGrid2;
    QPushButton* addButton_;
    QPushButton* deleteButton_;
    LookupTableModel* model_ = nullptr;
};
