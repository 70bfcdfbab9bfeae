#pragma once

#include <QDialog>

class DataGrid;
class DateBox;
class MessageBoxes;
class QComboBox;
class QLineEdit;
class QPushButton;

// Archivio → "Registro delle modifiche…": the changes of a range of days, filtered by
// operator, action and user, in a grid that exports to Excel and CSV as every grid does.
class ChangeRegisterDialog : public QDialog {
    Q_OBJECT

public:
    ChangeRegisterDialog(MessageBoxes& boxes, QWidget* parent = nullptr);

    DataGrid& grid() const { return *grid_; }

private:
    // "Mostra" (and the opening, for the current month): the grid filled with the changes
    // the filter selects.
    void list();

    MessageBoxes& boxes_;
    DateBox* from_;
    DateBox* to_;
    QLineEdit* operator_;
    QComboBox* action_;
    QComboBox* user_;
    QPushButton* showButton_;
    DataGrid* grid_;
};
