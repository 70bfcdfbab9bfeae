#include "ledger/amount_field.h"

#include "ledger/withholding_rules.h"
#include "values/number_keys.h"
#include "widgets/field_focus.h"

#include <QKeyEvent>

AmountField::AmountField(const char* objectName, QWidget* parent) : NumberField(parent) {
    setObjectName(QString::fromLatin1(objectName));
    setAlignment(Qt::AlignRight);
    // The clipboard stays out of reach from the keys, so from the menu as well.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void AmountField::keyPressEvent(QKeyEvent* event) {
    // The clipboard shortcuts are dropped like Enter; keys that move or delete
    // (arrows, Home, Delete) carry no character to filter and work as usual.
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete) {
        NumberField::keyPressEvent(event);
        return;
    }
    if (text.size() != 1) {
        event->accept();
        return;
    }
    const std::optional<QChar> passed = filterNumberKey(text.front());
    if (!passed) {
        event->accept();
        return;
    }
    if (*passed == text.front()) {
        NumberField::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(*passed),
                       event->isAutoRepeat(), ushort(event->count()));
    NumberField::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void AmountField::focusOutEvent(QFocusEvent* event) {
    if (leavesField(*event)) {
        const QString formatted = ledger::formatOnLeave(text());
        if (formatted != text())
            setText(formatted);
    }
    NumberField::focusOutEvent(event);
}
