// Whole creations from heightfields and placement maps of every type: a grey
// PNG against the grey BMP it was made from, a smooth 16-bit ramp, elevation
// rasters written here (an ESRI ASCII grid and its GeoTIFF copy), and the
// elevation settings on their way from the command line to the loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "PngWriter.h"
#include "OneAnswerFrontEnd.h"
#include "TestSupport.h"
#include "core/job/CreationJob.h"
#include "core/platform/Paths.h"

#if KV_HAVE_GDAL
#include <gdal.h>
#endif

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::EncodePng;
using test::MakePng;
using test::ScratchDir;
using Kind = test::PngPicture::Kind;

using AnswerOnce = test::OneAnswerFrontEnd;

// What one creation left: every file of the scene directory by name (the
// scene text with its directory written as "DIR"), and what it said.
struct Creation {
    JobOutcome outcome = JobOutcome::Failed;
    std::map<std::string, std::string> files;
    std::vector<Message> messages;

    const std::string& Scene() const { return files.at("land.scn"); }
    std::string LastMessage() const { return messages.empty() ? "" : messages.back().text; }
};

// A creation in a fresh session (the generator starts over) into a fresh
// directory, with the stock files of the build tree.
Creation Create(const ProjectSettings& settings)
{
    ScratchDir scenes;
    Session session;
    AnswerOnce ui(SceneFileChoice{scenes.path(), "land", true, {}});
    CreationJob job(settings, session, ui, test::ProgramDir());
    Creation result;
    result.outcome = job.Run();
    result.messages = ui.messages;
    for (const auto& entry : fs::directory_iterator(scenes.path())) {
        std::string bytes = test::ReadFile(entry.path().string());
        for (std::size_t at; (at = bytes.find(scenes.path())) != std::string::npos;)
            bytes.replace(at, scenes.path().size(), "DIR");
        result.files[entry.path().filename().string()] = std::move(bytes);
    }
    return result;
}

// The settings of a creation from `heightfield` and `placement` in `dir`.
ProjectSettings SettingsFor(const ScratchDir& dir, const std::string& heightfield, const std::string& placement)
{
    ProjectSettings settings = DefaultSettings(test::ProgramDir());
    settings.basedir = dir.path();
    settings.basebmp = heightfield;
    settings.treedir = dir.path();
    settings.treebmp = placement;
    settings.cover1index = 5;  // covers that follow altitude and slope
    settings.cover1altitudemin = 140;
    settings.cover2index = 3;
    settings.cover2slopemin = 240;
    return settings;
}

// The z of the terrain's n x n grid vertices as the scene file writes them,
// row by row.
std::vector<double> TerrainHeights(const std::string& scene, int n)
{
    const std::size_t terrain = scene.find("Name terrain");
    const std::size_t vertices = scene.find("World Vertices ", terrain);
    EXPECT_NE(vertices, std::string::npos);
    std::istringstream in(scene.substr(vertices));
    std::string world, word;
    long count = 0;
    in >> world >> word >> count;
    EXPECT_EQ(count, static_cast<long>(n) * n + 4);
    std::vector<double> heights;
    for (long i = 0; i < static_cast<long>(n) * n; ++i) {
        double x = 0, y = 0, z = 0;
        in >> x >> y >> z;
        heights.push_back(z);
    }
    return heights;
}

// The trees and rocks of a placement map: a few of each family and every
// rock, in picture pixels from the top-left.
struct Marker {
    int x, y;
    std::uint8_t r, g, b;
};
const std::vector<Marker> kMarkers = {
    {10, 12, 0, 0, 255}, {30, 20, 0, 128, 0},  {22, 31, 0, 64, 0},  {14, 40, 255, 0, 0},
    {35, 35, 196, 0, 0}, {40, 9, 128, 0, 0},   {25, 25, 64, 0, 0},  {5, 44, 0, 196, 0},
};

std::vector<std::uint8_t> MarkerRgb(int n)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(n) * n * 3, 0);
    for (const Marker& m : kMarkers) {
        const std::size_t at = (static_cast<std::size_t>(m.y) * n + m.x) * 3;
        rgb[at] = m.r;
        rgb[at + 1] = m.g;
        rgb[at + 2] = m.b;
    }
    return rgb;
}

