#pragma once

#include <QGroupBox>

class DataGrid;
class Shell;

// The withholding entry panel `Frame4`.
class WithholdingPanel : public QGroupBox {
    Q_OBJECT

public:
    WithholdingPanel(Shell& shell, QWidget* parent = nullptr);

    // A row of the ledger grid picked in "Modifica-Ritenute" or "Elimina-Ritenute".
    void pickFromGrid(const DataGrid& grid);

private:
    void close();

    Shell& shell_;
};
