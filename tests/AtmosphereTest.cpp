// The sky colouring, atmos.jpg, fog.tga, the sky preview and the stock cloud
// bitmaps they read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "TestSupport.h"
#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"
#include "core/platform/OutputDirectory.h"
#include "core/textures/AtmosColor.h"
#include "core/textures/AtmospherePreview.h"
#include "core/textures/AtmosphereTextures.h"

namespace kv {
namespace {

using test::ScratchDir;

constexpr RgbColor kDefaultSky{58, 80, 165};
constexpr RgbColor kWhite{255, 255, 255};

// ------------------------------------------------------------ AtmosColor

TEST(AtmosColor, ClearSkyIsExactlyTheSkyColour)
{
    const RgbColor sky{12, 200, 77};
    // Only red decides: green and blue of a red-0 pixel do not matter.
    EXPECT_EQ(AtmosColor(0, 0, 0, sky, kWhite), sky);
    EXPECT_EQ(AtmosColor(0, 90, 250, sky, {1, 2, 3}), sky);
}

TEST(AtmosColor, DenseCloudIsTheCloudColourAtThePixelsBrightnessWithoutSky)
{
    const RgbColor cloud{200, 100, 50};
    for (const RgbColor sky : {RgbColor{0, 0, 0}, RgbColor{255, 255, 255}, kDefaultSky}) {
        // 192/255 * 200 = 150.59, 192/255 * 100 = 75.29, 192/255 * 50 = 37.65.
        EXPECT_EQ(AtmosColor(192, 192, 192, sky, cloud), (RgbColor{150, 75, 37}));
        EXPECT_EQ(AtmosColor(255, 255, 255, sky, cloud), cloud);
    }
    EXPECT_EQ(AtmosColor(255, 255, 255, kDefaultSky, kWhite), kWhite);
}

TEST(AtmosColor, ThinCloudMixesSkyAndCloud)
{
    // (96/192) * sky + (96/255) * 255 for the default sky.
    EXPECT_EQ(AtmosColor(96, 96, 96, kDefaultSky, kWhite), (RgbColor{125, 136, 178}));
    // Red 191 is still thin cloud: 1/192 of the sky remains.
    EXPECT_EQ(AtmosColor(191, 191, 191, {192, 0, 0}, {0, 0, 0}).r, 1);
}

TEST(AtmosColor, EvaluatedLeftToRightInDoublePrecision)
{
    // (188/192) * 112 + (4/255) * 85 is 111 in exact arithmetic, but the
    // evaluation as written gives 110.99999999999999, truncated to 110; a
    // reordered formula ((188 * 112) / 192 + (4 * 85) / 255) gives 111.
    EXPECT_EQ(AtmosColor(4, 4, 4, {112, 176, 224}, {85, 170, 170}), (RgbColor{110, 174, 221}));
    EXPECT_EQ(AtmosColor(10, 10, 10, {224, 224, 224}, {17, 68, 221}), (RgbColor{212, 214, 220}));
}

TEST(AtmosColor, NonGreyPixelsStayInRange)
{
    // Red decides thin cloud, but green above 192 would make the sky share
    // negative: the channel is held at 0 instead of wrapping round.
    EXPECT_EQ(AtmosColor(100, 255, 100, {0, 255, 0}, {0, 0, 0}).g, 0);
}

TEST(CloudFiles, IndexNamesTheStockBitmaps)
{
    EXPECT_STREQ(CloudBitmapFile(0), "clear.bmp");
    EXPECT_STREQ(CloudBitmapFile(1), "cloudy.bmp");
    EXPECT_STREQ(CloudBitmapFile(2), "ominous.bmp");
    EXPECT_STREQ(CloudBitmapFile(3), "puff.bmp");
    EXPECT_STREQ(CloudPreviewBitmapFile(0), "~clear.bmp");
    EXPECT_STREQ(CloudPreviewBitmapFile(3), "~puff.bmp");
    EXPECT_THROW(CloudBitmapFile(4), std::out_of_range);
    EXPECT_THROW(CloudPreviewBitmapFile(-1), std::out_of_range);
}

// ------------------------------------------------------------ creation images

// A creation context over a scratch program directory and a scratch scene
// directory.
// The sky and fog images of one creation: settings, a program directory
// and the output directory.
class ImageCreation {
public:
    ImageCreation() { output_.path = scene_.path(); }

