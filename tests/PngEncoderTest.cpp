// PNG encoding and TGA conversion, checked by decoding the output with the
// project's PNG reader and with libpng's own simplified reader (for alpha).
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

#include "TestSupport.h"
#include "core/inputs/PngInput.h"
#include "core/textures/PngEncoder.h"
#include "gltf/SyntheticAsset.h"

namespace kv::test {
namespace {

struct DecodedPng {
    bool ok = false;
    int width = 0;
    int height = 0;
    int colourType = -1;  // as stored in the file's header
    std::vector<std::uint8_t> pixels;
};

// Decodes into `format` (PNG_FORMAT_GRAY, _RGB or _RGBA), 8 bits a channel.
DecodedPng Decode(const std::vector<std::uint8_t>& png, png_uint_32 format)
{
    DecodedPng out;
    if (png.size() < 26 || std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8) != 0) return out;
    if (png[24] != 8) return out;  // bit depth
    out.colourType = png[25];
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
    image.format = format;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    out.ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

std::vector<std::uint8_t> Noise(std::size_t count, unsigned seed)
{
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = seed;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

TEST(PngEncoder, ColoursComeBackThroughTheProjectsReader)
{
    const int w = 37, h = 23;  // odd sizes: the reader's rows are padded
    const std::vector<std::uint8_t> rgb = Noise(static_cast<std::size_t>(w) * h * 3, 5);
    const std::vector<std::uint8_t> png = EncodePng({.pixels = rgb.data(), .width = w, .height = h});
    EXPECT_EQ(png, EncodePng({.pixels = rgb.data(), .width = w, .height = h}));  // same input, same bytes

    const Bitmap24 bitmap = DecodePngColours(png.data(), png.size(), PictureRequest{.subject = "test.png", .check = {}});
    ASSERT_EQ(bitmap.width, w);
    ASSERT_EQ(bitmap.height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* bgr = bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.stride + 3 * x;
            const std::uint8_t* want = rgb.data() + (static_cast<std::size_t>(y) * w + x) * 3;
            ASSERT_EQ(bgr[2], want[0]) << x << "," << y;
            ASSERT_EQ(bgr[1], want[1]) << x << "," << y;
            ASSERT_EQ(bgr[0], want[2]) << x << "," << y;
        }
}

TEST(PngEncoder, GreyAndRgbaKeepEverySample)
{
    const int w = 19, h = 11;
    for (const auto& [pixels, channels, format, colourType] :
         {std::tuple{PngPixels::Grey, 1, png_uint_32{PNG_FORMAT_GRAY}, 0},
          std::tuple{PngPixels::Rgba, 4, png_uint_32{PNG_FORMAT_RGBA}, 6}}) {
        const std::vector<std::uint8_t> samples = Noise(static_cast<std::size_t>(w) * h * channels, 9);
        const DecodedPng png =
            Decode(EncodePng({.pixels = samples.data(), .width = w, .height = h, .format = pixels}), format);
        ASSERT_TRUE(png.ok);
        EXPECT_EQ(png.colourType, colourType);
        EXPECT_EQ(png.width, w);
        EXPECT_EQ(png.height, h);
        EXPECT_TRUE(png.pixels == samples) << channels << " channels";
    }
}

TEST(PngEncoder, RowLayoutsOfTheSource)
{
    // BGRA rows from the bottom with 6 bytes of padding each, as in a TGA
    // file held in a larger block.
    const int w = 5, h = 4;
    const std::size_t rowBytes = w * 4 + 6;
    const std::vector<std::uint8_t> topDownRgba = Noise(static_cast<std::size_t>(w) * h * 4, 2);
    std::vector<std::uint8_t> held(rowBytes * h, 0xAA);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &topDownRgba[(static_cast<std::size_t>(y) * w + x) * 4];
            std::uint8_t* q = &held[static_cast<std::size_t>(h - 1 - y) * rowBytes + 4 * x];
            q[0] = p[2], q[1] = p[1], q[2] = p[0], q[3] = p[3];
        }
    const DecodedPng png = Decode(EncodePng({.pixels = held.data(),
                                             .width = w,
                                             .height = h,
                                             .format = PngPixels::Rgba,
                                             .rowBytes = rowBytes,
                                             .bottomUp = true,
                                             .blueFirst = true}),
                                  PNG_FORMAT_RGBA);
    ASSERT_TRUE(png.ok);
    EXPECT_TRUE(png.pixels == topDownRgba);

    EXPECT_THROW(EncodePng({.pixels = held.data(), .width = w, .height = h, .rowBytes = 3 * w - 1}), PngEncodeError);
    EXPECT_THROW(EncodePng({.pixels = held.data(), .width = 0, .height = h}), PngEncodeError);
}

TEST(TgaToPng, KeepsAlphaAndOrientation)
{
    // Top row opaque red fading in alpha, bottom row transparent blue: a
    // flipped or alpha-less conversion cannot pass.
    const int w = 6, h = 3;
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(y == 0 ? 255 : 10), static_cast<std::uint8_t>(40 * x),
                                     static_cast<std::uint8_t>(y == h - 1 ? 255 : 20),
                                     static_cast<std::uint8_t>(y == h - 1 ? 0 : 255 - 30 * x)});
    const std::vector<std::uint8_t> tga = TgaFile(w, h, rgba);
    const DecodedPng png = Decode(TgaToPng(tga.data(), tga.size()), PNG_FORMAT_RGBA);
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.colourType, 6);
    EXPECT_TRUE(png.pixels == rgba);

    // The same picture stored from the top (descriptor bit 5) converts alike.
    std::vector<std::uint8_t> topFirst = tga;
    topFirst[17] |= 0x20;
    for (int y = 0; y < h; ++y)
        std::memcpy(&topFirst[18 + static_cast<std::size_t>(y) * w * 4],
                    &tga[18 + static_cast<std::size_t>(h - 1 - y) * w * 4], static_cast<std::size_t>(w) * 4);
    const DecodedPng png2 = Decode(TgaToPng(topFirst.data(), topFirst.size()), PNG_FORMAT_RGBA);
    EXPECT_TRUE(png2.pixels == rgba);
}

