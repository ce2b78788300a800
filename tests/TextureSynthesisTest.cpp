// The optimised texture synthesis must give exactly the bytes of a plain
// reading of the rules (the reference in TextureReference.cpp), and show the
// properties the materials and covers are meant to have.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TextureReference.h"
#include "TextureTestSupport.h"
#include "core/textures/HeightTexture.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/SlopeTexture.h"
#include "core/textures/TerrainRelief.h"
#include "core/textures/TerrainSynthesis.h"

namespace kv {
namespace {

using test::SmallInputs;

std::vector<std::uint8_t> Bytes(const Raster& r) { return r.bytes; }

HeightGrid ConstantGrid(int n, std::int32_t value)
{
    HeightGrid grid;
    grid.n = n;
    grid.heights.assign(static_cast<std::size_t>(n) * n, value);
    return grid;
}

// ---------------------------------------------------------------- rasters

TEST(HeightTexture, MatchesDirectReadingAtManySizes)
{
    const std::pair<int, int> sizes[] = {{16, 2},  {16, 16},  {24, 7},    {40, 9},
                                         {64, 33}, {100, 13}, {288, 100}, {576, 256}};
    for (const auto& [t, n] : sizes) {
        const SmallInputs inputs = test::MakeInputs(t, n, t + n);
        int cell = 0;
        EXPECT_EQ(Bytes(BuildHeightTexture(inputs.grid, t)), ref::HeightTexture(inputs.grid, t, cell))
            << "T " << t << " N " << n;
        EXPECT_EQ(ResamplingFor(t, n).cell, cell);
    }
}

TEST(HeightTexture, KeepsHeightZeroInBandAlongBottomRowsAndLeftColumns)
{
    constexpr int t = 64, n = 8;  // step 9, s = 9
    const Raster h = BuildHeightTexture(ConstantGrid(n, 765), t);
    const int s = ResamplingFor(t, n).cell;
    ASSERT_EQ(s, 9);
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const bool band = y >= t - s || x < s;
            if (band) {
                EXPECT_EQ(h.At(x, y), 0) << x << "," << y;
            } else if (y < t - 2 * s) {
                // Single-precision weights may sum to a hair below 1.
                EXPECT_GE(h.At(x, y), 254) << x << "," << y;
            } else {
                // The last cell row fades toward the zero rows below it.
                EXPECT_GT(h.At(x, y), 0) << x << "," << y;
            }
        }
}

TEST(HeightTexture, AllZeroHeightsGiveZeroEverywhere)
{
    const Raster h = BuildHeightTexture(ConstantGrid(10, 0), 48);
    EXPECT_TRUE(std::all_of(h.bytes.begin(), h.bytes.end(), [](std::uint8_t v) { return v == 0; }));
}

TEST(HeightTexture, HoldsUnblendedLastColumnsAt255)
{
    // A high grid column 0 lands, mirrored, in the last s texture columns,
    // which the vertical pass never blends: above the largest blended height.
    HeightGrid grid = ConstantGrid(6, 30);
    for (int y = 0; y < 6; ++y) grid.heights[static_cast<std::size_t>(y) * 6] = 765;
    constexpr int t = 41;
    const Raster h = BuildHeightTexture(grid, t);
    int cell = 0;
    EXPECT_EQ(h.bytes, ref::HeightTexture(grid, t, cell));
    const int s = ResamplingFor(t, 6).cell;
    EXPECT_EQ(h.At(t - 1, 0), 255);
    EXPECT_EQ(h.At(t - s, 0), 255);
}

TEST(HeightTexture, RefusesHeightfieldWithMorePixelsThanTheTexture)
{
    try {
        CheckHeightfieldFits(ConstantGrid(577, 0), 576, "dir/big.bmp");
        FAIL() << "accepted";
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text,
                  "The heightfield bitmap dir/big.bmp is larger than the texture resolution; choose a higher "
                  "resolution.");
        EXPECT_EQ(failure.message.title, "Kelvane Message");
    }
    EXPECT_NO_THROW(CheckHeightfieldFits(ConstantGrid(576, 0), 576, "dir/big.bmp"));
}

