#pragma once
// The sliders as the main window shows them: a three-piece scale under each
// label, the 6 x 6 marker images, the bands of the range sliders, and the
// window's mouse signals driving the SliderModel.
#include <QImage>
#include <QObject>
#include <QWidget>

#include <array>

#include "app/SliderModel.h"

namespace kv::app {

class MainWindow;

// The pixel art, drawn by the program.
QImage MarkerPicture(MarkerImage image);
// A 32 x 32 scale piece: a line along the bottom row; the start piece has a
// "0" centred on column `zeroColumn` just above the line, the end piece
// "100" at its right end. Transparent elsewhere.
enum class ScalePiece { Start, Middle, End };
QImage ScalePicture(ScalePiece piece, int zeroColumn = 1);
inline constexpr int kScalePieceSize = 32;

// A fixed picture that takes no mouse input (markers, scale pieces).
class PictureWidget final : public QWidget {
    Q_OBJECT

public:
    PictureWidget(QImage picture, QWidget* parent);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// The marker rows of a range slider: the black band between the pointers and
// the button-face track beside the markers.
class SliderTrack final : public QWidget {
    Q_OBJECT

public:
    SliderTrack(const SliderModel& model, int slider, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SliderModel& model_;
    int slider_;
};

class SliderControls final : public QObject {
    Q_OBJECT

public:
    explicit SliderControls(MainWindow& window);

    SliderModel& model() { return model_; }
    QWidget* markerWidget(int marker) const { return markers_[static_cast<std::size_t>(marker)]; }
    // The three scale pieces of a slider, start to end.
    std::array<QWidget*, 3> scalePieces(int slider) const;

    // Moves every marker to the position its field holds (start-up, Load).
    void placeMarkers();

private:
    void pressed(QPoint position);
    void moved(QPoint position);
    void released();
    void showLabel(int slider);
    void repaintTrack(int slider);

    MainWindow& window_;
    SliderModel model_;
    std::array<QWidget*, kMarkerCount> markers_{};
    std::array<QWidget*, kSliderCount> tracks_{};  // null for single sliders
    std::array<std::array<QWidget*, 3>, kSliderCount> scales_{};
};

}  // namespace kv::app
