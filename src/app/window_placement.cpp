#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace window_placement {
namespace {

const QString kKey = QStringLiteral("finestra/geometria");

} // namespace

QRect fitted(const QSize& preferred, const QSize& least, const QRect& available) {
    const QSize size =
        preferred.boundedTo(available.size()).expandedTo(least).boundedTo(available.size());
    QRect placed(QPoint(), size);
    placed.moveCenter(available.center());
    return placed;
}

void restore(QWidget& window) {
    // restoreGeometry moves a window left on a screen that is gone back onto one.
    if (window.restoreGeometry(QSettings().value(kKey).toByteArray()))
        return;
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.setGeometry(
        fitted(window.size(), window.minimumSizeHint(), screen->availableGeometry()));
}

void remember(const QWidget& window) {
    QSettings().setValue(kKey, window.saveGeometry());
}

} // namespace window_placement
