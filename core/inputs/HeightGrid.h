#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"

namespace kv {

// N by N heights of the heightfield: entry (column j, row y) at y * N + j is
// the sum of red, green and blue (0 to 765) of picture pixel (N - 1 - j, y),
// so the grid is the picture mirrored left to right. Pixels in the border band
// (picture x or y of 0 or 1, x or y of N - 1) are 0.
struct HeightGrid {
    int n = 0;
    std::vector<std::int32_t> heights;

    std::int32_t At(int column, int row) const
    {
        return heights[static_cast<std::size_t>(row) * static_cast<std::size_t>(n) + static_cast<std::size_t>(column)];
    }
};

// Builds the grid from a square picture (throws std::invalid_argument for a
// picture that is not square or lacks pixel rows: a caller's mistake).
HeightGrid BuildHeightGrid(const Bitmap24& picture);

// Loads the heightfield dir<sep>file with the heightfield's wording, checks
// that it is square, at least 2 pixels wide and at most `maxSide` pixels wide
// (a creation passes its texture size), and returns the picture. The size is
// checked before the pixels are read. Throws JobFailure with the loader's
// messages.
Bitmap24 LoadHeightfield(const std::string& directory, const std::string& fileName,
                         std::int32_t maxSide = static_cast<std::int32_t>(kMaxBitmapSide));

}  // namespace kv
