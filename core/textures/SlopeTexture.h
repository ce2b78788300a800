#pragma once
// The slope texture: local steepness of the height texture.
#include "core/textures/Raster.h"

namespace kv {

// For every pixel, the differences across its eight neighbours at distance
// `cell` (the height cell size s): (|left - right| + |up - down| +
// |down-left - up-right| + |up-left - down-right|) / 2 in integers, at most 255.
// A neighbour outside the raster counts as 0. `check` runs after every row.
Raster BuildSlopeTexture(const Raster& height, int cell, const RowCheck& check = {});

// The same differences taken on the fine levels of a grid with fractional
// heights (BuildFineHeightTexture), summed in single precision in the order
// above and halved, then truncated once to a whole level, at most 255.
Raster BuildSlopeTexture(const FloatRaster& levels, int cell, const RowCheck& check = {});

}  // namespace kv
