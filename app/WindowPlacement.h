#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kv::app {

// Where a window of frame size `besideFrame` opens beside the window whose
// frame is `mainFrame`, on a screen whose free area is `screen`: to the right
// where the screen has room, else to the left, else against the screen's edge
// on the roomier side (overlapping as little as the screen allows). Its top is
// level with the main window's, moved down or up as far as needed to stay on
// the screen. Returns the top-left corner of its frame.
QPoint PlaceBeside(const QRect& mainFrame, const QSize& besideFrame, const QRect& screen);

// Moves the top-level `window`, not yet shown, beside `mainWindow` on the
// main window's screen. The window's frame is taken to be as thick as the
// main window's.
void MoveBeside(QWidget& window, const QWidget& mainWindow);

}  // namespace kv::app
