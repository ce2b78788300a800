// The stock files the data tool writes into the program directory: the
// sample heightfields and their placement maps, the rc, em and ra pattern
// families, the cloud bitmaps, the stock textures of the tree models and
// the ocean, and the sample settings files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "TestSupport.h"
#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"
#include "core/inputs/SettingsFile.h"

namespace kv {
namespace {

std::string Stock(const std::string& name) { return JoinPath(test::ProgramDir(), name); }

// A grey picture, rows from the top.
struct Grey {
    int width = 0, height = 0;
    std::vector<double> v;
    double at(int x, int y) const { return v[static_cast<std::size_t>(y) * width + x]; }
};

// Loads a stock BMP and checks that every pixel is grey (R = G = B).
Grey LoadGreyBmp(const std::string& name)
{
    const Bitmap24 bmp = LoadBitmap24(Stock(name), BitmapWording::ForPath(name));
    Grey g{bmp.width, bmp.height, {}};
    int coloured = 0;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const std::uint8_t* p = bmp.Pixel(x, y);
            if (p[0] != p[1] || p[1] != p[2]) ++coloured;
            g.v.push_back(p[1]);
        }
    EXPECT_EQ(coloured, 0) << name << " is not grey";
    return g;
}

// ---------------------------------------------------------------- JPEG and TGA reading

struct RgbImage {
    int width = 0, height = 0, components = 0;
    std::vector<std::uint8_t> pixels;  // rows from the top
    bool ok = false;
};

struct JpegErrors {
    jpeg_error_mgr standard;
    std::jmp_buf escape;
};

extern "C" void JpegTestErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
}

// Decodes with libjpeg; nothing with a destructor lives across setjmp.
bool DecodeJpegInto(std::FILE* file, RgbImage* out)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = JpegTestErrorExit;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out->width = static_cast<int>(info.output_width);
    out->height = static_cast<int>(info.output_height);
    out->components = info.num_components;
    out->pixels.resize(static_cast<std::size_t>(out->width) * out->height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->pixels.data() + static_cast<std::size_t>(info.output_scanline) * out->width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

RgbImage LoadJpeg(const std::string& name)
{
    RgbImage image;
    std::FILE* file = std::fopen(Stock(name).c_str(), "rb");
    if (!file) return image;
    image.ok = DecodeJpegInto(file, &image);
    std::fclose(file);
    return image;
}

// A 32-bit TGA as R, G, B, A rows from the top.
struct Card {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const { return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
};

Card LoadCard(const std::string& name)
{
    const std::string bytes = test::ReadFile(Stock(name));
    Card card;
    if (bytes.size() < 18) {
        ADD_FAILURE() << name << " is missing or shorter than a TGA header";
        return card;
    }
    const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    EXPECT_EQ(b(2), 2) << name << ": uncompressed true colour";
    EXPECT_EQ(b(16), 32) << name << ": 32 bits per pixel";
    EXPECT_EQ(b(17), 8) << name << ": 8 alpha bits, origin at the lower left";
    card.width = b(12) | (b(13) << 8);
    card.height = b(14) | (b(15) << 8);
    const std::size_t size = static_cast<std::size_t>(card.width) * card.height * 4;
    if (bytes.size() < 18 + size) {
        ADD_FAILURE() << name << " is shorter than its pixels";
        card.width = card.height = 0;
        return card;
    }
    card.rgba.resize(size);
    for (int y = 0; y < card.height; ++y)
        for (int x = 0; x < card.width; ++x) {
            const std::size_t src = 18 + (static_cast<std::size_t>(card.height - 1 - y) * card.width + x) * 4;
            std::uint8_t* dst = card.rgba.data() + (static_cast<std::size_t>(y) * card.width + x) * 4;
            dst[0] = b(src + 2), dst[1] = b(src + 1), dst[2] = b(src), dst[3] = b(src + 3);
        }
    return card;
}

Grey Channel(const RgbImage& image, int channel)
{
    Grey g{image.width, image.height, {}};
    for (std::size_t i = 0; i < image.pixels.size() / 3; ++i) g.v.push_back(image.pixels[3 * i + channel]);
    return g;
}

// ---------------------------------------------------------------- measures

// The mean absolute step between each column and the next, the last step
// going across the wrap from the last column to the first (likewise rows).
struct Steps {
    std::vector<double> columns, rows;
};

Steps MeasureSteps(const Grey& g)
{
    Steps s{std::vector<double>(g.width, 0.0), std::vector<double>(g.height, 0.0)};
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            s.columns[x] += std::fabs(g.at(x, y) - g.at((x + 1) % g.width, y)) / g.height;
            s.rows[y] += std::fabs(g.at(x, y) - g.at(x, (y + 1) % g.height)) / g.width;
        }
    return s;
}

double Mean(const std::vector<double>& v, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += v[i];
    return sum / (to - from);
}

// A picture tiles seamlessly when the step across its wrap is like the
// steps between the neighbouring columns (rows) on either side of it. A
// picture that is not periodic steps across its wrap by about the
// difference of two unrelated pixels, several times more; one whose last
// column repeats its first (a period one pixel short) hardly steps at all.
void ExpectSeamlessSteps(const std::vector<double>& steps, const std::string& what)
{
    const std::size_t n = steps.size();
    double local = 0;
    for (std::size_t k = 0; k < 4; ++k) local += steps[k] + steps[n - 2 - k];
    local /= 8;
    EXPECT_LE(steps[n - 1], 1.5 * local + 1.0) << what << " (mean step " << Mean(steps, 0, n - 1) << ")";
    EXPECT_GE(steps[n - 1], 0.25 * local) << what << " (mean step " << Mean(steps, 0, n - 1) << ")";
}

void ExpectSeamless(const Grey& g, const std::string& name)
{
    const Steps s = MeasureSteps(g);
    ExpectSeamlessSteps(s.columns, name + ": seam between the right and left edges");
    ExpectSeamlessSteps(s.rows, name + ": seam between the bottom and top edges");
}

Grey Halve(const Grey& g)
{
    Grey h{g.width / 2, g.height / 2, {}};
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x)
            h.v.push_back((g.at(2 * x, 2 * y) + g.at(2 * x + 1, 2 * y) + g.at(2 * x, 2 * y + 1) +
                           g.at(2 * x + 1, 2 * y + 1)) / 4.0);
    return h;
}

