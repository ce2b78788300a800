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

// Resamples the grid to a T x T raster of heights 0 (lowest) to 255 (highest)
// by the whole-number rules, those of every grid of a 24-bit BMP: a
// horizontal pass that also mirrors the columns back, a vertical pass in
// place, then normalisation by the largest value of the vertical pass, each
// pass truncating its values to whole levels. All real arithmetic is single
// precision in the written order. A band s pixels wide along the bottom rows
// and the left columns stays 0. Requires 2 <= N <= T. `check` runs after
// every row of every pass.
Raster BuildHeightTexture(const HeightGrid& grid, int textureSize, const RowCheck& check = {});

// The same resampling by the fractional rules, for a grid whose heights have
// fractions (16-bit PNG, elevation data): the same single-precision
// operations in the same order, but no pass truncates, so every fraction of
// the heights reaches the normalisation. Returns the levels 0 to 255 before
// their one rounding (RoundHeightLevels), for the slope to be taken from.
FloatRaster BuildFineHeightTexture(const HeightGrid& grid, int textureSize, const RowCheck& check = {});

// The height texture of fine levels: each truncated to a whole level.
Raster RoundHeightLevels(const FloatRaster& levels, const RowCheck& check = {});

}  // namespace kv
