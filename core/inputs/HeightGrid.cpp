#include "core/inputs/HeightGrid.h"

#include "core/basics/MessageTexts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

bool HasWholeHeights(const HeightGrid& grid)
{
    for (const float h : grid.heights)
        if (h != std::trunc(h)) return false;
    return true;
}

HeightGrid BuildHeightGrid(const HeightPicture& picture)
{
    // Every value of the N by N picture is addressed below.
    const std::size_t side = picture.width > 0 ? static_cast<std::size_t>(picture.width) : 0;
    if (picture.width != picture.height || picture.heights.size() < side * side)
        throw std::invalid_argument("BuildHeightGrid needs square heights with all their rows");
    HeightGrid grid;
    const int n = picture.width;
    grid.n = n;
    grid.heights.assign(side * side, 0.0f);
    for (int y = 2; y < n - 1; ++y) {
        const float* row = picture.heights.data() + static_cast<std::size_t>(y) * side;
        float* out = grid.heights.data() + static_cast<std::size_t>(y) * side;
        // Outside the border band: picture x from 2 to n - 2, grid column n - 1 - x.
        for (int x = 2; x < n - 1; ++x) out[n - 1 - x] = row[x];
    }
    return grid;
}

HeightGrid BuildHeightGrid(HeightPicture&& picture)
{
    const std::size_t side = picture.width > 0 ? static_cast<std::size_t>(picture.width) : 0;
    if (picture.width != picture.height || picture.heights.size() < side * side)
        throw std::invalid_argument("BuildHeightGrid needs square heights with all their rows");
    HeightGrid grid;
    const int n = picture.width;
    grid.n = n;
    grid.heights = std::move(picture.heights);
    grid.heights.resize(side * side);
    for (int y = 0; y < n; ++y) {
        float* row = grid.heights.data() + static_cast<std::size_t>(y) * side;
        if (y <= 1 || y == n - 1) {
            std::fill(row, row + n, 0.0f);
            continue;
        }
        // Picture x goes to grid column n - 1 - x; the band (picture x of 0,
        // 1 and n - 1) to columns n - 1, n - 2 and 0.
        std::reverse(row, row + n);
        row[0] = 0.0f;
        if (n >= 2) row[n - 1] = row[n - 2] = 0.0f;
    }
    return grid;
}

HeightGrid BuildHeightGrid(const Bitmap24& picture)
{
    if (picture.width != picture.height)
        throw std::invalid_argument("BuildHeightGrid needs a square picture with all its rows");
    return BuildHeightGrid(HeightsOfBitmap(picture));
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
