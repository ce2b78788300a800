#include "texture/ImageRows.h"

#include <cstring>
#include <vector>

// Row expansion runs once per row of every image written; let the compiler
// vectorise it.
#if defined(__OPTIMIZE__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace kv {

void ExpandGrey(const std::uint8_t* __restrict grey, int width, std::uint8_t* __restrict rgb)
{
    for (int x = 0; x < width; ++x) {
        rgb[3 * x] = grey[x];
        rgb[3 * x + 1] = grey[x];
        rgb[3 * x + 2] = grey[x];
    }
}

void ExpandPalette(const std::uint8_t* __restrict shades, const std::uint8_t* __restrict classes,
                   const Palette& palette, int width, std::uint8_t* __restrict rgb)
{
    const std::uint32_t* colours = palette.data();
    // Four bytes are stored per pixel; the fourth is overwritten by the next
    // pixel, or lands in the row's spare byte.
    if (classes) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colours[(static_cast<unsigned>(classes[x]) << 8) | shades[x]];
            std::memcpy(rgb + 3 * x, &c, 4);
        }
    } else {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colours[shades[x]];
            std::memcpy(rgb + 3 * x, &c, 4);
        }
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