TEST(SlopeTexture, MatchesDirectReadingForEveryCellSize)
{
    for (int cell : {0, 1, 2, 5, 17, 47}) {
        const int t = 48;
        Raster height(t);
        for (int y = 0; y < t; ++y)
            for (int x = 0; x < t; ++x) height.Row(y)[x] = static_cast<std::uint8_t>(test::Hash(x, y, cell));
        EXPECT_EQ(Bytes(BuildSlopeTexture(height, cell)), ref::SlopeTexture(height.bytes, t, cell)) << "s " << cell;
    }
}

// ---------------------------------------------------------------- whole and fractional heights

TEST(TerrainRelief, WholeHeightsTakeTheRulesOfOld)
{
    for (const auto& [t, n] : {std::pair{64, 33}, std::pair{288, 100}}) {
        const SmallInputs inputs = test::MakeInputs(t, n, 7 * n);
        ASSERT_TRUE(HasWholeHeights(inputs.grid));
        const TerrainRelief relief = BuildTerrainRelief(inputs.grid, t);
        int cell = 0;
        const ref::Bytes height = ref::HeightTexture(inputs.grid, t, cell);
        EXPECT_EQ(relief.height.bytes, height) << t;
        EXPECT_EQ(relief.slope.bytes, ref::SlopeTexture(height, t, cell)) << t;
    }
}

// A gentle ramp of fractional heights: 6 to 7.6 of 765 across the grid, in
// grid columns. Whole heights this low span two levels of the first pass.
HeightGrid GentleRamp(int n)
{
    HeightGrid grid;
    grid.n = n;
    for (int y = 0; y < n; ++y)
        for (int j = 0; j < n; ++j) grid.heights.push_back(6.0f + 0.05f * static_cast<float>(j));
    return grid;
}

TEST(TerrainRelief, FractionalHeightsReachAltitudeAndSlopeWithoutTerraces)
{
    constexpr int t = 288, n = 33;
    const HeightGrid ramp = GentleRamp(n);
    ASSERT_FALSE(HasWholeHeights(ramp));
    const HeightResampling r = ResamplingFor(t, n);
    const int s = r.cell;
    const TerrainRelief relief = BuildTerrainRelief(ramp, t);
    const FloatRaster levels = BuildFineHeightTexture(ramp, t);

    // Texture column c lies over grid column u = (T - 1 - c) / step, where the
    // ramp's height is 6 + 0.05 u; the levels follow it in proportion, the
    // highest column at 255.
    const int y = t / 2;
    const float highest = (6.0f + 0.05f * ((t - s - 1) / r.step)) / 3.0f;
    for (int c = s; c < t - s; ++c) {
        const double u = (t - 1 - c) / static_cast<double>(r.step);
        const double expected = (6.0 + 0.05 * u) / 3.0 / highest * 255.0;
        ASSERT_NEAR(levels.At(c, y), expected, 0.01) << c;
        ASSERT_EQ(relief.height.At(c, y), static_cast<int>(levels.At(c, y))) << c;
    }
    // Every level from the lowest to 255 is there, none skipped.
    std::set<int> seen;
    for (int c = s; c < t - s; ++c) seen.insert(relief.height.At(c, y));
    EXPECT_EQ(*seen.rbegin(), 255);
    EXPECT_EQ(static_cast<int>(seen.size()), 255 - *seen.begin() + 1);
    EXPECT_GT(seen.size(), 50u);

    // A plane has one slope: the same value all along the row, away from the
    // bands where neighbours fall outside the land.
    std::set<int> slopes;
    for (int c = 2 * s; c < t - 2 * s; ++c) slopes.insert(relief.slope.At(c, y));
    EXPECT_EQ(slopes.size(), 1u);
    EXPECT_GT(*slopes.begin(), 0);

    // The same land in whole heights is one terrace at the top, flat but for
    // the odd pixel whose weights sum a hair below 1.
    HeightGrid whole = ramp;
    for (float& h : whole.heights) h = static_cast<float>(static_cast<int>(h));
    const TerrainRelief flat = BuildTerrainRelief(whole, t);
    std::set<int> terraces;
    int level = 0;
    for (int c = 2 * s; c < t - 2 * s; ++c) {
        terraces.insert(flat.height.At(c, y));
        level += flat.slope.At(c, y) == 0;
    }
    EXPECT_LE(terraces.size(), 2u);
    EXPECT_GT(level, (t - 4 * s) * 9 / 10);
}