// Over the part both pictures cover, from their top left corners (a halved
// 513 is 256 where the other is 257).
double Correlation(const Grey& a, const Grey& b)
{
    const int w = std::min(a.width, b.width), h = std::min(a.height, b.height);
    const double n = static_cast<double>(w) * h;
    double ma = 0, mb = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ma += a.at(x, y), mb += b.at(x, y);
    ma /= n, mb /= n;
    double cov = 0, va = 0, vb = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            cov += (a.at(x, y) - ma) * (b.at(x, y) - mb);
            va += (a.at(x, y) - ma) * (a.at(x, y) - ma);
            vb += (b.at(x, y) - mb) * (b.at(x, y) - mb);
        }
    return cov / std::sqrt(va * vb);
}

double MeanAbsDifference(const Grey& a, const Grey& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.v.size(); ++i) sum += std::fabs(a.v[i] - b.v[i]);
    return sum / a.v.size();
}

// ---------------------------------------------------------------- heightfields

// The ocean plane lies at scene height 0.1 of 3.33: grey 7.65.
constexpr double kOceanGrey = 7.65;

// Scene height per grey step, and the grid spacing of an N-pixel heightfield
// (the terrain is 10 units wide).
constexpr double kScenePerGrey = 3.0 / 229.5;
double GridSpacing(int n) { return 10.0 / (n - 1); }

// Pixels from the nearest edge of the picture.
int FromEdge(int x, int y, int n) { return std::min(std::min(x, n - 1 - x), std::min(y, n - 1 - y)); }

struct Landscape {
    const char* heightfield;
    const char* placement;
    int size;
};
const Landscape kLandscapes[] = {{"height01.bmp", "tree01.bmp", 100}, {"height02.bmp", "tree02.bmp", 50},
                                 {"height03.bmp", "tree03.bmp", 128}, {"height04.bmp", "tree04.bmp", 257},
                                 {"height05.bmp", "tree05.bmp", 513}, {"height06.bmp", "tree06.bmp", 129}};

TEST(StockHeightfields, AreSquareGrey24BitPicturesOfTheirSizes)
{
    for (const auto& c : kLandscapes) {
        const Grey g = LoadGreyBmp(c.heightfield);
        EXPECT_EQ(g.width, c.size) << c.heightfield;
        EXPECT_EQ(g.height, c.size) << c.heightfield;
    }
}

TEST(StockHeightfields, SpanHighGroundToWaterAndAreMostlyDryLand)
{
    for (const auto& c : kLandscapes) {
        const Grey g = LoadGreyBmp(c.heightfield);
        double highest = 0;
        int low = 0, flooded = 0, high = 0, inner = 0;
        for (int y = 2; y < g.height - 1; ++y)
            for (int x = 2; x < g.width - 1; ++x) {
                const double h = g.at(x, y);
                highest = std::max(highest, h);
                low += h < 25;
                flooded += h < kOceanGrey;
                high += h > highest / 2;
                ++inner;
            }
        EXPECT_GE(highest, 140) << c.heightfield;
        EXPECT_GT(low, inner / 8) << c.heightfield << ": low ground";
        EXPECT_GT(flooded, inner / 20) << c.heightfield << ": ground under the ocean";
        EXPECT_LT(flooded, inner / 2) << c.heightfield << ": mostly land";
        EXPECT_GT(high, inner / 100) << c.heightfield << ": high ground";
    }
}

