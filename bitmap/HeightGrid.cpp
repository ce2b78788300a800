#include "bitmap/HeightGrid.h"

#include <stdexcept>

#include "platform/Paths.h"
#include "scene/Messages.h"

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

Bitmap24 LoadHeightfield(const std::string& directory, const std::string& fileName)
{
    const BitmapWording wording = BitmapWording::Heightfield(directory, fileName);
    Bitmap24 picture = LoadBitmap24(wording.subject, wording);
    if (picture.width != picture.height)
        throw Failure(FormatMessage("The heightfield bitmap %s must be square.", {wording.subject}));
    if (picture.width < 2)
        throw Failure(FormatMessage("The heightfield bitmap %s must be at least 2 pixels wide.", {wording.subject}));
    return picture;
}

}  // namespace kv
