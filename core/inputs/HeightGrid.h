#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightPicture.h"

namespace kv {

// N by N heights of the heightfield on the scale of a 24-bit pixel's red +
// green + blue (0 to 765): entry (column j, row y) at y * N + j is the height
// of picture pixel (N - 1 - j, y), so the grid is the picture mirrored left
// to right. Pixels in the border band (picture x or y of 0 or 1, x or y of
// N - 1) are 0. A BMP or an 8-bit PNG gives whole numbers, held exactly; a
// 16-bit PNG or an elevation raster keeps its fractions.
struct HeightGrid {
    int n = 0;
    std::vector<float> heights;

    float At(int column, int row) const
    {
        return heights[static_cast<std::size_t>(row) * static_cast<std::size_t>(n) + static_cast<std::size_t>(column)];
    }
};

// True when every height of the grid is a whole number: every grid of a
// 24-bit BMP or an 8-bit PNG. Such grids take the texture synthesis's
// whole-number rules, which keep every image as it has always been.
bool HasWholeHeights(const HeightGrid& grid);

// Builds the grid from square heights (throws std::invalid_argument for
// heights that are not square or lack values: a caller's mistake). Given a
// picture it may take, it mirrors and clears the picture's own values instead
// of copying them: a large grid then costs no second block of memory.
HeightGrid BuildHeightGrid(const HeightPicture& picture);
HeightGrid BuildHeightGrid(HeightPicture&& picture);
// The same from a square 24-bit picture: red + green + blue of every pixel.
HeightGrid BuildHeightGrid(const Bitmap24& picture);

// Loads the 24-bit BMP heightfield dir<sep>file with the heightfield's
// wording, checks that it is square, at least 2 pixels wide and at most
// `maxSide` pixels wide (a creation passes its texture size), and returns the
// picture. The size is checked before the pixels are read. Throws JobFailure
// with the loader's messages. Heightfields of any format: LoadHeightSource.
Bitmap24 LoadHeightfield(const std::string& directory, const std::string& fileName,
                         std::int32_t maxSide = static_cast<std::int32_t>(kMaxBitmapSide));

}  // namespace kv