// The border: the picture's outer 2.5% (at least the two pixels the loader
// forces to 0) lies under the ocean plane, and the ground falls to it no
// steeper than 1.5 (56 degrees) over the outer 6%: a coast or a valley
// floor, never a wall of the terrain's height.
TEST(StockHeightfields, FallToTheWaterAtTheirBordersWithoutAWall)
{
    for (const auto& c : kLandscapes) {
        const Grey g = LoadGreyBmp(c.heightfield);
        const int n = g.width;
        const int band = std::max(2, n * 25 / 1000);
        const int fall = std::max(3, n * 6 / 100);
        double highestInBand = 0, steepest = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int edge = FromEdge(x, y, n);
                if (edge < band) highestInBand = std::max(highestInBand, g.at(x, y));
                if (edge >= fall) continue;
                if (x + 1 < n) steepest = std::max(steepest, std::fabs(g.at(x + 1, y) - g.at(x, y)));
                if (y + 1 < n) steepest = std::max(steepest, std::fabs(g.at(x, y + 1) - g.at(x, y)));
            }
        EXPECT_LT(highestInBand, kOceanGrey) << c.heightfield;
        EXPECT_LE(steepest * kScenePerGrey / GridSpacing(n), 1.5) << c.heightfield;
    }
}

TEST(StockHeightfields, AreSmoothTerrainNotNoise)
{
    // Neighbouring heights differ by a small part of the relief; between
    // pixels far apart they differ by much more. Plain noise would differ
    // equally at every distance.
    for (const auto& c : kLandscapes) {
        const Grey g = LoadGreyBmp(c.heightfield);
        const Steps s = MeasureSteps(g);
        // Steps inside the picture, leaving out the border band the loader forces to 0.
        const double columns = Mean(s.columns, 2, g.width - 2), rows = Mean(s.rows, 2, g.height - 2);
        double far = 0;
        int count = 0;
        const int shift = g.width / 4;
        for (int y = 2; y < g.height - 1; ++y)
            for (int x = 2; x + shift < g.width - 1; ++x, ++count) far += std::fabs(g.at(x, y) - g.at(x + shift, y));
        far /= count;
        EXPECT_LT(columns, 12.0) << c.heightfield;
        EXPECT_LT(rows, 12.0) << c.heightfield;
        EXPECT_GT(far, 3.0 * std::max(columns, rows)) << c.heightfield;
    }
}

TEST(StockHeightfields, AreDifferentLandscapes)
{
    // Each sample is its own terrain, not a rescaled copy of another.
    const Grey a = LoadGreyBmp("height01.bmp");
    const Grey b = LoadGreyBmp("height02.bmp");
    EXPECT_LT(Correlation(Halve(a), b), 0.8);
    const Grey c = LoadGreyBmp("height04.bmp");
    const Grey d = LoadGreyBmp("height05.bmp");
    EXPECT_LT(Correlation(c, Halve(d)), 0.8);
}

// ---------------------------------------------------------------- placement maps

// The twelve kind codes, R G B, in the order of the placement map's table.
constexpr std::uint8_t kCodes[12][3] = {{0, 0, 255}, {0, 0, 196}, {0, 0, 128}, {0, 0, 64},
                                        {0, 255, 0}, {0, 196, 0}, {0, 128, 0}, {0, 64, 0},
                                        {255, 0, 0}, {196, 0, 0}, {128, 0, 0}, {64, 0, 0}};
enum Kind { Palm, Birch, Dead1, Dead2, Fern, Cactus, Evergreen, Fir, Boulder, Flatrock, Rock, Pebbles };

struct Placed {
    int x, y, kind;
};

// The coded pixels of a placement map; every other pixel must be a neutral
// grey (the dim relief drawn as background).
std::vector<Placed> ReadPlacement(const std::string& name, int expectedSize)
{
    const Bitmap24 bmp = LoadBitmap24(Stock(name), BitmapWording::ForPath(name));
    EXPECT_EQ(bmp.width, expectedSize) << name;
    EXPECT_EQ(bmp.height, expectedSize) << name;
    std::vector<Placed> placed;
    int stray = 0;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const std::uint8_t r = bmp.Red(x, y), g = bmp.Green(x, y), b = bmp.Blue(x, y);
            int kind = -1;
            for (int k = 0; k < 12; ++k)
                if (r == kCodes[k][0] && g == kCodes[k][1] && b == kCodes[k][2]) kind = k;
            if (kind >= 0) placed.push_back({x, y, kind});
            else stray += !(r == g && g == b);
        }
    EXPECT_EQ(stray, 0) << name << ": pixels that are neither a kind's code nor background grey";
    return placed;
}

TEST(StockPlacement, EachMapUsesOnlyKindCodesAndStandsOnDryLand)
{
    for (const auto& c : kLandscapes) {
        const std::vector<Placed> placed = ReadPlacement(c.placement, c.size);
        const Grey height = LoadGreyBmp(c.heightfield);
        EXPECT_GE(placed.size(), 150u) << c.placement;
        EXPECT_LE(placed.size(), 600u) << c.placement;
        for (const Placed& p : placed) {
            EXPECT_GT(FromEdge(p.x, p.y, c.size), 1) << c.placement << ": in the border band at " << p.x << "," << p.y;
            EXPECT_GT(height.at(p.x, p.y), kOceanGrey) << c.placement << ": under the ocean at " << p.x << "," << p.y;
        }
    }
}

