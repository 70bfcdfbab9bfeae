#include "app/pictures.h"

#include <QPainter>
#include <QPixmap>

QIcon applicationIcon() {
    QPixmap pixmap(128, 128);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1f, 0x4e, 0x79));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);
    painter.setPen(QColor(0xf2, 0xc1, 0x4e));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(84);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(0, 0, 128, 128), Qt::AlignCenter, QStringLiteral("V"));
    painter.setPen(QPen(QColor(0xf2, 0xc1, 0x4e), 5));
    painter.drawLine(QPointF(30, 104), QPointF(98, 104));
    return QIcon(pixmap);
}
