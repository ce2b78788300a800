#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kv {

// What a picture file holds, told from its first bytes and its size, never
// from its name.
enum class PictureFormat {
    Bmp,          // "BM"
    Png,          // the PNG signature
    Tiff,         // "II*\0", "MM\0*" or their BigTIFF forms: GeoTIFF and plain TIFF
    AsciiGrid,    // an ESRI ASCII grid: text opening with an "ncols"-style header key
    SrtmHeights,  // no signature, and exactly the size of an SRTM height tile
    OtherRaster,  // another raster that GDAL recognises (only in a build with GDAL)
    Unknown,      // none of these: the 24-bit BMP rules decide (they never looked at "BM")
};

// True for the formats read as elevation data.
bool IsElevationFormat(PictureFormat format);

// How many leading bytes SniffPictureFormat looks at.
inline constexpr std::size_t kSniffBytes = 64;

// The format shown by `head` (the file's first bytes, up to kSniffBytes of
// them) and the file's size in bytes. Never answers OtherRaster.
PictureFormat SniffPictureFormat(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize);

// The format of the file at `path`: SniffPictureFormat on its first bytes,
// then, for what that leaves Unknown, GDAL's own recognition where the build
// has GDAL. A file that cannot be opened is Unknown (its loader reports it).
PictureFormat SniffPictureFile(const std::string& path);

// An SRTM height tile: big-endian signed 16-bit metres, rows from the north,
// -32768 for a void. Tiles come as 1201 x 1201 (3 arc-seconds), 3601 x 3601
// (1 arc-second) and 1801 x 3601 (1 arc-second at high latitudes, half the
// columns).
struct SrtmLayout {
    int width = 0;
    int height = 0;
};
std::optional<SrtmLayout> SrtmLayoutOfSize(std::uint64_t fileSize);

}  // namespace kv
