#include "app/SliderModel.h"

#include <cstddef>

#include "core/inputs/SliderTracks.h"

namespace kv::app {

namespace {

using PS = ProjectSettings;
using C = Control;

// Marker travel along the tracks the settings hold positions on.
constexpr int kTravel = kMarkerTravel;
constexpr int kPairGap = kMarkerWidth;
static_assert(kMarkerSize == kMarkerWidth, "the marker images are as wide as a marker's step");

constexpr SliderLayout Range(C label, const char* name, int row, int start, int left, int right, int scaleFirst,
                           int scaleLast, int scaleY)
{
    return {label, name, row, start, start + kTravel, start + kTravel + kPairGap, start + kTravel + 2 * kPairGap,
            left, right, scaleFirst, scaleLast, scaleY};
}

constexpr SliderLayout Single(C label, const char* name, int row, int start, int marker, int scaleFirst,
                            int scaleLast, int scaleY)
{
    return {label, name, row, start, start + kTravel, start + kTravel, start + kTravel + kMarkerSize,
            marker, -1, scaleFirst, scaleLast, scaleY};
}

const std::array<SliderLayout, kSliderCount> kSliders = {
    Range(C::Cover1AltitudeLabel, "Altitude", 179, kCover1TrackStart, 0, 1, 80, 113, 90),
    Range(C::Cover1SlopeLabel, "Slope", 218, kCover1TrackStart, 2, 3, 80, 113, 114),
    Single(C::Cover1DensityLabel, "Density", 259, kCover1TrackStart, 4, 80, 113, 139),
    Range(C::Cover2AltitudeLabel, "Altitude", 179, kCover2TrackStart, 5, 6, 145, 179, 90),
    Range(C::Cover2SlopeLabel, "Slope", 218, kCover2TrackStart, 7, 8, 145, 179, 114),
    Single(C::Cover2DensityLabel, "Density", 259, kCover2TrackStart, 9, 145, 179, 139),
    Single(C::TreeSizeLabel, "Tree Size", 213, kSizeTrackStart, 10, 279, 313, 111),
    Single(C::RockSizeLabel, "Rock Size", 256, kSizeTrackStart, 11, 279, 313, 137),
};

const std::array<MarkerField, kMarkerCount> kMarkers = {{
    {&PS::cover1altitudemin, MarkerImage::Left, 0},
    {&PS::cover1altitudemax, MarkerImage::Right, 0},
    {&PS::cover1slopemin, MarkerImage::Left, 1},
    {&PS::cover1slopemax, MarkerImage::Right, 1},
    {&PS::cover1density, MarkerImage::Left, 2},
    {&PS::cover2altitudemin, MarkerImage::Left, 3},
    {&PS::cover2altitudemax, MarkerImage::Right, 3},
    {&PS::cover2slopemin, MarkerImage::Left, 4},
    {&PS::cover2slopemax, MarkerImage::Right, 4},
    {&PS::cover2density, MarkerImage::Left, 5},
    {&PS::treessize, MarkerImage::Left, 6},
    {&PS::rockssize, MarkerImage::Left, 7},
}};

const SliderLayout& SliderOf(int marker)
{
    return kSliders[static_cast<std::size_t>(kMarkers[static_cast<std::size_t>(marker)].slider)];
}

bool IsRightMarker(int marker) { return kMarkers[static_cast<std::size_t>(marker)].image == MarkerImage::Right; }

}  // namespace

const std::array<SliderLayout, kSliderCount>& Sliders() { return kSliders; }
const std::array<MarkerField, kMarkerCount>& Markers() { return kMarkers; }

int MarkerOrigin(int marker)
{
    const SliderLayout& slider = SliderOf(marker);
    return IsRightMarker(marker) ? slider.start + kPairGap : slider.start;
}

int SliderModel::markerX(int marker) const { return settings_.*kMarkers[static_cast<std::size_t>(marker)].field; }

QRect SliderModel::markerRect(int marker) const
{
    return QRect(markerX(marker), SliderOf(marker).row, kMarkerSize, kMarkerSize);
}

int SliderModel::shownValue(int marker) const
{
    // (x - origin) * 1.25 truncated toward zero, in integers.
    return (markerX(marker) - MarkerOrigin(marker)) * 5 / 4;
}

std::pair<int, int> SliderModel::allowedTravel(int marker) const
{
    const SliderLayout& slider = SliderOf(marker);
    if (!slider.isRange()) return {slider.start, slider.lastLeft};
    if (IsRightMarker(marker)) return {markerX(slider.leftMarker) + kPairGap, slider.lastRight};
    return {slider.start, markerX(slider.rightMarker) - kPairGap};
}

bool SliderModel::press(QPoint point)
{
    for (int marker = 0; marker < kMarkerCount; ++marker) {
        const SliderLayout& slider = SliderOf(marker);
        const int x = markerX(marker);
        // A range's markers take one pixel less than a single marker, so the
        // two markers of a touching pair never both take the same pixel.
        const int lastX = x + (slider.isRange() ? kMarkerSize - 1 : kMarkerSize);
        const bool rowHit = point.y() >= slider.row && point.y() <= slider.row + kMarkerSize;
        if (rowHit && point.x() >= x && point.x() <= lastX) {
            dragged_ = marker;
            grabOffset_ = point.x() - x;
            return true;
        }
    }
    return false;
}

bool SliderModel::move(QPoint point)
{
    if (!dragged_) return false;
    const int marker = *dragged_;
    // The pointer's x is read as an unsigned 16-bit position, so a pointer
    // left of the window lands far right of every travel and is refused.
    const int x = static_cast<int>(static_cast<std::uint16_t>(point.x()));
    const int candidate = x - grabOffset_;
    const auto [low, high] = allowedTravel(marker);
    if (candidate < low || candidate > high) return false;
    std::int32_t& field = settings_.*kMarkers[static_cast<std::size_t>(marker)].field;
    if (field == candidate) return false;
    field = candidate;
    return true;
}

QString SliderModel::labelText(int slider) const
{
    const SliderLayout& layout = kSliders[static_cast<std::size_t>(slider)];
    const bool dragging = dragged_ && kMarkers[static_cast<std::size_t>(*dragged_)].slider == slider;
    if (!dragging) return QString::fromUtf8(layout.name);
    if (!layout.isRange()) return QString::asprintf("%d", shownValue(layout.leftMarker));
    return QString::asprintf("%d - %d", shownValue(layout.leftMarker), shownValue(layout.rightMarker));
}

std::vector<SliderBand> SliderModel::bands(int slider) const
{
    const SliderLayout& layout = kSliders[static_cast<std::size_t>(slider)];
    std::vector<SliderBand> result;
    if (!layout.isRange()) return result;
    const int left = markerX(layout.leftMarker);
    const int right = markerX(layout.rightMarker);
    auto add = [&](int from, int to, bool selected) {
        if (to > from) result.push_back({QRect(from, layout.row, to - from, kMarkerSize), selected});
    };
    // The selected range between the two pointers.
    add(left + kMarkerSize, right, true);
    // The track left of the left marker and right of the right marker.
    if (left > layout.start + kPairGap) add(layout.start, left, false);
    if (right < layout.lastRight) add(right + kMarkerSize, layout.trackEnd, false);
    return result;
}

}  // namespace kv::app