TEST(NoiseTexture, DrawsTheGeneratorRowByRow)
{
    Random random;
    random.SetState(12345);
    Random same = random;
    const Raster noise = BuildNoiseTexture(37, random);
    EXPECT_EQ(noise.bytes, ref::NoiseTexture(37, same));
    EXPECT_EQ(random.State(), same.State());
    EXPECT_EQ(NoiseByte(0), 0);
    EXPECT_EQ(NoiseByte(32767), 255);
}

TEST(NoiseTexture, JumpAheadEqualsDrawingOneByOne)
{
    for (std::uint64_t draws : {0ull, 1ull, 2ull, 3ull, 1000ull, 82944ull, 2654435ull}) {
        Random random;
        random.SetState(777);
        for (std::uint64_t i = 0; i < draws; ++i) random.Next();
        EXPECT_EQ(AdvanceRandomState(777, draws), random.State()) << draws;
    }
    // Two halves drawn from their own starting states give the whole.
    Random whole;
    const Raster expected = BuildNoiseTexture(30, whole);
    Raster halves(30);
    Random top, bottom;
    bottom.SetState(AdvanceRandomState(1, 15 * 30));
    FillNoiseRows(halves, 15, 30, bottom, {});
    FillNoiseRows(halves, 0, 15, top, {});
    EXPECT_EQ(halves.bytes, expected.bytes);
}

// ---------------------------------------------------------------- synthesis

ProjectSettings Settings(int base, int cover1, int cover2)
{
    ProjectSettings s;
    s.baseindex = base;
    s.cover1index = cover1;
    s.cover2index = cover2;
    return s;
}

void ExpectSameAsReference(const ProjectSettings& settings, const SmallInputs& inputs, bool rocks,
                           const std::string& what)
{
    const auto program = test::ProgramImages(settings, inputs, rocks);
    const auto reference = ref::Synthesize(settings, test::ReferenceTextures(inputs), rocks);
    ASSERT_EQ(program.size(), reference.size()) << what;
    for (const auto& [name, bytes] : reference) {
        ASSERT_TRUE(program.count(name)) << what << " " << name;
        EXPECT_TRUE(program.at(name) == bytes) << what << " " << name;
    }
}

TEST(TerrainSynthesis, MatchesDirectReadingForEveryMaterialAndPattern)
{
    const SmallInputs inputs = test::MakeInputs(48, 13, 3);
    for (int base = 0; base < 4; ++base)
        for (int pattern = 0; pattern < 8; ++pattern) {
            ProjectSettings s = Settings(base, pattern, (pattern + 3) % 8);
            ExpectSameAsReference(s, inputs, true,
                                  "base " + std::to_string(base) + " pattern " + std::to_string(pattern));
        }
}

