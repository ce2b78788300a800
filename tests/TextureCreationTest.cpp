// The texture steps of a creation: the files written into the scene
// directory, their bytes, progress, stop requests and failures.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>

extern "C" {
#include <jpeglib.h>
}

#include "TestSupport.h"
#include "TextureReference.h"
#include "TextureTestSupport.h"
#include "core/inputs/HeightGrid.h"
#include "core/platform/Paths.h"
#include "core/platform/OutputDirectory.h"
#include "core/writers/scn/SceneWriter.h"
#include "core/textures/ImageOutput.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/TerrainTextures.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

const char* const kAllImages[] = {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg", "rockbump.jpg", "rocktex.jpg"};

// A program directory with a heightfield and the pattern members of one resolution.
struct Installation {
    test::ScratchDir program;
    test::ScratchDir scene;
    int resolution;
    int size;
    Bitmap24 rc, em, ra;

    explicit Installation(int res, int heightfieldSize = 40) : resolution(res), size(TextureSizeForResolution(res))
    {
        const int member = res + 1;
        rc = test::GreyPicture(size / 2, size / 2, 11);
        em = test::GreyPicture(size / 2, size / 2, 12);
        ra = test::GreyPicture(size / 2, size / 2, 13);
        Write("rc" + std::to_string(member) + ".bmp", rc);
        Write("em" + std::to_string(member) + ".bmp", em);
        Write("ra" + std::to_string(member) + ".bmp", ra);
        const Bitmap24 hills = test::HillsPicture(heightfieldSize, 2);
        Write("hills.bmp", hills);
    }
    void Write(const std::string& name, const Bitmap24& picture)
    {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(picture.width) * picture.height * 3);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const std::uint8_t* p = picture.Pixel(x, y);
                std::uint8_t* q = rgb.data() + (static_cast<std::size_t>(y) * picture.width + x) * 3;
                q[0] = p[2], q[1] = p[1], q[2] = p[0];
            }
        ASSERT_TRUE(WriteBmp24(program.File(name), picture.width, picture.height, rgb.data()));
    }
    ProjectSettings Settings() const
    {
        ProjectSettings s = DefaultSettings(program.path());
        s.basebmp = "hills.bmp";
        s.resolution = resolution;
        return s;
    }
};

// One creation's texture stage.
struct Creation {
    ProjectSettings settings;
    Session session;
    test::RecordingControl control;
    std::string programDirectory;
    OutputDirectory output;
    HeightGrid heights;
    bool rocks;

    Creation(const Installation& installation, ProjectSettings s, bool withRocks, const std::string& sceneDirectory = "")
        : settings(std::move(s)),
          programDirectory(installation.program.path()),
          output{sceneDirectory.empty() ? installation.scene.path() : sceneDirectory},
          heights(BuildHeightGrid(LoadHeightfield(settings.basedir, settings.basebmp))),
          rocks(withRocks)
    {
        session.random().SetState(424242);  // as placement left it
    }
    void Make() { MakeTerrainTextures(settings, heights, rocks, session.random(), programDirectory, output, control); }
};

std::map<std::string, std::string> ExpectedFiles(const Installation& inst, const Creation& creation, bool rocks)
{
    test::SmallInputs inputs;
    inputs.size = inst.size;
    inputs.grid = creation.heights;
    inputs.rcPicture = inst.rc;
    inputs.emPicture = inst.em;
    inputs.raPicture = inst.ra;
    inputs.randomState = 424242;
    std::map<std::string, std::string> files;
    test::ScratchDir out;
    for (const auto& [name, rgb] : ref::Synthesize(creation.settings, test::ReferenceTextures(inputs), rocks)) {
        EXPECT_EQ(EncodeJpegFile(out.File(name), rgb.data(), inst.size, inst.size, 100), JpegStatus::Ok);
        files[name] = test::ReadFile(out.File(name));
    }
    return files;
}

std::vector<std::string> FilesIn(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct JpegErrors {
    jpeg_error_mgr standard;
    std::jmp_buf escape;
};
extern "C" void TestJpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
}

