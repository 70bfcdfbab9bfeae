#include "widgets/clickable_label.h"

#include <QMouseEvent>
#include <QStyle>

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

ClickableLabel* makeCloseMark(const char* objectName, QWidget* parent) {
    auto* mark = new ClickableLabel(QStringLiteral("X"), parent);
    mark->setObjectName(QString::fromLatin1(objectName));
    mark->setToolTip(QStringLiteral("Chiudi"));
    QFont font = mark->font();
    font.setBold(true);
    mark->setFont(font);
    return mark;
}

ClickableLabel* makeClosePicture(const char* objectName, QWidget* parent) {
    auto* picture = new ClickableLabel({}, parent);
    picture->setObjectName(QString::fromLatin1(objectName));
    picture->setToolTip(QStringLiteral("Chiudi"));
    picture->setPixmap(picture->style()->standardIcon(QStyle::SP_DialogCloseButton).pixmap(24, 24));
    return picture;
}
