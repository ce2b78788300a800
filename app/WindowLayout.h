#pragma once
// The main window's layout: every standard control with its kind, caption and
// rectangle in dialog units, and the fixed client-pixel geometry of the
// custom-drawn elements. Dialog units convert to pixels at 1.5 horizontal and
// 1.625 vertical pixels per unit (rounded like the classic dialog manager),
// which is the scale the client-pixel tables below are drawn for.
#include <QRect>

#include <array>
#include <span>

namespace kv::app {

// One entry per control of the main window, in creation order (group boxes
// first, so that everything inside them lies above them).
enum class Control {
    BaseGroup, Cover1Group, Cover2Group, AtmosphereGroup, OceanGroup, TreesGroup,

    BaseColour1Frame, BaseColour2Frame, BaseColour3Frame,
    BaseColour1Label, BaseColour2Label, BaseColour3Label,
    BaseList, HeightfieldName, HeightfieldBrowse, LoRes, MedRes, HiRes,

    Cover1Colour1Frame, Cover1Colour2Frame, Cover1Colour3Frame,
    Cover1Colour1Label, Cover1Colour2Label, Cover1Colour3Label,
    Cover1List, Cover1AltitudeLabel, Cover1SlopeLabel, Cover1DensityLabel,

    Cover2Colour1Frame, Cover2Colour2Frame, Cover2Colour3Frame,
    Cover2Colour1Label, Cover2Colour2Label, Cover2Colour3Label,
    Cover2List, Cover2AltitudeLabel, Cover2SlopeLabel, Cover2DensityLabel,

    SkyFrame, CloudFrame, FogFrame, SkyLabel, CloudLabel, FogLabel, CloudsList, AtmospherePreviewFrame,

    OceanFrame, OceanLabel, OceanList,

    PlacementName, PlacementBrowse, TreeSizeLabel, RockSizeLabel,

    About, Help, Load, Save, Create, Stop, View3D, Preview,
};

enum class ControlKind {
    GroupBox,      // captioned frame; takes no mouse input
    ColourFrame,   // black frame around a colour box; takes no mouse input
    PreviewFrame,  // black frame around the atmosphere preview; takes no mouse input
    Label,         // left-aligned text; takes no mouse input
    CentredLabel,  // centred text (slider names); takes no mouse input
    NameField,     // sunken text showing a bitmap name; takes no mouse input
    DropDownList,  // rectangle height includes the open list
    PushButton,
    CheckBox,
};

struct ControlSpec {
    Control id;
    ControlKind kind;
    const char* caption;  // also the list entries' owner: see ListEntries()
    QRect dialogUnits;    // x, y, width, height in dialog units
};

// The whole layout, in creation order.
std::span<const ControlSpec> Layout();
const ControlSpec& SpecOf(Control id);

// The entries of a drop-down list, in order: the list index is the field value.
std::span<const char* const> ListEntries(Control list);

// Dialog units to client pixels.
int DluToPixelsX(int dlu);
int DluToPixelsY(int dlu);
QRect DluToPixels(const QRect& dialogUnits);

// The window's client size: 404 x 182 dialog units.
QSize ClientSize();

// Closed height of a drop-down list in pixels (its rectangle's height counts
// the open list).
inline constexpr int kDropDownClosedHeight = 20;

// Pixel size of the window's font: the classic 8-point dialog font is 11
// pixels high at this scale; a wider platform font is made smaller until the
// texts fit their controls, down to 8 pixels.
inline constexpr int kFontPixelSize = 11;
inline constexpr int kSmallestFontPixelSize = 8;

// ---------------------------------------------------------- client pixels

// The atmosphere preview picture: drawn unscaled with its top-left corner at
// (318, 155), 85 x 118 pixels.
inline constexpr QRect kAtmospherePreviewRect{318, 155, 85, 118};

// The thirteen colour boxes in box order: basecolor1..3, cover1color1..3,
// cover2color1..3, sky, cloud, fog, ocean.
struct ColourBoxGeometry {
    QRect fill;  // painted with the colour
    QRect hit;   // pointer positions that count as the box (inclusive)
};
inline constexpr int kColourBoxCount = 13;
const std::array<ColourBoxGeometry, kColourBoxCount>& ColourBoxes();

// The frame control that surrounds colour box `index` (0 to 12).
Control ColourFrameOf(int index);

}  // namespace kv::app