TEST(HeightfieldCreation, GreyPngsGiveExactlyTheFilesOfTheGreyBmpTheyWereMadeFrom)
{
    ScratchDir dir;
    const int n = 48;
    auto grey = [](int x, int y) { return static_cast<int>(127.5 + 90 * std::sin(x / 7.0) * std::cos(y / 9.0)); };
    test::WriteGreyBmp(dir.File("h.bmp"), n, n, grey);
    test::WriteFile(dir.File("h.png"), EncodePng(MakePng(n, n, Kind::Grey, 8, [&](int x, int y, int) {
                        return grey(x, y);
                    })));
    // 16 bits, each byte repeated: 257 v is 765 v / 65535 = 3 v exactly.
    test::WriteFile(dir.File("h16.png"), EncodePng(MakePng(n, n, Kind::Grey, 16, [&](int x, int y, int) {
                        return grey(x, y) * 257;
                    })));
    const std::vector<std::uint8_t> markers = MarkerRgb(n);
    WriteBmp24(dir.File("t.bmp"), n, n, markers.data());
    test::WriteFile(dir.File("t.png"), EncodePng(MakePng(n, n, Kind::Rgb, 8, [&](int x, int y, int c) {
                        return markers[(static_cast<std::size_t>(y) * n + x) * 3 + c];
                    })));

    const Creation bmp = Create(SettingsFor(dir, "h.bmp", "t.bmp"));
    ASSERT_EQ(bmp.outcome, JobOutcome::Finished) << bmp.LastMessage();
    // Something to compare: trees, rocks and their textures, covers on the land.
    EXPECT_NE(bmp.Scene().find("Name palmtree"), std::string::npos);
    EXPECT_NE(bmp.Scene().find("Name boulder"), std::string::npos);
    EXPECT_EQ(bmp.files.count("rocktex.jpg"), 1u);
    EXPECT_EQ(bmp.files.count("tex1.jpg"), 1u);

    for (const auto& [heightfield, placement] : {std::pair{"h.png", "t.png"}, std::pair{"h16.png", "t.bmp"},
                                                 std::pair{"h.bmp", "t.png"}}) {
        const Creation other = Create(SettingsFor(dir, heightfield, placement));
        ASSERT_EQ(other.outcome, JobOutcome::Finished) << other.LastMessage();
        ASSERT_EQ(other.files.size(), bmp.files.size()) << heightfield << " " << placement;
        for (const auto& [name, bytes] : bmp.files) {
            ASSERT_EQ(other.files.count(name), 1u) << name;
            // The report names the bitmaps; the files must not differ at all.
            EXPECT_TRUE(other.files.at(name) == bytes) << name << " from " << heightfield << " and " << placement;
        }
    }
}

// Differences between neighbours along each grid row of the terrain, over
// the vertices outside the border band.
std::vector<double> RiseAlongRows(const std::vector<double>& heights, int n)
{
    std::vector<double> rises;
    for (int y = 2; y < n - 1; ++y)
        for (int j = 1; j < n - 3; ++j)
            rises.push_back(heights[static_cast<std::size_t>(y) * n + j] -
                            heights[static_cast<std::size_t>(y) * n + j + 1]);
    return rises;
}