TEST(StockPlacement, ObjectsKeepTheirDistance)
{
    // Groves must not crowd: no two objects nearer than 0.15 scene units,
    // no two trees nearer than 0.2, whatever the map's size.
    for (const auto& c : kLandscapes) {
        const std::vector<Placed> placed = ReadPlacement(c.placement, c.size);
        const double spacing = GridSpacing(c.size);
        double nearest = 1e9, nearestTrees = 1e9;
        for (std::size_t i = 0; i < placed.size(); ++i)
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                const double dx = (placed[i].x - placed[j].x) * spacing, dy = (placed[i].y - placed[j].y) * spacing;
                const double d = std::sqrt(dx * dx + dy * dy);
                nearest = std::min(nearest, d);
                if (placed[i].kind < Boulder && placed[j].kind < Boulder) nearestTrees = std::min(nearestTrees, d);
            }
        EXPECT_GE(nearest, 0.15) << c.placement;
        EXPECT_GE(nearestTrees, 0.2) << c.placement;
    }
}

TEST(StockPlacement, KindsAreZonedByHeightAndSlope)
{
    // Palms and ferns stand lower than birches and dead trees, which stand
    // lower than the conifers; stones lie on steeper ground than trees.
    for (const auto& c : kLandscapes) {
        const std::vector<Placed> placed = ReadPlacement(c.placement, c.size);
        const Grey height = LoadGreyBmp(c.heightfield);
        struct Mean {
            double sum = 0;
            int n = 0;
            void Add(double v) { sum += v, ++n; }
            double Value() const { return sum / n; }
        } shore, middle, high, treeSlope, stoneSlope;
        for (const Placed& p : placed) {
            const double h = height.at(p.x, p.y);
            const double slope = std::hypot(height.at(p.x + 1, p.y) - height.at(p.x - 1, p.y),
                                            height.at(p.x, p.y + 1) - height.at(p.x, p.y - 1)) *
                                 kScenePerGrey / (2 * GridSpacing(c.size));
            if (p.kind == Palm || p.kind == Fern) shore.Add(h);
            if (p.kind == Birch || p.kind == Dead1 || p.kind == Dead2) middle.Add(h);
            if (p.kind == Evergreen || p.kind == Fir) high.Add(h);
            (p.kind >= Boulder ? stoneSlope : treeSlope).Add(slope);
        }
        if (shore.n >= 5 && middle.n >= 5) {
            EXPECT_LT(shore.Value(), middle.Value()) << c.placement;
        }
        if (middle.n >= 5 && high.n >= 5) {
            EXPECT_LT(middle.Value(), high.Value()) << c.placement;
        }
        ASSERT_GE(stoneSlope.n, 5) << c.placement;
        EXPECT_GT(stoneSlope.Value(), treeSlope.Value()) << c.placement;
    }
}

// ---------------------------------------------------------------- patterns

struct Family {
    const char* letters;
    int firstMember;
};
const Family kFamilies[] = {{"rc", 0}, {"em", 0}, {"ra", 1}};

std::string Member(const Family& f, int k) { return std::string(f.letters) + std::to_string(k) + ".bmp"; }

TEST(StockPatterns, MembersAreGreyPicturesOfHalfTheirTextureSize)
{
    // Member 0 serves the 288-pixel preview, 1 to 3 the 576, 1152 and 2304
    // pixel textures; each is tiled 2 x 2, so it is half of that.
    const int sides[] = {144, 288, 576, 1152};
    for (const Family& f : kFamilies)
        for (int k = f.firstMember; k <= 3; ++k) {
            const Grey g = LoadGreyBmp(Member(f, k));
            EXPECT_EQ(g.width, sides[k]) << Member(f, k);
            EXPECT_EQ(g.height, sides[k]) << Member(f, k);
        }
}

TEST(StockPatterns, TileWithoutSeams)
{
    for (const Family& f : kFamilies)
        for (int k = f.firstMember; k <= 3; ++k) ExpectSeamless(LoadGreyBmp(Member(f, k)), Member(f, k));
}

TEST(StockPatterns, MembersShowOnePictureAtFourScales)
{
    for (const Family& f : kFamilies)
        for (int k = f.firstMember + 1; k <= 3; ++k) {
            const Grey larger = Halve(LoadGreyBmp(Member(f, k)));
            const Grey smaller = LoadGreyBmp(Member(f, k - 1));
            EXPECT_GT(Correlation(larger, smaller), 0.95) << Member(f, k) << " against " << Member(f, k - 1);
            EXPECT_LT(MeanAbsDifference(larger, smaller), 10.0) << Member(f, k) << " against " << Member(f, k - 1);
        }
    // The measure tells pictures apart: two families do not pass as one.
    EXPECT_LT(Correlation(Halve(LoadGreyBmp("rc1.bmp")), LoadGreyBmp("em0.bmp")), 0.5);
}

