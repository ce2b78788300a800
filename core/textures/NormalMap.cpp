#include "core/textures/NormalMap.h"

// The per-pixel loops are written for the vectoriser; -O3 lets it at them.
#pragma GCC optimize("O3")

#include <cmath>
#include <stdexcept>
#include <vector>

namespace kv {

namespace {

// Pixels worked on together: the loop over one block has a fixed length, which
// the compiler turns into vector instructions. Every operation is exactly
// rounded (no fused multiply-add, no approximate square root), so the bytes do
// not depend on whether it does.
constexpr int kBlock = 8;

// One component of a unit normal as a byte: round((c * 0.5 + 0.5) * 255). The
// sum is at least 0.5, so truncation rounds.
inline std::uint8_t Encode(float component)
{
    return static_cast<std::uint8_t>(static_cast<int>((component * 0.5f + 0.5f) * 255.0f + 0.5f));
}

// The normals of one block from the pixels' differences (right minus left,
// below minus above, in grey levels), as three planes.
inline void NormalBlock(const float* across, const float* down, float slopeU, float slopeV, std::uint8_t* red,
                        std::uint8_t* green, std::uint8_t* blue)
{
    for (int i = 0; i < kBlock; ++i) {
        const float x = -slopeU * across[i];
        const float y = slopeV * down[i];
        const float inverse = 1.0f / std::sqrt(x * x + y * y + 1.0f);
        red[i] = Encode(x * inverse);
        green[i] = Encode(y * inverse);
        blue[i] = Encode(inverse);
    }
}

}  // namespace

NormalMapRows::NormalMapRows(const GreyImage& heights, double amplitude) : heights_(heights)
{
    const int w = heights.width;
    const int h = heights.height;
    if (w < 1 || h < 1 || heights.grey.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        throw std::invalid_argument("a normal map needs a height picture of at least one pixel");
    if (!std::isfinite(amplitude)) throw std::invalid_argument("a bump amplitude is a finite number");

    // Slope per grey level of central difference, per repeat of the texture.
    slopeU_ = static_cast<float>(amplitude * w / (2.0 * 255.0));
    slopeV_ = static_cast<float>(amplitude * h / (2.0 * 255.0));
    padded_ = (static_cast<std::size_t>(w) + kBlock - 1) / kBlock * kBlock;
    across_.assign(padded_, 0.0f);
    down_.assign(padded_, 0.0f);
    planes_.assign(3 * padded_, 0);
}

const std::uint8_t* NormalMapRows::Row(int y, std::uint8_t* scratch) const noexcept
{
    const int w = heights_.width;
    const int h = heights_.height;
    const std::uint8_t* above = heights_.Row(y == 0 ? h - 1 : y - 1);
    const std::uint8_t* row = heights_.Row(y);
    const std::uint8_t* below = heights_.Row(y == h - 1 ? 0 : y + 1);
    float* across = across_.data();
    float* down = down_.data();
    across[0] = static_cast<float>(row[w > 1 ? 1 : 0] - row[w - 1]);
    for (int x = 1; x < w - 1; ++x) across[x] = static_cast<float>(row[x + 1] - row[x - 1]);
    if (w > 1) across[w - 1] = static_cast<float>(row[0] - row[w - 2]);
    for (int x = 0; x < w; ++x) down[x] = static_cast<float>(below[x] - above[x]);

    std::uint8_t* red = planes_.data();
    std::uint8_t* green = red + padded_;
    std::uint8_t* blue = green + padded_;
    for (std::size_t x = 0; x < padded_; x += kBlock)
        NormalBlock(&across[x], &down[x], slopeU_, slopeV_, red + x, green + x, blue + x);

    std::uint8_t* out = scratch;
    for (int x = 0; x < w; ++x, out += 3) {
        out[0] = red[x];
        out[1] = green[x];
        out[2] = blue[x];
    }
    return scratch;
}

RgbImage NormalMapFromHeights(const GreyImage& heights, double amplitude, const RowCheck& check)
{
    const NormalMapRows rows(heights, amplitude);
    RgbImage normals(heights.width, heights.height);
    for (int y = 0; y < heights.height; ++y) {
        rows.Row(y, normals.Row(y));
        CheckRow(check);
    }
    return normals;
}

GreyImage Luminance(const RgbImage& image)
{
    GreyImage grey(image.width, image.height);
    const std::size_t count = grey.grey.size();
    const std::uint8_t* rgb = image.rgb.data();
    for (std::size_t i = 0; i < count; ++i, rgb += 3)
        grey.grey[i] = static_cast<std::uint8_t>((19595u * rgb[0] + 38470u * rgb[1] + 7471u * rgb[2] + 32768u) >> 16);
    return grey;
}

}  // namespace kv
