#pragma once

#include "shell/scripted_message_boxes.h"

// Real modal boxes, answered from the script. Each box is a QMessageBox or a
// QInputDialog run modal over the active window, so it takes the window's activation
// as on a desktop; once it is active it is answered like a ScriptedMessageBoxes box and
// closed, and the window it covered is activated again, as a window manager does. The
// boxes are recorded as the scripted ones are.
class ModalMessageBoxes : public ScriptedMessageBoxes {
public:
    BoxAnswer show(const QString& text, const QString& title, BoxButtons buttons,
                   BoxIcon icon) override;
    QString input(const QString& prompt, const QString& title, bool masked) override;

    // Boxes that never became the active window, or whose window did not come back:
    // a test that counts on the activation moving checks this is zero.
    int activationsMissed() const { return activationsMissed_; }

private:
    int activationsMissed_ = 0;
};
