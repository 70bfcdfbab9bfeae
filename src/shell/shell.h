#pragma once

#include "shell/session.h"

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

    // The current selection, which the window's captions show.
    virtual const Session& session() const = 0;
    QString currentUserId() const { return session().userId; }
    QString currentUserName() const { return session().userName; }
    QString currentYear() const { return session().year; }

    // A menu item by its name (`Rinserisci`, `Anagrafica`, ...).
    virtual QAction* action(const char* name) const = 0;
    void setMenusEnabled(std::initializer_list<const char*> names, bool enabled);
    // The five top-level menus a command disables while it runs.
    void setWorkMenusEnabled(bool enabled) {
        setMenusEnabled({"Esci", "Anagrafica", "Ritenute", "Servizi", "Funzioni"}, enabled);
    }

    // Whether a user and a year are chosen: every record belongs to both.
    bool selectionMade() const { return session().selectionMade(); }
    // The end of a command or the close of a panel. With a user and a year chosen the
    // menus `names` are enabled again; without them the window goes back to the
    // selection instead (showSelection), so no menu leads to the ledger. True when the
    // menus were enabled.
    bool resumeWork(std::initializer_list<const char*> names = {"Esci", "Anagrafica", "Ritenute",
                                                                "Servizi", "Funzioni"});
    // Asked first by the work on one user's year (saving a record, the ledger grid, the
    // user's reports, the year deletion): without a user and a year it says so, goes
    // back to the selection and returns false; nothing may be written then.
    bool requireSelection();
    // The selection state of start-up: the selection panel shown with fresh lists and
    // the focus on the user list, every other panel hidden, the ledger menus disabled.
    virtual void showSelection() = 0;

    // A panel by its name (`Frame1` ... `Frame6`).
    virtual QGroupBox* panel(const char* name) const = 0;
    void setPanelsVisible(std::initializer_list<const char*> names, bool visible);

    // The selection grid `Datagrid1` on `Frame3`, and what a row picked there is for
    // (the panel's title shows it).
    virtual DataGrid& selectionGrid() = 0;
    virtual void setGridPick(GridPick pick) = 0;
    virtual GridPick gridPick() const = 0;

    // Shared routines of the window.
    virtual void PulisciCampi() = 0;
    virtual void CaricaAnni() = 0;
    virtual void CaricaUtenti() = 0;
    // Fills the subject lists of the entry and search panels.
    virtual void CaricaSoggetti() = 0;
};
