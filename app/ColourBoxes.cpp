#include "app/ColourBoxes.h"

#include <algorithm>
#include <cstddef>

#include "app/MainWindow.h"
#include "app/WindowLayout.h"

namespace kv::app {

namespace {

const char* const kRgbTitles[kColourBoxCount] = {
    "Base Material Color 1 . . .", "Base Material Color 2 . . .", "Base Material Color 3 . . .",
    "Cover 1 Color 1 . . .",       "Cover 1 Color 2 . . .",       "Cover 1 Color 3 . . .",
    "Cover 2 Color 1 . . .",       "Cover 2 Color 2 . . .",       "Cover 2 Color 3 . . .",
    "Atmosphere Sky Color . . .",  "Atmosphere Cloud Color . . .", "Atmosphere Fog Color . . .",
    "Ocean Color . . .",
};

// Bar rows: the picture's first row, and the first row a press counts on.
constexpr int kBarTop[3] = {11, 29, 47};
constexpr int kPressTop[3] = {12, 30, 48};

}  // namespace

int ColourBoxAt(QPoint point)
{
    for (int box = 0; box < kColourBoxCount; ++box)
        if (ColourBoxes()[static_cast<std::size_t>(box)].hit.contains(point)) return box;
    return -1;
}

QRect ColourBoxRefreshRect(int box)
{
    // From one pixel left of and above the fill, to the fill's far corner.
    const QRect fill = ColourBoxes()[static_cast<std::size_t>(box)].fill;
    return fill.adjusted(-1, -1, 0, 0);
}

bool ColourShapesAtmosphere(int box) { return box == kSkyBox || box == kCloudBox || box == kFogBox; }

QString RgbDialogTitle(int box) { return QString::fromUtf8(kRgbTitles[static_cast<std::size_t>(box)]); }

bool ColourDrag::press(QPoint point)
{
    const int box = ColourBoxAt(point);
    if (box < 0) return false;
    colour_ = ColourOfBox(settings_, box);
    source_ = box;
    active_ = true;
    return true;
}

std::optional<ColourDrag::Drop> ColourDrag::release(QPoint point)
{
    if (!active_) return std::nullopt;
    active_ = false;
    const int box = ColourBoxAt(point);
    if (box < 0) return std::nullopt;
    RgbColor& field = ColourOfBox(settings_, box);
    const bool changed = !(field == colour_);
    field = colour_;
    return Drop{box, changed};
}

QRect RgbEditor::barRect(int component)
{
    return QRect(kBarLeft, kBarTop[component], kBarRight - kBarLeft + 1, kBarHeight);
}

int RgbEditor::level(int component) const
{
    switch (component) {
    case 0: return colour_.r;
    case 1: return colour_.g;
    default: return colour_.b;
    }
}

void RgbEditor::setLevel(int component, int level)
{
    const auto value = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
    switch (component) {
    case 0: colour_.r = value; break;
    case 1: colour_.g = value; break;
    default: colour_.b = value; break;
    }
}

void RgbEditor::press(QPoint point)
{
    if (point.x() < kBarLeft || point.x() > kBarRight) return;
    for (int component = 0; component < 3; ++component) {
        const int bottom = barRect(component).bottom();
        if (point.y() >= kPressTop[component] && point.y() <= bottom) {
            setLevel(component, point.x() - kBarLeft);
            dragged_ = component;
            return;
        }
    }
}

void RgbEditor::move(QPoint point)
{
    if (!dragged_) return;
    // Only columns over the bar move the level; the rows do not matter.
    if (point.x() < kBarLeft || point.x() > kBarRight) return;
    setLevel(*dragged_, point.x() - kBarLeft);
}

}  // namespace kv::app
