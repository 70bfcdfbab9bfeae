#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// The main window's size and place on the screen.
namespace window_placement {

// The size the window takes on `available` (a screen's area without panels and docks):
// `preferred`, narrowed and lowered to fit, never below `least` unless the area is
// smaller still; centred in the area.
QRect fitted(const QSize& preferred, const QSize& least, const QRect& available);

// Shows `window` where it was left in the last session when that still lies on a
// screen, else at its own size fitted to its screen's available area.
void restore(QWidget& window);
// Keeps the window's size and place for the next session.
void remember(const QWidget& window);

} // namespace window_placement
