#pragma once

#include <QObject>

class Shell;

// The menu command `EliminaR`: deletes the current user's records of the current year,
// behind the system password and a confirmation.
class YearDeletion : public QObject {
    Q_OBJECT

public:
    YearDeletion(Shell& shell, QObject* parent = nullptr);

    // The command itself, as the menu item runs it.
    void run();

private:
    // Asks the password and the confirmation, then deletes; the caller restores menus.
    void askAndDelete();

    Shell& shell_;
};
