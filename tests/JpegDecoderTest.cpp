// JPEG decoding from memory, against pictures the project's encoder made.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/textures/ImageOutput.h"
#include "core/textures/ImageRows.h"
#include "core/textures/JpegDecoder.h"
#include "core/textures/NormalMap.h"

namespace kv::test {
namespace {

std::vector<std::uint8_t> Encoded(const RgbImage& image, int quality)
{
    JpegBytes bytes;
    EXPECT_EQ(EncodeJpegToMemory(RgbViewRows(image.rgb.data(), image.width, image.height), quality, bytes),
              JpegEncodeResult::Done);
    const std::string text = bytes.ToString();
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(JpegDecoder, DecodesWhatTheEncoderWrote)
{
    // A smooth colour picture of odd size survives quality 100 within a few levels.
    RgbImage image(45, 30);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.Row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(5 * x), p[1] = static_cast<std::uint8_t>(8 * y), p[2] = 200;
        }
    const std::vector<std::uint8_t> jpeg = Encoded(image, 100);
    const RgbImage rgb = DecodeJpegRgb(jpeg.data(), jpeg.size());
    ASSERT_EQ(rgb.width, 45);
    ASSERT_EQ(rgb.height, 30);
    int worst = 0;
    for (std::size_t i = 0; i < rgb.rgb.size(); ++i) worst = std::max(worst, std::abs(rgb.rgb[i] - image.rgb[i]));
    EXPECT_LE(worst, 6);

    // The grey decode is the stream's own luminance: the luminance of the
    // colour decode, give or take the rounding of the colour conversion.
    const GreyImage grey = DecodeJpegGrey(jpeg.data(), jpeg.size());
    const GreyImage luminance = Luminance(rgb);
    ASSERT_EQ(grey.width, 45);
    ASSERT_EQ(grey.height, 30);
    for (std::size_t i = 0; i < grey.grey.size(); ++i) ASSERT_LE(std::abs(grey.grey[i] - luminance.grey[i]), 2) << i;
}

TEST(JpegDecoder, RefusesBrokenStreams)
{
    RgbImage image(16, 16);
    const std::vector<std::uint8_t> jpeg = Encoded(image, 90);
    EXPECT_THROW(DecodeJpegRgb(jpeg.data(), jpeg.size() / 2), JpegDecodeError);  // ends early
    EXPECT_THROW(DecodeJpegGrey(jpeg.data(), 0), JpegDecodeError);
    std::vector<std::uint8_t> garbage(jpeg.size(), 0x55);
    EXPECT_THROW(DecodeJpegRgb(garbage.data(), garbage.size()), JpegDecodeError);
}

}  // namespace
}  // namespace kv::test