    ProjectSettings& settings() { return settings_; }
    OutputDirectory& output() { return output_; }
    std::string ProgramFile(const std::string& name) const { return program_.File(name); }
    std::string SceneFile(const std::string& name) const { return scene_.File(name); }
    void WriteFog() { WriteFogTga(settings_.fog, &output_); }
    void WriteSky() { WriteAtmosJpeg(settings_, program_.path(), &output_); }

private:
    ScratchDir program_;
    ScratchDir scene_;
    ProjectSettings settings_ = DefaultSettings("");
    OutputDirectory output_;
};

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

DecodedJpeg DecodeJpeg(const std::string& path)
{
    DecodedJpeg out;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return out;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return out;
}

TEST(AtmosJpeg, PuffyReadsPuffBmp)
{
    ImageCreation c;
    c.settings().atmosphereindex = 3;
    test::WriteGreyBmp(c.ProgramFile("puffy.bmp"), 16, 8, [](int, int) { return 0; });
    try {
        c.WriteSky();
        FAIL() << "a missing puff.bmp must end the creation";
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, "Error opening " + c.ProgramFile("puff.bmp") + ".");
        EXPECT_EQ(failure.message.title, kMessageTitle);
        EXPECT_EQ(failure.message.modality, Modality::SystemModal);
    }
    test::WriteGreyBmp(c.ProgramFile("puff.bmp"), 16, 8, [](int, int) { return 0; });
    c.WriteSky();
    const DecodedJpeg jpeg = DecodeJpeg(c.SceneFile("atmos.jpg"));
    EXPECT_EQ(jpeg.width, 16);
    EXPECT_EQ(jpeg.height, 8);
}

TEST(AtmosJpeg, HasTheBitmapsSizeAndColours)
{
    ImageCreation c;
    c.settings().atmosphereindex = 1;
    c.settings().sky = {40, 120, 200};
    // Clear sky in the top-left 16 x 16 block, dense white cloud elsewhere;
    // the bitmap is stored bottom-up, so a flipped picture would show.
    test::WriteGreyBmp(c.ProgramFile("cloudy.bmp"), 32, 24, [](int x, int y) { return x < 16 && y < 16 ? 0 : 255; });
    c.WriteSky();
    const DecodedJpeg jpeg = DecodeJpeg(c.SceneFile("atmos.jpg"));
    ASSERT_EQ(jpeg.width, 32);
    ASSERT_EQ(jpeg.height, 24);
    auto near = [&](int x, int y, RgbColor expected) {
        const std::uint8_t* p = jpeg.rgb.data() + (static_cast<std::size_t>(y) * 32 + x) * 3;
        EXPECT_NEAR(p[0], expected.r, 3) << x << "," << y;
        EXPECT_NEAR(p[1], expected.g, 3) << x << "," << y;
        EXPECT_NEAR(p[2], expected.b, 3) << x << "," << y;
    };
    near(3, 3, c.settings().sky);
    near(28, 3, kWhite);
    near(3, 23, kWhite);
    // Pure white clouds decode as pure white.
    const std::uint8_t* white = jpeg.rgb.data() + (static_cast<std::size_t>(3) * 32 + 28) * 3;
    EXPECT_EQ(white[0], 255);
    EXPECT_EQ(white[1], 255);
    EXPECT_EQ(white[2], 255);
}

// Names in a directory that are not `expected`: temporary files left behind.
std::vector<std::string> OtherFiles(const std::string& directory, const std::vector<std::string>& expected)
{
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) others.push_back(name);
    }
    return others;
}

