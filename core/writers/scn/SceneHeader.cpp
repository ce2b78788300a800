// The fixed scene-level chunks that open every scene file: Scen, ROpt, Vews.
#include "core/writers/scn/SceneWriter.h"

namespace kv {

namespace {

struct EyeBlock {
    const char* flags;
    const char* zoom;
    const char* center;
    const char* x;
    const char* y;
    const char* z;
};

constexpr EyeBlock kEyes[5] = {
    {"Eye flags 0", "Eye zoom 1 ortho depth 0 horiz -0.624695,0.7808688,0", "11.8833 10.0116 8.6633",
     "-0.624695 0.7808688 0", "-0.4137144 -0.3309715 0.8481146", "-0.6622663 -0.5298129 -0.5298129"},
    {"Eye flags 21", "Eye zoom 0.1577863 ortho depth 0 horiz -1,0,0", "0 0 3.5", "-1 0 0", "0 -1 0", "0 0 -1"},
    {"Eye flags 1", "Eye zoom 0.3590873 ortho depth 0 horiz -1,0,0", "-5.82077e-011 251 0.08039544", "-1 0 0",
     "0 0 1", "0 -1 0"},
    {"Eye flags 1", "Eye zoom 0.3058108 ortho depth 0 horiz 0,1,0", "1 0 0", "0 1 0", "0 0 1", "-1 0 0"},
    {"Eye flags 0", "Eye zoom 0.5 ortho depth 0 horiz -1,0,0", "0 6 0.5", "-1 0 0", "0 -1.03953e-013 1",
     "0 -1 -1.03953e-013"},
};

constexpr const char* kSceneLines[] = {
    "Name scene",          "Selected YOU",        "Background rgba 0,0,0,0", "Background name (None)",
    "Global env rgb 0,0,0", "Global env name (None)", "Fog enable 0 rgb 0,0,0", "Fog near 2 far 10",
    "Fog max 0.5 MinKS 0",
};

constexpr const char* kRenderOptionLines[] = {
    "Raytrace enable 1",   "Resolution 1",        "Width 640",           "Height 480",
    "Antialias 2",         "Framerate 1",         "Depth 2",             "Base framerate 2",
    "Options 110",         "Flags 0",             "Frame 2",             "JPEG quality 100",
    "FLIC flags 9",        "Targa flags 0",       "Resolution preset 0", "Depth focus 4",
    "Fieldrender flags 2", "Motionblur flags 9",  "Motionblur frames 2", "Pixel aspect 1.0",
    "Filename (None)",     "Depth focal dist 15", "Motionblur length 1", "Render AA 0002",
    "Ray depth limit 0",   "Max ray depth 15",
};

constexpr const char* kViewHeadLines[] = {
    "Vews V0.04 Id 0 Parent 0 Size -1",
    "Numviews 1",
    "SolidTexture 3",
    "SolidGrid 1",
    "ShowBack 0",
    "Active view 0",
    "Calview 1",
    "Placement 3",
    "Left -0.005 top -0.006666667 width 1.01 height 1.01333",
    "Render state 1",
    "Gouraud state 1",
    "Texture res 2",
};

}  // namespace

std::int32_t SceneWriter::WriteSceneHeaderChunks()
{
    const std::int32_t sceneId = NextId();
    Put("Scen V0.04 Id ");
    Id(sceneId);
    Line(" Parent 0 Size -1");
    for (const char* line : kSceneLines) Line(line);

    Put("ROpt V0.02 Id 0 Parent ");
    Id(sceneId);
    Line(" Size -1");
    for (const char* line : kRenderOptionLines) Line(line);

    for (const char* line : kViewHeadLines) Line(line);
    for (const EyeBlock& eye : kEyes) {
        Line(eye.flags);
        Line("Eye units 2");
        Line(eye.zoom);
        Axes(eye.center, eye.x, eye.y, eye.z);
    }
    return sceneId;
}

}  // namespace kv
