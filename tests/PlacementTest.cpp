// Reading the placement bitmap, the scan order and where the placed objects land.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "AllocationWatch.h"
#include "PngWriter.h"
#include "ScratchScene.h"
#include "TestSupport.h"
#include "core/basics/Messages.h"
#include "core/inputs/HeightGrid.h"
#include "core/model/Placement.h"
#include "core/platform/Paths.h"

namespace kv {
namespace {

struct Rgb {
    std::uint8_t r, g, b;
};
using Pixels = std::map<std::pair<int, int>, Rgb>;  // picture (x, y) from the top-left

std::vector<std::uint8_t> PlacementRgb(int width, int height, const Pixels& pixels)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3, 0);
    for (const auto& [at, c] : pixels) {
        const std::size_t i = (static_cast<std::size_t>(at.second) * width + at.first) * 3;
        rgb[i] = c.r;
        rgb[i + 1] = c.g;
        rgb[i + 2] = c.b;
    }
    return rgb;
}

// The same picture stored top row first (negative height).
std::vector<std::uint8_t> TopDownBmp(int n, const Pixels& pixels)
{
    std::vector<std::uint8_t> file = EncodeBmp24(n, n, PlacementRgb(n, n, pixels).data());
    const std::size_t stride = static_cast<std::size_t>(3 * n + n % 4);
    std::vector<std::uint8_t> flipped(file.begin(), file.begin() + 54);
    for (int row = n - 1; row >= 0; --row)
        flipped.insert(flipped.end(), file.begin() + 54 + row * stride, file.begin() + 54 + (row + 1) * stride);
    const std::int32_t height = -n;
    for (int i = 0; i < 4; ++i)
        flipped[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
    return flipped;
}

std::vector<std::string> WithPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
}

// A scene model on a scratch directory with an n by n heightfield whose
// picture pixel (x, y) is grey `height(x, y)`.
struct PlacementScene : test::ScratchScene {

    template <typename F>
    PlacementScene(int n, F height)
    {
        test::WriteGreyBmp(dir.File("height.bmp"), n, n, height);
        heights = BuildHeightGrid(LoadHeightfield(dir.path(), "height.bmp"));
        settings.treebmp = "tree.bmp";
    }
    explicit PlacementScene(int n) : PlacementScene(n, [](int, int) { return 0; }) {}

    void WritePlacement(int width, int height, const Pixels& pixels)
    {
        WriteBmp24(dir.File("tree.bmp"), width, height, PlacementRgb(width, height, pixels).data());
    }
    // The lines written for the placed objects, the scratch directory
    // replaced (it differs between scenes).
    std::vector<std::string> Output()
    {
        std::vector<std::string> lines = WrittenLines();
        for (std::string& l : lines)
            if (const auto at = l.find(dir.path()); at != std::string::npos) l.replace(at, dir.path().size(), "DIR");
        return lines;
    }
};

constexpr Rgb kEvergreen{0, 128, 0}, kFir{0, 64, 0}, kPalm{0, 0, 255};
constexpr Rgb kBoulder{255, 0, 0}, kFlatrock{196, 0, 0}, kRock{128, 0, 0}, kPebbles{64, 0, 0};

// The index-th number of a line, words skipped ("center 1 2 3", "x axis 1 0 0").
double Number(const std::string& line, int index)
{
    std::istringstream in(line);
    std::vector<double> numbers;
    for (std::string token; in >> token;) {
        char* end = nullptr;
        const double v = std::strtod(token.c_str(), &end);
        if (*end == '\0') numbers.push_back(v);
    }
    return numbers.at(static_cast<std::size_t>(index));
}

TEST(PlacementScanTest, NearMissColoursPlaceNothing)
{
    PlacementScene scene(9);
    scene.WritePlacement(
        9, 9, {{{4, 4}, {0, 129, 0}}, {{5, 4}, {1, 128, 0}}, {{3, 3}, {0, 0, 254}}, {{2, 2}, {255, 255, 255}}});
    scene.kinds.Set(ObjectKind::Fir);  // left over from an earlier creation
    scene.Place();
    for (bool flag : scene.kinds.flags) EXPECT_FALSE(flag);
    EXPECT_EQ(scene.session.random().State(), 1u);
    EXPECT_TRUE(scene.Output().empty());
}

