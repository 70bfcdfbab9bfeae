#include "platform/shell.h"

#include <QAction>
#include <QGroupBox>

void Shell::setMenusEnabled(std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names) {
        if (QAction* a = action(name))
            a->setEnabled(enabled);
    }
}

void Shell::setPanelsVisible(std::initializer_list<const char*> names, bool visible) {
    for (const char* name : names) {
        if (QGroupBox* p = panel(name))
            p->setVisible(visible);
    }
}
