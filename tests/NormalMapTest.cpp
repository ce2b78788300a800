// Normal maps from bump pictures: the documented rule, its signs in glTF's
// convention, wrapping, and the luminance of colour pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/textures/ImageOutput.h"
#include "core/textures/NormalMap.h"
#include "core/textures/SceneImages.h"

namespace kv::test {
namespace {

GreyImage Picture(int w, int h, int (*value)(int x, int y))
{
    GreyImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.Row(y)[x] = static_cast<std::uint8_t>(value(x, y));
    return image;
}

const std::uint8_t* At(const RgbImage& image, int x, int y) { return image.Row(y) + 3 * x; }

// The byte of a normal component by the rule, computed in double precision.
int Byte(double component) { return static_cast<int>(std::lround((component * 0.5 + 0.5) * 255)); }

TEST(NormalMap, FlatPicturesFaceStraightUp)
{
    for (int grey : {0, 128, 255}) {
        GreyImage flat(7, 5);
        std::fill(flat.grey.begin(), flat.grey.end(), static_cast<std::uint8_t>(grey));
        const RgbImage normals = NormalMapFromHeights(flat, 0.5);
        ASSERT_EQ(normals.width, 7);
        ASSERT_EQ(normals.height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                EXPECT_EQ(At(normals, x, y)[0], 128);
                EXPECT_EQ(At(normals, x, y)[1], 128);
                EXPECT_EQ(At(normals, x, y)[2], 255);
            }
    }
}

TEST(NormalMap, SlopesTiltAwayFromTheRiseInGltfsConvention)
{
    // Heights rising 2 levels a pixel: a central difference of 4 levels. With
    // amplitude 510 / (64 * 4) on 64 pixels the slope per repeat is exactly 1,
    // so the normal is (-1, 0, 1) / sqrt 2 for a rise to the right.
    const double amplitude = 510.0 / (64 * 4);
    const double r = std::sqrt(0.5);
    const RgbImage right = NormalMapFromHeights(Picture(64, 64, [](int x, int) { return 2 * x + 40; }), amplitude);
    const RgbImage down = NormalMapFromHeights(Picture(64, 64, [](int, int y) { return 2 * y + 40; }), amplitude);
    for (int at : {1, 20, 62}) {
        EXPECT_EQ(At(right, at, 30)[0], Byte(-r)) << at;  // faces left, away from the rise
        EXPECT_EQ(At(right, at, 30)[1], 128);
        EXPECT_EQ(At(right, at, 30)[2], Byte(r));
        // Rising down the picture, the way v grows: the surface faces up the
        // picture, which is glTF's +Y (green above 128).
        EXPECT_EQ(At(down, 30, at)[0], 128);
        EXPECT_EQ(At(down, 30, at)[1], Byte(r));
        EXPECT_EQ(At(down, 30, at)[2], Byte(r));
    }
    // The same rise at half the amplitude: slope 1/2.
    const RgbImage gentle = NormalMapFromHeights(Picture(64, 64, [](int x, int) { return 2 * x + 40; }), amplitude / 2);
    const double length = std::sqrt(1.25);
    EXPECT_EQ(At(gentle, 20, 20)[0], Byte(-0.5 / length));
    EXPECT_EQ(At(gentle, 20, 20)[2], Byte(1 / length));
}

TEST(NormalMap, EdgesWrapAndEachDirectionUsesItsOwnSize)
{
    // One raised pixel in the top left corner of a 32 x 8 picture. Its
    // neighbours across the edges see it: the last column as its right-hand
    // neighbour, the last row as the one below.
    const GreyImage corner = Picture(32, 8, [](int x, int y) { return x == 0 && y == 0 ? 60 : 0; });
    const RgbImage normals = NormalMapFromHeights(corner, 0.1);
    EXPECT_LT(At(normals, 31, 0)[0], 128);  // rises to its right: faces left
    EXPECT_GT(At(normals, 1, 0)[0], 128);   // falls to its right: faces right
    EXPECT_GT(At(normals, 0, 7)[1], 128);   // rises below it: faces up the picture
    EXPECT_LT(At(normals, 0, 1)[1], 128);
    EXPECT_EQ(At(normals, 16, 4)[2], 255);  // far from it: flat
    // The same step of 60 levels: slope 0.1 * 32 * 60 / 510 across, 0.1 * 8 * 60 / 510 down.
    const double across = 0.1 * 32 * 60 / 510, down = 0.1 * 8 * 60 / 510;
    EXPECT_EQ(At(normals, 31, 0)[0], Byte(-across / std::sqrt(across * across + 1)));
    EXPECT_EQ(At(normals, 0, 7)[1], Byte(down / std::sqrt(down * down + 1)));

    // A picture one pixel wide has no slope across.
    const RgbImage column = NormalMapFromHeights(Picture(1, 4, [](int, int y) { return 50 * y; }), 0.1);
    EXPECT_EQ(At(column, 0, 1)[0], 128);
    EXPECT_GT(At(column, 0, 1)[1], 128);
}

TEST(NormalMap, NormalsAreUnitLengthAndFaceOutwards)
{
    GreyImage noise(61, 47);
    std::uint32_t state = 7;
    for (auto& v : noise.grey) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<std::uint8_t>(state >> 24);
    }
    const RgbImage normals = NormalMapFromHeights(noise, 0.05);
    for (std::size_t i = 0; i < normals.rgb.size(); i += 3) {
        const double x = normals.rgb[i] / 127.5 - 1;
        const double y = normals.rgb[i + 1] / 127.5 - 1;
        const double z = normals.rgb[i + 2] / 127.5 - 1;
        ASSERT_NEAR(std::sqrt(x * x + y * y + z * z), 1.0, 0.012) << i / 3;
        ASSERT_GT(z, 0.0);
    }
    // Stopping: the row check ends the pass.
    int rows = 0;
    EXPECT_THROW(NormalMapFromHeights(noise, 0.05,
                                      [&rows] {
                                          if (++rows == 3) throw std::runtime_error("stop");
                                      }),
                 std::runtime_error);
    EXPECT_EQ(rows, 3);
    EXPECT_THROW(NormalMapFromHeights(GreyImage(), 0.05), std::invalid_argument);
}

TEST(NormalMap, LuminanceKeepsGreyAndWeighsColours)
{
    RgbImage image(256, 2);
    for (int v = 0; v < 256; ++v) {
        std::uint8_t* p = image.Row(0) + 3 * v;
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(v);
    }
    const std::uint8_t colours[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int c = 0; c < 3; ++c) std::copy(colours[c], colours[c] + 3, image.Row(1) + 3 * c);
    const GreyImage grey = Luminance(image);
    for (int v = 0; v < 256; ++v) ASSERT_EQ(grey.Row(0)[v], v);
    // 0.299, 0.587 and 0.114 of 255, rounded.
    EXPECT_EQ(grey.Row(1)[0], 76);
    EXPECT_EQ(grey.Row(1)[1], 150);
    EXPECT_EQ(grey.Row(1)[2], 29);
}

}  // namespace
}  // namespace kv::test

