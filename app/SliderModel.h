#pragma once
// The eight sliders of the main window without any widget: which marker a
// press hits, where a drag may move it, what the labels say and which bands
// the range sliders paint. A slider's whole state is the x position of its
// marker or markers, held in the settings record itself.
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/WindowLayout.h"
#include "core/inputs/ProjectSettings.h"

namespace kv::app {

// The two 6 x 6 marker images. Both are right triangles with their
// horizontal side along the bottom; the vertical side is the pointer.
enum class MarkerImage {
    Left,   // vertical side on the right: a marker at x points at x + 6
    Right,  // vertical side on the left: a marker at x points at x
};

inline constexpr int kMarkerSize = 6;
inline constexpr int kSliderCount = 8;
inline constexpr int kMarkerCount = 12;

struct SliderLayout {
    Control label;      // the text control above the scale
    const char* name;   // what the label shows when no marker is dragged
    int row;            // client y of the markers' top row
    int start;          // leftmost x of the (left) marker; its origin
    int lastLeft;       // rightmost x of a single marker (start + 80)
    int lastRight;      // rightmost x of the right marker of a range (start + 86)
    int trackEnd;       // band painting stops here (exclusive)
    int leftMarker;     // marker index of the left or single marker
    int rightMarker;    // marker index of the right marker, -1 for a single slider
    // Scale images in dialog units: the start piece's x, the end piece's x, y.
    int scaleFirstDlu, scaleLastDlu, scaleDluY;

    bool isRange() const { return rightMarker >= 0; }
};

struct MarkerField {
    std::int32_t ProjectSettings::*field;
    MarkerImage image;
    int slider;  // index into Sliders()
};

// Sliders in the order cover 1 altitude, slope, density, cover 2 altitude,
// slope, density, tree size, rock size.
const std::array<SliderLayout, kSliderCount>& Sliders();
// Markers in the order of the settings file's marker fields.
const std::array<MarkerField, kMarkerCount>& Markers();

// A filled rectangle of a range slider's track.
struct SliderBand {
    QRect rect;
    bool selected;  // true: the black band between the pointers; false: button face
};

class SliderModel {
public:
    explicit SliderModel(ProjectSettings& settings) : settings_(settings) {}

    // Left-button press at a client point. A hit marker becomes the dragged
    // one, with the pointer's distance from its left edge as grab offset.
    // Returns true on a hit.
    bool press(QPoint point);
    // Pointer movement during a drag. The marker follows only to positions
    // inside its allowed travel; a position outside leaves it where it is.
    // Returns true when the marker moved.
    bool move(QPoint point);
    // Ends any drag.
    void release() { dragged_.reset(); }

    std::optional<int> draggedMarker() const { return dragged_; }
    int grabOffset() const { return grabOffset_; }

    int markerX(int marker) const;
    QRect markerRect(int marker) const;
    // trunc((x - origin) * 1.25): 0 to 100 over the marker's travel.
    int shownValue(int marker) const;
    // The slider's name, or its numbers while one of its markers is dragged:
    // "%d" for a single slider, "%d - %d" for a range.
    QString labelText(int slider) const;
    // The bands a range slider paints in its marker rows; none for a single one.
    std::vector<SliderBand> bands(int slider) const;
    // The x positions a marker may take given the other marker of its range.
    std::pair<int, int> allowedTravel(int marker) const;

private:
    ProjectSettings& settings_;
    std::optional<int> dragged_;
    int grabOffset_ = 0;
};

// The origin of a marker: where its shown value is 0.
int MarkerOrigin(int marker);

}  // namespace kv::app
