#include "widgets/number_field.h"

#include "values/number_keys.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <memory>

NumberField::NumberField(QWidget* parent) : QLineEdit(parent) {}

void NumberField::pasteFiltered(QClipboard::Mode mode) {
    if (isReadOnly())
        return;
    const QString text = filterNumberText(QGuiApplication::clipboard()->text(mode));
    if (!text.isEmpty())
        insert(text);
}

void NumberField::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberField::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection where the system keeps one.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumberField::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { pasteFiltered(); });
    }
    menu->exec(event->globalPos());
}

void NumberField::dropEvent(QDropEvent* event) {
    const QString text = filterNumberText(event->mimeData()->text());
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    QMimeData filtered;
    filtered.setText(text);
    QDropEvent replaced(event->position(), event->possibleActions(), &filtered, event->buttons(),
                        event->modifiers());
    replaced.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&replaced);
    event->setDropAction(replaced.dropAction());
    event->setAccepted(replaced.isAccepted());
}
