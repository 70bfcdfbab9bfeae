#pragma once

#include <QString>

// The working selection of the main window: who works on which year. The window's
// captions show it (Label1 the user's number, Label40 the name, Label2 the year); the
// code asks this object, never a caption.
struct Session {
    QString userId;
    QString userName;
    QString year;

    // Whether a user and a year are chosen: every record belongs to both.
    bool selectionMade() const { return !userId.trimmed().isEmpty() && !year.trimmed().isEmpty(); }
};

// What a row picked on the selection grid (`Datagrid1` on `Frame3`) is for; the panel's
// title shows it (gridPickTitle).
enum class GridPick { Nothing, ChangeSubject, DeleteSubject, ChangeRecord, DeleteRecord };

QString gridPickTitle(GridPick pick);
