#pragma once

#include <QObject>
#include <functional>

class Shell;
class QWidget;

// The menu command `ImportaRegistrazioni`: asks for a spreadsheet (Excel or delimited
// text), reads it and opens the import dialog for the current user and year.
class SheetImportCommand : public QObject {
    Q_OBJECT

public:
    // Asks for the file to read; the empty text cancels.
    using PathChooser = std::function<QString(QWidget* parent)>;

    SheetImportCommand(Shell& shell, QWidget* window);

    void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

    // The command itself, as the menu item runs it.
    void run();

private:
    Shell& shell_;
    QWidget* window_;
    PathChooser chooser_;
};