TEST(FogTga, StripOfFogColourWithFallingAlpha)
{
    ImageCreation c;
    c.settings().fog = {10, 20, 30};
    c.WriteFog();
    const std::string tga = test::ReadFile(c.SceneFile("fog.tga"));
    ASSERT_EQ(tga.size(), 1042u);
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(tga[i]); };
    const std::uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 32, 8};
    for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(byte(i), header[i]) << i;
    for (std::size_t p = 0; p < 256; ++p) {
        EXPECT_EQ(byte(18 + 4 * p + 0), 30) << p;  // blue
        EXPECT_EQ(byte(18 + 4 * p + 1), 20) << p;  // green
        EXPECT_EQ(byte(18 + 4 * p + 2), 10) << p;  // red
        if (p > 0) {
            EXPECT_LE(byte(18 + 4 * p + 3), byte(18 + 4 * (p - 1) + 3)) << p;
        }
    }
    // Opaque at the bottom (the first pixel), transparent at the top.
    const auto alpha = [&](std::size_t p) { return byte(18 + 4 * p + 3); };
    EXPECT_EQ(alpha(0), 255);
    EXPECT_EQ(alpha(3), 255);
    EXPECT_EQ(alpha(4), 254);
    EXPECT_EQ(alpha(128), 214);
    EXPECT_EQ(alpha(192), 173);
    EXPECT_EQ(alpha(224), 131);
    EXPECT_EQ(alpha(254), 6);
    EXPECT_EQ(alpha(255), 0);
}

TEST(FogTga, ReplacesAnOlderFileAndLeavesNoTemporaryFile)
{
    ImageCreation c;
    test::WriteFile(c.SceneFile("fog.tga"), std::string(5000, 'x'));
    c.WriteFog();
    EXPECT_EQ(test::ReadFile(c.SceneFile("fog.tga")).size(), 1042u);
    EXPECT_TRUE(OtherFiles(c.output().path, {"fog.tga"}).empty());
}

TEST(FogTga, FreeSpaceBelowTheFileSizeRefusesTheCopy)
{
    ImageCreation c;
    std::string askedFor;
    c.output().freeSpace = [&](const std::string& dir) -> std::optional<std::uint64_t> {
        askedFor = dir;
        return 1041;
    };
    try {
        c.WriteFog();
        FAIL();
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, "Not enough free disk space.");
        EXPECT_EQ(failure.message.title, kErrorTitle);
    }
    EXPECT_EQ(askedFor, c.output().path);
    EXPECT_FALSE(std::filesystem::exists(c.SceneFile("fog.tga")));
    EXPECT_TRUE(OtherFiles(c.output().path, {}).empty());

    // Exactly enough is enough; a failed query skips the check.
    c.output().freeSpace = [](const std::string&) -> std::optional<std::uint64_t> { return 1042; };
    c.WriteFog();
    EXPECT_TRUE(std::filesystem::exists(c.SceneFile("fog.tga")));
    std::filesystem::remove(c.SceneFile("fog.tga"));
    c.output().freeSpace = [](const std::string&) -> std::optional<std::uint64_t> { return std::nullopt; };
    c.WriteFog();
    EXPECT_TRUE(std::filesystem::exists(c.SceneFile("fog.tga")));
}

TEST(FogTga, FailuresNameTheFileAndTheReason)
{
    ImageCreation c;
    const std::string scene = c.output().path;
    // A directory in the way: the finished strip cannot take its name.
    std::filesystem::create_directories(c.SceneFile("fog.tga") + "/inside");
    try {
        c.WriteFog();
        FAIL();
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, "Error copying fog.tga.");
        EXPECT_EQ(failure.message.title, kMessageTitle);
        EXPECT_FALSE(failure.message.detail.empty());
    }
    EXPECT_TRUE(OtherFiles(scene, {"fog.tga"}).empty());

    // A scene directory that is gone: the file cannot even be begun.
    c.output().path = c.SceneFile("missing-directory");
    try {
        c.WriteFog();
        FAIL();
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, "Error opening " + JoinPath(c.output().path, "fog.tga") + ".");
        EXPECT_EQ(failure.message.detail, "No such file or directory");
    }
}

// ------------------------------------------------------------ sky preview

