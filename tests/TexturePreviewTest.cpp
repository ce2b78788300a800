// The terrain preview: the colour texture at 288 x 288, computed in memory.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "TextureReference.h"
#include "TextureTestSupport.h"
#include "platform/Paths.h"
#include "texture/NoiseTexture.h"
#include "texture/TerrainPreview.h"

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
    PreviewFiles files;
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
    EXPECT_TRUE(image.rgb == reference.at("tex1.jpg"));
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
    test::WriteGreyBmp(files.program.File("hills.bmp"), 289, 289, Pattern);
    EXPECT_EQ(PreviewFailure(files.settings, files.program.path()),
              "The heightfield bitmap " + files.program.File("hills.bmp") +
                  " is larger than the texture resolution; choose a higher resolution.");
}

}  // namespace
}  // namespace kv
