#pragma once

#include <QString>
#include <initializer_list>

class DataGrid;
class MessageBoxes;
class QAction;
class QGroupBox;

// What a panel may ask of the main window: the current user and year, the menus and
// panels it enables or shows, the shared selection grid and the message boxes.
class Shell {
public:
    virtual ~Shell() = default;

    virtual MessageBoxes& boxes() = 0;

    // The current selection, read afresh from the captions that hold it.
    virtual QString currentUserId() const = 0;   // Label1
    virtual QString currentUserName() const = 0; // Label40
    virtual QString currentYear() const = 0;     // Label2

    // A menu item by its name (`Rinserisci`, `Anagrafica`, ...).
    virtual QAction* action(const char* name) const = 0;
    void setMenusEnabled(std::initializer_list<const char*> names, bool enabled);
    // The five top-level menus a command disables while it runs.
    void setWorkMenusEnabled(bool enabled) {
        setMenusEnabled({"Esci", "Anagrafica", "Ritenute", "Servizi", "Funzioni"}, enabled);
    }

    // A panel by its name (`Frame1` ... `Frame6`).
    virtual QGroupBox* panel(const char* name) const = 0;
    void setPanelsVisible(std::initializer_list<const char*> names, bool visible);

    // The selection grid `Datagrid1` on `Frame3`.
    virtual DataGrid& selectionGrid() = 0;

    // Shared routines of the window.
    virtual void PulisciCampi() = 0;
    virtual void CaricaAnni() = 0;
    virtual void CaricaUtenti() = 0;
    // Fills the subject lists of the entry and search panels.
    virtual void CaricaSoggetti() = 0;
};