TEST(AtmosPreview, EqualColoursShowThatColourWhereverTheSkyIsClear)
{
    ScratchDir program;
    // Clear sky in a checkerboard, dense cloud elsewhere.
    test::WriteGreyBmp(program.File("~cloudy.bmp"), 85, 118, [](int x, int y) { return (x + y) % 2 ? 0 : 230; });
    const RgbColor colour{70, 140, 210};
    const AtmosPreviewPicture picture = ComputeAtmospherePreview(program.path(), 1, colour, colour, colour);
    ASSERT_EQ(picture.width, 85);
    ASSERT_EQ(picture.height, 118);
    ASSERT_EQ(picture.rgb.size(), 85u * 118u * 3u);
    for (int y = 0; y < 118; ++y) {
        for (int x = (y + 1) % 2; x < 85; x += 2) {
            const std::uint8_t* p = picture.rgb.data() + (static_cast<std::size_t>(y) * 85 + x) * 3;
            ASSERT_EQ(p[0], colour.r) << x << "," << y;
            ASSERT_EQ(p[1], colour.g) << x << "," << y;
            ASSERT_EQ(p[2], colour.b) << x << "," << y;
        }
    }
}

TEST(AtmosPreview, FadesRowByRowTowardTheFogColour)
{
    ScratchDir program;
    test::WriteGreyBmp(program.File("~clear.bmp"), 85, 118, [](int, int) { return 0; });
    const RgbColor fog{0, 255, 255};
    const AtmosPreviewPicture picture = ComputeAtmospherePreview(program.path(), 0, kDefaultSky, kWhite, fog);
    const auto at = [&](int x, int y) {
        const std::uint8_t* p = picture.rgb.data() + (static_cast<std::size_t>(y) * 85 + x) * 3;
        return RgbColor{p[0], p[1], p[2]};
    };
    EXPECT_EQ(at(0, 0), kDefaultSky);  // the top row is unfogged
    EXPECT_EQ(at(84, 0), kDefaultSky);
    // (59 * fog + 59 * sky) / 118 and (117 * fog + 1 * sky) / 118, truncated.
    EXPECT_EQ(at(40, 59), (RgbColor{29, 167, 210}));
    EXPECT_EQ(at(40, 117), (RgbColor{0, 253, 254}));
}

TEST(AtmosPreview, SmallerBitmapFillsOnlyWhatItHas)
{
    ScratchDir program;
    test::WriteGreyBmp(program.File("~puff.bmp"), 40, 50, [](int, int) { return 0; });
    const RgbColor c{100, 100, 100};
    const AtmosPreviewPicture picture = ComputeAtmospherePreview(program.path(), 3, c, c, c);
    ASSERT_EQ(picture.rgb.size(), 85u * 118u * 3u);
    EXPECT_NE(picture.rgb[0], 0);
    EXPECT_EQ(picture.rgb[(static_cast<std::size_t>(49) * 85 + 50) * 3], 0);
    EXPECT_EQ(picture.rgb[(static_cast<std::size_t>(100) * 85 + 10) * 3], 0);
}

TEST(AtmosPreview, MissingBitmapLeavesThePreviewBlankUntilARetrySucceeds)
{
    ScratchDir program;
    ProjectSettings settings = DefaultSettings(program.path());
    settings.atmosphereindex = 0;
    AtmospherePreview preview;

    std::optional<Message> message = preview.Recompute(program.path(), settings);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text, "Error opening atmos preview bitmap.");
    EXPECT_EQ(message->title, kMessageTitle);
    EXPECT_EQ(message->icon, MessageIcon::Error);
    EXPECT_FALSE(preview.Picture().has_value());

    // Asking again does not end anything; it fails the same way.
    message = preview.Recompute(program.path(), settings);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text, "Error opening atmos preview bitmap.");

    test::WriteGreyBmp(program.File("~clear.bmp"), 85, 118, [](int, int) { return 0; });
    EXPECT_FALSE(preview.Recompute(program.path(), settings).has_value());
    ASSERT_TRUE(preview.Picture().has_value());
    EXPECT_EQ(preview.Picture()->rgb.size(), 85u * 118u * 3u);

    // A later failure blanks the picture again instead of keeping a stale one.
    settings.atmosphereindex = 2;
    EXPECT_TRUE(preview.Recompute(program.path(), settings).has_value());
    EXPECT_FALSE(preview.Picture().has_value());
}

