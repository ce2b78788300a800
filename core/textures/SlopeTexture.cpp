#include "core/textures/SlopeTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

// The pixel loops are written so the compiler can vectorise them; that changes
// no result (no contraction, no reassociation, IEEE single precision either way).
#if defined(__OPTIMIZE__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace kv {

namespace {

// Row r of the height raster with `cell` zeros on either side; a row outside
// the raster is all zeros.
template <typename RasterType, typename Value>
void PadRow(const RasterType& height, int r, int cell, std::vector<Value>& out)
{
    std::fill(out.begin(), out.end(), Value{0});
    if (r < 0 || r >= height.size) return;
    std::memcpy(out.data() + cell, height.Row(r), static_cast<std::size_t>(height.size) * sizeof(Value));
}

}  // namespace

Raster BuildSlopeTexture(const Raster& height, int cell, const RowCheck& check)
{
    const int t = height.size;
    const int s = cell;
    Raster slope(t);
    const std::size_t padded = static_cast<std::size_t>(t) + 2 * static_cast<std::size_t>(s);
    std::vector<std::uint8_t> up(padded), mid(padded), down(padded);
    for (int y = 0; y < t; ++y) {
        PadRow(height, y - s, s, up);
        PadRow(height, y, s, mid);
        PadRow(height, y + s, s, down);
        // In padded coordinates pixel x sits at x + s; its neighbours at x and x + 2s.
        const std::uint8_t* u = up.data();
        const std::uint8_t* m = mid.data();
        const std::uint8_t* d = down.data();
        std::uint8_t* out = slope.Row(y);
        for (int x = 0; x < t; ++x) {
            const int left = m[x], right = m[x + 2 * s];
            const int above = u[x + s], below = d[x + s];
            const int upLeft = u[x], downRight = d[x + 2 * s];
            const int downLeft = d[x], upRight = u[x + 2 * s];
            const int sum = std::abs(left - right) + std::abs(above - below) + std::abs(downLeft - upRight) +
                            std::abs(upLeft - downRight);
            out[x] = static_cast<std::uint8_t>(std::min(sum / 2, 255));
        }
        CheckRow(check);
    }
    return slope;
}

Raster BuildSlopeTexture(const FloatRaster& levels, int cell, const RowCheck& check)
{
    const int t = levels.size;
    const int s = cell;
    Raster slope(t);
    const std::size_t padded = static_cast<std::size_t>(t) + 2 * static_cast<std::size_t>(s);
    std::vector<float> up(padded), mid(padded), down(padded);
    for (int y = 0; y < t; ++y) {
        PadRow(levels, y - s, s, up);
        PadRow(levels, y, s, mid);
        PadRow(levels, y + s, s, down);
        const float* u = up.data();
        const float* m = mid.data();
        const float* d = down.data();
        std::uint8_t* out = slope.Row(y);
        for (int x = 0; x < t; ++x) {
            const float left = m[x], right = m[x + 2 * s];
            const float above = u[x + s], below = d[x + s];
            const float upLeft = u[x], downRight = d[x + 2 * s];
            const float downLeft = d[x], upRight = u[x + 2 * s];
            const float sum = std::fabs(left - right) + std::fabs(above - below) + std::fabs(downLeft - upRight) +
                              std::fabs(upLeft - downRight);
            out[x] = static_cast<std::uint8_t>(static_cast<int>(std::min(sum / 2.0f, 255.0f)));
        }
        CheckRow(check);
    }
    return slope;
}

}  // namespace kv
