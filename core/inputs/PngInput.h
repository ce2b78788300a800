#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightPicture.h"

namespace kv {

// PNG pictures through libpng. Every loader checks the declared size of the
// picture against the request before it allocates a pixel, reads what libpng
// reports as an error into a JobFailure naming the file and libpng's reason
// ("Error reading the PNG file <file>: <reason>."), and ignores libpng's
// warnings. Non-square pictures are returned as they are; the caller decides.

// Heights of a PNG of any kind, on the 0 to 765 scale of a 24-bit pixel's sum:
//   8-bit grey v           -> 3 v (the height of the BMP pixel (v, v, v))
//   8-bit colour (r, g, b) -> r + g + b (a palette entry counts as its colour)
//   16-bit grey s          -> 765 s / 65535
//   16-bit colour          -> 765 (r + g + b) / (3 * 65535)
// Grey of 1, 2 or 4 bits is first widened to 8 bits as libpng does (1 -> 255);
// alpha and transparency are ignored; gamma and significant-bit chunks too.
HeightPicture DecodePngHeights(const std::uint8_t* data, std::size_t size, const PictureRequest& request);
HeightPicture LoadPngHeights(const std::string& path, const PictureRequest& request);

// The exact colours of an 8-bit colour PNG (RGB, RGBA or palette, interlaced
// or not; alpha ignored, never blended) as a top-down Bitmap24 whose pixel
// block is laid out as the BMP loader lays it out. Grey and 16-bit pictures
// are refused: "<file> must be an 8-bit colour PNG.".
Bitmap24 DecodePngColours(const std::uint8_t* data, std::size_t size, const PictureRequest& request);
Bitmap24 LoadPngColours(const std::string& path, const PictureRequest& request);

}  // namespace kv
