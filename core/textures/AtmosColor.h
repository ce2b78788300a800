#pragma once
#include <cstdint>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/ProjectSettings.h"

namespace kv {

// The colour of one sky picture pixel from a cloud bitmap pixel's red, green
// and blue components (the cloud density: red 0 is clear sky, above 191 dense
// cloud). Clear sky gives the sky colour; dense cloud the cloud colour scaled
// by the pixel's brightness; anything between a mix of the two. Only red
// decides which case applies. Each channel is computed in double precision,
// left to right as ((192 - v) / 192) * sky + (v / 255) * cloud, and truncated.
RgbColor AtmosColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, const RgbColor& sky, const RgbColor& cloud);

}  // namespace kv

namespace kv {

// The stock cloud bitmap for an atmosphere index (0 clear, 1 cloudy,
// 2 ominous, 3 puffy): "clear.bmp", "cloudy.bmp", "ominous.bmp", "puff.bmp".
// Throws std::out_of_range for any other index (settings never hold one).
const char* CloudBitmapFile(int atmosphereindex);
// Its version for the main window's sky preview: "~clear.bmp" and so on.
const char* CloudPreviewBitmapFile(int atmosphereindex);

// The largest cloud bitmap side accepted, for the sky image and the preview.
inline constexpr std::int32_t kMaxCloudSide = 4096;

// The declared-size check of the cloud loaders: a side above kMaxCloudSide is
// refused with the loader's "too large" wording before anything is allocated.
DeclaredSizeCheck CloudSizeLimit(const BitmapWording& wording);

}  // namespace kv
