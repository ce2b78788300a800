// Feeds arbitrary bytes to the bitmap decoder. Every input must either be
// refused with a JobFailure or give a picture whose every pixel can be read;
// a square picture of at least 2 pixels also builds its height grid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/basics/Messages.h"

namespace {

std::int64_t Field32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Headers can ask for a black picture of up to 16384 x 16384 pixels
    // (805 MB) from a few bytes, which the decoder rightly allocates; such
    // inputs only slow the search, so pictures over 4 MB of pixels are skipped.
    if (size >= 26) {
        const std::int64_t w = Field32(data + 18);
        const std::int64_t h = std::llabs(Field32(data + 22));
        if (w >= 0 && w <= kv::kMaxBitmapSide && h <= kv::kMaxBitmapSide && (3 * w + w % 4) * h > (4 << 20))
            return 0;
    }
    try {
        const kv::Bitmap24 picture = kv::DecodeBitmap24(data, size, kv::BitmapWording::ForPath("fuzz.bmp"));
        if (picture.width < 0 || picture.height < 0 || picture.width > kv::kMaxBitmapSide ||
            picture.height > kv::kMaxBitmapSide)
            std::abort();
        if (picture.pixels.size() != static_cast<std::size_t>(picture.stride) * static_cast<std::size_t>(picture.height))
            std::abort();
        unsigned sum = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) sum += picture.Red(x, y) + picture.Green(x, y) + picture.Blue(x, y);
        if (picture.width == picture.height && picture.width >= 2) {
            const kv::HeightGrid grid = kv::BuildHeightGrid(picture);
            for (float v : grid.heights)
                if (!(v >= 0.0f && v <= 765.0f) || v != static_cast<float>(static_cast<int>(v))) std::abort();
        }
        (void)sum;
    } catch (const kv::JobFailure&) {
    }
    return 0;
}