TEST(TerrainSynthesis, MatchesDirectReadingForBandsAndDensities)
{
    const SmallInputs inputs = test::MakeInputs(64, 20, 5);
    struct Case {
        int a1min, a1max, s1min, s1max, d1, a2min, a2max, s2min, s2max, d2;
    };
    const Case cases[] = {
        {115, 201, 115, 201, 155, 214, 300, 214, 300, 254},  // defaults
        {130, 170, 115, 160, 195, 214, 260, 230, 300, 294},  // partial bands, strongest densities
        {115, 121, 140, 146, 115, 240, 246, 214, 220, 214},  // touching markers, density 0
        {195, 201, 195, 201, 170, 294, 300, 294, 300, 230},  // bands at the top only
        {150, 201, 115, 135, 122, 214, 240, 250, 300, 280},
    };
    int number = 0;
    for (const Case& c : cases) {
        ProjectSettings s = Settings(number % 4, 7 - number % 8, 1 + number % 7);
        s.cover1altitudemin = c.a1min, s.cover1altitudemax = c.a1max, s.cover1slopemin = c.s1min;
        s.cover1slopemax = c.s1max, s.cover1density = c.d1;
        s.cover2altitudemin = c.a2min, s.cover2altitudemax = c.a2max, s.cover2slopemin = c.s2min;
        s.cover2slopemax = c.s2max, s.cover2density = c.d2;
        s.basecolor2 = RgbColor{255, 255, 255};
        s.cover1color3 = RgbColor{0, 255, 7};
        for (int pattern = 1; pattern < 8; ++pattern) {
            s.cover1index = pattern;
            s.cover2index = 8 - pattern;
            ExpectSameAsReference(s, inputs, number % 2 == 0,
                                  "case " + std::to_string(number) + " pattern " + std::to_string(pattern));
        }
        ++number;
    }
}

TEST(TerrainSynthesis, HandsOverImagesInFileOrderWithProgress)
{
    const SmallInputs inputs = test::MakeInputs(32, 9, 1);
    TerrainSources sources = test::ProgramSources(inputs);
    test::CollectingSink sink(TilePattern(inputs.raPicture, 32));
    test::RecordingControl control;
    SynthesizeTerrainTextures(Settings(2, 1, 2), sources, true, sink, control, [&] { control.CheckStop(); });
    // The rock images depend on neither pass and are handed over early.
    EXPECT_EQ(sink.order, (std::vector<std::string>{"rockbump.jpg", "tex1.jpg", "bump1.jpg", "rocktex.jpg", "tex2.jpg",
                                                    "bump2.jpg"}));
    std::vector<int> expected;
    for (int p = 19; p <= 97; p += 3) expected.push_back(p);
    EXPECT_EQ(control.values, expected);
    EXPECT_EQ(sink.raLoads, 1);
    EXPECT_EQ(sink.finishes, 1);
    // A stop check after every row of every pass.
    EXPECT_GE(control.checks, 32 * 5);
}

TEST(TerrainSynthesis, StopRequestEndsWithinARow)
{
    const SmallInputs inputs = test::MakeInputs(32, 9, 1);
    for (long long stopAfter : {0ll, 5ll, 40ll, 100ll}) {
        TerrainSources sources = test::ProgramSources(inputs);
        test::CollectingSink sink(TilePattern(inputs.raPicture, 32));
        test::RecordingControl control;
        control.stopAfter = stopAfter;
        EXPECT_THROW(SynthesizeTerrainTextures(Settings(1, 2, 3), sources, true, sink, control,
                                               [&] { control.CheckStop(); }),
                     JobStopped);
        EXPECT_EQ(control.checks, stopAfter + 1);
        EXPECT_LT(sink.order.size(), 6u);
    }
}

TEST(TerrainSynthesis, JaggedAndSmoothGiveSameColoursAndDifferentBumps)
{
    const SmallInputs inputs = test::MakeInputs(48, 11, 8);
    for (int pair : {0, 2}) {
        const auto jagged = test::ProgramImages(Settings(pair, 3, 5), inputs, true);
        const auto smooth = test::ProgramImages(Settings(pair + 1, 3, 5), inputs, true);
        for (const char* colour : {"tex1.jpg", "tex2.jpg", "rocktex.jpg", "rockbump.jpg"})
            EXPECT_TRUE(jagged.at(colour) == smooth.at(colour)) << pair << " " << colour;
        for (const char* bump : {"bump1.jpg", "bump2.jpg"}) EXPECT_FALSE(jagged.at(bump) == smooth.at(bump)) << pair;
    }
}

