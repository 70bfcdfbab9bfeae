#pragma once

#include <QGroupBox>

class DataGrid;
class QPushButton;
class Shell;

// The subject panel `Frame1`: entering, changing and deleting subjects.
class SubjectPanel : public QGroupBox {
    Q_OBJECT

public:
    SubjectPanel(Shell& shell, QWidget* parent = nullptr);

    // The press of `Cmd2`, also run by F5.
    void pressCmd2();
    // A row of the selection grid picked while it lists subjects.
    void pickFromGrid(const DataGrid& grid);
    // The click on the main window's `Label1`.
    void openFromUserLabel();

private:
    Shell& shell_;
    QPushButton* Cmd2;
};