// Decodes a JPEG file completely; width and height, or 0 x 0 if it is not a whole JPEG.
std::pair<int, int> DecodedSize(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {0, 0};
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = TestJpegErrorExit;
    std::pair<int, int> size{0, 0};
    std::vector<std::uint8_t> row;
    if (setjmp(errors.escape) == 0) {
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        row.resize(static_cast<std::size_t>(info.output_width) * info.output_components);
        while (info.output_scanline < info.output_height) {
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&info, rows, 1);
        }
        jpeg_finish_decompress(&info);
        size = {static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
    }
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return size;
}

std::string FailureOf(Creation& creation, std::string* title = nullptr)
{
    try {
        creation.Make();
    } catch (const JobFailure& failure) {
        if (title) *title = failure.message.title;
        return failure.message.text;
    }
    return "no failure";
}

// ---------------------------------------------------------------- output

TEST(TerrainTextureFiles, EqualTheDirectReadingByteForByteWithRocks)
{
    Installation inst(0);
    ProjectSettings s = inst.Settings();
    s.baseindex = 3;
    s.cover1index = 7;
    s.cover2index = 2;
    s.cover1altitudemin = 140;
    s.cover2slopemax = 260;
    Creation creation(inst, s, true);
    creation.Make();
    const auto expected = ExpectedFiles(inst, creation, true);
    ASSERT_EQ(expected.size(), 6u);
    for (const auto& [name, bytes] : expected) EXPECT_TRUE(test::ReadFile(inst.scene.File(name)) == bytes) << name;
    EXPECT_EQ(FilesIn(inst.scene.path()).size(), 6u);
    // The noise ran the program's generator on by one draw per pixel.
    EXPECT_EQ(creation.session.random().State(), AdvanceRandomState(424242, 576ull * 576ull));
    std::vector<int> progress{8, 10, 12, 14, 16};
    for (int p = 19; p <= 97; p += 3) progress.push_back(p);
    EXPECT_EQ(creation.control.values, progress);
}

TEST(TerrainTextureFiles, WithoutRocksWriteFourImagesOnly)
{
    Installation inst(0);
    Creation creation(inst, inst.Settings(), false);
    creation.Make();
    EXPECT_EQ(FilesIn(inst.scene.path()), (std::vector<std::string>{"bump1.jpg", "bump2.jpg", "tex1.jpg", "tex2.jpg"}));
    const auto expected = ExpectedFiles(inst, creation, false);
    for (const auto& [name, bytes] : expected) EXPECT_TRUE(test::ReadFile(inst.scene.File(name)) == bytes) << name;
}

TEST(TerrainTextureFiles, HiResImagesDecodeAt2304)
{
    Installation inst(2, 120);
    Creation creation(inst, inst.Settings(), true);
    creation.Make();
    for (const char* name : kAllImages)
        EXPECT_EQ(DecodedSize(inst.scene.File(name)), std::make_pair(2304, 2304)) << name;
}

// ---------------------------------------------------------------- stop

TEST(TerrainTextureStop, EndsTheJobLeavingOnlyCompleteEarlierFiles)
{
    Installation inst(0);
    // A whole run counts the checks (the row checks, and the polls while waiting).
    long long checks = 0;
    {
        test::ScratchDir scene;
        Creation probe(inst, inst.Settings(), true, scene.path());
        probe.Make();
        checks = probe.control.checks;
    }
    const Creation probe(inst, inst.Settings(), true);
    const auto expected = ExpectedFiles(inst, probe, true);
    for (double fraction : {0.0, 0.2, 0.4, 0.5, 0.6, 0.7, 0.8}) {
        const long long stopAfter = static_cast<long long>(fraction * static_cast<double>(checks)) + 2;
        test::ScratchDir scene;
        Creation creation(inst, inst.Settings(), true, scene.path());
        creation.control.stopAfter = stopAfter;
        EXPECT_THROW(creation.Make(), JobStopped) << stopAfter;
        // Whatever is on disk is a run of complete files from the start of the order.
        const std::vector<std::string> present = FilesIn(scene.path());
        std::size_t run = 0;
        while (run < 6 && fs::exists(scene.File(kAllImages[run]))) ++run;
        EXPECT_EQ(present.size(), run) << stopAfter;
        for (std::size_t i = 0; i < run; ++i)
            EXPECT_TRUE(test::ReadFile(scene.File(kAllImages[i])) == expected.at(kAllImages[i])) << kAllImages[i];
        if (fraction == 0.0) {
            EXPECT_EQ(run, 0u);
            // Stopped before the noise: the program's generator has not moved.
            EXPECT_EQ(creation.session.random().State(), 424242u);
        }
    }
}

