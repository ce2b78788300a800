#pragma once
// The colour boxes as the main window uses them: dragging a colour from box
// to box under the "DRAG" cursor, and a double click opening the RGB dialog.
// The window paints the boxes themselves.
#include <QCursor>
#include <QImage>
#include <QObject>

#include <functional>

#include "app/ColourBoxes.h"

class QWidget;

namespace kv::app {

class MainWindow;

// The "DRAG" cursor picture: 32 x 32, an arrow whose tip is at the hot spot
// (6, 7), over a square swatch of `colour` in the upper left.
QImage DragCursorPicture(RgbColor colour);
inline constexpr QPoint kDragHotSpot{6, 7};

class ColourBoxControls final : public QObject {
    Q_OBJECT

public:
    // Runs the RGB dialog on the editor, modal and owned by `owner`; true
    // when it closed with OK.
    using RgbDialogRunner = std::function<bool(RgbEditor& editor, QWidget* owner)>;

    explicit ColourBoxControls(MainWindow& window);
    ~ColourBoxControls() override;

    const ColourDrag& drag() const { return drag_; }
    // Tests answer the RGB dialog without a modal loop.
    void setRgbDialogRunner(RgbDialogRunner runner) { runRgbDialog_ = std::move(runner); }

    // Opens the RGB dialog for a box, as a double click on it does.
    void editColour(int box);

private:
    void pressed(QPoint position);
    void released(QPoint position);
    void doubleClicked(QPoint position);
    void colourChanged(int box);
    void endDragCursor();

    MainWindow& window_;
    ColourDrag drag_;
    bool dragCursorShown_ = false;
    RgbDialogRunner runRgbDialog_;
};

}  // namespace kv::app