TEST(TgaToPng, StockLeafCardConverts)
{
    const std::string tga = ReadFile(ProgramDir() + "/palmleaf.tga");
    ASSERT_GT(tga.size(), 18u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(tga.data());
    const int w = bytes[12] | bytes[13] << 8, h = bytes[14] | bytes[15] << 8;
    const DecodedPng png = Decode(TgaToPng(bytes, tga.size()), PNG_FORMAT_RGBA);
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(png.width, w);
    ASSERT_EQ(png.height, h);
    int transparent = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* source = bytes + 18 + (static_cast<std::size_t>(h - 1 - y) * w + x) * 4;
            const std::uint8_t* out = &png.pixels[(static_cast<std::size_t>(y) * w + x) * 4];
            ASSERT_EQ(out[0], source[2]);
            ASSERT_EQ(out[1], source[1]);
            ASSERT_EQ(out[2], source[0]);
            ASSERT_EQ(out[3], source[3]);
            transparent += out[3] == 0;
        }
    EXPECT_GT(transparent, 0);  // a card with a cut-out shape
}

TEST(TgaToPng, RefusesOtherKindsOfTga)
{
    const std::vector<std::uint8_t> good = TgaFile(2, 2, std::vector<std::uint8_t>(16, 100));
    auto refused = [](std::vector<std::uint8_t> tga) {
        EXPECT_THROW(TgaToPng(tga.data(), tga.size()), PngEncodeError);
    };
    std::vector<std::uint8_t> bad = good;
    bad[2] = 10;  // run-length encoded
    refused(bad);
    bad = good;
    bad[16] = 24;  // no alpha
    refused(bad);
    bad = good;
    bad[1] = 1;  // colour map
    refused(bad);
    bad = good;
    bad.pop_back();  // one byte short
    refused(bad);
    refused(std::vector<std::uint8_t>(good.begin(), good.begin() + 17));
}

}  // namespace
}  // namespace kv::test
