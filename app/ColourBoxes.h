#pragma once
// The thirteen colour boxes without any widget: which box lies under a
// point, dragging a colour from box to box, and the editing rules of the RGB
// dialog. Boxes are numbered 0 to 12 here in the order of ColourBoxes():
// basecolor1..3, cover1color1..3, cover2color1..3, sky, cloud, fog, ocean.
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

#include "core/inputs/ProjectSettings.h"

namespace kv::app {

inline constexpr int kSkyBox = 9;
inline constexpr int kCloudBox = 10;
inline constexpr int kFogBox = 11;
inline constexpr int kOceanBox = 12;

// The box whose hit rectangle holds `point` (boxes tested in order), or -1.
int ColourBoxAt(QPoint point);
// What is repainted after a drop on the box or after its RGB dialog closes.
QRect ColourBoxRefreshRect(int box);
// Sky, cloud and fog: a change recomputes the atmosphere preview.
bool ColourShapesAtmosphere(int box);
// The RGB dialog's title for the box ("Base Material Color 1 . . ." ...).
QString RgbDialogTitle(int box);

// A colour dragged with the left button from one box to another.
class ColourDrag {
public:
    explicit ColourDrag(ProjectSettings& settings) : settings_(settings) {}

    // A press on a box takes its colour and starts a drag; returns true then.
    bool press(QPoint point);

    struct Drop {
        int box;       // the box that took the colour
        bool changed;  // its field held another colour before
    };
    // Ends the drag. Over a box, that box's field takes the dragged colour;
    // anywhere else nothing changes. Nothing happens without a drag.
    std::optional<Drop> release(QPoint point);
    // Ends a drag without a drop.
    void cancel() { active_ = false; }

    bool active() const { return active_; }
    RgbColor colour() const { return colour_; }
    int sourceBox() const { return source_; }

private:
    ProjectSettings& settings_;
    bool active_ = false;
    RgbColor colour_;
    int source_ = -1;
};

// The editing state of the RGB dialog: the working colour, the box it came
// from and the bar being dragged. Client pixels of the dialog: the bars span
// x 11 to 266 (level = x - 11) on rows 11-26, 29-44 and 47-62; a press counts
// on rows 12-26, 30-44 and 48-62; the swatch fills (276, 12) to (327, 62).
class RgbEditor {
public:
    static constexpr int kBarLeft = 11;
    static constexpr int kBarRight = 266;  // inclusive
    static constexpr int kBarHeight = 16;

    RgbEditor(int box, RgbColor colour) : box_(box), colour_(colour) {}

    int box() const { return box_; }
    RgbColor colour() const { return colour_; }
    QString title() const { return RgbDialogTitle(box_); }

    // A left-button press: on a bar's rows and between its ends, that
    // component takes the level under the pointer and is dragged.
    void press(QPoint point);
    // Pointer movement while a bar is dragged: the level follows the pointer
    // only while it is over the bar's columns; elsewhere the last level stays.
    void move(QPoint point);
    void release() { dragged_.reset(); }
    std::optional<int> draggedComponent() const { return dragged_; }

    int level(int component) const;
    // The column of the component's white marker line.
    int markerX(int component) const { return kBarLeft + level(component); }

    // Component 0 red, 1 green, 2 blue.
    static QRect barRect(int component);
    static QRect swatchRect() { return QRect(QPoint(276, 12), QPoint(326, 61)); }

private:
    void setLevel(int component, int level);

    int box_;
    RgbColor colour_;
    std::optional<int> dragged_;
};

}  // namespace kv::app
