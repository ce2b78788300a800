#include "core/textures/ImageRows.h"

#include <cstring>
#include <vector>

// Row expansion runs once per row of every image written; let the compiler
// vectorise it.
#if defined(__OPTIMIZE__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace kv {

namespace {

// Stores the three low bytes of a packed colour at `out`.
inline void StoreLast(std::uint8_t* out, std::uint32_t c)
{
    out[0] = static_cast<std::uint8_t>(c);
    out[1] = static_cast<std::uint8_t>(c >> 8);
    out[2] = static_cast<std::uint8_t>(c >> 16);
}

}  // namespace

// Both expansions store four bytes per pixel, the fourth being overwritten by
// the next pixel; the last pixel of the row is stored byte by byte.

void ExpandGrey(const std::uint8_t* __restrict grey, int width, std::uint8_t* __restrict rgb)
{
    if (width <= 0) return;
    for (int x = 0; x < width - 1; ++x) {
        const std::uint32_t c = grey[x] * 0x010101u;
        std::memcpy(rgb + 3 * x, &c, 4);
    }
    StoreLast(rgb + 3 * (width - 1), grey[width - 1] * 0x010101u);
}

void ExpandPalette(const std::uint8_t* __restrict shades, const std::uint8_t* __restrict classes,
                   const Palette& palette, int width, std::uint8_t* __restrict rgb)
{
    if (width <= 0) return;
    const std::uint32_t* colours = palette.data();
    const int last = width - 1;
    if (classes) {
        for (int x = 0; x < last; ++x) {
            const std::uint32_t c = colours[(static_cast<unsigned>(classes[x]) << 8) | shades[x]];
            std::memcpy(rgb + 3 * x, &c, 4);
        }
        StoreLast(rgb + 3 * last, colours[(static_cast<unsigned>(classes[last]) << 8) | shades[last]]);
    } else {
        for (int x = 0; x < last; ++x) {
            const std::uint32_t c = colours[shades[x]];
            std::memcpy(rgb + 3 * x, &c, 4);
        }
        StoreLast(rgb + 3 * last, colours[shades[last]]);
    }
}

RgbImage ToRgbImage(const ImageRows& rows)
{
    RgbImage image(rows.Width(), rows.Height());
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::vector<std::uint8_t> scratch(rowBytes + 1);
    for (int y = 0; y < image.height; ++y) std::memcpy(image.Row(y), rows.Row(y, scratch.data()), rowBytes);
    return image;
}

}  // namespace kv
