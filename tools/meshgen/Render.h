#pragma once
// A tiny z-buffered software renderer for looking at the models: flat
// shading, one-sided faces culled from behind, polygons (with holes) cut into
// triangles on their own plane. Writes binary PPM pictures.
#include <string>
#include <vector>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

struct RenderPart {
    const Mesh* mesh = nullptr;
    Mat34 local;
    unsigned colour = 0xb0a080;
};

struct View {
    double azimuthDeg = 30;
    double elevationDeg = 15;
};

enum class Shading {
    Flat,     // plain flat shading
    Checker,  // flat shading times an 8 by 8 checker of the texture coordinates
    Sides     // fronts flat shaded, backs of two-sided faces magenta
};

struct RenderOptions {
    int tile = 420;
    Shading shading = Shading::Flat;
    bool ground = true;     // a grey ground square at z = 0
    double zoom = 1.0;      // >1 looks closer at the centre
    Vec3 focus{0, 0, 0};    // used when zoom > 1
    bool useFocus = false;
};

// Renders the parts from each view side by side into one picture.
bool RenderToPpm(const std::vector<RenderPart>& parts, const std::vector<View>& views, const RenderOptions& options,
                 const std::string& path);

}  // namespace kv::meshgen
