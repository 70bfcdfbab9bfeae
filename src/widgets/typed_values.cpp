#include "widgets/typed_values.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

TypedValues::TypedValues(QWidget& panel) : QObject(&panel) {
    setObjectName(QStringLiteral("TypedValues"));
    const auto mark = [this] { typed_ = true; };
    for (QLineEdit* edit : panel.findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, this, mark);
    for (QComboBox* combo : panel.findChildren<QComboBox*>())
        connect(combo, &QComboBox::activated, this, mark);
    for (QCheckBox* check : panel.findChildren<QCheckBox*>())
        connect(check, &QCheckBox::clicked, this, mark);
    panel.installEventFilter(this);
}

TypedValues* TypedValues::of(const QWidget& panel) {
    return panel.findChild<TypedValues*>(QStringLiteral("TypedValues"), Qt::FindDirectChildrenOnly);
}

bool TypedValues::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show)
        reset();
    return QObject::eventFilter(watched, event);
}