namespace kv::test {
namespace {

// The normal map goes into the glTF file as a JPEG made row by row: the same
// picture as the whole map, and a stop asked for while it is encoded ends it.
TEST(NormalMap, EncodedRowByRowAsTheWholeMapAndStoppable)
{
    const GreyImage heights = Picture(67, 45, [](int x, int y) { return (x * 7 + y * y * 3) % 256; });
    const RgbImage whole = NormalMapFromHeights(heights, 0.05);
    const EncodedImage encoded = EncodeNormalMap(heights, 0.05);
    JpegBytes direct;
    ASSERT_EQ(EncodeJpegToMemory(RgbViewRows(whole.rgb.data(), whole.width, whole.height), kNormalMapQuality, direct),
              JpegEncodeResult::Done);
    std::vector<std::uint8_t> expected;
    direct.ForEachBlock([&](const std::uint8_t* data, std::size_t size) {
        expected.insert(expected.end(), data, data + size);
        return true;
    });
    EXPECT_EQ(encoded.bytes, expected);

    int rows = 0;
    const RowCheck stopAtRow20 = [&rows] {
        if (++rows == 20) throw std::runtime_error("stopped");
    };
    EXPECT_THROW(EncodeNormalMap(heights, 0.05, stopAtRow20), std::runtime_error);
    EXPECT_EQ(rows, 20);
}

}  // namespace
}  // namespace kv::test

namespace kv::test {
namespace {

// Large height pictures are halved before their normals are taken; the rule
// then uses the halved sizes, so a slope keeps its tilt.
TEST(NormalMap, LargePicturesAreHalvedKeepingTheirRelief)
{
    const GreyImage small = Picture(1024, 8, [](int x, int y) { return (x + y) % 256; });
    EXPECT_EQ(NormalMapHeights(small).grey, small.grey);  // a side of 1024 or less: as it is

    // A ramp rising one grey level every two pixels across 1030 x 1027 pixels.
    const GreyImage ramp = Picture(1030, 1027, [](int x, int) { return x / 2 % 256; });
    const GreyImage half = NormalMapHeights(ramp);
    ASSERT_EQ(half.width, 515);
    ASSERT_EQ(half.height, 514);  // the odd last row averaged with itself
    for (int x : {0, 1, 2, 7, 200, 514}) {
        const int a = ramp.Row(0)[2 * x], b = ramp.Row(0)[std::min(2 * x + 1, 1029)];
        EXPECT_EQ(half.Row(0)[x], (2 * a + 2 * b + 2) / 4) << x;
        EXPECT_EQ(half.Row(513)[x], half.Row(0)[x]) << x;
    }
    // Amid the ramp, the full picture and its half give the same tilt, about
    // 45 degrees here.
    const RgbImage full = NormalMapFromHeights(ramp, 0.5);
    const RgbImage halved = NormalMapFromHeights(half, 0.5);
    EXPECT_NEAR(At(full, 300, 300)[0], 37, 2);
    EXPECT_NEAR(At(halved, 150, 150)[0], At(full, 300, 300)[0], 1);
}

}  // namespace
}  // namespace kv::test
