#pragma once
// The height and slope textures of a heightfield, each computed by the rules
// its heights call for.
#include <functional>

#include "core/inputs/HeightGrid.h"
#include "core/textures/Raster.h"

namespace kv {

// What the texture synthesis knows of the land: altitude and steepness, both
// 0 to 255 per texture pixel.
struct TerrainRelief {
    Raster height;
    Raster slope;
};

// Builds the height texture and then the slope texture of the grid at edge
// `textureSize`. A grid of whole heights (every 24-bit BMP, every 8-bit PNG)
// takes the whole-number rules, which truncate between passes exactly as
// they always have, so its images stay byte for byte what they were. A grid
// with fractional heights takes the fractional rules: no truncation between
// passes, the slope taken from the levels before their rounding, and one
// rounding of each at the end. `heightDone` runs between the two textures;
// `check` after every row.
TerrainRelief BuildTerrainRelief(const HeightGrid& grid, int textureSize, const RowCheck& check = {},
                                 const std::function<void()>& heightDone = {});

}  // namespace kv
