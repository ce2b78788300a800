#pragma once
// PNG encoding into memory through libpng: 8-bit grey, RGB or RGBA, no
// interlacing, no ancillary chunks. Large images go through it (normal maps,
// leaf cards), so it compresses fast rather than small by default.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace kv {

enum class PngPixels { Grey, Rgb, Rgba };

// The pixels to encode, as they lie in memory.
struct PngSource {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    PngPixels format = PngPixels::Rgb;
    std::size_t rowBytes = 0;  // distance between rows; 0: width times the bytes of a pixel
    bool bottomUp = false;     // the first row in memory is the picture's bottom row
    bool blueFirst = false;    // colours stored as blue, green, red (and alpha)
};

// zlib level 2, rows unfiltered. Measured on the program's own pictures (a
// 2304-pixel normal map, tiled leaf cards, the sky): row filters made no file
// smaller at the fast levels and cost time, and libpng's defaults (level 6,
// adaptive filters) took four to seven times as long for files within about 2% of
// these.
inline constexpr int kPngFastCompression = 2;

// Thrown when libpng refuses the picture or a TGA cannot be converted; the
// message gives libpng's or the converter's reason.
class PngEncodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The PNG file's bytes. Sizes of 1 to 1000000 pixels an edge.
std::vector<std::uint8_t> EncodePng(const PngSource& source, int compressionLevel = kPngFastCompression);

// Converts a TGA file of the kind the program writes (uncompressed true
// colour, 32 bits with 8 alpha bits, rows from the bottom or, with the
// descriptor's top-left bit, from the top) to an RGBA PNG with the same alpha,
// top row first as PNG stores it.
std::vector<std::uint8_t> TgaToPng(const std::uint8_t* tga, std::size_t size,
                                   int compressionLevel = kPngFastCompression);

}  // namespace kv
