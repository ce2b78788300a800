// Choosing, reading and tiling the rc, em and ra pattern bitmaps.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "core/basics/Messages.h"
#include "core/platform/Paths.h"
#include "core/textures/PatternBitmap.h"

namespace kv {
namespace {

TEST(PatternFiles, MemberFollowsResolutionAndPreview)
{
    EXPECT_EQ(PatternFileName(PatternFamily::Rc, PatternMember(0, false)), "rc1.bmp");
    EXPECT_EQ(PatternFileName(PatternFamily::Em, PatternMember(1, false)), "em2.bmp");
    EXPECT_EQ(PatternFileName(PatternFamily::Ra, PatternMember(2, false)), "ra3.bmp");
    EXPECT_EQ(PatternFileName(PatternFamily::Rc, PatternMember(2, true)), "rc0.bmp");
    EXPECT_EQ(PatternFileName(PatternFamily::Em, PatternMember(0, true)), "em0.bmp");
    EXPECT_EQ(PatternFilePath("dir", PatternFamily::Ra, 1, false), JoinPath("dir", "ra2.bmp"));
}

int Value(int x, int y) { return (x * 37 + y * 11) % 256; }

TEST(LoadPatternBitmap, TilesTheGreenComponentTwoByTwo)
{
    test::ScratchDir dir;
    // Red and blue differ from green and must not matter.
    std::vector<std::uint8_t> rgb(36 * 36 * 3);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x) {
            std::uint8_t* p = rgb.data() + (y * 36 + x) * 3;
            p[0] = static_cast<std::uint8_t>(255 - Value(x, y));
            p[1] = static_cast<std::uint8_t>(Value(x, y));
            p[2] = static_cast<std::uint8_t>(x);
        }
    ASSERT_TRUE(WriteBmp24(dir.File("rc1.bmp"), 36, 36, rgb.data()));
    int rows = 0;
    const PatternRaster raster = LoadPatternBitmap(dir.File("rc1.bmp"), 72, [&] { ++rows; });
    EXPECT_EQ(raster.size, 72);
    EXPECT_GE(rows, 36);
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 72; ++x) ASSERT_EQ(raster.At(x, y), Value(x % 36, y % 36)) << x << "," << y;
}

TEST(LoadPatternBitmap, TopDownPictureGivesTheSameRaster)
{
    test::ScratchDir dir;
    test::WriteGreyBmp(dir.File("up.bmp"), 10, 10, Value);
    // The same picture stored top row first: negative height, rows reversed.
    std::string bytes = test::ReadFile(dir.File("up.bmp"));
    const int stride = 3 * 10 + 10 % 4;
    std::string flipped = bytes.substr(0, 54);
    for (int row = 9; row >= 0; --row) flipped += bytes.substr(54 + static_cast<std::size_t>(row) * stride, stride);
    const std::int32_t negative = -10;
    std::memcpy(flipped.data() + 22, &negative, 4);
    test::WriteFile(dir.File("down.bmp"), flipped);
    const PatternRaster up = LoadPatternBitmap(dir.File("up.bmp"), 20);
    const PatternRaster down = LoadPatternBitmap(dir.File("down.bmp"), 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(up.At(x, y), down.At(x, y));
    EXPECT_EQ(up.At(3, 4), Value(3, 4));
}

std::string FailureText(const std::string& path, int textureSize)
{
    try {
        LoadPatternBitmap(path, textureSize);
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.title, "Kelvane Message");
        return failure.message.text;
    }
    return "loaded";
}

TEST(LoadPatternBitmap, RefusesAPictureNotHalfTheTexture)
{
    test::ScratchDir dir;
    test::WriteGreyBmp(dir.File("em2.bmp"), 300, 300, Value);
    EXPECT_EQ(FailureText(dir.File("em2.bmp"), 1152),
              "The pattern bitmap " + dir.File("em2.bmp") + " must be 576 x 576 pixels.");
    test::WriteGreyBmp(dir.File("em1.bmp"), 288, 144, Value);
    EXPECT_EQ(FailureText(dir.File("em1.bmp"), 576),
              "The pattern bitmap " + dir.File("em1.bmp") + " must be 288 x 288 pixels.");
}

TEST(LoadPatternBitmap, ReportsBitmapFaultsWithTheFullPath)
{
    test::ScratchDir dir;
    EXPECT_EQ(FailureText(dir.File("ra1.bmp"), 576), "Error opening " + dir.File("ra1.bmp") + ".");
    test::WriteFile(dir.File("short.bmp"), std::string("BM1234"));
    EXPECT_EQ(FailureText(dir.File("short.bmp"), 576),
              "Error reading bitmap file header for " + dir.File("short.bmp") + ".");
    test::WriteGreyBmp(dir.File("rc1.bmp"), 4, 4, Value);
    std::string bytes = test::ReadFile(dir.File("rc1.bmp"));
    bytes[28] = 8;  // 8 bits per pixel
    test::WriteFile(dir.File("rc1.bmp"), bytes);
    EXPECT_EQ(FailureText(dir.File("rc1.bmp"), 8), dir.File("rc1.bmp") + " must be 24 bit.");
}

}  // namespace
}  // namespace kv
