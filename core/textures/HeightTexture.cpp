#include "core/textures/HeightTexture.h"

#include "core/basics/MessageTexts.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/basics/Messages.h"

// The pixel loops are written so the compiler can vectorise them; that changes
// no result (no contraction, no reassociation, IEEE single precision either way).
#if defined(__OPTIMIZE__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace kv {

HeightResampling ResamplingFor(int textureSize, int gridSize)
{
    HeightResampling r;
    r.step = static_cast<float>(textureSize - 1) / static_cast<float>(gridSize - 1);
    r.cell = static_cast<int>(r.step);
    return r;
}

void CheckHeightfieldFits(const HeightGrid& grid, int textureSize, const std::string& path)
{
    if (grid.n < 2)
        throw Failure(FormatMessage(text::kHeightfieldTwoPixels, {path}));
    // More cells than pixels would make the cell size 0 and read past the grid.
    if (grid.n > textureSize)
        throw Failure(FormatMessage(text::kHeightfieldLargerThanTextures, {path}));
}

Raster BuildHeightTexture(const HeightGrid& grid, int textureSize, const RowCheck& check)
{
    const int t = textureSize;
    const int n = grid.n;
    const HeightResampling r = ResamplingFor(t, n);
    const float step = r.step;
    const int s = r.cell;
    const int limit = t - s;  // both passes stop s short of the last row and column
    Raster out(t);

    // Horizontal weights depend on the column only.
    std::vector<float> left(static_cast<std::size_t>(std::max(limit, 0)));
    std::vector<float> right(left.size());
    std::vector<int> cellColumn(left.size());
    for (int x = 0; x < limit; ++x) {
        const float u = static_cast<float>(x) / step;
        int iu = static_cast<int>(u);
        left[static_cast<std::size_t>(x)] = (1.0f - u) + static_cast<float>(iu);
        right[static_cast<std::size_t>(x)] = u - static_cast<float>(iu);
        cellColumn[static_cast<std::size_t>(x)] = std::min(iu, n - 2);  // never reached: u < N - 1 by a wide margin
    }

    // First pass: a row depends only on its grid row iv, so rows sharing iv
    // are copies of one another. The value goes to column T - 1 - x.
    int previousCellRow = -1;
    for (int y = 0; y < limit; ++y) {
        const float v = static_cast<float>(y) / step;
        const int iv = std::min(static_cast<int>(v), n - 2);
        std::uint8_t* row = out.Row(y);
        if (iv == previousCellRow) {
            std::memcpy(row, out.Row(y - 1), static_cast<std::size_t>(t));
        } else {
            const std::int32_t* g = grid.heights.data() + static_cast<std::size_t>(iv) * static_cast<std::size_t>(n);
            for (int x = 0; x < limit; ++x) {
                const std::size_t i = static_cast<std::size_t>(x);
                const int iu = cellColumn[i];
                const float g0 = static_cast<float>(g[iu]);
                const float g1 = static_cast<float>(g[iu + 1]);
                const int value = static_cast<int>(left[i] * g0 / 3.0f + right[i] * g1 / 3.0f);
                row[t - 1 - x] = static_cast<std::uint8_t>(std::min(value, 255));
            }
            previousCellRow = iv;
        }
        CheckRow(check);
    }

    // Second pass, in place: row y + s still holds its first-pass values.
    int largest = 0;
    for (int y = 0; y < limit; ++y) {
        const float v = static_cast<float>(y) / step;
        const int iv = static_cast<int>(v);
        const float upper = (1.0f - v) + static_cast<float>(iv);
        const float lower = v - static_cast<float>(iv);
        std::uint8_t* row = out.Row(y);
        const std::uint8_t* below = out.Row(y + s);
        int rowLargest = 0;
        for (int x = 0; x < limit; ++x) {
            const int value =
                static_cast<int>(upper * static_cast<float>(row[x]) + lower * static_cast<float>(below[x]));
            const int stored = std::min(value, 255);
            row[x] = static_cast<std::uint8_t>(stored);
            rowLargest = std::max(rowLargest, stored);
        }
        largest = std::max(largest, rowLargest);
        CheckRow(check);
    }

    // Normalisation over the whole raster. First-pass values left in the last
    // s columns may exceed the largest value: they are held at 255. The same
    // single-precision operations for every pixel, in a loop that vectorises.
    const float scale = static_cast<float>(largest);
    for (int y = 0; y < t; ++y) {
        std::uint8_t* __restrict row = out.Row(y);
        if (largest == 0) {
            std::memset(row, 0, static_cast<std::size_t>(t));
        } else {
            for (int x = 0; x < t; ++x) {
                const int normalised = static_cast<int>(static_cast<float>(row[x]) / scale * 255.0f);
                row[x] = static_cast<std::uint8_t>(std::min(normalised, 255));
            }
        }
        CheckRow(check);
    }
    return out;
}

}  // namespace kv