TEST(StockPatterns, RcAndEmSpreadEvenlyOverTheWholeRange)
{
    // The covers compare these bytes with thresholds 255 - D: an even
    // spread makes the covered share follow the density linearly.
    for (const Family& f : {kFamilies[0], kFamilies[1]})
        for (int k = 0; k <= 3; ++k) {
            const Grey g = LoadGreyBmp(Member(f, k));
            std::vector<double> bins(16, 0.0);
            for (double v : g.v) bins[static_cast<std::size_t>(v) / 16] += 1.0;
            const auto [lo, hi] = std::minmax_element(g.v.begin(), g.v.end());
            EXPECT_EQ(*lo, 0) << Member(f, k);
            EXPECT_EQ(*hi, 255) << Member(f, k);
            for (double b : bins) EXPECT_NEAR(b / g.v.size(), 1.0 / 16.0, 0.005) << Member(f, k);
        }
}

// Each member is tiled 2 x 2 over its texture and the surround repeats the
// texture again: a picture that repeated itself inside its own square (a
// half-size period) would show as wallpaper. Shifted by half its side, a
// member must look unrelated to itself.
Grey Shifted(const Grey& g, int dx, int dy)
{
    Grey s{g.width, g.height, {}};
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) s.v.push_back(g.at((x + dx) % g.width, (y + dy) % g.height));
    return s;
}

TEST(StockPatterns, NoMemberRepeatsInsideItsOwnSquare)
{
    for (const Family& f : kFamilies)
        for (int k = f.firstMember; k <= 3; ++k) {
            const Grey g = LoadGreyBmp(Member(f, k));
            for (const auto& [dx, dy] : {std::pair{g.width / 2, 0}, std::pair{0, g.height / 2},
                                         std::pair{g.width / 2, g.height / 2}})
                EXPECT_LT(std::fabs(Correlation(g, Shifted(g, dx, dy))), 0.3) << Member(f, k) << " " << dx << "," << dy;
        }
}

// Central differences over the wrap: sums of gx * gx, gy * gy and gx * gy.
struct Gradients {
    double xx = 0, yy = 0, xy = 0;
};
Gradients MeasureGradients(const Grey& g)
{
    Gradients s;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const double gx = g.at((x + 1) % g.width, y) - g.at((x + g.width - 1) % g.width, y);
            const double gy = g.at(x, (y + 1) % g.height) - g.at(x, (y + g.height - 1) % g.height);
            s.xx += gx * gx, s.yy += gy * gy, s.xy += gx * gy;
        }
    return s;
}

TEST(StockPatterns, StreaksRunMostlyAcrossWithoutOneDiagonal)
{
    for (int k = 0; k <= 3; ++k) {
        const Grey em = LoadGreyBmp(Member(kFamilies[1], k));
        const Gradients g = MeasureGradients(em);
        // Streaks change slowly along the rows and quickly across them.
        EXPECT_LT(std::sqrt(g.xx / g.yy), 0.6) << Member(kFamilies[1], k);
        // Streaks all leaning one way would make their gradients lean the
        // other: added to its mirror image, such a picture becomes a lattice
        // of diamonds. Meandering streaks lean both ways about equally.
        EXPECT_LT(std::fabs(g.xy) / (g.xx + g.yy), 0.08) << Member(kFamilies[1], k);
    }
}

TEST(StockPatterns, PatchesHaveLittleLargeScaleContrast)
{
    // Shapes as large as a sixteenth of the picture would show as a repeat
    // where the picture is tiled over the terrain and the surround: most of
    // the contrast lies in smaller patches, grain and cracks.
    auto spread = [](const Grey& g) {
        double mean = 0, var = 0;
        for (double v : g.v) mean += v;
        mean /= g.v.size();
        for (double v : g.v) var += (v - mean) * (v - mean);
        return std::sqrt(var / g.v.size());
    };
    for (int k = 1; k <= 3; ++k) {
        const Grey rc = LoadGreyBmp(Member(kFamilies[0], k));
        Grey large = rc;
        while (large.width > 20) large = Halve(large);  // 18 pixels: a sixteenth of the picture each
        EXPECT_LT(spread(large), 0.7 * spread(rc)) << Member(kFamilies[0], k);
    }
}

