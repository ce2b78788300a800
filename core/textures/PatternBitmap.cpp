#include "core/textures/PatternBitmap.h"

#include "core/basics/MessageTexts.h"

#include <cstring>
#include <stdexcept>

#include "core/platform/Paths.h"
#include "core/basics/Messages.h"

namespace kv {

int PatternMember(int resolution, bool preview)
{
    if (preview) return 0;
    switch (resolution) {
    case 1: return 2;
    case 2: return 3;
    default: return 1;  // Lo Res, and any value the texture size also treats as Lo Res
    }
}

std::string PatternFileName(PatternFamily family, int member)
{
    const char* letters = family == PatternFamily::Rc ? "rc" : family == PatternFamily::Em ? "em" : "ra";
    return std::string(letters) + std::to_string(member) + ".bmp";
}

std::string PatternFilePath(const std::string& programDirectory, PatternFamily family, int resolution, bool preview)
{
    return JoinPath(programDirectory, PatternFileName(family, PatternMember(resolution, preview)));
}

PatternRaster TilePattern(const Bitmap24& picture, int textureSize, const RowCheck& check)
{
    const int w = picture.width;
    const int h = picture.height;
    if (w < 1 || w * 2 != textureSize || h != w)
        throw std::invalid_argument("pattern picture does not tile the texture");
    PatternRaster raster;
    raster.size = textureSize;
    raster.tileHeight = h;
    raster.rows.resize(static_cast<std::size_t>(h) * static_cast<std::size_t>(textureSize));
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = raster.rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(textureSize);
        const std::uint8_t* source = picture.Pixel(0, y);
        for (int x = 0; x < w; ++x) row[x] = source[3 * x + 1];
        std::memcpy(row + w, row, static_cast<std::size_t>(w));
        CheckRow(check);
    }
    return raster;
}

PatternRaster LoadPatternBitmap(const std::string& path, int textureSize, const RowCheck& check)
{
    // A member of another size would not tile the texture exactly.
    const Bitmap24 picture =
        LoadBitmap24(path, BitmapWording::ForPath(path), [&](std::int32_t width, std::int32_t height) {
            if (static_cast<std::int64_t>(width) * 2 != textureSize || height != width) {
                const std::string half = std::to_string(textureSize / 2);
                throw Failure(FormatMessage(text::kPatternSize, {path, half, half}));
            }
        });
    return TilePattern(picture, textureSize, check);
}

}  // namespace kv
