#pragma once
// The stock grey pattern bitmaps rc, em and ra and their tiling over a texture.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/textures/Raster.h"

namespace kv {

enum class PatternFamily { Rc, Em, Ra };

// A pattern bitmap of half the texture's edge tiled 2 x 2 over a size x size
// texture without mirroring. Texture row y equals row y mod (size / 2), so only
// the top half is held; each held row already repeats the picture's row twice.
struct PatternRaster {
    int size = 0;        // the texture edge T
    int tileHeight = 0;  // T / 2
    std::vector<std::uint8_t> rows;  // tileHeight rows of size bytes

    const std::uint8_t* Row(int y) const
    {
        return rows.data() + static_cast<std::size_t>(y % tileHeight) * static_cast<std::size_t>(size);
    }
    std::uint8_t At(int x, int y) const { return Row(y)[x]; }
    bool Empty() const { return rows.empty(); }
};

// The member of a family a texture uses: 0 for the terrain preview, else 1, 2
// or 3 for resolution 0 (Lo), 1 (Med) or 2 (Hi).
int PatternMember(int resolution, bool preview);

// "rc1.bmp", "em0.bmp", "ra3.bmp", ...
std::string PatternFileName(PatternFamily family, int member);

// The family member's path in the program directory.
std::string PatternFilePath(const std::string& programDirectory, PatternFamily family, int resolution, bool preview);

// Tiles a picture of edge textureSize / 2 over the texture, taking the green
// component of each pixel. The picture must be exactly half the texture's edge
// in both directions.
PatternRaster TilePattern(const Bitmap24& picture, int textureSize, const RowCheck& check = {});

// Reads the pattern bitmap at `path` under the 24-bit bitmap rules, with the
// loader messages naming the full path, and tiles it over a textureSize x
// textureSize texture. A picture whose size is not half the texture's edge is
// refused ("The pattern bitmap <path> must be W x H pixels."). Throws
// JobFailure; `check` runs after every row.
PatternRaster LoadPatternBitmap(const std::string& path, int textureSize, const RowCheck& check = {});

}  // namespace kv