TEST(TerrainSynthesis, NoCoversGiveBaseMaterialAloneAndSmoothBumpRaMinus25)
{
    constexpr int t = 40;
    const SmallInputs inputs = test::MakeInputs(t, 10, 4);
    const ProjectSettings s = Settings(1, 0, 0);
    const auto images = test::ProgramImages(s, inputs, false);
    const TerrainSources sources = test::ProgramSources(inputs);
    const PatternRaster ra = TilePattern(inputs.raPicture, t);
    for (int y = 0; y < t; ++y)
        for (int x = 0; x < t; ++x) {
            const int shade = BaseShade(false, sources.noise.At(x, y), sources.rc.At(x, y), 0);
            const RgbColor c = ColorRamp(s.basecolor1, s.basecolor2, s.basecolor3, shade);
            const std::uint8_t* p = images.at("tex1.jpg").data() + (static_cast<std::size_t>(y) * t + x) * 3;
            ASSERT_EQ(RgbColor(p[0], p[1], p[2]), c) << x << "," << y;
            const int bump = (ra.At(x, y) + 231) % 256;
            ASSERT_EQ(test::GreyAt(images.at("bump1.jpg"), t, x, y), bump);
            ASSERT_EQ(test::GreyAt(images.at("bump2.jpg"), t, x, y), bump);
        }
}

TEST(TerrainSynthesis, CoverTwoLiesOverCoverOne)
{
    constexpr int t = 40;
    const SmallInputs inputs = test::MakeInputs(t, 9, 6);
    ProjectSettings both = Settings(0, 2, 3);
    both.cover1density = 175;
    both.cover2density = 274;
    // Each layer in a channel of its own.
    both.cover2color1 = both.cover2color2 = both.cover2color3 = RgbColor{200, 0, 0};
    both.cover1color1 = both.cover1color2 = both.cover1color3 = RgbColor{0, 200, 0};
    both.basecolor1 = both.basecolor2 = both.basecolor3 = RgbColor{0, 0, 200};
    ProjectSettings first = both, second = both, bare = both;
    first.cover2index = 0;
    second.cover1index = 0;
    bare.cover1index = bare.cover2index = 0;
    const auto b = test::ProgramImages(both, inputs, false);
    const auto c1 = test::ProgramImages(first, inputs, false);
    const auto c2 = test::ProgramImages(second, inputs, false);
    const auto none = test::ProgramImages(bare, inputs, false);
    int overlap = 0;
    for (const char* pass : {"1", "2"}) {
        const std::string tex = std::string("tex") + pass + ".jpg", bump = std::string("bump") + pass + ".jpg";
        for (int i = 0; i < t * t; ++i) {
            const bool under2 = c2.at(tex)[3 * i] != 0;
            const bool under1 = c1.at(tex)[3 * i + 1] != 0;
            overlap += under1 && under2;
            const auto& expected = under2 ? c2 : under1 ? c1 : none;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(b.at(tex)[3 * i + c], expected.at(tex)[3 * i + c]) << pass << " " << i;
            ASSERT_EQ(b.at(bump)[3 * i], expected.at(bump)[3 * i]) << pass << " " << i;
        }
    }
    EXPECT_GT(overlap, 0);  // the two masks do overlap, and cover 2 shows there
}