TEST(StockPatterns, GritHasStructureAtSeveralScales)
{
    auto spread = [](const Grey& g) {
        double mean = 0, var = 0;
        for (double v : g.v) mean += v;
        mean /= g.v.size();
        for (double v : g.v) var += (v - mean) * (v - mean);
        return std::sqrt(var / g.v.size());
    };
    for (int k = 1; k <= 3; ++k) {
        const Grey ra = LoadGreyBmp(Member(kFamilies[2], k));
        // Neighbouring pixels are alike (grains, not static), even in the
        // largest member...
        EXPECT_GT(Correlation(ra, Shifted(ra, 1, 0)), 0.6) << Member(kFamilies[2], k);
        // ...and halving twice and four times keeps a part of the contrast
        // each time: clusters and swells beneath the grains.
        const Grey quarter = Halve(Halve(ra));
        const Grey sixteenth = Halve(Halve(quarter));
        EXPECT_GT(spread(quarter), 0.35 * spread(ra)) << Member(kFamilies[2], k);
        EXPECT_GT(spread(sixteenth), 0.15 * spread(ra)) << Member(kFamilies[2], k);
        EXPECT_LT(spread(sixteenth), 0.8 * spread(ra)) << Member(kFamilies[2], k);
    }
}

TEST(StockPatterns, RaStaysClearOfTheBumpOffsetsWrapping)
{
    // The bump map uses ra + 25 under cover 2 and ra - 25 under smooth
    // materials, modulo 256: values outside 25..230 would wrap into spikes.
    for (int k = 1; k <= 3; ++k) {
        const Grey g = LoadGreyBmp(Member(kFamilies[2], k));
        const auto [lo, hi] = std::minmax_element(g.v.begin(), g.v.end());
        EXPECT_GE(*lo, 25) << k;
        EXPECT_LE(*hi, 230) << k;
        EXPECT_LT(*lo, 40) << k;  // and still uses the room it has
        EXPECT_GT(*hi, 215) << k;
    }
}

// ---------------------------------------------------------------- stock textures

TEST(StockTextures, JpegFilesDecodeToTheirSizes)
{
    struct Case {
        const char* name;
        int width, height;
    };
    const Case cases[] = {{"bark.jpg", 256, 512},     {"birch.jpg", 256, 512},  {"palmtree.jpg", 256, 256},
                          {"palmbark.jpg", 256, 256}, {"cactus.jpg", 256, 512}, {"cactbump.jpg", 256, 512},
                          {"ripple.jpg", 256, 256}};
    for (const Case& c : cases) {
        const std::string bytes = test::ReadFile(Stock(c.name));
        ASSERT_GE(bytes.size(), 2u) << c.name;
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 0xFF) << c.name;
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[1]), 0xD8) << c.name;
        const RgbImage image = LoadJpeg(c.name);
        ASSERT_TRUE(image.ok) << c.name;
        EXPECT_EQ(image.width, c.width) << c.name;
        EXPECT_EQ(image.height, c.height) << c.name;
    }
}

TEST(StockTextures, BumpMapsAreGrey)
{
    for (const char* name : {"palmbark.jpg", "cactbump.jpg", "ripple.jpg"}) {
        const RgbImage image = LoadJpeg(name);
        ASSERT_TRUE(image.ok) << name;
        int off = 0;
        for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
            const int r = image.pixels[i], g = image.pixels[i + 1], b = image.pixels[i + 2];
            off += std::abs(r - g) > 2 || std::abs(g - b) > 2;
        }
        EXPECT_EQ(off, 0) << name;
    }
}

TEST(StockTextures, RepeatedTexturesTileWithoutSeams)
{
    // Trunks repeat their bark round and along them, the ocean repeats the
    // ripples up to 100 times.
    for (const char* name : {"bark.jpg", "birch.jpg", "palmtree.jpg", "palmbark.jpg", "cactus.jpg", "cactbump.jpg",
                             "ripple.jpg"}) {
        const RgbImage image = LoadJpeg(name);
        ASSERT_TRUE(image.ok) << name;
        ExpectSeamless(Channel(image, 1), name);
    }
}

TEST(StockTextures, PicturesHaveTheirKindsColours)
{
    auto mean = [](const RgbImage& image, int channel) {
        double sum = 0;
        for (std::size_t i = channel; i < image.pixels.size(); i += 3) sum += image.pixels[i];
        return sum / (image.pixels.size() / 3);
    };
    const RgbImage birch = LoadJpeg("birch.jpg");
    ASSERT_TRUE(birch.ok);
    EXPECT_GT(mean(birch, 0), 180);  // white bark...
    int dark = 0;
    for (std::size_t i = 1; i < birch.pixels.size(); i += 3) dark += birch.pixels[i] < 80;
    EXPECT_GT(dark, 200);  // ...with dark marks

    const RgbImage cactus = LoadJpeg("cactus.jpg");
    ASSERT_TRUE(cactus.ok);
    EXPECT_GT(mean(cactus, 1), mean(cactus, 0) + 20);
    EXPECT_GT(mean(cactus, 1), mean(cactus, 2) + 20);

    for (const char* name : {"bark.jpg", "palmtree.jpg"}) {
        const RgbImage image = LoadJpeg(name);
        ASSERT_TRUE(image.ok) << name;
        EXPECT_GT(mean(image, 0), mean(image, 2)) << name << " is brown";
    }
}

