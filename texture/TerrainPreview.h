#pragma once
// The terrain texture preview: the terrain's colour texture at 288 x 288.
#include <string>

#include "scene/Random.h"
#include "settings/ProjectSettings.h"
#include "texture/Raster.h"

namespace kv {

// The preview's texture edge, whatever the resolution.
inline constexpr int kPreviewTextureSize = 288;

// Computes the terrain colour texture as the first image of a creation would
// be, at 288 x 288: loads the heightfield `basedir`/`basebmp`, builds the
// height, slope and noise textures (the noise drawn from `random`, the
// program's generator), loads rc0.bmp and em0.bmp from `programDirectory` and
// runs the synthesis up to the colour image. Writes no file and reports no
// progress. Returns the image, rows from the top, red, green, blue. A failed
// load (or a heightfield larger than 288 pixels) throws JobFailure with its
// message; the caller shows it and abandons the preview.
RgbImage SynthesizePreview(const ProjectSettings& settings, const std::string& programDirectory, Random& random);

}  // namespace kv
