// The terrain preview: the colour texture at 288 x 288, computed in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "PngWriter.h"
#include "TestSupport.h"
#include "TextureReference.h"
#include "TextureTestSupport.h"
#include "core/platform/Paths.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/TerrainPreview.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

int Pattern(int x, int y) { return test::Hash(x, y, 5); }
int Other(int x, int y) { return test::Hash(x / 2, y, 6); }

struct PreviewFiles {
    test::ScratchDir program;
    ProjectSettings settings;
    PreviewFiles()
    {
        test::WriteGreyBmp(program.File("rc0.bmp"), 144, 144, Pattern);
        test::WriteGreyBmp(program.File("em0.bmp"), 144, 144, Other);
        // The Lo Res member has nothing to do with the preview.
        test::WriteGreyBmp(program.File("rc1.bmp"), 100, 100, Pattern);
        test::WriteGreyBmp(program.File("hills.bmp"), 60, 60, [](int x, int y) { return (x * 3 + y * 5) % 256; });
        settings = DefaultSettings(program.path());
        settings.basebmp = "hills.bmp";
        settings.baseindex = 0;
        settings.cover1index = 6;
        settings.cover2index = 4;
        settings.resolution = 2;
    }
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(program.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(TerrainPreview, Is288SquareWhateverTheResolutionAndWritesNoFile)
{
    PreviewFiles files;
    const std::vector<std::string> before = files.Listing();
    Random random;
    random.SetState(99);
    const RgbImage image = SynthesizePreview(files.settings, files.program.path(), random);
    EXPECT_EQ(image.width, 288);
    EXPECT_EQ(image.height, 288);
    EXPECT_EQ(image.rgb.size(), 288u * 288u * 3u);
    EXPECT_EQ(files.Listing(), before);
    // The preview's noise comes from the program's generator.
    EXPECT_EQ(random.State(), AdvanceRandomState(99, 288 * 288));
}

TEST(TerrainPreview, EqualsTheDirectReadingOfTheFirstColourImage)
{
    // Heightfields up to the preview's size are used as they are.
    PreviewFiles files;
    for (int size : {60, 288}) {
        test::WriteGreyBmp(files.program.File("hills.bmp"), size, size,
                           [](int x, int y) { return (x * 3 + y * 5) % 256; });
        test::SmallInputs inputs;
        inputs.size = 288;
        inputs.grid = BuildHeightGrid(LoadHeightfield(files.settings.basedir, files.settings.basebmp));
        inputs.rcPicture = LoadBitmap24(files.program.File("rc0.bmp"), BitmapWording::ForPath("rc0"));
        inputs.emPicture = LoadBitmap24(files.program.File("em0.bmp"), BitmapWording::ForPath("em0"));
        inputs.raPicture = inputs.rcPicture;
        inputs.randomState = 1234;
        Random random;
        random.SetState(1234);
        const RgbImage image = SynthesizePreview(files.settings, files.program.path(), random);
        const auto reference = ref::Synthesize(files.settings, test::ReferenceTextures(inputs), false);
        EXPECT_TRUE(image.rgb == reference.at("tex1.jpg")) << size;
    }
}

std::string PreviewFailure(const ProjectSettings& settings, const std::string& program)
{
    Random random;
    try {
        SynthesizePreview(settings, program, random);
    } catch (const JobFailure& failure) {
        return failure.message.text;
    }
    return "no failure";
}

TEST(TerrainPreview, FailedLoadsThrowTheirMessages)
{
    PreviewFiles files;
    ProjectSettings missingHeightfield = files.settings;
    missingHeightfield.basebmp = "none.bmp";
    EXPECT_EQ(PreviewFailure(missingHeightfield, files.program.path()),
              "Error getting handle to " + files.program.File("none.bmp") + ".");
    fs::remove(files.program.File("em0.bmp"));
    EXPECT_EQ(PreviewFailure(files.settings, files.program.path()),
              "Error opening " + files.program.File("em0.bmp") + ".");
}

// A heightfield of `size` pixels: smooth hills over the whole square, the
// outer two pixels black as the grid treats them anyway.
int Hills(int x, int y, int size)
{
    if (x < 2 || y < 2 || x >= size - 2 || y >= size - 2) return 0;
    const double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
    return static_cast<int>(120 + 60 * std::sin(u * 9.0) * std::cos(v * 7.0) + 50 * u * v);
}

RgbImage PreviewOf(PreviewFiles& files, int size, const std::function<int(int, int)>& grey)
{
    test::WriteGreyBmp(files.program.File("land.bmp"), size, size, grey);
    ProjectSettings settings = files.settings;
    settings.basebmp = "land.bmp";
    // Strata follow the heights; no covers hide them.
    settings.baseindex = 2;
    settings.cover1index = 0;
    settings.cover2index = 0;
    Random random;
    random.SetState(4321);
    RgbImage image = SynthesizePreview(settings, files.program.path(), random);
    EXPECT_EQ(random.State(), AdvanceRandomState(4321, 288 * 288)) << size;
    return image;
}

double MeanDifference(const RgbImage& a, const RgbImage& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / static_cast<double>(a.rgb.size());
}

TEST(TerrainPreview, HeightfieldsLargerThanThePreviewAreTakenDownToIt)
{
    PreviewFiles files;
    // Every pixel of a 288 heightfield doubled: the 576 heightfield shrinks
    // back to exactly the same grid, so the previews are the same bytes.
    const RgbImage small = PreviewOf(files, 288, [](int x, int y) { return Hills(x, y, 288); });
    const RgbImage doubled = PreviewOf(files, 576, [](int x, int y) { return Hills(x / 2, y / 2, 288); });
    EXPECT_TRUE(doubled.rgb == small.rgb);

    // The same landscape drawn at sizes that do not divide evenly previews
    // nearly as the 288 drawing does, and far from another landscape.
    const RgbImage other = PreviewOf(files, 288, [](int x, int y) { return Hills(y, 287 - x, 288); });
    const double unrelated = MeanDifference(small, other);
    for (int size : {289, 512, 577, 1000}) {
        const RgbImage large = PreviewOf(files, size, [size](int x, int y) { return Hills(x, y, size); });
        ASSERT_EQ(large.width, 288);
        ASSERT_EQ(large.height, 288);
        const double difference = MeanDifference(large, small);
        EXPECT_LT(difference, unrelated / 4) << size;
    }
}

HeightGrid GridOf(int n, const std::function<int(int, int)>& height)
{
    HeightGrid grid;
    grid.n = n;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) grid.heights.push_back(height(x, y));
    return grid;
}

TEST(TerrainPreview, ShrinkingAveragesTheAreaEachCellCovers)
{
    // Whole pixels: a cell of the half-size grid is the mean of its 2 x 2 block.
    const HeightGrid hashed = GridOf(576, [](int x, int y) { return test::Hash(x, y, 3) * 3; });
    const HeightGrid half = ShrinkHeightGrid(hashed, 288);
    ASSERT_EQ(half.n, 288);
    ASSERT_EQ(half.heights.size(), 288u * 288u);
    for (int y = 0; y < 288; y += 7) {
        for (int x = 0; x < 288; x += 5) {
            const int sum = hashed.At(2 * x, 2 * y) + hashed.At(2 * x + 1, 2 * y) + hashed.At(2 * x, 2 * y + 1) +
                            hashed.At(2 * x + 1, 2 * y + 1);
            ASSERT_EQ(half.At(x, y), (sum + 2) / 4) << x << "," << y;
        }
    }

    // Cut pixels: a flat grid stays flat; a ramp along x keeps its place
    // (each cell holds the ramp's value at the cell's centre, to within one).
    for (int n : {289, 577, 2304}) {
        const HeightGrid flat = ShrinkHeightGrid(GridOf(n, [](int, int) { return 700; }), 288);
        EXPECT_TRUE(std::all_of(flat.heights.begin(), flat.heights.end(), [](int h) { return h == 700; })) << n;
        const HeightGrid ramp = ShrinkHeightGrid(GridOf(n, [](int x, int) { return x; }), 288);
        for (int x = 0; x < 288; ++x) {
            const double centre = (x + 0.5) * n / 288.0 - 0.5;
            ASSERT_NEAR(ramp.At(x, 0), centre, 1.0) << n << ": " << x;
            ASSERT_EQ(ramp.At(x, 287), ramp.At(x, 0));
        }
    }

    // A step between two pixels: cells wholly on one side keep that side's
    // height, the one cell cut by the step lies between, and the total is kept.
    const int n = 577;
    const HeightGrid step = GridOf(n, [](int x, int) { return x < 300 ? 765 : 0; });
    const HeightGrid shrunk = ShrinkHeightGrid(step, 288);
    int between = 0;
    double total = 0;
    for (int x = 0; x < 288; ++x) {
        const int h = shrunk.At(x, 100);
        const double from = x * n / 288.0, to = (x + 1) * n / 288.0;
        if (to <= 300) {
            EXPECT_EQ(h, 765) << x;
        } else if (from >= 300) {
            EXPECT_EQ(h, 0) << x;
        } else {
            ++between;
            EXPECT_GT(h, 0);
            EXPECT_LT(h, 765);
        }
        total += h * (n / 288.0);
    }
    EXPECT_EQ(between, 1);
    EXPECT_NEAR(total, 300.0 * 765, 765.0 / 2);

    EXPECT_THROW(ShrinkHeightGrid(GridOf(100, [](int, int) { return 0; }), 101), std::invalid_argument);
}

TEST(TerrainPreview, ShrinkingKeepsTheFractionsOfFractionalHeights)
{
    HeightGrid fine;
    fine.n = 576;
    for (int y = 0; y < 576; ++y)
        for (int x = 0; x < 576; ++x) fine.heights.push_back(0.1f * static_cast<float>(x) + (y % 2 ? 0.5f : 0.0f));
    const HeightGrid half = ShrinkHeightGrid(fine, 288);
    for (int y = 0; y < 288; y += 11)
        for (int x = 0; x < 288; x += 3) {
            const double mean = (static_cast<double>(fine.At(2 * x, 2 * y)) + fine.At(2 * x + 1, 2 * y) +
                                 fine.At(2 * x, 2 * y + 1) + fine.At(2 * x + 1, 2 * y + 1)) / 4;
            ASSERT_FLOAT_EQ(half.At(x, y), static_cast<float>(mean)) << x << "," << y;
        }
    EXPECT_FALSE(HasWholeHeights(half));
}

TEST(TerrainPreview, ReadsHeightfieldsOfEveryTypeByTheirContent)
{
    using Kind = test::PngPicture::Kind;
    PreviewFiles files;
    auto hills = [](int x, int y) { return (x * 3 + y * 5) % 256; };
    // The grey PNG of the grey BMP gives the very same preview.
    test::WriteFile(files.program.File("hills.png"),
                    test::EncodePng(test::MakePng(60, 60, Kind::Grey, 8, [&](int x, int y, int) { return hills(x, y); })));
    auto preview = [&](const std::string& heightfield) {
        ProjectSettings settings = files.settings;
        settings.basebmp = heightfield;
        // Strata follow the heights; no covers hide them.
        settings.baseindex = 2;
        settings.cover1index = settings.cover2index = 0;
        Random random;
        random.SetState(77);
        return SynthesizePreview(settings, files.program.path(), random).rgb;
    };
    EXPECT_TRUE(preview("hills.png") == preview("hills.bmp"));

    // A 16-bit picture larger than the preview is shrunk with its fractions
    // and gives a preview of its own.
    test::WriteFile(files.program.File("big16.png"),
                    test::EncodePng(test::MakePng(600, 600, Kind::Grey, 16, [](int x, int y, int) {
                        return 30000 + 7 * x + 3 * y;
                    })));
    const std::vector<std::uint8_t> big = preview("big16.png");
    EXPECT_EQ(big.size(), 288u * 288u * 3u);
    EXPECT_FALSE(big == preview("hills.bmp"));
}

}  // namespace
}  // namespace kv