TEST(PlacementScanTest, TopRightPixelIsScannedFirstAtTheGridOrigin)
{
    PlacementScene scene(9);
    // Row 4 holds two codes: the right-hand one is written first.
    scene.WritePlacement(9, 9,
                         {{{8, 0}, kBoulder}, {{0, 8}, kFlatrock}, {{0, 0}, kRock}, {{2, 4}, kPalm}, {{6, 4}, kFir}});
    scene.Place();
    const std::vector<std::string> lines = scene.Output();
    EXPECT_EQ(WithPrefix(lines, "Name "),
              (std::vector<std::string>{"Name boulder", "Name rock", "Name fir", "Name trunk", "Name branches",
                                        "Name palmtree", "Name Trunk", "Name Leaf1", "Name Leaf2", "Name Leaf3",
                                        "Name flatrock"}));
    const std::vector<std::string> centers = WithPrefix(lines, "center ");
    const double half = 0.5 * 10.0 / 8.0;
    EXPECT_NEAR(Number(centers[0], 0), -5.0, half);
    EXPECT_NEAR(Number(centers[0], 1), -5.0, half);
    EXPECT_EQ(Number(centers[0], 2), 0.0);
    EXPECT_NEAR(Number(centers[1], 0), 5.0, half);      // top-left: last column of the scan
    EXPECT_NEAR(Number(centers.back(), 1), 5.0, half);  // bottom row
    EXPECT_NEAR(Number(centers.back(), 0), 5.0, half);
}

TEST(PlacementScanTest, ObjectsStandOnTheTerrainVertexOfTheirPixel)
{
    // Heightfield picture: grey 200 at (3, 5), the mirrored grid puts it at column 9-1-3.
    PlacementScene scene(9, [](int x, int y) { return x == 3 && y == 5 ? 200 : 40; });
    scene.settings.rockssize = 455;
    scene.WritePlacement(9, 9, {{{3, 5}, kPebbles}, {{4, 5}, kPebbles}});
    scene.Place();
    const std::vector<std::string> lines = scene.Output();
    const std::vector<std::string> centers = WithPrefix(lines, "center ");
    ASSERT_EQ(centers.size(), 2u);
    // Pebbles lie exactly on the grid; the right-hand pixel (4, 5) is scan column 4.
    EXPECT_EQ(centers[0], "center 0.000000 1.250000 0.522876");  // 120 / 229.5
    EXPECT_EQ(centers[1], "center 1.250000 1.250000 2.614379");  // 600 / 229.5
}

TEST(PlacementScanTest, TopDownAndBottomUpBitmapsPlaceTheSame)
{
    const Pixels pixels = {{{6, 2}, kEvergreen}, {{2, 2}, kPebbles}, {{5, 6}, kPalm}, {{3, 7}, kRock}};
    auto height = [](int x, int y) { return 10 * x + 7 * y; };
    PlacementScene bottomUp(10, height), topDown(10, height);
    bottomUp.WritePlacement(10, 10, pixels);
    test::WriteFile(topDown.dir.File("tree.bmp"), TopDownBmp(10, pixels));
    bottomUp.Place();
    topDown.Place();
    EXPECT_EQ(bottomUp.kinds.flags, topDown.kinds.flags);
    const std::vector<std::string> a = bottomUp.Output();
    EXPECT_EQ(a, topDown.Output());
    EXPECT_EQ(WithPrefix(a, "Name ").size(), 3u + 1u + 5u + 1u);
}

