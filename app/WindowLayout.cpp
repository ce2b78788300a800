#include "app/WindowLayout.h"

#include <cstddef>
#include <stdexcept>

namespace kv::app {

namespace {

using K = ControlKind;
using C = Control;

// Text controls have no size of their own in the layout; these fit their
// captions in the window's font.
constexpr int kLabelW = 26;
constexpr int kLabelH = 8;
constexpr int kSliderLabelW = 41;
constexpr int kCheckW = 40;
constexpr int kCheckH = 10;

const ControlSpec kLayout[] = {
    {C::BaseGroup, K::GroupBox, " Base Material ", {7, 7, 67, 167}},
    {C::Cover1Group, K::GroupBox, " Cover 1 Material ", {73, 7, 67, 167}},
    {C::Cover2Group, K::GroupBox, " Cover 2 Material ", {139, 7, 67, 167}},
    {C::AtmosphereGroup, K::GroupBox, " Atmosphere ", {205, 7, 69, 167}},
    {C::OceanGroup, K::GroupBox, " Ocean ", {273, 7, 67, 61}},
    {C::TreesGroup, K::GroupBox, " Trees && Rocks ", {273, 63, 67, 111}},

    {C::BaseColour1Frame, K::ColourFrame, "", {18, 19, 18, 16}},
    {C::BaseColour2Frame, K::ColourFrame, "", {18, 37, 18, 16}},
    {C::BaseColour3Frame, K::ColourFrame, "", {18, 55, 18, 16}},
    {C::BaseColour1Label, K::Label, "Color 1", {41, 23, kLabelW, kLabelH}},
    {C::BaseColour2Label, K::Label, "Color 2", {42, 41, kLabelW, kLabelH}},
    {C::BaseColour3Label, K::Label, "Color 3", {42, 59, kLabelW, kLabelH}},
    {C::BaseList, K::DropDownList, "", {12, 77, 57, 72}},
    {C::HeightfieldName, K::NameField, "", {14, 99, 52, 11}},
    {C::HeightfieldBrowse, K::PushButton, "Browse", {15, 114, 50, 14}},
    {C::LoRes, K::CheckBox, "Lo Res", {21, 137, kCheckW, kCheckH}},
    {C::MedRes, K::CheckBox, "Med Res", {21, 147, kCheckW, kCheckH}},
    {C::HiRes, K::CheckBox, "Hi Res", {21, 157, kCheckW, kCheckH}},

    {C::Cover1Colour1Frame, K::ColourFrame, "", {84, 19, 18, 16}},
    {C::Cover1Colour2Frame, K::ColourFrame, "", {84, 37, 18, 16}},
    {C::Cover1Colour3Frame, K::ColourFrame, "", {84, 55, 18, 16}},
    {C::Cover1Colour1Label, K::Label, "Color 1", {107, 23, kLabelW, kLabelH}},
    {C::Cover1Colour2Label, K::Label, "Color 2", {108, 41, kLabelW, kLabelH}},
    {C::Cover1Colour3Label, K::Label, "Color 3", {108, 59, kLabelW, kLabelH}},
    {C::Cover1List, K::DropDownList, "", {79, 77, 57, 51}},
    {C::Cover1AltitudeLabel, K::CentredLabel, "Altitude", {86, 99, kSliderLabelW, kLabelH}},
    {C::Cover1SlopeLabel, K::CentredLabel, "Slope", {86, 123, kSliderLabelW, kLabelH}},
    {C::Cover1DensityLabel, K::CentredLabel, "Density", {86, 148, kSliderLabelW, kLabelH}},

    {C::Cover2Colour1Frame, K::ColourFrame, "", {150, 19, 18, 16}},
    {C::Cover2Colour2Frame, K::ColourFrame, "", {150, 37, 18, 16}},
    {C::Cover2Colour3Frame, K::ColourFrame, "", {150, 55, 18, 16}},
    {C::Cover2Colour1Label, K::Label, "Color 1", {173, 23, kLabelW, kLabelH}},
    {C::Cover2Colour2Label, K::Label, "Color 2", {174, 41, kLabelW, kLabelH}},
    {C::Cover2Colour3Label, K::Label, "Color 3", {174, 59, kLabelW, kLabelH}},
    {C::Cover2List, K::DropDownList, "", {145, 77, 57, 51}},
    {C::Cover2AltitudeLabel, K::CentredLabel, "Altitude", {152, 99, kSliderLabelW, kLabelH}},
    {C::Cover2SlopeLabel, K::CentredLabel, "Slope", {152, 123, kSliderLabelW, kLabelH}},
    {C::Cover2DensityLabel, K::CentredLabel, "Density", {152, 148, kSliderLabelW, kLabelH}},

    {C::SkyFrame, K::ColourFrame, "", {216, 19, 18, 16}},
    {C::CloudFrame, K::ColourFrame, "", {216, 37, 18, 16}},
    {C::FogFrame, K::ColourFrame, "", {216, 55, 18, 16}},
    {C::SkyLabel, K::Label, "Sky", {239, 23, kLabelW, kLabelH}},
    {C::CloudLabel, K::Label, "Clouds", {240, 41, kLabelW, kLabelH}},
    {C::FogLabel, K::Label, "Fog", {240, 59, kLabelW, kLabelH}},
    {C::CloudsList, K::DropDownList, "", {211, 77, 57, 51}},
    {C::AtmospherePreviewFrame, K::PreviewFrame, "", {211, 95, 58, 74}},

    {C::OceanFrame, K::ColourFrame, "", {282, 20, 18, 16}},
    {C::OceanLabel, K::Label, "Color", {306, 24, kLabelW, kLabelH}},
    {C::OceanList, K::DropDownList, "", {277, 43, 57, 65}},

    {C::PlacementName, K::NameField, "", {280, 78, 52, 11}},
    {C::PlacementBrowse, K::PushButton, "Browse", {282, 93, 50, 14}},
    {C::TreeSizeLabel, K::CentredLabel, "Tree Size", {286, 121, kSliderLabelW, kLabelH}},
    {C::RockSizeLabel, K::CentredLabel, "Rock Size", {285, 147, kSliderLabelW + 2, kLabelH}},

    {C::About, K::PushButton, "About", {347, 10, 50, 14}},
    {C::Help, K::PushButton, "Help", {347, 26, 50, 14}},
    {C::Load, K::PushButton, "Load", {347, 59, 50, 14}},
    {C::Save, K::PushButton, "Save", {347, 75, 50, 14}},
    {C::Create, K::PushButton, "Create", {347, 110, 50, 14}},
    {C::Stop, K::PushButton, "Stop", {347, 126, 50, 14}},
    {C::View3D, K::PushButton, "3D View", {347, 143, 50, 14}},
    {C::Preview, K::PushButton, "Preview", {347, 160, 50, 14}},
};

// Fill: left/top inclusive, right/bottom exclusive; hit: inclusive ranges.
constexpr ColourBoxGeometry Box(int fillX0, int fillX1, int fillY0, int fillY1)
{
    return {QRect(fillX0, fillY0, fillX1 - fillX0, fillY1 - fillY0),
            QRect(fillX0, fillY0, fillX1 - fillX0, fillY1 - fillY0)};
}

const std::array<ColourBoxGeometry, kColourBoxCount> kColourBoxes = {
    Box(28, 53, 32, 56),   Box(28, 53, 61, 85),   Box(28, 53, 90, 114),
    Box(127, 152, 32, 56), Box(127, 152, 61, 85), Box(127, 152, 90, 114),
    Box(226, 251, 32, 56), Box(226, 251, 61, 85), Box(226, 251, 90, 114),
    Box(325, 350, 32, 56), Box(325, 350, 61, 85), Box(325, 350, 90, 114),
    Box(424, 449, 34, 58),
};

const Control kColourFrames[kColourBoxCount] = {
    C::BaseColour1Frame,   C::BaseColour2Frame,   C::BaseColour3Frame,
    C::Cover1Colour1Frame, C::Cover1Colour2Frame, C::Cover1Colour3Frame,
    C::Cover2Colour1Frame, C::Cover2Colour2Frame, C::Cover2Colour3Frame,
    C::SkyFrame,           C::CloudFrame,         C::FogFrame,
    C::OceanFrame,
};

const char* const kBaseEntries[] = {"jagged rock", "smooth rock", "jagged strata", "smooth strata"};
const char* const kCoverEntries[] = {"none",          "gritty",         "patchy",        "streaky",
                                     "blotchy",       "gritty-patchy",  "gritty-streaky", "gritty-blotchy"};
const char* const kCloudEntries[] = {"clear", "cloudy", "ominous", "puffy"};
const char* const kOceanEntries[] = {"none", "flat", "calm", "rippled", "wavy"};

// Rounds n * num / den to the nearest integer, halves away from zero, the way
// the classic dialog manager maps dialog units.
int MulDivRounded(int n, int num, int den)
{
    const long long product = static_cast<long long>(n) * num;
    const long long half = den / 2;
    return static_cast<int>(product >= 0 ? (product + half) / den : -((-product + half) / den));
}

}  // namespace

std::span<const ControlSpec> Layout() { return kLayout; }

const ControlSpec& SpecOf(Control id)
{
    for (const ControlSpec& layoutEntry : kLayout)
        if (layoutEntry.id == id) return layoutEntry;
    throw std::logic_error("control missing from the layout");
}

std::span<const char* const> ListEntries(Control list)
{
    switch (list) {
    case C::BaseList: return kBaseEntries;
    case C::Cover1List:
    case C::Cover2List: return kCoverEntries;
    case C::CloudsList: return kCloudEntries;
    case C::OceanList: return kOceanEntries;
    default: return {};
    }
}

int DluToPixelsX(int dlu) { return MulDivRounded(dlu, 6, 4); }
int DluToPixelsY(int dlu) { return MulDivRounded(dlu, 13, 8); }

QRect DluToPixels(const QRect& r)
{
    return QRect(DluToPixelsX(r.x()), DluToPixelsY(r.y()), DluToPixelsX(r.width()), DluToPixelsY(r.height()));
}

QSize ClientSize() { return QSize(DluToPixelsX(404), DluToPixelsY(182)); }

const std::array<ColourBoxGeometry, kColourBoxCount>& ColourBoxes() { return kColourBoxes; }

Control ColourFrameOf(int index) { return kColourFrames[static_cast<std::size_t>(index)]; }

}  // namespace kv::app
