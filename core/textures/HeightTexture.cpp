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

namespace {

// The horizontal weights of the first pass, which depend on the column only:
// left and right weight and the grid column of each texture column x < limit.
struct ColumnWeights {
    std::vector<float> left, right;
    std::vector<int> cellColumn;
};

ColumnWeights WeightsFor(int limit, float step, int n)
{
    ColumnWeights w;
    const std::size_t count = static_cast<std::size_t>(std::max(limit, 0));
    w.left.resize(count);
    w.right.resize(count);
    w.cellColumn.resize(count);
    for (int x = 0; x < limit; ++x) {
        const float u = static_cast<float>(x) / step;
        int iu = static_cast<int>(u);
        w.left[static_cast<std::size_t>(x)] = (1.0f - u) + static_cast<float>(iu);
        w.right[static_cast<std::size_t>(x)] = u - static_cast<float>(iu);
        w.cellColumn[static_cast<std::size_t>(x)] = std::min(iu, n - 2);  // never reached: u < N - 1 by a wide margin
    }
    return w;
}

}  // namespace

Raster BuildHeightTexture(const HeightGrid& grid, int textureSize, const RowCheck& check)
{
    const int t = textureSize;
    const int n = grid.n;
    const HeightResampling r = ResamplingFor(t, n);
    const float step = r.step;
    const int s = r.cell;
    const int limit = t - s;  // both passes stop s short of the last row and column
    Raster out(t);

    const ColumnWeights weights = WeightsFor(limit, step, n);
    const std::vector<float>& left = weights.left;
    const std::vector<float>& right = weights.right;
    const std::vector<int>& cellColumn = weights.cellColumn;

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
            const float* g = grid.heights.data() + static_cast<std::size_t>(iv) * static_cast<std::size_t>(n);
            for (int x = 0; x < limit; ++x) {
                const std::size_t i = static_cast<std::size_t>(x);
                const int iu = cellColumn[i];
                const float g0 = g[iu];
                const float g1 = g[iu + 1];
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

FloatRaster BuildFineHeightTexture(const HeightGrid& grid, int textureSize, const RowCheck& check)
{
    const int t = textureSize;
    const int n = grid.n;
    const HeightResampling r = ResamplingFor(t, n);
    const float step = r.step;
    const int s = r.cell;
    const int limit = t - s;
    FloatRaster out(t);
    const ColumnWeights weights = WeightsFor(limit, step, n);

    // First pass, as in the whole-number rules but kept in float.
    int previousCellRow = -1;
    for (int y = 0; y < limit; ++y) {
        const float v = static_cast<float>(y) / step;
        const int iv = std::min(static_cast<int>(v), n - 2);
        float* row = out.Row(y);
        if (iv == previousCellRow) {
            std::memcpy(row, out.Row(y - 1), static_cast<std::size_t>(t) * sizeof(float));
        } else {
            const float* g = grid.heights.data() + static_cast<std::size_t>(iv) * static_cast<std::size_t>(n);
            for (int x = 0; x < limit; ++x) {
                const std::size_t i = static_cast<std::size_t>(x);
                const int iu = weights.cellColumn[i];
                const float value = weights.left[i] * g[iu] / 3.0f + weights.right[i] * g[iu + 1] / 3.0f;
                row[t - 1 - x] = std::min(value, 255.0f);
            }
            previousCellRow = iv;
        }
        CheckRow(check);
    }

    // Second pass, in place.
    float largest = 0.0f;
    for (int y = 0; y < limit; ++y) {
        const float v = static_cast<float>(y) / step;
        const int iv = static_cast<int>(v);
        const float upper = (1.0f - v) + static_cast<float>(iv);
        const float lower = v - static_cast<float>(iv);
        float* row = out.Row(y);
        const float* below = out.Row(y + s);
        float rowLargest = 0.0f;
        for (int x = 0; x < limit; ++x) {
            const float stored = std::min(upper * row[x] + lower * below[x], 255.0f);
            row[x] = stored;
            rowLargest = std::max(rowLargest, stored);
        }
        largest = std::max(largest, rowLargest);
        CheckRow(check);
    }

    // Normalisation; first-pass values in the last s columns are held at 255.
    for (int y = 0; y < t; ++y) {
        float* __restrict row = out.Row(y);
        if (largest == 0.0f) {
            std::fill(row, row + t, 0.0f);
        } else {
            for (int x = 0; x < t; ++x) row[x] = std::min(row[x] / largest * 255.0f, 255.0f);
        }
        CheckRow(check);
    }
    return out;
}

Raster RoundHeightLevels(const FloatRaster& levels, const RowCheck& check)
{
    const int t = levels.size;
    Raster out(t);
    for (int y = 0; y < t; ++y) {
        const float* __restrict in = levels.Row(y);
        std::uint8_t* __restrict row = out.Row(y);
        for (int x = 0; x < t; ++x) row[x] = static_cast<std::uint8_t>(static_cast<int>(in[x]));
        CheckRow(check);
    }
    return out;
}

}  // namespace kv
