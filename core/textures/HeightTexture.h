#pragma once
// The height texture: the heightfield resampled to the texture's edge.
#include <string>

#include "core/inputs/HeightGrid.h"
#include "core/textures/Raster.h"

namespace kv {

// How the N x N heightfield maps onto a T x T texture: step = (T - 1) / (N - 1)
// texture pixels per height cell, in single precision, and s, that truncated.
struct HeightResampling {
    float step = 0.0f;
    int cell = 0;  // s = trunc(step)
};
HeightResampling ResamplingFor(int textureSize, int gridSize);

// Refuses a heightfield the texture cannot resample: one with more pixels a
// side than the texture ("The heightfield bitmap <path> is larger than the
// texture resolution; choose a higher resolution.") or fewer than 2. `path` is
// the heightfield's joined path. Throws JobFailure.
void CheckHeightfieldFits(const HeightGrid& grid, int textureSize, const std::string& path);

// Resamples the grid to a T x T raster of heights 0 (lowest) to 255 (highest):
// a horizontal pass that also mirrors the columns back, a vertical pass in
// place, then normalisation by the largest value of the vertical pass. All
// real arithmetic is single precision in the written order. A band s pixels
// wide along the bottom rows and the left columns stays 0. Requires
// 2 <= N <= T. `check` runs after every row of every pass.
Raster BuildHeightTexture(const HeightGrid& grid, int textureSize, const RowCheck& check = {});

}  // namespace kv