// The placement map as a PNG of `kind` (8-bit RGB, RGBA or palette).
std::vector<std::uint8_t> PlacementPng(int n, const Pixels& pixels, test::PngPicture::Kind kind, bool interlaced)
{
    using Kind = test::PngPicture::Kind;
    const std::vector<std::uint8_t> rgb = PlacementRgb(n, n, pixels);
    test::PngPicture picture;
    if (kind == Kind::Palette) {
        // Palette entries in order of first use; every pixel an index.
        std::vector<std::uint32_t> colours;
        picture = test::MakePng(n, n, Kind::Palette, 8, [&](int x, int y, int) {
            const std::size_t at = (static_cast<std::size_t>(y) * n + x) * 3;
            const std::uint32_t c = static_cast<std::uint32_t>(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]);
            const auto found = std::find(colours.begin(), colours.end(), c);
            if (found != colours.end()) return static_cast<int>(found - colours.begin());
            colours.push_back(c);
            return static_cast<int>(colours.size() - 1);
        });
        for (std::uint32_t c : colours)
            for (int shift : {16, 8, 0}) picture.paletteRgb.push_back(static_cast<std::uint8_t>(c >> shift));
        // A transparency chunk changes nothing: colours are never blended.
        picture.paletteAlpha.assign(colours.size(), 0);
    } else {
        picture = test::MakePng(n, n, kind, 8, [&](int x, int y, int c) {
            if (c == 3) return (x * 37 + y) % 256;  // alpha, ignored
            return static_cast<int>(rgb[(static_cast<std::size_t>(y) * n + x) * 3 + static_cast<std::size_t>(c)]);
        });
    }
    picture.interlaced = interlaced;
    return test::EncodePng(picture);
}

TEST(PlacementScanTest, PngMapsPlaceExactlyWhatTheBmpPlaces)
{
    using Kind = test::PngPicture::Kind;
    const Pixels pixels = {{{6, 2}, kEvergreen}, {{2, 2}, kPebbles}, {{5, 6}, kPalm},
                           {{3, 7}, kRock},      {{7, 4}, kBoulder}, {{4, 4}, {0, 129, 0}}};
    auto height = [](int x, int y) { return 10 * x + 7 * y; };
    PlacementScene bmp(10, height);
    bmp.WritePlacement(10, 10, pixels);
    bmp.Place();
    const std::vector<std::string> expected = bmp.Output();
    ASSERT_EQ(WithPrefix(expected, "Name ").size(), 3u + 1u + 5u + 1u + 1u);
    for (const auto& [kind, interlaced] : {std::pair{Kind::Rgb, false}, std::pair{Kind::Rgba, true},
                                           std::pair{Kind::Palette, false}, std::pair{Kind::Palette, true}}) {
        PlacementScene png(10, height);
        png.settings.treebmp = "tree.png";
        test::WriteFile(png.dir.File("tree.png"), PlacementPng(10, pixels, kind, interlaced));
        png.Place();
        EXPECT_EQ(png.kinds.flags, bmp.kinds.flags) << static_cast<int>(kind) << interlaced;
        EXPECT_EQ(png.Output(), expected) << static_cast<int>(kind) << interlaced;
    }
    // The content decides, not the name: a PNG called .bmp is read as a PNG.
    PlacementScene named(10, height);
    test::WriteFile(named.dir.File("tree.bmp"), PlacementPng(10, pixels, Kind::Rgb, false));
    named.Place();
    EXPECT_EQ(named.Output(), expected);
}

// ------------------------------------------------------------------ refusals

void ExpectRefused(PlacementScene& scene, const std::string& message)
{
    try {
        scene.Place();
        ADD_FAILURE() << "accepted; expected: " << message;
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, message);
        EXPECT_EQ(failure.message.title, "Kelvane Message");
        EXPECT_EQ(failure.message.modality, Modality::SystemModal);
        EXPECT_EQ(failure.message.icon, MessageIcon::Error);
    }
    for (const std::string& l : scene.Output()) {
        EXPECT_NE(l.rfind("PolH", 0), 0u) << l;
        EXPECT_NE(l.rfind("Grou", 0), 0u) << l;
    }
}

