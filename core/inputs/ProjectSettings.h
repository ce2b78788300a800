#pragma once
#include <cstdint>
#include <string>

namespace kv {

// A colour of three unsigned 8-bit components.
struct RgbColor {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

// Every parameter the user can set. Field names are the settings-file keys.
// The twelve slider fields hold marker pixel positions in the main window's
// client area, not percentages (shown value = trunc((x - origin) * 1.25)).
struct ProjectSettings {
    std::string basebmp;  // heightfield bitmap file name (no directory)
    std::string basedir;  // its directory, without a trailing separator
    std::string treebmp;  // trees & rocks placement bitmap file name
    std::string treedir;  // its directory

    std::int32_t baseindex = 2;        // 0 jagged rock, 1 smooth rock, 2 jagged strata, 3 smooth strata
    std::int32_t cover1index = 0;      // 0 none .. 7 gritty-blotchy
    std::int32_t cover2index = 0;
    std::int32_t atmosphereindex = 3;  // 0 clear, 1 cloudy, 2 ominous, 3 puffy
    std::int32_t oceanindex = 0;       // 0 none, 1 flat, 2 calm, 3 rippled, 4 wavy
    std::int32_t resolution = 0;       // 0 Lo (576), 1 Med (1152), 2 Hi (2304)

    std::int32_t cover1altitudemin = 115;
    std::int32_t cover1altitudemax = 201;
    std::int32_t cover1slopemin = 115;
    std::int32_t cover1slopemax = 201;
    std::int32_t cover1density = 155;
    std::int32_t cover2altitudemin = 214;
    std::int32_t cover2altitudemax = 300;
    std::int32_t cover2slopemin = 214;
    std::int32_t cover2slopemax = 300;
    std::int32_t cover2density = 254;
    std::int32_t treessize = 455;
    std::int32_t rockssize = 455;

    RgbColor basecolor1{181, 65, 38};
    RgbColor basecolor2{233, 174, 126};
    RgbColor basecolor3{126, 52, 52};
    RgbColor cover1color1{34, 34, 0};
    RgbColor cover1color2{87, 119, 0};
    RgbColor cover1color3{153, 175, 105};
    RgbColor cover2color1{99, 80, 53};
    RgbColor cover2color2{171, 139, 107};
    RgbColor cover2color3{207, 176, 140};
    RgbColor sky{58, 80, 165};
    RgbColor cloud{255, 255, 255};
    RgbColor fog{0, 255, 255};
    RgbColor ocean{179, 211, 255};

    // Overrides for a heightfield of elevation data (GeoTIFF, SRTM, ASCII
    // grid); a picture heightfield ignores them. 0 leaves each choice to the
    // loader.
    std::int32_t demedge = 0;   // the heightfield's edge in pixels; 0: the raster's own, capped at the texture size
    std::int32_t demrange = 0;  // metres mapped onto the full height (0 m..demrange); 0: the raster's own range

    friend bool operator==(const ProjectSettings&, const ProjectSettings&) = default;
};

inline constexpr const char* kDefaultHeightfield = "height01.bmp";
inline constexpr const char* kDefaultPlacement = "tree01.bmp";

// The start-up record: the defaults of every field, the two default bitmaps in
// the program directory.
ProjectSettings DefaultSettings(const std::string& programDirectory);

// The texture edge for a resolution index: 576, 1152 or 2304.
int TextureSizeForResolution(int resolution);

}  // namespace kv