const char* const kCards[] = {"ever.tga", "fir.tga", "palmleaf.tga", "fern.tga"};

TEST(StockTextures, FoliageCardsAre32BitWithOpaqueLeavesAndTransparentGaps)
{
    for (const char* name : kCards) {
        const Card card = LoadCard(name);
        EXPECT_EQ(card.width, 256) << name;
        EXPECT_EQ(card.height, 256) << name;
        int opaque = 0, clear = 0;
        for (std::size_t i = 3; i < card.rgba.size(); i += 4) opaque += card.rgba[i] == 255, clear += card.rgba[i] == 0;
        const int pixels = card.width * card.height;
        EXPECT_GT(opaque, pixels / 10) << name;
        EXPECT_GT(clear, pixels / 10) << name;
    }
}

TEST(StockTextures, FoliageCardsStandOnTheBaseTheirMeshesMapThemFrom)
{
    // The conifer branch cards map v 0 (the twig's base) to the bottom row of
    // the picture; the fern and palm leaf meshes map v 1 (the leaf's base) to
    // the top row. The stem or midrib starts at the middle of the base row,
    // and the corners at the tip's end are empty.
    for (const char* name : kCards) {
        const Card card = LoadCard(name);
        ASSERT_EQ(card.width, 256) << name;
        const bool baseAtTop = std::string(name) == "fern.tga" || std::string(name) == "palmleaf.tga";
        const int baseRow = baseAtTop ? 0 : card.height - 1;
        int base = 0;
        for (int x = 120; x < 136; ++x) base += card.at(x, baseRow)[3] > 128;
        EXPECT_GT(base, 0) << name;
        for (int k = 0; k < 12; ++k) {
            const int y = baseAtTop ? card.height - 1 - k : k;
            for (int x : {0, 1, 2, card.width - 3, card.width - 2, card.width - 1})
                EXPECT_EQ(card.at(x, y)[3], 0) << name << " at " << x << "," << y;
        }
    }
}

TEST(StockTextures, TransparentPixelsCarryFoliageColour)
{
    // Filtering mixes the colour of transparent pixels into the edges of
    // the leaves; black there would give every leaf a dark fringe.
    for (const char* name : kCards) {
        const Card card = LoadCard(name);
        for (std::size_t i = 0; i < card.rgba.size(); i += 4)
            if (card.rgba[i + 3] == 0) {
                EXPECT_GT(card.rgba[i + 1], 40) << name;
                break;
            }
    }
}

TEST(StockTextures, FirIsDenserAndDarkerThanEvergreen)
{
    auto measure = [](const Card& card, double& cover, double& brightness) {
        double alpha = 0, light = 0, weight = 0;
        for (std::size_t i = 0; i < card.rgba.size(); i += 4) {
            const double a = card.rgba[i + 3] / 255.0;
            alpha += a;
            light += a * (card.rgba[i] + card.rgba[i + 1] + card.rgba[i + 2]) / 3.0;
            weight += a;
        }
        cover = alpha / (card.rgba.size() / 4);
        brightness = light / weight;
    };
    double everCover, everLight, firCover, firLight;
    measure(LoadCard("ever.tga"), everCover, everLight);
    measure(LoadCard("fir.tga"), firCover, firLight);
    EXPECT_GT(firCover, everCover);
    EXPECT_LT(firLight, everLight - 10);
}

// ---------------------------------------------------------------- clouds

// The density bytes of a stock cloud bitmap (the red component).
Grey LoadCloud(const std::string& name) { return LoadGreyBmp(name); }

double Share(const Grey& g, double lo, double hi)
{
    return static_cast<double>(std::count_if(g.v.begin(), g.v.end(), [&](double v) { return v >= lo && v <= hi; })) /
           g.v.size();
}

TEST(StockClouds, TilesAre1024SquareSoTheSkyIsSharp)
{
    // atmos.jpg takes the size of its cloud bitmap.
    for (const char* name : {"clear.bmp", "cloudy.bmp", "ominous.bmp", "puff.bmp"}) {
        const Grey g = LoadCloud(name);
        EXPECT_EQ(g.width, 1024) << name;
        EXPECT_EQ(g.height, 1024) << name;
    }
}

