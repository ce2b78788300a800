#include "app/SliderControls.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

#include "app/MainWindow.h"

namespace kv::app {

namespace {

const QRgb kInk = qRgb(0, 0, 0);

// 3 x 5 pixel digits, one string per row.
constexpr const char* kDigitZero[5] = {"###", "#.#", "#.#", "#.#", "###"};
constexpr const char* kDigitOne[5] = {".#.", "##.", ".#.", ".#.", "###"};
constexpr int kDigitWidth = 3;
constexpr int kDigitHeight = 5;

void DrawDigit(QImage& image, const char* const (&rows)[5], int left, int top)
{
    for (int y = 0; y < kDigitHeight; ++y)
        for (int x = 0; x < kDigitWidth; ++x)
            if (rows[y][x] == '#') image.setPixel(left + x, top + y, kInk);
}

}  // namespace

QImage MarkerPicture(MarkerImage image)
{
    // A right triangle on the bottom row: its vertical side, the pointer, on
    // the right for the left marker and on the left for the right marker.
    QImage picture(kMarkerSize, kMarkerSize, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int row = 0; row < kMarkerSize; ++row) {
        const int width = row + 1;
        for (int i = 0; i < width; ++i) {
            const int x = image == MarkerImage::Left ? kMarkerSize - 1 - i : i;
            picture.setPixel(x, row, kInk);
        }
    }
    return picture;
}

QImage ScalePicture(ScalePiece piece, int zeroColumn)
{
    QImage picture(kScalePieceSize, kScalePieceSize, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    const int lineRow = kScalePieceSize - 1;
    for (int x = 0; x < kScalePieceSize; ++x) picture.setPixel(x, lineRow, kInk);
    // The numbers stand one blank row above the line.
    const int digitTop = lineRow - 1 - kDigitHeight;
    switch (piece) {
    case ScalePiece::Start: {
        const int left = std::clamp(zeroColumn - 1, 0, kScalePieceSize - kDigitWidth);
        DrawDigit(picture, kDigitZero, left, digitTop);
        break;
    }
    case ScalePiece::Middle: break;
    case ScalePiece::End: {
        // "100" ending at the piece's last column, a blank column between digits.
        const int right = kScalePieceSize;
        DrawDigit(picture, kDigitZero, right - kDigitWidth, digitTop);
        DrawDigit(picture, kDigitZero, right - 2 * kDigitWidth - 1, digitTop);
        DrawDigit(picture, kDigitOne, right - 3 * kDigitWidth - 2, digitTop);
        break;
    }
    }
    return picture;
}

PictureWidget::PictureWidget(QImage picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(picture_.size());
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

SliderTrack::SliderTrack(const SliderModel& model, int slider, QWidget* parent)
    : QWidget(parent), model_(model), slider_(slider)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const SliderLayout& layout = Sliders()[static_cast<std::size_t>(slider)];
    setGeometry(layout.start, layout.row, layout.trackEnd - layout.start, kMarkerSize);
}

void SliderTrack::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The button face is the colour of the window's background.
    const QColor buttonFace = palette().color(QPalette::Window);
    for (const SliderBand& band : model_.bands(slider_))
        painter.fillRect(band.rect.translated(-pos()), band.selected ? QColor(Qt::black) : buttonFace);
}

SliderControls::SliderControls(MainWindow& window) : QObject(&window), window_(window), model_(window.settings())
{
    setObjectName("sliders");
    for (int slider = 0; slider < kSliderCount; ++slider) {
        const SliderLayout& layout = Sliders()[static_cast<std::size_t>(slider)];
        QWidget* label = window.control(layout.label);

        // The scale: start, middle and end piece, the end piece's last column
        // under the right-most pointer. The pieces lie under the label.
        const int firstX = DluToPixelsX(layout.scaleFirstDlu);
        const int lastX = DluToPixelsX(layout.scaleLastDlu);
        const int y = DluToPixelsY(layout.scaleDluY);
        const int zeroPointer = MarkerOrigin(layout.leftMarker) + kMarkerSize;
        const std::pair<ScalePiece, int> pieces[3] = {
            {ScalePiece::Start, firstX}, {ScalePiece::Middle, (firstX + lastX) / 2}, {ScalePiece::End, lastX}};
        for (int i = 0; i < 3; ++i) {
            auto* piece = new PictureWidget(ScalePicture(pieces[i].first, zeroPointer - firstX), &window);
            piece->move(pieces[i].second, y);
            piece->stackUnder(label);
            scales_[static_cast<std::size_t>(slider)][static_cast<std::size_t>(i)] = piece;
        }
        if (layout.isRange()) tracks_[static_cast<std::size_t>(slider)] = new SliderTrack(model_, slider, &window);
    }
    // Markers above their tracks.
    for (int marker = 0; marker < kMarkerCount; ++marker) {
        auto* widget = new PictureWidget(MarkerPicture(Markers()[static_cast<std::size_t>(marker)].image), &window);
        markers_[static_cast<std::size_t>(marker)] = widget;
    }
    placeMarkers();

    connect(&window, &MainWindow::surfaceLeftPress, this, &SliderControls::pressed);
    connect(&window, &MainWindow::surfaceMouseMove, this, &SliderControls::moved);
    connect(&window, &MainWindow::surfaceLeftRelease, this, &SliderControls::released);
    connect(&window, &MainWindow::settingsShown, this, &SliderControls::placeMarkers);
}

std::array<QWidget*, 3> SliderControls::scalePieces(int slider) const
{
    return scales_[static_cast<std::size_t>(slider)];
}

void SliderControls::placeMarkers()
{
    for (int marker = 0; marker < kMarkerCount; ++marker)
        markers_[static_cast<std::size_t>(marker)]->setGeometry(model_.markerRect(marker));
    for (int slider = 0; slider < kSliderCount; ++slider) repaintTrack(slider);
}

void SliderControls::pressed(QPoint position)
{
    if (!model_.press(position)) return;
    showLabel(Markers()[static_cast<std::size_t>(*model_.draggedMarker())].slider);
}

void SliderControls::moved(QPoint position)
{
    const std::optional<int> marker = model_.draggedMarker();
    if (!marker || !model_.move(position)) return;
    markers_[static_cast<std::size_t>(*marker)]->setGeometry(model_.markerRect(*marker));
    const int slider = Markers()[static_cast<std::size_t>(*marker)].slider;
    showLabel(slider);
    repaintTrack(slider);
}

void SliderControls::released()
{
    model_.release();
    for (int slider = 0; slider < kSliderCount; ++slider) showLabel(slider);
}

void SliderControls::showLabel(int slider)
{
    auto* label = static_cast<QLabel*>(window_.control(Sliders()[static_cast<std::size_t>(slider)].label));
    label->setText(model_.labelText(slider));
}

void SliderControls::repaintTrack(int slider)
{
    if (QWidget* track = tracks_[static_cast<std::size_t>(slider)]) track->update();
}

}  // namespace kv::app
