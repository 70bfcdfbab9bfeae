#include "registry/number_line_edit.h"

#include "registry/field_rules.h"
#include "values/number_keys.h"

#include <QKeyEvent>

NumberLineEdit::NumberLineEdit(QWidget* parent) : NumberField(parent) {}

void NumberLineEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    // Keys that type nothing (arrows, Delete, Tab, shortcuts with Ctrl) are not
    // characters and pass unchanged; the filter judges what would be typed.
    const bool character = typed.size() == 1 && (typed.at(0).isPrint() || typed.at(0) == u'\b') &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!character) {
        NumberField::keyPressEvent(event);
        return;
    }
    const std::optional<QChar> accepted = filterNumberKey(typed.at(0));
    if (!accepted) {
        event->accept();
        Q_EMIT keyRefused();
        return;
    }
    if (*accepted == typed.at(0)) {
        NumberField::keyPressEvent(event);
        return;
    }
    insert(QString(*accepted));
    event->accept();
}