TEST(PlacementRefusalTest, NotSquare)
{
    PlacementScene scene(9);
    scene.WritePlacement(9, 8, {{{4, 4}, kEvergreen}});
    ExpectRefused(scene, "The bitmap used for trees and rocks placement must be square.");
}

TEST(PlacementRefusalTest, NotTheHeightfieldsSize)
{
    PlacementScene scene(9);
    scene.WritePlacement(5, 5, {{{2, 2}, kEvergreen}});
    ExpectRefused(scene,
                  "The bitmap used for trees and rocks placement must be the same size as the heightfield bitmap.");
}

TEST(PlacementRefusalTest, OnePixelWide)
{
    PlacementScene scene(2);
    scene.heights = HeightGrid{1, {0}};  // a one-pixel grid built by hand
    scene.WritePlacement(1, 1, {{{0, 0}, kBoulder}});
    ExpectRefused(scene, "The bitmap used for trees and rocks placement must be at least 2 pixels wide.");
}

TEST(PlacementRefusalTest, AHugeDeclaredSizeIsRefusedBeforeAnythingIsAllocated)
{
    PlacementScene scene(9);
    // A 60-byte file that declares 16384 x 16384 pixels.
    std::vector<std::uint8_t> bytes = EncodeBmp24(1, 1, std::vector<std::uint8_t>{0, 0, 0}.data());
    for (int i = 0; i < 4; ++i) {
        bytes[18 + i] = static_cast<std::uint8_t>(16384 >> (8 * i));
        bytes[22 + i] = static_cast<std::uint8_t>(16384 >> (8 * i));
        bytes[2 + i] = 0xff;
    }
    test::WriteFile(scene.dir.File("tree.bmp"), bytes);
    std::size_t largest = 0;
    {
        test::AllocationWatch watch;
        try {
            scene.Place();
            ADD_FAILURE() << "accepted";
        } catch (const JobFailure& failure) {
            EXPECT_EQ(failure.message.text,
                      "The bitmap used for trees and rocks placement must be the same size as the heightfield bitmap.");
        }
        largest = watch.Largest();
    }
    EXPECT_LT(largest, std::size_t{1} << 20);
}

// A PNG whose header declares another size (its checksum made right again).
std::vector<std::uint8_t> WithDeclaredSize(std::vector<std::uint8_t> png, std::uint32_t width, std::uint32_t height)
{
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) png[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    put(16, width);
    put(20, height);
    put(29, static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), png.data() + 12, 17)));
    return png;
}

TEST(PlacementRefusalTest, PngMapsAreCheckedOnTheirDeclaredSizeBeforeAnythingIsAllocated)
{
    using Kind = test::PngPicture::Kind;
    const std::string square = "The bitmap used for trees and rocks placement must be square.";
    const std::string size =
        "The bitmap used for trees and rocks placement must be the same size as the heightfield bitmap.";
    const std::vector<std::uint8_t> small = PlacementPng(4, {{{1, 1}, kBoulder}}, Kind::Rgb, false);
    struct Case {
        std::uint32_t width, height;
        const std::string* message;
    };
    for (const Case& c : {Case{9, 8, &square}, Case{5, 5, &size}, Case{16384, 16384, &size}}) {
        PlacementScene scene(9);
        scene.settings.treebmp = "tree.png";
        test::WriteFile(scene.dir.File("tree.png"), WithDeclaredSize(small, c.width, c.height));
        std::size_t largest = 0;
        {
            test::AllocationWatch watch;
            ExpectRefused(scene, *c.message);
            largest = watch.Largest();
        }
        // 16384 x 16384 colour pixels would be 768 MB.
        EXPECT_LT(largest, std::size_t{4} << 20) << c.width;
    }
    // A grey PNG is no placement map.
    PlacementScene grey(9);
    grey.settings.treebmp = "tree.png";
    test::WriteFile(grey.dir.File("tree.png"),
                    test::EncodePng(test::MakePng(9, 9, Kind::Grey, 8, [](int, int, int) { return 0; })));
    ExpectRefused(grey, grey.dir.File("tree.png") + " must be an 8-bit colour PNG.");
}

