#include "shell/scripted_message_boxes.h"

BoxAnswer ScriptedMessageBoxes::show(const QString& text, const QString& title, BoxButtons buttons,
                                     BoxIcon icon) {
    shown_.append({text, title.isEmpty() ? applicationTitle() : title, buttons, icon});
    if (buttons == BoxButtons::Ok)
        return BoxAnswer::Ok;
    return answers_.isEmpty() ? BoxAnswer::No : answers_.dequeue();
}

QString ScriptedMessageBoxes::input(const QString& prompt, const QString& title, bool masked) {
    shown_.append({prompt, title.isEmpty() ? applicationTitle() : title, BoxButtons::Ok,
                   BoxIcon::None, true, masked});
    return inputs_.isEmpty() ? QString() : inputs_.dequeue();
}

QString ScriptedMessageBoxes::chooseFile(const QString& title, const QString& proposed,
                                         FileUse use) {
    Q_UNUSED(proposed);
    Q_UNUSED(use);
    shown_.append({title, title, BoxButtons::Ok, BoxIcon::None, true, false});
    return inputs_.isEmpty() ? QString() : inputs_.dequeue();
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList result;
    for (const Shown& s : shown_)
        result.append(s.text);
    return result;
}

void ScriptedMessageBoxes::clear() {
    shown_.clear();
    answers_.clear();
    inputs_.clear();
}