TEST(TerrainSynthesis, DensityZeroLeavesCoverAbsent)
{
    const SmallInputs inputs = test::MakeInputs(32, 9, 2);
    for (int pattern = 1; pattern < 8; ++pattern) {
        ProjectSettings with = Settings(2, pattern, pattern);
        with.cover1density = 115;
        with.cover2density = 214;
        const ProjectSettings none = Settings(2, 0, 0);
        const auto a = test::ProgramImages(with, inputs, false);
        const auto b = test::ProgramImages(none, inputs, false);
        for (const char* name : {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg"})
            EXPECT_TRUE(a.at(name) == b.at(name)) << pattern << " " << name;
    }
}

TEST(TerrainSynthesis, BlotchyIsTheSameForBothCovers)
{
    const SmallInputs inputs = test::MakeInputs(40, 10, 7);
    ProjectSettings one = Settings(0, 4, 0);
    one.cover1density = 175;
    one.cover2color1 = one.cover1color1;
    one.cover2color2 = one.cover1color2;
    one.cover2color3 = one.cover1color3;
    ProjectSettings two = one;
    two.cover1index = 0;
    two.cover2index = 4;
    two.cover2density = 274;  // the same D of 95
    EXPECT_TRUE(test::ProgramImages(one, inputs, false).at("tex1.jpg") ==
                test::ProgramImages(two, inputs, false).at("tex1.jpg"));
}

TEST(TerrainSynthesis, StrataRockStripesWrapRoundTheTableAbove1024Rows)
{
    constexpr int t = 1100;
    Raster noise(t);  // noise 0: the rock shade is half the stripe value
    PatternRaster rc;
    rc.size = t;
    rc.tileHeight = t / 2;
    rc.rows.assign(static_cast<std::size_t>(t / 2) * t, 77);
    const SynthesisPlan plan = SynthesisPlan::Make(Settings(2, 0, 0));
    const Raster shades = ComposeRockShades(plan, noise, rc, {});
    // Image row y shows stripe row t - 1 - y; rows 1024 apart show the same stripe.
    for (int r = 0; r < t; ++r) {
        const std::uint8_t* a = shades.Row(t - 1 - r);
        EXPECT_EQ(a[0], StrataRamp[static_cast<std::size_t>((r / 4) % 256)] / 2) << r;
        EXPECT_TRUE(std::all_of(a, a + t, [&](std::uint8_t v) { return v == a[0]; })) << r;
        if (r + 1024 < t) {
            EXPECT_EQ(a[0], shades.At(0, t - 1 - (r + 1024))) << r;
        }
    }
}

TEST(StrataRamp, IsNineAscendingRampsFromZero)
{
    int starts = 0;
    for (int i = 0; i < 256; ++i) {
        if (StrataRamp[static_cast<std::size_t>(i)] == 0) ++starts;
        if (i > 0 && StrataRamp[static_cast<std::size_t>(i)] != 0) {
            EXPECT_GT(StrataRamp[static_cast<std::size_t>(i)], StrataRamp[static_cast<std::size_t>(i - 1)]);
        }
    }
    EXPECT_EQ(starts, 9);
    EXPECT_EQ(StrataRamp[31], 248);
    EXPECT_EQ(StrataRamp[47], 240);
    EXPECT_EQ(StrataRamp[111], 252);
    EXPECT_EQ(StrataRamp[255], 240);
}

TEST(ColorRamp, RunsFromFirstThroughMiddleToLastColour)
{
    const RgbColor c1{10, 200, 255}, c2{100, 100, 0}, c3{255, 0, 40};
    EXPECT_EQ(ColorRamp(c1, c2, c3, 0), c1);
    EXPECT_EQ(ColorRamp(c1, c2, c3, 255), c3);
    EXPECT_EQ(ColorRamp(c1, c2, c3, 128), (RgbColor{99, 99, 0}));  // 127/128 of c2, truncated
    EXPECT_EQ(ColorRamp(c1, c2, c3, 64), (RgbColor{55, 150, 127}));
    // Never above 255 even with every colour white.
    const RgbColor white{255, 255, 255};
    for (int v = 0; v < 256; ++v) EXPECT_LE(ColorRamp(white, white, white, v).r, 255);
    EXPECT_EQ(ColorRamp(white, white, white, 200).r, 254);
}

}  // namespace
}  // namespace kv
