#include "registry/upper_case_line_edit.h"

#include "registry/field_rules.h"

#include <QSignalBlocker>

UpperCaseLineEdit::UpperCaseLineEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &UpperCaseLineEdit::toUpper);
}

void UpperCaseLineEdit::toUpper() {
    const registry::UpperCased upper = registry::upperCased(text(), cursorPosition());
    if (upper.text == text())
        return;
    // setText runs textChanged again; the text is then upper case and nothing recurs.
    setText(upper.text);
    setCursorPosition(upper.caret);
}
