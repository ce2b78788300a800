#include "app/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kv::app {

namespace {

// Space left between the two windows when the screen has it.
constexpr int kGap = 8;

}  // namespace

QPoint PlaceBeside(const QRect& mainFrame, const QSize& besideFrame, const QRect& screen)
{
    const int width = besideFrame.width();
    const int height = besideFrame.height();
    // Room between the main window and each edge of the screen.
    const int roomRight = screen.x() + screen.width() - (mainFrame.x() + mainFrame.width());
    const int roomLeft = mainFrame.x() - screen.x();

    int x = 0;
    if (roomRight >= width) {
        x = mainFrame.x() + mainFrame.width() + std::min(kGap, roomRight - width);
    } else if (roomLeft >= width) {
        x = mainFrame.x() - width - std::min(kGap, roomLeft - width);
    } else if (roomRight >= roomLeft) {
        x = screen.x() + screen.width() - width;
    } else {
        x = screen.x();
    }
    // A window wider or taller than the screen keeps its left or top edge on it.
    x = std::max(x, screen.x());
    const int lowest = screen.y() + screen.height() - height;
    const int y = std::max(std::min(mainFrame.y(), lowest), screen.y());
    return QPoint(x, y);
}

void MoveBeside(QWidget& window, const QWidget& mainWindow)
{
    const QScreen* screen = mainWindow.screen();
    if (!screen) return;
    const QRect mainFrame = mainWindow.frameGeometry();
    const QSize frameThickness = mainFrame.size() - mainWindow.geometry().size();
    window.move(PlaceBeside(mainFrame, window.size() + frameThickness, screen->availableGeometry()));
}

}  // namespace kv::app
