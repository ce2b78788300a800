#pragma once
// A PNG encoder for the tests and benchmarks, written on libpng's own writer
// so that the pictures the reader is given are made independently of it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv::test {

struct PngPicture {
    enum class Kind { Grey, GreyAlpha, Rgb, Rgba, Palette };

    int width = 0;
    int height = 0;
    Kind kind = Kind::Grey;
    int bitDepth = 8;          // 1, 2, 4 (grey and palette), 8 or 16
    bool interlaced = false;   // Adam7
    int compressionLevel = 6;
    // Samples row by row from the top, one per channel (palette: the index),
    // each within the bit depth.
    std::vector<std::uint16_t> samples;
    std::vector<std::uint8_t> paletteRgb;    // 3 bytes per entry
    std::vector<std::uint8_t> paletteAlpha;  // tRNS entries for a palette
    std::optional<std::uint16_t> transparentGrey;  // tRNS for grey

    int Channels() const;
};

// The PNG file's bytes; an empty vector when libpng refuses the picture.
std::vector<std::uint8_t> EncodePng(const PngPicture& picture);

// A picture of `kind` and `bitDepth` whose samples are value(x, y, channel).
template <typename F>
PngPicture MakePng(int width, int height, PngPicture::Kind kind, int bitDepth, F value)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.kind = kind;
    picture.bitDepth = bitDepth;
    const int channels = picture.Channels();
    picture.samples.reserve(static_cast<std::size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) picture.samples.push_back(static_cast<std::uint16_t>(value(x, y, c)));
    return picture;
}

}  // namespace kv::test