// ------------------------------------------------------------ stock cloud bitmaps

struct CloudStats {
    double clear = 0;  // share of red-0 pixels
    double dense = 0;  // share of pixels above 191
};

CloudStats Stats(const Bitmap24& b)
{
    CloudStats s;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            s.clear += b.Red(x, y) == 0;
            s.dense += b.Red(x, y) > 191;
        }
    const double n = static_cast<double>(b.width) * b.height;
    s.clear /= n;
    s.dense /= n;
    return s;
}

Bitmap24 StockCloud(const char* name)
{
    const std::string path = JoinPath(test::ProgramDir(), name);
    return LoadBitmap24(path, BitmapWording::ForPath(path));
}

TEST(StockClouds, GreyTilesAtLeast512WideWithPreviewsOf85By118)
{
    for (int index = 0; index < 4; ++index) {
        const Bitmap24 tile = StockCloud(CloudBitmapFile(index));
        EXPECT_GE(tile.width, 512) << index;
        const Bitmap24 preview = StockCloud(CloudPreviewBitmapFile(index));
        EXPECT_EQ(preview.width, 85) << index;
        EXPECT_EQ(preview.height, 118) << index;
        for (const Bitmap24* b : {&tile, &preview})
            for (int y = 0; y < b->height; ++y)
                for (int x = 0; x < b->width; ++x) {
                    ASSERT_EQ(b->Red(x, y), b->Green(x, y)) << index;
                    ASSERT_EQ(b->Red(x, y), b->Blue(x, y)) << index;
                }
    }
}

// Mean step between column x and the next (wrapping), or row y and the next.
double ColumnStep(const Bitmap24& b, int x)
{
    double sum = 0;
    for (int y = 0; y < b.height; ++y) sum += std::abs(b.Red((x + 1) % b.width, y) - b.Red(x, y));
    return sum / b.height;
}
double RowStep(const Bitmap24& b, int y)
{
    double sum = 0;
    for (int x = 0; x < b.width; ++x) sum += std::abs(b.Red(x, (y + 1) % b.height) - b.Red(x, y));
    return sum / b.width;
}

TEST(StockClouds, TilesRepeatWithoutASeam)
{
    // The step across the wrap (last column to first, last row to first)
    // must be no larger than the steps inside the picture.
    for (int index = 0; index < 4; ++index) {
        const Bitmap24 b = StockCloud(CloudBitmapFile(index));
        double largestColumnStep = 0;
        for (int x = 0; x + 1 < b.width; ++x) largestColumnStep = std::max(largestColumnStep, ColumnStep(b, x));
        double largestRowStep = 0;
        for (int y = 0; y + 1 < b.height; ++y) largestRowStep = std::max(largestRowStep, RowStep(b, y));
        EXPECT_LE(ColumnStep(b, b.width - 1), largestColumnStep) << CloudBitmapFile(index);
        EXPECT_LE(RowStep(b, b.height - 1), largestRowStep) << CloudBitmapFile(index);
    }
}

TEST(StockClouds, EachTypeLooksLikeItsName)
{
    const CloudStats clear = Stats(StockCloud("clear.bmp"));
    const CloudStats cloudy = Stats(StockCloud("cloudy.bmp"));
    const CloudStats ominous = Stats(StockCloud("ominous.bmp"));
    const CloudStats puffy = Stats(StockCloud("puff.bmp"));
    // Clear: almost no cloud, none of it dense.
    EXPECT_GT(clear.clear, 0.8);
    EXPECT_EQ(clear.dense, 0.0);
    // Cloudy: a broad cover, soft rather than solid.
    EXPECT_LT(cloudy.clear, 0.2);
    EXPECT_LT(cloudy.dense, 0.6);
    // Ominous: heavy masses over most of the sky.
    EXPECT_GT(ominous.dense, 0.6);
    EXPECT_GT(ominous.dense, cloudy.dense);
    // Puffy: separate dense puffs in open sky.
    EXPECT_GT(puffy.clear, 0.6);
    EXPECT_GT(puffy.dense, 0.05);
}

}  // namespace
}  // namespace kv