TEST(PlacementRefusalTest, MissingBitmapNamesItsPath)
{
    PlacementScene scene(9);
    ExpectRefused(scene, "Error opening " + JoinPath(scene.dir.path(), "tree.bmp") + ".");
}

// ------------------------------------------------------------------ kinds used

TEST(PlacementKindsTest, RockCodesLeaveEveryTreeFlagClear)
{
    PlacementScene scene(9);
    scene.WritePlacement(9, 9, {{{2, 2}, kBoulder}, {{3, 3}, kFlatrock}, {{4, 4}, kRock}, {{5, 5}, kPebbles}});
    scene.Place();
    for (int k = 0; k < kObjectKindCount; ++k) EXPECT_EQ(scene.kinds.flags[k], k >= 8) << k;
    EXPECT_TRUE(scene.kinds.AnyRock());
    EXPECT_FALSE(scene.kinds.AnyBarkTree());
    // Six draws per rock; the generator's state runs on to the next stage.
    Random expected;
    for (int i = 0; i < 4 * 6; ++i) expected.Next();
    EXPECT_EQ(scene.session.random().State(), expected.State());
}

TEST(PlacementKindsTest, EveryCodeSetsItsOwnFlag)
{
    const Rgb codes[kObjectKindCount] = {{0, 0, 255}, {0, 0, 196}, {0, 0, 128}, {0, 0, 64},  {0, 255, 0}, {0, 196, 0},
                                         {0, 128, 0}, {0, 64, 0},  {255, 0, 0}, {196, 0, 0}, {128, 0, 0}, {64, 0, 0}};
    for (int k = 0; k < kObjectKindCount; ++k) {
        PlacementScene scene(5);
        scene.WritePlacement(5, 5, {{{1, 3}, codes[k]}, {{3, 1}, codes[k]}});
        scene.Place();
        for (int j = 0; j < kObjectKindCount; ++j) EXPECT_EQ(scene.kinds.flags[j], j == k) << k << " " << j;
    }
}

// ------------------------------------------------------------------ sample

// The sample placement of the program directory fits the sample heightfield:
// same size, every kind at least once, a few hundred objects, none in the
// border band or under the ocean plane.
TEST(SamplePlacementTest, FitsTheSampleHeightfield)
{
    const std::string dir = test::ProgramDir();
    const Bitmap24 placement = LoadBitmap24(JoinPath(dir, "tree01.bmp"), BitmapWording::ForPath("tree01.bmp"));
    const Bitmap24 terrain = LoadHeightfield(dir, "height01.bmp");
    ASSERT_EQ(placement.width, terrain.width);
    ASSERT_EQ(placement.height, terrain.height);
    const HeightGrid grid = BuildHeightGrid(terrain);
    const int n = placement.width;
    int objects = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::uint8_t* p = placement.Pixel(x, y);
            if ((p[0] != 0) + (p[1] != 0) + (p[2] != 0) != 1) continue;
            ++objects;
            EXPECT_TRUE(x > 1 && y > 1 && x < n - 1 && y < n - 1) << x << "," << y;
            EXPECT_GT(grid.At(n - 1 - x, y) / 229.5, 0.1) << x << "," << y;
        }
    EXPECT_GE(objects, 200);
    EXPECT_LE(objects, 800);

    PlacementScene scene(2);
    scene.heights = grid;
    scene.settings.treedir = dir;
    scene.settings.treebmp = "tree01.bmp";
    scene.treesId = 9000000;  // above every id this scene hands out
    scene.rocksId = 9000001;
    scene.Place();
    for (int k = 0; k < kObjectKindCount; ++k) EXPECT_TRUE(scene.kinds.flags[k]) << k;
    const std::vector<std::string> lines = scene.Output();
    const std::size_t placed = std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find(" Parent 9000000 ") != std::string::npos || l.find(" Parent 9000001 ") != std::string::npos;
    });
    EXPECT_EQ(placed, static_cast<std::size_t>(objects));
}

}  // namespace
}  // namespace kv
