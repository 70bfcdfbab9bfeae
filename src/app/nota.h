#pragma once

#include "shell/shell.h"

#include <QHash>
#include <QMainWindow>

class ClickableLabel;
class LookupEditor;
class QComboBox;
class QLabel;
class QPushButton;
class SearchPanel;
class StatusBar;
class SubjectPanel;
class WithholdingPanel;

// The main window: menus, the six panels, the choice of user and year, exit.
class Nota : public QMainWindow, public Shell {
    Q_OBJECT

public:
    explicit Nota(MessageBoxes& boxes, QWidget* parent = nullptr);
    ~Nota() override;

    // Shell
    MessageBoxes& boxes() override { return boxes_; }
    const Session& session() const override { return session_; }
    // The working selection, as "Accedi" leaves it; the captions show it.
    void setSession(const Session& session);
    QAction* action(const char* name) const override;
    QGroupBox* panel(const char* name) const override;
    DataGrid& selectionGrid() override { return *Datagrid1; }
    void setGridPick(GridPick pick) override;
    GridPick gridPick() const override { return gridPick_; }
    void PulisciCampi() override;
    void CaricaAnni() override;
    void CaricaUtenti() override;
    void CaricaSoggetti() override;
    void showSelection() override;

Q_SIGNALS:
    // The operator confirmed the exit: the program ends.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildSelectionPanel();
    QGroupBox* buildGridPanel();
    void onUserChosen();
    void onAccedi();
    // After "Accedi": how many of the user's withholdings are late today, in the status bar.
    void showLateCount();
    void onClearSelection();
    void onCambioUtente();
    void onEsci();
    void onServizi();
    void onGridRowPicked();
    // Escape: closes the panel in front as its close mark does, asking first when the
    // operator typed values there that are not saved.
    void closeFrontPanel();
    void returnToSelection();
    // On a read-only ledger every command that writes refuses at once.
    void refuseWrites();
    // Hides the panels and lets go of every read of the ledger, which is about to close.
    void releaseLedger();
    void setYear(const QString& year);
    // A failed database read, shown to the operator.
    void reportError(const QString& reason);

    MessageBoxes& boxes_;
    QHash<QString, QAction*> actions_;
    bool exiting_ = false;
    Session session_;
    GridPick gridPick_ = GridPick::Nothing;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label40;
    QGroupBox* Frame2;
    QComboBox* cbo1;
    QComboBox* cbo2;
    QPushButton* Cmd1;
    QLabel* NoUsers; // under the lists while the ledger has no users
    QGroupBox* Frame3;
    DataGrid* Datagrid1;
    SubjectPanel* Frame1;
    WithholdingPanel* Frame4;
    SearchPanel* Frame5;
    LookupEditor* Frame6;
    StatusBar* StatusBar1;
};
