#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class Shell;
class QWidget;

// The menu command `ImportaFatture`: asks for invoice files, a zip or a folder, reads them
// and opens the preview of their records for the current user.
class EinvoiceImportCommand : public QObject {
    Q_OBJECT

public:
    // Asks for what to read: files and zip archives, or one folder; empty cancels.
    using PathChooser = std::function<QStringList(QWidget* parent)>;

    EinvoiceImportCommand(Shell& shell, QWidget* window);

    void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

    // The command itself, as the menu item runs it.
    void run();

private:
    Shell& shell_;
    QWidget* window_;
    PathChooser chooser_;
};