// ---------------------------------------------------------------- failures

TEST(TerrainTextureFailure, UnwritableSceneDirectoryEndsTheJobWithItsMessage)
{
    Installation inst(0);
    const std::string missing = JoinPath(inst.scene.path(), "gone");
    Creation creation(inst, inst.Settings(), true, missing);
    std::string title;
    testing::internal::CaptureStderr();
    EXPECT_EQ(FailureOf(creation, &title), "Error writing " + JoinPath(missing, "tex1.jpg") + ".");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "can't open " + JoinPath(missing, "tex1.jpg") + "\n");
    EXPECT_EQ(title, "Kelvane Error Message");
    // The process lives on: a second creation into a good directory works.
    Creation again(inst, inst.Settings(), false);
    again.Make();
    EXPECT_EQ(FilesIn(inst.scene.path()).size(), 4u);
}

TEST(TerrainTextureFailure, WriteErrorBlamesTheDiskWhenSpaceIsLow)
{
    Installation inst(0);
    // A directory holding a file stands where bump1.jpg should go: the
    // finished file cannot take its name.
    fs::create_directories(inst.scene.File("bump1.jpg") + "/inside");
    Creation low(inst, inst.Settings(), false);
    low.output.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(15999999); };
    std::string title;
    EXPECT_EQ(FailureOf(low, &title), "Error writing " + inst.scene.File("bump1.jpg") +
                                          " (make sure you have enough free disk space and then start the creation "
                                          "process over again).");
    EXPECT_EQ(title, "Kelvane Error Message");
    // tex1.jpg was written before it; nothing after it.
    EXPECT_EQ(DecodedSize(inst.scene.File("tex1.jpg")), std::make_pair(576, 576));
    EXPECT_FALSE(fs::exists(inst.scene.File("tex2.jpg")));

    Creation plenty(inst, inst.Settings(), false);
    plenty.output.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(16000000); };
    EXPECT_EQ(FailureOf(plenty), "Error writing " + inst.scene.File("bump1.jpg") + ".");
}

TEST(TerrainTextureFailure, MissingPatternsReportTheirPaths)
{
    {
        Installation inst(0);
        fs::remove(inst.program.File("rc1.bmp"));
        Creation creation(inst, inst.Settings(), false);
        EXPECT_EQ(FailureOf(creation), "Error opening " + inst.program.File("rc1.bmp") + ".");
        EXPECT_TRUE(FilesIn(inst.scene.path()).empty());
        EXPECT_EQ(creation.session.random().State(), 424242u);  // the noise never had its turn
    }
    {
        Installation inst(0);
        fs::remove(inst.program.File("ra1.bmp"));
        Creation creation(inst, inst.Settings(), false);
        EXPECT_EQ(FailureOf(creation), "Error opening " + inst.program.File("ra1.bmp") + ".");
        // The ra pattern is read after tex1.jpg is written.
        EXPECT_EQ(FilesIn(inst.scene.path()), std::vector<std::string>{"tex1.jpg"});
        EXPECT_EQ(DecodedSize(inst.scene.File("tex1.jpg")), std::make_pair(576, 576));
    }
    {
        Installation inst(0);
        test::WriteGreyBmp(inst.program.File("em1.bmp"), 576, 576, [](int, int) { return 9; });
        Creation creation(inst, inst.Settings(), false);
        EXPECT_EQ(FailureOf(creation),
                  "The pattern bitmap " + inst.program.File("em1.bmp") + " must be 288 x 288 pixels.");
    }
}

TEST(TerrainTextureFailure, HeightfieldLargerThanTheTextureIsRefused)
{
    Installation inst(0, 600);
    Creation creation(inst, inst.Settings(), false);
    EXPECT_EQ(FailureOf(creation), "The heightfield bitmap " + inst.program.File("hills.bmp") +
                                       " is larger than the texture resolution; choose a higher resolution.");
    EXPECT_TRUE(FilesIn(inst.scene.path()).empty());
}

}  // namespace
}  // namespace kv
