#pragma once

#include <QFocusEvent>

// Whether a focus change leaves a field. A field is left when the focus moves to another
// control of its window. The window losing the activation (a message box, another
// window), a popup opening (a menu, a list, a calendar) or the menu bar taking the keys
// leaves the operator where they were: when the window comes back the focus returns to
// the same field, so no rule of leaving it may run.
inline bool leavesField(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}
inline bool leavesField(const QFocusEvent& event) {
    return leavesField(event.reason());
}
