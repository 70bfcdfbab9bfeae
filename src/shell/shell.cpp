#include "shell/shell.h"

#include "shell/message_boxes.h"

#include <QAction>
#include <QGroupBox>

void Shell::setMenusEnabled(std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names) {
        if (QAction* a = action(name))
            a->setEnabled(enabled);
    }
}

bool Shell::resumeWork(std::initializer_list<const char*> names) {
    if (!selectionMade()) {
        showSelection();
        return false;
    }
    setMenusEnabled(names, true);
    return true;
}

bool Shell::requireSelection() {
    if (selectionMade())
        return true;
    boxes().notice(QStringLiteral(" Selezionare un Utente e un Anno "),
                   QStringLiteral("ERRORE - CAMPO   VUOTO"));
    showSelection();
    return false;
}

void Shell::setPanelsVisible(std::initializer_list<const char*> names, bool visible) {
    for (const char* name : names) {
        if (QGroupBox* p = panel(name))
            p->setVisible(visible);
    }
}
