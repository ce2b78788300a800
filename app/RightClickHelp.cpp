#include "app/RightClickHelp.h"


#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "app/MainWindow.h"

namespace kv::app {

namespace {

constexpr const char* kClosingLine = "For more detailed help information, click the Help button.";

struct ControlHelp {
    Control id;
    const char* title;
    const char* sentence;
    bool closingLine;
};

const ControlHelp kControlHelp[] = {
    {Control::HeightfieldBrowse, "Heightfield Bitmap Browse",
     "Click on this button to popup an openfile dialog and choose the heightfield bitmap to create the terrain "
     "object from.",
     true},
    {Control::BaseList, "Base Material", "Select the base material from the choices in this dropdown listbox.", true},
    {Control::LoRes, "Low Resolution",
     "Click this checkbox to create low resolution (576x576) textures and bump maps for the terrain object.", true},
    {Control::MedRes, "Medium Resolution",
     "Click this checkbox to create medium resolution (1152x1152) textures and bump maps for the terrain object.",
     true},
    {Control::HiRes, "High Resolution",
     "Click this checkbox to create high resolution (2304x2304) textures and bump maps for the terrain object.",
     true},
    {Control::Cover1List, "Cover1 Material", "Select the cover1 material from the choices in this dropdown listbox.",
     true},
    {Control::Cover2List, "Cover2 Material", "Select the cover2 material from the choices in this dropdown listbox.",
     true},
    {Control::CloudsList, "Clouds", "Select the type of clouds from the choices in this dropdown listbox.", true},
    {Control::OceanList, "Ocean", "Select the type of waves from the choices in this dropdown listbox.", true},
    {Control::PlacementBrowse, "Trees and Rocks",
     "Click on this button to popup an openfile dialog and choose the bitmap used to place trees and rocks in the "
     "scene.",
     true},
    {Control::Create, "Create",
     "Click on this button to create the scene and the associated texture and bumpmap files. You will be prompted "
     "to choose a scene name and directory. All texture and bumpmap files will be created in the same directory as "
     "the scene.",
     true},
    {Control::About, "About Kelvane", "Click on this button to view information about Kelvane.", false},
    {Control::Help, "Help", "Click on this button to view information about obtaining help in Kelvane.", false},
    {Control::Load, "Load", "Click on this button to load a Kelvane file.", true},
    {Control::Save, "Save", "Click on this button to save a Kelvane file.", true},
    {Control::Stop, "Stop Processing", "Click on this button to stop processing.", true},
    {Control::View3D, "3D View",
     "Click on this button to look at the last scene created in this session in 3D. Drag with the left mouse button "
     "to orbit, with the right or middle button to pan, and turn the wheel to zoom; Home returns to the camera YOU "
     "and T shows the terrain from above.",
     true},
    {Control::Preview, "Preview",
     "Click on this button to preview tex1.jpg. Click anywhere on the preview image to exit preview mode.", true},
};

struct AreaHelp {
    QRect area;  // inclusive pixel ranges
    const char* title;
    std::string sentence;
};

QRect Area(int x0, int x1, int y0, int y1) { return QRect(QPoint(x0, y0), QPoint(x1, y1)); }

std::string ColourSentence(const char* what)
{
    return std::string("Double click on this color box to change ") + what +
           " by adjusting the sliders in the RGB Dialog that pops up (this value may be dragged and dropped to and "
           "from other color boxes).";
}

const std::vector<AreaHelp>& Areas()
{
    static const std::vector<AreaHelp> areas = [] {
        const std::pair<const char*, const char*> boxes[kColourBoxCount] = {
            {"Base Color1", "color1 of the base material"},     {"Base Color2", "color2 of the base material"},
            {"Base Color3", "color3 of the base material"},     {"Cover1 Color1", "color1 of the cover1 material"},
            {"Cover1 Color2", "color2 of the cover1 material"}, {"Cover1 Color3", "color3 of the cover1 material"},
            {"Cover2 Color1", "color1 of the cover2 material"}, {"Cover2 Color2", "color2 of the cover2 material"},
            {"Cover2 Color3", "color3 of the cover2 material"}, {"Sky Color", "the sky color"},
            {"Cloud Color", "the cloud color"},                 {"Fog Color", "the fog color"},
            {"Ocean Color", "the ocean color"},
        };
        std::vector<AreaHelp> list;
        // A colour box's help area is the box's hit rectangle.
        for (int box = 0; box < kColourBoxCount; ++box) {
            const auto& [title, what] = boxes[box];
            list.push_back({ColourBoxes()[static_cast<std::size_t>(box)].hit, title, ColourSentence(what)});
        }
        const AreaHelp rest[] = {
            {Area(22, 98, 162, 179), "Base Material", "This edit box displays the current heightfield bitmap."},
            {Area(116, 207, 161, 185), "Cover1 Altitude", "These sliders adjust the altitude range for cover1."},
            {Area(116, 207, 202, 226), "Cover1 Slope", "These sliders adjust the slope range for cover1."},
            {Area(116, 207, 240, 264), "Cover1 Density", "This slider adjusts the density for cover1."},
            {Area(213, 306, 161, 185), "Cover2 Altitude", "These sliders adjust the altitude range for cover2."},
            {Area(213, 306, 202, 226), "Cover2 Slope", "These sliders adjust the slope range for cover2."},
            {Area(213, 306, 240, 264), "Cover2 Density", "This slider adjusts the density for cover2."},
            {Area(318, 401, 156, 272), "Atmosphere Preview",
             "This window shows a preview of what the atmosphere will look like."},
            {Area(419, 502, 128, 144), "Trees and Rocks", "This edit box displays the current trees and rocks bitmap."},
            {Area(414, 505, 196, 219), "Tree Size",
             "This slider adjusts the size of the trees relative to the terrain object."},
            {Area(414, 505, 229, 262), "Rock Size",
             "This slider adjusts the size of the rocks relative to the terrain object."},
            // Reached only while Stop is disabled: an enabled Stop answers itself.
            {Area(521, 596, 206, 227), "Stop Processing", "Click on this button to stop processing."},
            // Reached while the button is disabled (busy, or nothing created yet).
            {Area(521, 595, 232, 254), "3D View",
             "This button shows the last scene created in this session in 3D. It is available once a creation has "
             "finished, and not while a creation runs."},
        };
        list.insert(list.end(), std::begin(rest), std::end(rest));
        return list;
    }();
    return areas;
}

kv::Message HelpMessage(const char* title, const std::string& sentence, bool closingLine)
{
    std::string text = sentence;
    if (closingLine) text += std::string("\n\n") + kClosingLine;
    return kv::Message{std::move(text), title, MessageIcon::Information, Modality::Modal};
}

}  // namespace

std::optional<kv::Message> HelpForControl(Control id)
{
    for (const ControlHelp& help : kControlHelp)
        if (help.id == id) return HelpMessage(help.title, help.sentence, help.closingLine);
    return std::nullopt;
}

std::optional<kv::Message> HelpForArea(QPoint point)
{
    for (const AreaHelp& area : Areas())
        if (area.area.contains(point)) return HelpMessage(area.title, area.sentence, true);
    return std::nullopt;
}

RightClickHelp::RightClickHelp(MainWindow& window, Dialogs& dialogs)
    : QObject(&window), window_(window), dialogs_(dialogs)
{
    setObjectName("rightClickHelp");
    // The window tells of right releases over enabled standard controls by
    // control, and of all others (disabled controls included) by position.
    connect(&window, &MainWindow::controlRightRelease, this, &RightClickHelp::releasedOver);
    connect(&window, &MainWindow::surfaceRightRelease, this, &RightClickHelp::releasedAt);
}

void RightClickHelp::releasedOver(Control control)
{
    if (const std::optional<kv::Message> help = HelpForControl(control)) dialogs_.message(&window_, *help);
}

void RightClickHelp::releasedAt(QPoint point)
{
    if (const std::optional<kv::Message> help = HelpForArea(point)) dialogs_.message(&window_, *help);
}

}  // namespace kv::app