TEST(HeightfieldCreation, SixteenBitRampRisesByOneStepWithoutTerraces)
{
    ScratchDir dir;
    const int n = 64;
    // Up by 40 of 65535 a column: less than a sixth of an 8-bit step.
    auto sample = [](int x) { return 20000 + 40 * x; };
    test::WriteFile(dir.File("ramp16.png"),
                    EncodePng(MakePng(n, n, Kind::Grey, 16, [&](int x, int, int) { return sample(x); })));
    test::WriteFile(dir.File("ramp8.png"),
                    EncodePng(MakePng(n, n, Kind::Grey, 8, [&](int x, int, int) { return sample(x) / 257; })));
    WriteBmp24(dir.File("none.bmp"), n, n, std::vector<std::uint8_t>(static_cast<std::size_t>(n) * n * 3, 0).data());

    const Creation smooth = Create(SettingsFor(dir, "ramp16.png", "none.bmp"));
    ASSERT_EQ(smooth.outcome, JobOutcome::Finished) << smooth.LastMessage();
    // The grid mirrors the picture: a grid row falls where the picture rises.
    const double step = 765.0 * 40 / 65535 / 76.5 / 3;
    const std::vector<double> rises = RiseAlongRows(TerrainHeights(smooth.Scene(), n), n);
    ASSERT_FALSE(rises.empty());
    for (double rise : rises) ASSERT_NEAR(rise, step, 2e-6);  // the scene's numbers carry six decimals

    // The same ramp in 8 bits climbs in terraces: flat runs, then a jump.
    const Creation terraced = Create(SettingsFor(dir, "ramp8.png", "none.bmp"));
    ASSERT_EQ(terraced.outcome, JobOutcome::Finished) << terraced.LastMessage();
    const std::vector<double> steps = RiseAlongRows(TerrainHeights(terraced.Scene(), n), n);
    const long flat = std::count_if(steps.begin(), steps.end(), [](double r) { return std::abs(r) < 1e-7; });
    EXPECT_GT(flat, static_cast<long>(steps.size()) / 2);
    EXPECT_NEAR(*std::max_element(steps.begin(), steps.end()), 3 / 229.5, 2e-6);
}

#if KV_HAVE_GDAL

// An ESRI ASCII grid of `columns` x `rows` cells, row 0 the northern one.
template <typename F>
void WriteAsciiGrid(const std::string& path, int columns, int rows, F elevation)
{
    std::ofstream out(path);
    out << "ncols " << columns << "\nnrows " << rows << "\nxllcorner 500000\nyllcorner 4100000\ncellsize 30\n"
        << "NODATA_value -9999\n";
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) out << (x ? " " : "") << elevation(x, y);
        out << "\n";
    }
}

// A GeoTIFF copy of `source`, made through GDAL's API.
void CopyAsGeoTiff(const std::string& source, const std::string& target)
{
    GDALAllRegister();
    GDALDatasetH input = GDALOpen(source.c_str(), GA_ReadOnly);
    ASSERT_NE(input, nullptr);
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    ASSERT_NE(driver, nullptr);
    GDALDatasetH output = GDALCreateCopy(driver, target.c_str(), input, FALSE, nullptr, nullptr, nullptr);
    ASSERT_NE(output, nullptr);
    GDALClose(output);
    GDALClose(input);
}

// An island in metres: sea to the west (down to -40 m), a hill rising to
// 1200 m at picture (30, 20) of the central square, a void in the sea. The
// raster is 50 x 40; its central square is columns 5 to 44.
double Island(int x, int y)
{
    if (x == 8 && y == 30) return -9999;
    const double dx = x - 35, dy = y - 20;
    return std::round(1240 * std::exp(-(dx * dx + dy * dy) / 150.0) - 40 + 0.25 * x);
}

void WriteEmptyPlacement(const std::string& path, int n)
{
    WriteBmp24(path, n, n, std::vector<std::uint8_t>(static_cast<std::size_t>(n) * n * 3, 0).data());
}

TEST(HeightfieldCreation, AsciiGridAndItsGeoTiffMakeTheSameWholeScene)
{
    ScratchDir dir;
    WriteAsciiGrid(dir.File("island.asc"), 50, 40, Island);
    CopyAsGeoTiff(dir.File("island.asc"), dir.File("island.tif"));
    WriteEmptyPlacement(dir.File("t40.bmp"), 40);

    const Creation grid = Create(SettingsFor(dir, "island.asc", "t40.bmp"));
    ASSERT_EQ(grid.outcome, JobOutcome::Finished) << grid.LastMessage();
    const std::vector<double> heights = TerrainHeights(grid.Scene(), 40);
    // The grid is the central square mirrored: picture (x, y) is raster
    // (x + 5, y), grid column 39 - x.
    double highest = 0;
    for (int y = 2; y < 39; ++y)
        for (int x = 2; x < 39; ++x) {
            const double metres = Island(x + 5, y);
            const double z = heights[static_cast<std::size_t>(y) * 40 + (39 - x)];
            highest = std::max(highest, z);
            if (metres <= 0) EXPECT_EQ(z, 0.0) << "sea or void at " << x << "," << y;
            else EXPECT_GT(z, 0.0) << x << "," << y;
        }
    EXPECT_NEAR(highest, 765 / 229.5, 1e-6);  // the highest ground reaches the full height

    const Creation tiff = Create(SettingsFor(dir, "island.tif", "t40.bmp"));
    ASSERT_EQ(tiff.outcome, JobOutcome::Finished) << tiff.LastMessage();
    ASSERT_EQ(tiff.files.size(), grid.files.size());
    for (const auto& [name, bytes] : grid.files) EXPECT_TRUE(tiff.files.at(name) == bytes) << name;
}

