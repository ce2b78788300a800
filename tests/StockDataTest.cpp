// The stock pictures the data tool writes into the program directory: the
// sample heightfields, the rc, em and ra pattern families and the stock
// textures of the tree models and the ocean.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "TestSupport.h"
#include "bitmap/Bitmap24.h"
#include "platform/Paths.h"

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

double Correlation(const Grey& a, const Grey& b)
{
    const std::size_t n = a.v.size();
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) ma += a.v[i], mb += b.v[i];
    ma /= n, mb /= n;
    double cov = 0, va = 0, vb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        cov += (a.v[i] - ma) * (b.v[i] - mb);
        va += (a.v[i] - ma) * (a.v[i] - ma);
        vb += (b.v[i] - mb) * (b.v[i] - mb);
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

struct HeightfieldCase {
    const char* name;
    int size;
};
const HeightfieldCase kHeightfields[] = {{"height01.bmp", 100}, {"height02.bmp", 50}, {"height03.bmp", 128}};

TEST(StockHeightfields, AreSquareGrey24BitPicturesOfTheirSizes)
{
    for (const auto& c : kHeightfields) {
        const Grey g = LoadGreyBmp(c.name);
        EXPECT_EQ(g.width, c.size) << c.name;
        EXPECT_EQ(g.height, c.size) << c.name;
    }
}

TEST(StockHeightfields, SpanPeaksNearWhiteToAPlainNearSeaLevel)
{
    // The ocean lies at grey 7.65 (scene height 0.1 of 3.33): part of the
    // plain lies just below it, so a scene with an ocean gets a coast.
    for (const auto& c : kHeightfields) {
        const Grey g = LoadGreyBmp(c.name);
        double highest = 0;
        int low = 0, flooded = 0, high = 0, inner = 0;
        for (int y = 2; y < g.height - 1; ++y)
            for (int x = 2; x < g.width - 1; ++x) {
                const double h = g.at(x, y);
                highest = std::max(highest, h);
                low += h < 25;
                flooded += h < 7.65;
                high += h > 128;
                ++inner;
            }
        EXPECT_GE(highest, 235) << c.name;
        EXPECT_GT(low, inner / 8) << c.name << ": a low plain";
        EXPECT_GT(flooded, 0) << c.name << ": ground under the ocean";
        EXPECT_LT(flooded, inner / 3) << c.name << ": mostly land";
        EXPECT_GT(high, inner / 50) << c.name << ": mountains";
    }
}

TEST(StockHeightfields, AreSmoothTerrainNotNoise)
{
    // Neighbouring heights differ by a small part of the relief; between
    // pixels far apart they differ by much more. Plain noise would differ
    // equally at every distance.
    for (const auto& c : kHeightfields) {
        const Grey g = LoadGreyBmp(c.name);
        const Steps s = MeasureSteps(g);
        // Steps inside the picture, leaving out the border band the loader forces to 0.
        const double columns = Mean(s.columns, 2, g.width - 2), rows = Mean(s.rows, 2, g.height - 2);
        double far = 0;
        int count = 0;
        const int shift = g.width / 4;
        for (int y = 2; y < g.height - 1; ++y)
            for (int x = 2; x + shift < g.width - 1; ++x, ++count) far += std::fabs(g.at(x, y) - g.at(x + shift, y));
        far /= count;
        EXPECT_LT(columns, 12.0) << c.name;
        EXPECT_LT(rows, 12.0) << c.name;
        EXPECT_GT(far, 3.0 * std::max(columns, rows)) << c.name;
    }
}

TEST(StockHeightfields, AreDifferentLandscapes)
{
    // Each sample is its own terrain, not a rescaled copy of another.
    const Grey a = LoadGreyBmp("height01.bmp");
    const Grey b = LoadGreyBmp("height02.bmp");
    EXPECT_LT(Correlation(Halve(a), b), 0.8);
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

}  // namespace
}  // namespace kv
