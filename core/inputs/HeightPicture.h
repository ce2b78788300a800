#pragma once
#include "core/basics/MessageTexts.h"
#include <cstdint>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"

namespace kv {

// The heights of a heightfield picture as its loader read them: rows from the
// top of the picture, columns from the left, on the scale of a 24-bit pixel's
// red + green + blue (0 to 765). The height grid's mirror and border band are
// applied later, when the grid is built. A BMP or an 8-bit PNG gives whole
// numbers; a 16-bit PNG or an elevation raster gives every value between.
struct HeightPicture {
    int width = 0;
    int height = 0;
    std::vector<float> heights;  // width * height, row y at y * width

    float At(int x, int y) const
    {
        return heights[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

// The heights of a 24-bit picture: red + green + blue of every pixel.
HeightPicture HeightsOfBitmap(const Bitmap24& picture);

// What a caller asks of a picture loader: how messages name the file, and the
// largest side the caller can use (a heightfield against its texture size).
struct PictureRequest {
    std::string subject;                   // the file as messages name it
    std::int64_t maxSide = kMaxBitmapSide; // never above kMaxBitmapSide
    // Shown (with `subject` for "%s") when a side is over maxSide but within
    // kMaxBitmapSide; beyond kMaxBitmapSide the message is "%s is too large.".
    std::string overMaxSide = text::kTooLarge;
    // The caller's own checks of the declared width and height (square, the
    // same size as another picture), run after the limits above and before
    // any pixel is allocated. May be empty.
    DeclaredSizeCheck check;

    // The heightfield dir<sep>file for textures of `textureSize` pixels (0:
    // no texture limit, only the common one).
    static PictureRequest Heightfield(const std::string& directory, const std::string& fileName,
                                      std::int64_t textureSize);
    // Any other picture, named by its full path, with the common limit only.
    static PictureRequest ForPath(const std::string& path);
};

// Throws the request's JobFailure when a declared width or height cannot be
// used: "%s is too large." beyond kMaxBitmapSide, the request's own message
// beyond its maxSide, then whatever the request's check throws. Loaders call
// it before they allocate any pixel.
void CheckDeclaredSize(std::int64_t width, std::int64_t height, const PictureRequest& request);

}  // namespace kv