TEST(HeightfieldCreation, ElevationSettingsReachTheLoaderFromTheCommandLine)
{
    ScratchDir dir;
    WriteAsciiGrid(dir.File("island.asc"), 50, 40, Island);
    WriteEmptyPlacement(dir.File("t24.bmp"), 24);
    fs::create_directory(dir.File("out"));
    const std::string command = std::string(KV_TEST_CLI) + " create --quiet --set basedir=" + dir.path() +
                                " --set basebmp=island.asc --set treedir=" + dir.path() +
                                " --set treebmp=t24.bmp --set demedge=24 --set demrange=2400 " +
                                dir.File("out") + "/land.scn";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string scene = test::ReadFile(dir.File("out") + "/land.scn");
    // 24 points a side; 0 m..2400 m make the full height, so the 1209 m top,
    // less the little that averaging takes off a broad peak, stands at about
    // half of it (the raster's own range would raise it to the full height).
    const std::vector<double> heights = TerrainHeights(scene, 24);
    const double highest = *std::max_element(heights.begin(), heights.end());
    EXPECT_GT(highest, 1150.0 / 2400 * 765 / 229.5);
    EXPECT_LE(highest, 1209.0 / 2400 * 765 / 229.5 + 1e-6);

    // The same overrides written into a settings file, and read from it.
    const std::string write = std::string(KV_TEST_CLI) + " settings --set demedge=24 --set demrange=2400 --write " +
                              dir.File("dem.kv");
    ASSERT_EQ(std::system(write.c_str()), 0);
    const std::string text = test::ReadFile(dir.File("dem.kv"));
    EXPECT_NE(text.find("oceanB=255\r\ndemedge=24\r\ndemrange=2400\r\n"), std::string::npos) << text;
    const std::string fromFile = std::string(KV_TEST_CLI) + " create --quiet --settings " + dir.File("dem.kv") +
                                 " --set basedir=" + dir.path() + " --set basebmp=island.asc --set treedir=" +
                                 dir.path() + " --set treebmp=t24.bmp " + dir.File("out") + "/again.scn";
    ASSERT_EQ(std::system(fromFile.c_str()), 0) << fromFile;
    std::string again = test::ReadFile(dir.File("out") + "/again.scn");
    EXPECT_EQ(TerrainHeights(again, 24), heights);

    // Without the edge the raster keeps its own 40: a 24-pixel placement map
    // is then refused for its size.
    const std::string mismatch = std::string(KV_TEST_CLI) + " create --quiet --set basedir=" + dir.path() +
                                 " --set basebmp=island.asc --set treedir=" + dir.path() + " --set treebmp=t24.bmp " +
                                 dir.File("out") + "/third.scn 2>" + dir.File("err.txt");
    EXPECT_EQ(WEXITSTATUS(std::system(mismatch.c_str())), 1);
    EXPECT_NE(test::ReadFile(dir.File("err.txt")).find("must be the same size as the heightfield bitmap"),
              std::string::npos);
}

#else  // a build without GDAL

TEST(HeightfieldCreation, AnElevationRasterEndsTheCreationWithTheCannotReadMessage)
{
    ScratchDir dir;
    test::WriteFile(dir.File("land.asc"), std::string("ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                                                      "1 2\n3 4\n"));
    WriteBmp24(dir.File("t.bmp"), 2, 2, std::vector<std::uint8_t>(12, 0).data());
    const Creation refused = Create(SettingsFor(dir, "land.asc", "t.bmp"));
    EXPECT_EQ(refused.outcome, JobOutcome::Failed);
    EXPECT_EQ(refused.LastMessage(), dir.File("land.asc") + " holds elevation data, which this build of Kelvane "
                                                            "cannot read (it was built without GDAL).");
    EXPECT_EQ(refused.files.count("land.scn"), 0u);
}

#endif

}  // namespace
}  // namespace kv
