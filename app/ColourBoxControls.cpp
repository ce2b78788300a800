#include "app/ColourBoxControls.h"

#include <QGuiApplication>
#include <QPixmap>

#include <cstring>
#include <iterator>

#include "app/MainWindow.h"
#include "app/RgbDialog.h"

namespace kv::app {

namespace {

// The arrow of the drag cursor, its tip at the top left: '#' outline,
// '.' white fill, blank transparent.
constexpr const char* kArrow[] = {
    "#",           "##",          "#.#",        "#..#",       "#...#",      "#....#",
    "#.....#",     "#......#",    "#.......#",  "#........#", "#.....#####", "#..#..#",
    "#.# #..#",    "##  #..#",    "#    #..#",  "     #..#",  "      ##",
};
constexpr int kSwatchSize = 16;

}  // namespace

QImage DragCursorPicture(RgbColor colour)
{
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    // The swatch: the dragged colour in a black square frame.
    for (int y = 0; y < kSwatchSize; ++y) {
        for (int x = 0; x < kSwatchSize; ++x) {
            const bool edge = x == 0 || y == 0 || x == kSwatchSize - 1 || y == kSwatchSize - 1;
            picture.setPixel(x, y, edge ? qRgb(0, 0, 0) : qRgb(colour.r, colour.g, colour.b));
        }
    }
    for (int row = 0; row < static_cast<int>(std::size(kArrow)); ++row) {
        const int length = static_cast<int>(std::strlen(kArrow[row]));
        for (int column = 0; column < length; ++column) {
            const char c = kArrow[row][column];
            if (c == ' ') continue;
            picture.setPixel(kDragHotSpot.x() + column, kDragHotSpot.y() + row,
                             c == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return picture;
}

ColourBoxControls::ColourBoxControls(MainWindow& window)
    : QObject(&window),
      window_(window),
      drag_(window.settings()),
      runRgbDialog_([](RgbEditor& editor, QWidget* owner) {
          RgbDialog dialog(editor, owner);
          return dialog.exec() == QDialog::Accepted;
      })
{
    setObjectName("colourBoxes");
    connect(&window, &MainWindow::surfaceLeftPress, this, &ColourBoxControls::pressed);
    connect(&window, &MainWindow::surfaceLeftRelease, this, &ColourBoxControls::released);
    connect(&window, &MainWindow::surfaceLeftDoubleClick, this, &ColourBoxControls::doubleClicked);
}

ColourBoxControls::~ColourBoxControls() { endDragCursor(); }

void ColourBoxControls::pressed(QPoint position)
{
    if (!drag_.press(position)) return;
    const RgbColor colour = drag_.colour();
    QGuiApplication::setOverrideCursor(
        QCursor(QPixmap::fromImage(DragCursorPicture(colour)), kDragHotSpot.x(), kDragHotSpot.y()));
    dragCursorShown_ = true;
}

void ColourBoxControls::released(QPoint position)
{
    endDragCursor();
    const std::optional<ColourDrag::Drop> drop = drag_.release(position);
    if (!drop) return;
    window_.update(ColourBoxRefreshRect(drop->box));
    // A drop that leaves the colour as it was (a box onto itself) gives the
    // same sky; only a real change recomputes it.
    if (drop->changed) colourChanged(drop->box);
}

void ColourBoxControls::doubleClicked(QPoint position)
{
    // The double click's second press may have started a drag; the dialog
    // takes the release, so that drag ends here without a drop.
    drag_.cancel();
    endDragCursor();
    const int box = ColourBoxAt(position);
    if (box >= 0) editColour(box);
}

void ColourBoxControls::editColour(int box)
{
    RgbEditor editor(box, ColourOfBox(window_.settings(), box));
    const bool accepted = runRgbDialog_(editor, &window_);
    if (accepted) {
        RgbColor& field = ColourOfBox(window_.settings(), box);
        const bool changed = !(field == editor.colour());
        field = editor.colour();
        if (changed) colourChanged(box);
    }
    window_.update(ColourBoxRefreshRect(box));
}

void ColourBoxControls::colourChanged(int box)
{
    if (ColourShapesAtmosphere(box)) window_.recomputeAtmospherePreview();
}

void ColourBoxControls::endDragCursor()
{
    if (!dragCursorShown_) return;
    QGuiApplication::restoreOverrideCursor();
    dragCursorShown_ = false;
}

}  // namespace kv::app
