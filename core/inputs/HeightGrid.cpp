#include "core/inputs/HeightGrid.h"

#include "core/basics/MessageTexts.h"

#include <stdexcept>

#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

HeightGrid BuildHeightGrid(const Bitmap24& picture)
{
    // Every pixel of the N by N picture is addressed below.
    const std::size_t side = picture.width > 0 ? static_cast<std::size_t>(picture.width) : 0;
    if (picture.width != picture.height || picture.pixels.size() < side * picture.stride)
        throw std::invalid_argument("BuildHeightGrid needs a square picture with all its rows");
    HeightGrid grid;
    const int n = picture.width;
    grid.n = n;
    grid.heights.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool border = x <= 1 || y <= 1 || x == n - 1 || y == n - 1;
            if (border) continue;
            const std::uint8_t* p = picture.Pixel(x, y);
            grid.heights[static_cast<std::size_t>(y) * n + (n - 1 - x)] = p[0] + p[1] + p[2];
        }
    }
    return grid;
}

Bitmap24 LoadHeightfield(const std::string& directory, const std::string& fileName, std::int32_t maxSide)
{
    const BitmapWording wording = BitmapWording::Heightfield(directory, fileName);
    const std::string& subject = wording.subject;
    return LoadBitmap24(subject, wording, [&](std::int32_t width, std::int32_t height) {
        if (width != height) throw Failure(FormatMessage(text::kHeightfieldSquare, {subject}));
        if (width < 2)
            throw Failure(FormatMessage(text::kHeightfieldTwoPixels, {subject}));
        // More pixels than the textures have would leave texture cells of no size.
        if (width > maxSide)
            throw Failure(FormatMessage(text::kHeightfieldLargerThanTextures, {subject}));
    });
}

}  // namespace kv