// Sizes of the dense cloud patches of a tile (4-connected, across its
// wrapping edges too).
std::vector<int> DensePatches(const Grey& g)
{
    std::vector<int> seen(g.v.size(), 0), sizes, stack;
    for (std::size_t start = 0; start < g.v.size(); ++start) {
        if (seen[start] || g.v[start] <= 191) continue;
        int size = 0;
        stack.assign(1, static_cast<int>(start));
        seen[start] = 1;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++size;
            const int x = i % g.width, y = i / g.width;
            const int next[4] = {y * g.width + (x + 1) % g.width, y * g.width + (x + g.width - 1) % g.width,
                                 ((y + 1) % g.height) * g.width + x, ((y + g.height - 1) % g.height) * g.width + x};
            for (int j : next)
                if (!seen[j] && g.v[j] > 191) seen[j] = 1, stack.push_back(j);
        }
        sizes.push_back(size);
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

TEST(StockClouds, PuffsVaryInSizeAndHaveSteepEdges)
{
    const Grey puff = LoadCloud("puff.bmp");
    // Thin cloud (1 to 191) mixes sky into the cloud colour and the dense
    // cloud's grey just above 191 darkens it: both only along a narrow edge.
    const double cloud = Share(puff, 1, 255);
    EXPECT_GT(cloud, 0.1);
    EXPECT_LT(Share(puff, 1, 215) / cloud, 0.25);
    const std::vector<int> patches = DensePatches(puff);
    std::vector<int> puffs;
    for (int size : patches)
        if (size >= 50) puffs.push_back(size);  // leaving out specks
    ASSERT_GE(puffs.size(), 8u);
    EXPECT_GT(puffs.back(), 6 * puffs[puffs.size() / 2]) << "one size of puff";
}

TEST(StockClouds, OminousIsADenseDarkOvercastAndClearOnlyWisps)
{
    const Grey ominous = LoadCloud("ominous.bmp");
    const Grey cloudy = LoadCloud("cloudy.bmp");
    const Grey clear = LoadCloud("clear.bmp");
    auto meanDense = [](const Grey& g) {
        double sum = 0;
        int n = 0;
        for (double v : g.v)
            if (v > 191) sum += v, ++n;
        return n ? sum / n : 0.0;
    };
    EXPECT_GT(Share(ominous, 192, 255), 0.85) << "small breaks only";
    EXPECT_LT(meanDense(ominous), meanDense(cloudy) - 10) << "darker than the cloudy sky";
    // A broken layer: dense cloud with thinner gaps between.
    EXPECT_GT(Share(cloudy, 192, 255), 0.3);
    EXPECT_GT(Share(cloudy, 0, 96), 0.15);
    // Thin wisps in open sky.
    EXPECT_EQ(Share(clear, 192, 255), 0.0);
    EXPECT_GT(Share(clear, 1, 191), 0.03);
    EXPECT_LT(Share(clear, 1, 191), 0.4);
}

// ---------------------------------------------------------------- sample settings

const char* const kSamples[] = {"sample1.kv", "sample2.kv", "sample3.kv",
                                "sample4.kv", "sample5.kv", "sample6.kv"};

TEST(StockSamples, EachLoadsAndNamesItsOwnLandscape)
{
    const std::string program = test::ProgramDir();
    std::set<std::string> heightfields, placements;
    std::set<int> skies, bases, oceans, covers;
    for (const char* sample : kSamples) {
        ProjectSettings record = DefaultSettings(program);
        std::vector<Message> shown;
        SettingsLoadHooks hooks;
        hooks.show = [&](const Message& message) { shown.push_back(message); };
        ASSERT_TRUE(LoadSettingsFile(program, sample, program, record, hooks)) << sample;
        EXPECT_TRUE(shown.empty()) << sample << ": " << (shown.empty() ? "" : shown.front().text);
        EXPECT_FALSE(CheckSettingsRecord(record)) << sample;
        // The bitmaps lie beside the sample, and the placement map is the
        // one made for the heightfield ("treeNN.bmp" for "heightNN.bmp").
        EXPECT_EQ(record.basedir, program) << sample;
        EXPECT_EQ(record.treedir, program) << sample;
        ASSERT_EQ(record.basebmp.rfind("height", 0), 0u) << sample;
        EXPECT_EQ(record.treebmp, "tree" + record.basebmp.substr(6)) << sample;
        EXPECT_TRUE(std::filesystem::exists(JoinPath(program, record.treebmp))) << sample;
        heightfields.insert(record.basebmp);
        placements.insert(record.treebmp);
        // The texture resolution holds the heightfield.
        const Bitmap24 height = LoadBitmap24(JoinPath(program, record.basebmp), BitmapWording::ForPath(sample));
        const int textureSize[3] = {576, 1152, 2304};
        ASSERT_TRUE(record.resolution >= 0 && record.resolution <= 2) << sample;
        EXPECT_LE(height.width, textureSize[record.resolution]) << sample;
        // The default fog is cyan, which turns any sky turquoise.
        EXPECT_FALSE(record.fog == (RgbColor{0, 255, 255})) << sample;
        skies.insert(record.atmosphereindex);
        bases.insert(record.baseindex);
        oceans.insert(record.oceanindex);
        for (int cover : {record.cover1index, record.cover2index})
            if (cover) covers.insert(cover);
    }
    EXPECT_EQ(heightfields.size(), std::size(kSamples));
    EXPECT_EQ(placements.size(), std::size(kSamples));
    // Together they show every sky, base material and ocean, and most covers.
    EXPECT_EQ(skies, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(bases, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(oceans, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_GE(covers.size(), 5u);
}

}  // namespace
}  // namespace kv
