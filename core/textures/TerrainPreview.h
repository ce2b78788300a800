#pragma once
// The terrain texture preview: the terrain's colour texture at 288 x 288.
#include <string>

#include "core/inputs/HeightGrid.h"
#include "core/basics/Random.h"
#include "core/inputs/ProjectSettings.h"
#include "core/textures/Raster.h"

namespace kv {

// The preview's texture edge, whatever the resolution.
inline constexpr int kPreviewTextureSize = 288;

// Computes the terrain colour texture as the first image of a creation would
// be, at 288 x 288: loads the heightfield `basedir`/`basebmp` (any format a
// creation reads, with the settings' elevation overrides), builds the
// height, slope and noise textures (the noise drawn from `random`, the
// program's generator), loads rc0.bmp and em0.bmp from `programDirectory` and
// runs the synthesis up to the colour image. A heightfield of more than 288
// pixels a side is first taken down to 288 (ShrinkHeightGrid); a smaller one
// is used as it is. Writes no file and reports no progress. Returns the image,
// rows from the top, red, green, blue. A failed load throws JobFailure with
// its message; the caller shows it and abandons the preview.
RgbImage SynthesizePreview(const ProjectSettings& settings, const std::string& programDirectory, Random& random);

// Takes an N x N height grid down to `size` x `size` (2 <= size <= N) by area
// averaging: each new cell is the mean of the part of the grid it covers,
// pixels cut by a cell edge counting with the fraction inside it. A grid of
// whole heights gives whole heights: the mean rounded to the nearest integer
// (halves up), in exact integer arithmetic. A grid with fractional heights
// keeps them: the mean computed in double and stored as float.
HeightGrid ShrinkHeightGrid(const HeightGrid& grid, int size);

}  // namespace kv
