// The frame that places one tree or rock and the chunks each model writer
// puts around it.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "ScratchScene.h"
#include "TestSupport.h"
#include "core/model/KindMeshes.h"
#include "core/model/KindModels.h"
#include "core/model/PlacementFrame.h"
#include "core/writers/scn/ScnSceneWriter.h"
#include "core/platform/Paths.h"
#include "core/writers/scn/NumberFormat.h"

namespace kv {
namespace {


bool StartsWith(const std::string& s, std::string_view prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// Placed objects in a scene model with a flat 9 by 9 grid, written as the
// scene file writes them.
struct ModelScene : test::ScratchScene {
    ModelScene()
    {
        heights.n = 9;
        heights.heights.assign(81, 0);
    }
    // Everything written for the objects, as lines.
    std::vector<std::string> Lines() { return WrittenLines(); }
};

// The chunk header lines only.
std::vector<std::string> Headers(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (StartsWith(l, "PolH ") || StartsWith(l, "Grou ") || StartsWith(l, "Unit ") || StartsWith(l, "Mat1 "))
            out.push_back(l);
    return out;
}

std::vector<std::string> WithPrefix(const std::vector<std::string>& lines, std::string_view prefix)
{
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (StartsWith(l, prefix)) out.push_back(l);
    return out;
}

// A line with the scratch directory replaced, to compare scenes written into
// different directories.
std::string Normalised(std::string line, const std::string& dir)
{
    if (const auto at = line.find(dir); at != std::string::npos) line.replace(at, dir.size(), "DIR");
    return line;
}

PlacementFrame SampleFrame()
{
    PlacementFrame f;
    f.x = 1.25f;
    f.y = -2.5f;
    f.z = 0.75f;
    f.yaw = 2.0f;
    f.tilt = kTilt;
    f.sinA = static_cast<float>(std::sin(2.0));
    f.cosA = static_cast<float>(std::cos(2.0));
    f.sinB = 1.0f;
    f.cosB = static_cast<float>(std::cos(static_cast<double>(kTilt)));
    f.size[0] = 0.3f;
    f.size[1] = 0.4f;
    f.size[2] = 0.5f;
    return f;
}

// A generator set up so that its `draw`-th draw (1-based) returns `value`.
Random RandomWithDraw(int draw, int value)
{
    std::uint32_t inverse = 214013u;  // Newton's iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    std::uint32_t state = static_cast<std::uint32_t>(value) << 16;
    for (int i = 0; i < draw; ++i) state = (state - 2531011u) * inverse;
    Random random;
    random.SetState(state);
    return random;
}

HeightGrid FlatGrid(int n)
{
    HeightGrid g;
    g.n = n;
    g.heights.assign(static_cast<std::size_t>(n) * n, 0);
    return g;
}

// ------------------------------------------------------------------ frame

TEST(PlacementFrameTest, SizeFactorBoundsOfEvergreen)
{
    const SizeRule rule = ModelOfKind(ObjectKind::Evergreen).size;
    Random high = RandomWithDraw(4, 32767);
    const PlacementFrame big = ComputePlacementFrame(high, FlatGrid(9), 4, 4, 495, rule);
    EXPECT_FLOAT_EQ(big.size[0], 0.70875f);
    EXPECT_EQ(Fixed6(big.size[2]), "0.708750");
    Random low = RandomWithDraw(4, 0);
    const PlacementFrame small = ComputePlacementFrame(low, FlatGrid(9), 4, 4, 415, rule);
    EXPECT_FLOAT_EQ(small.size[1], 0.0025f);
    EXPECT_GT(small.size[1], 0.0f);
}

TEST(PlacementFrameTest, DrawsAreTakenInOrderYawJitterSize)
{
    const int n = 9;
    Random random;
    random.SetState(12345u);
    Random copy = random;
    const double g1 = copy.Next(), g2 = copy.Next(), g3 = copy.Next(), g4 = copy.Next();
    const PlacementFrame f = ComputePlacementFrame(random, FlatGrid(n), 3, 5, 455, ModelOfKind(ObjectKind::Fir).size);
    const double spacing = 10.0 / (n - 1);
    EXPECT_NEAR(f.yaw, g1 / 32767 * 2 * std::numbers::pi, 1e-5);
    EXPECT_NEAR(f.x, (g2 / 32767 - 0.5) * spacing + 3 * spacing - 5, 1e-5);
    EXPECT_NEAR(f.y, (g3 / 32767 - 0.5) * spacing + 5 * spacing - 5, 1e-5);
    EXPECT_NEAR(f.size[0], 41.0 / 160 * (g4 / 32767 + 0.4), 1e-6);
    EXPECT_EQ(random.State(), copy.State());
}

TEST(PlacementFrameTest, EveryRockTakesSixDrawsAndTreesTheirRule)
{
    const struct {
        SizeRule rule;
        int draws;
    } cases[] = {
        {ModelOfKind(ObjectKind::Pebbles).size, 6}, {ModelOfKind(ObjectKind::Boulder).size, 6},
        {ModelOfKind(ObjectKind::Rock).size, 6},    {ModelOfKind(ObjectKind::Palmtree).size, 6},
        {ModelOfKind(ObjectKind::Fern).size, 6},    {ModelOfKind(ObjectKind::Cactus).size, 4},
    };
    for (const auto& c : cases) {
        Random random, expected;
        ComputePlacementFrame(random, FlatGrid(5), 1, 1, 455, c.rule);
        for (int i = 0; i < c.draws; ++i) expected.Next();
        EXPECT_EQ(random.State(), expected.State());
    }
}

TEST(PlacementFrameTest, PebblesLieOnTheGridAtAFixedFactor)
{
    HeightGrid grid = FlatGrid(17);
    grid.heights[6 * 17 + 9] = 612;
    Random random;
    const PlacementFrame f = ComputePlacementFrame(random, grid, 9, 6, 455, ModelOfKind(ObjectKind::Pebbles).size);
    EXPECT_EQ(f.x, 90.0f / 16.0f - 5.0f);
    EXPECT_EQ(f.y, 60.0f / 16.0f - 5.0f);
    EXPECT_EQ(Fixed6(f.z), "2.666667");  // 612 / 76.5 / 3
    for (float s : f.size) EXPECT_EQ(Fixed6(s), "0.256250");
    // The boulder on the same pixel is jittered, but by at most half a spacing.
    const PlacementFrame b = ComputePlacementFrame(random, grid, 9, 6, 455, ModelOfKind(ObjectKind::Boulder).size);
    EXPECT_LE(std::fabs(b.x - f.x), 0.5f * 10.0f / 16.0f);
    EXPECT_LE(std::fabs(b.y - f.y), 0.5f * 10.0f / 16.0f);
    EXPECT_EQ(b.z, f.z);
}

TEST(PlacementFrameTest, TransformIsTranslationScaleRotationLocal)
{
    const PlacementFrame f = SampleFrame();
    const LocalMatrix local{{{0.5f, -0.25f, 0.1f, 0.2f}, {0.3f, 0.9f, -0.4f, -0.6f}, {-0.7f, 0.05f, 1.5f, 3.0f}}};
    float rows[3][4];
    ComposeTransform(f, local, rows);
    const double a = 2.0;
    const double r[3][3] = {{std::cos(a), std::sin(a), 0}, {-std::sin(a), std::cos(a), 0}, {0, 0, 1}};
    const double p[3] = {1.25, -2.5, 0.75};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += r[i][k] * local.m[k][j];
            const double expected = f.size[i] * sum + (j == 3 ? p[i] : 0.0);
            EXPECT_NEAR(rows[i][j], expected, 1e-5) << i << "," << j;
        }
    }
}

TEST(PlacementFrameTest, AxesCarryTheSignOfTheTinyTiltCosine)
{
    ModelScene scene;
    PlacementFrame f = SampleFrame();  // sin a > 0
    auto addPlaced = [&](const PlacementFrame& frame) {
        Node node;
        node.name = "rock";
        node.kind = NodeKind::Group;
        node.placed = true;
        node.frame = PlacedNodeFrame(frame, kIdentityLocal);
        scene.scene.AddNode(std::move(node), scene.rocks);
    };
    addPlaced(f);
    f.sinA = -f.sinA;
    addPlaced(f);
    const std::vector<std::string> lines = scene.Lines();
    const std::vector<std::string> yAxes = WithPrefix(lines, "y axis ");
    const std::vector<std::string> zAxes = WithPrefix(lines, "z axis ");
    ASSERT_EQ(yAxes.size(), 2u);
    EXPECT_EQ(yAxes[0], "y axis 0.909297 -0.416147 -0.000000");
    EXPECT_EQ(zAxes[0], "z axis 0.000000 0.000000 1.000000");
    EXPECT_EQ(zAxes[1], "z axis -0.000000 0.000000 1.000000");
    EXPECT_EQ(lines[2], "center 1.250000 -2.500000 0.750000");
    EXPECT_EQ(lines[6], "Transform");
    EXPECT_EQ(lines[10], "0 0 0 1");
}

// ------------------------------------------------------------------ trees

TEST(TreeModelsTest, GroupedTreeChunksAndParents)
{
    ModelScene scene;
    scene.Add(ObjectKind::Palmtree, SampleFrame());
    const std::vector<std::string> lines = scene.Lines();
    const std::vector<std::string> expected = {
        "Grou V0.01 Id 0000002 Parent 0000040 Size -1", "Unit V0.01 Id 0000003 Parent 0000002 Size -1",
        "PolH V0.04 Id 0000004 Parent 0000002 Size -1", "Unit V0.01 Id 0000005 Parent 0000004 Size -1",
        "Mat1 V0.05 Id 0000006 Parent 0000004 Size -1", "PolH V0.04 Id 0000007 Parent 0000002 Size -1",
        "Unit V0.01 Id 0000008 Parent 0000007 Size -1", "Mat1 V0.05 Id 0000009 Parent 0000007 Size -1",
        "PolH V0.04 Id 0000010 Parent 0000002 Size -1", "Unit V0.01 Id 0000011 Parent 0000010 Size -1",
        "Mat1 V0.05 Id 0000012 Parent 0000010 Size -1", "PolH V0.04 Id 0000013 Parent 0000002 Size -1",
        "Unit V0.01 Id 0000014 Parent 0000013 Size -1", "Mat1 V0.05 Id 0000015 Parent 0000013 Size -1",
    };
    EXPECT_EQ(Headers(lines), expected);
    EXPECT_EQ(WithPrefix(lines, "Name "),
              (std::vector<std::string>{"Name palmtree", "Name Trunk", "Name Leaf1", "Name Leaf2", "Name Leaf3"}));
    const std::string dir = scene.dir.path();
    EXPECT_EQ(WithPrefix(lines, "bump: "), std::vector<std::string>{"bump: " + JoinPath(dir, "palmbark.jpg") + " "});
    EXPECT_EQ(WithPrefix(lines, "texture: ")[1], "texture: " + JoinPath(dir, "palmleaf.tga") + " ");
    EXPECT_EQ(WithPrefix(lines, "offset 0,0  repeats 3,24  amp 0.5  flags 2").size(), 1u);
}

TEST(TreeModelsTest, PartNamesKeepTheirCase)
{
    const struct {
        ObjectKind kind;
        std::vector<std::string> names;
    } cases[] = {
        {ObjectKind::Evergreen, {"Name evergreen", "Name trunk", "Name branches"}},
        {ObjectKind::Cactus, {"Name cactus", "Name Trunk", "Name ARM", "Name arm", "Name arm"}},
        {ObjectKind::Fern,
         {"Name fern", "Name leaf1", "Name leaf2", "Name leaf3", "Name leaf4", "Name leaf5", "Name leaf6"}},
        {ObjectKind::Deadtree1, {"Name deadtree1"}},
        {ObjectKind::Birch, {"Name birch"}},  // the deadtree2 mesh in birch bark
    };
    for (const auto& c : cases) {
        ModelScene scene;
        scene.Add(c.kind, SampleFrame());
        const std::vector<std::string> lines = scene.Lines();
        EXPECT_EQ(WithPrefix(lines, "Name "), c.names);
        // Single-mesh trees hang directly under the trees group.
        if (c.names.size() == 1) {
            EXPECT_EQ(Headers(lines)[0], "PolH V0.04 Id 0000002 Parent 0000040 Size -1");
        }
        if (c.kind == ObjectKind::Birch) {
            EXPECT_EQ(WithPrefix(lines, "texture: "),
                      std::vector<std::string>{"texture: " + JoinPath(scene.dir.path(), "birch.jpg") + " "});
        }
    }
}

TEST(TreeModelsTest, EvergreenAndFirDifferInNameAndBranchesTextureOnly)
{
    ModelScene evergreen, fir;
    evergreen.Add(ObjectKind::Evergreen, SampleFrame());
    fir.Add(ObjectKind::Fir, SampleFrame());
    const std::vector<std::string> a = evergreen.Lines(), b = fir.Lines();
    ASSERT_EQ(a.size(), b.size());
    std::vector<std::pair<std::string, std::string>> differences;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Normalised(a[i], evergreen.dir.path()) != Normalised(b[i], fir.dir.path()))
            differences.emplace_back(a[i], b[i]);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0], std::make_pair(std::string("Name evergreen"), std::string("Name fir")));
    EXPECT_EQ(differences[1].first, "texture: " + JoinPath(evergreen.dir.path(), "ever.tga") + " ");
    EXPECT_EQ(differences[1].second, "texture: " + JoinPath(fir.dir.path(), "fir.tga") + " ");
    EXPECT_EQ(WithPrefix(a, "texture: ")[0], "texture: " + JoinPath(evergreen.dir.path(), "bark.jpg") + " ");
}

TEST(TreeModelsTest, OnlyFernLeavesAreAuto32)
{
    for (int k = 0; k < 8; ++k) {
        const auto kind = static_cast<ObjectKind>(k);
        ModelScene scene;
        scene.Add(kind, SampleFrame());
        const std::vector<std::string> lines = scene.Lines();
        const std::vector<std::string> shaders = WithPrefix(lines, "shader: ");
        const std::size_t mats = WithPrefix(lines, "Mat1 ").size();
        ASSERT_EQ(shaders.size(), mats);
        const std::string want =
            kind == ObjectKind::Fern ? "shader: phong  facet: auto32" : "shader: phong  facet: smooth";
        for (const std::string& s : shaders) EXPECT_EQ(s, want) << k;
        if (kind == ObjectKind::Fern) {
            EXPECT_EQ(mats, 6u);
        }
        for (const std::string& l : WithPrefix(lines, "rgb ")) EXPECT_EQ(l, "rgb 0.729412,0.666667,0.486275");
    }
}

TEST(TreeModelsTest, PalmDrawsThreeFactorsEvergreenOne)
{
    Random random;
    const PlacementFrame palm =
        ComputePlacementFrame(random, FlatGrid(9), 4, 4, 455, ModelOfKind(ObjectKind::Palmtree).size);
    EXPECT_NE(palm.size[0], palm.size[1]);
    EXPECT_NE(palm.size[1], palm.size[2]);
    const PlacementFrame evergreen =
        ComputePlacementFrame(random, FlatGrid(9), 4, 4, 455, ModelOfKind(ObjectKind::Evergreen).size);
    EXPECT_EQ(evergreen.size[0], evergreen.size[1]);
    EXPECT_EQ(evergreen.size[1], evergreen.size[2]);
}

// ------------------------------------------------------------------ rocks

TEST(RockModelsTest, OneMeshUnderTheRocksGroupWithRockTextures)
{
    ModelScene scene;
    scene.Add(ObjectKind::Flatrock, SampleFrame());
    const std::vector<std::string> lines = scene.Lines();
    EXPECT_EQ(Headers(lines), (std::vector<std::string>{"PolH V0.04 Id 0000002 Parent 0000030 Size -1",
                                                        "Unit V0.01 Id 0000003 Parent 0000002 Size -1",
                                                        "Mat1 V0.05 Id 0000004 Parent 0000002 Size -1"}));
    const std::string dir = scene.dir.path();
    const std::vector<std::string> tail(lines.end() - 8, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "mat# 0", "shader: phong  facet: smooth", "rgb 0.729412,0.666667,0.486275",
                        "alpha 1  ka 0  ks 0  exp 0  ior 1", "texture: " + JoinPath(dir, "rocktex.jpg") + " ",
                        "offset 0,0  repeats 1,1  flags 2", "bump: " + JoinPath(dir, "rockbump.jpg") + " ",
                        "offset 0,0  repeats 1,1  amp 0.05  flags 2"}));
}

TEST(RockModelsTest, BaseIndexChangesOnlyTheAmplitude)
{
    auto write = [](int baseindex) {
        ModelScene scene;
        scene.settings.baseindex = baseindex;
        for (ObjectKind k : {ObjectKind::Boulder, ObjectKind::Flatrock, ObjectKind::Rock, ObjectKind::Pebbles})
            scene.Add(k, SampleFrame());
        std::vector<std::string> lines = scene.Lines();
        for (std::string& l : lines) l = Normalised(l, scene.dir.path());
        return lines;
    };
    const std::vector<std::string> jagged = write(0), smooth = write(1), strata = write(3), other = write(7);
    EXPECT_EQ(jagged, other);
    EXPECT_EQ(smooth, strata);
    ASSERT_EQ(jagged.size(), smooth.size());
    int changed = 0;
    for (std::size_t i = 0; i < jagged.size(); ++i) {
        if (jagged[i] == smooth[i]) continue;
        ++changed;
        EXPECT_EQ(jagged[i], "offset 0,0  repeats 1,1  amp 0.05  flags 2");
        EXPECT_EQ(smooth[i], "offset 0,0  repeats 1,1  amp 0.01  flags 2");
    }
    EXPECT_EQ(changed, 4);
}

TEST(RockModelsTest, RockIsHalfABoulderWithTheSameDraws)
{
    Random a, b;
    const PlacementFrame boulder = ComputePlacementFrame(a, FlatGrid(9), 3, 3, 455, ModelOfKind(ObjectKind::Boulder).size);
    const PlacementFrame rock = ComputePlacementFrame(b, FlatGrid(9), 3, 3, 455, ModelOfKind(ObjectKind::Rock).size);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(rock.size[i] * 2.0f, boulder.size[i]);
    EXPECT_EQ(rock.x, boulder.x);
}

// ------------------------------------------------------------------ meshes

// Every PolH carries its stored mesh table between its Transform block and
// its Unit chunk, with CR LF line ends.
TEST(ModelMeshesTest, MeshTablesSitBetweenTransformAndUnit)
{
    const struct {
        ObjectKind kind;
        std::vector<std::string> meshes;
    } cases[] = {
        {ObjectKind::Evergreen, {"evergreen_trunk", "evergreen_branches"}},
        {ObjectKind::Fir, {"evergreen_trunk", "evergreen_branches"}},
        {ObjectKind::Deadtree1, {"deadtree1"}},
        {ObjectKind::Deadtree2, {"deadtree2"}},
        {ObjectKind::Birch, {"deadtree2"}},
        {ObjectKind::Palmtree, {"palm_trunk", "palm_leaf", "palm_leaf", "palm_leaf"}},
        {ObjectKind::Cactus, {"cactus_trunk", "cactus_arm", "cactus_arm", "cactus_arm"}},
        {ObjectKind::Fern, std::vector<std::string>(6, "fern_leaf")},
        {ObjectKind::Boulder, {"boulder"}},
        {ObjectKind::Flatrock, {"flatrock"}},
        {ObjectKind::Rock, {"boulder"}},
        {ObjectKind::Pebbles, {"pebbles"}},
    };
    for (const auto& c : cases) {
        ModelScene scene;
        scene.Add(c.kind, SampleFrame());
        const std::vector<std::string> lines = scene.Lines();
        std::size_t part = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!StartsWith(lines[i], "PolH ")) continue;
            ASSERT_LT(part, c.meshes.size());
            ASSERT_EQ(lines[i + 10], "0 0 0 1");
            std::string body;
            std::size_t j = i + 11;
            for (; j < lines.size() && !StartsWith(lines[j], "Unit "); ++j) body += lines[j] + "\n";
            std::string stored = ScnMeshBody(*KindMesh(c.meshes[part]));
            for (std::size_t at; (at = stored.find("\r\n")) != std::string::npos;) stored.replace(at, 2, "\n");
            EXPECT_EQ(body, stored) << c.meshes[part];
            ++part;
        }
        EXPECT_EQ(part, c.meshes.size());
    }
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// Each part's own matrix, as the models are defined: row by row, the linear
// part then the translation. The objects' chunks in written order.
struct ExpectedChunk {
    const char* name;
    double rows[3][4];
};
struct ExpectedKind {
    ObjectKind kind;
    std::vector<ExpectedChunk> chunks;
};

const ExpectedChunk kConiferTrunk{"trunk", {{0.05, 0, 0, 0}, {0, 0.05, 0, 0}, {0, 0, 2, 1.52955}}};
const ExpectedChunk kConiferBranches{"branches", {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4}}};
const ExpectedChunk kBoulderRows{"boulder",
                                 {{0.583404, -0.694829, -0.420541, 0},
                                  {0.741656, 0.244713, 0.624547, 0.0442457},
                                  {-0.331041, -0.676258, 0.658093, 0.874248}}};

const std::vector<ExpectedKind>& ExpectedKinds()
{
    static const std::vector<ExpectedKind> kinds = {
        {ObjectKind::Evergreen,
         {{"evergreen", {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4704483}}}, kConiferTrunk, kConiferBranches}},
        {ObjectKind::Fir, {{"fir", {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4704483}}}, kConiferTrunk, kConiferBranches}},
        {ObjectKind::Deadtree1,
         {{"deadtree1", {{0.0552786, 0, 0, 0.00966936}, {0, 0.0525731, 0, 0.000776291}, {0, 0, 1, 0.817016}}}}},
        {ObjectKind::Deadtree2, {{"deadtree2", {{1, 0, 0, -0.0105968}, {0, 1, 0, -0.0251102}, {0, 0, 1, -0.324968}}}}},
        {ObjectKind::Birch, {{"birch", {{1, 0, 0, -0.0105968}, {0, 1, 0, -0.0251102}, {0, 0, 1, -0.324968}}}}},
        {ObjectKind::Palmtree,
         {{"palmtree", {{1, 0, 0, 0.231195}, {0, 1, 0, -0.0187735}, {0, 0, 1, 3.00831}}},
          {"Trunk", {{0.25, 0, 0, -0.059657}, {0, 0.25, 0, -0.0187735}, {0, 0, 2, 2}}},
          {"Leaf1",
           {{0.997359, -0.000851549, -0.0848496, 0.212479},
            {0.00473772, 0.925521, 0.0660381, -0.775562},
            {0.0697979, -0.0506568, 1.207972, 3.35645}}},
          {"Leaf2",
           {{-0.446955, -0.637681, 0.0317475, 0.77089},
            {0.717749, -0.393842, -0.152084, 0.275764},
            {0.0852465, -0.0274032, 1.44698, 3.39229}}},
          {"Leaf3",
           {{-0.378181, 0.941179, 0.0242859, -0.54911},
            {-0.641355, -0.549139, 0.110808, 0.46595},
            {0.0889267, 0.0420983, 0.902456, 3.20837}}}}},
        {ObjectKind::Cactus,
         {{"cactus", {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}},
          {"Trunk",
           {{0.900509, 1.12878e-32, 1.29984e-23, 0},
            {0, 0.900509, 2.84892e-09, 0.0129713},
            {-2.68549e-24, 2.33902e-08, 2.23856, -0.46696}}},
          {"ARM",
           {{0.749893, 0.0012462, 0.0275297, 0.0447382},
            {4.27013e-26, 0.699703, -0.0355947, -1.53274},
            {-0.0278512, 0.0335538, 0.741239, 6.32819}}},
          {"arm",
           {{-0.281319, -0.648661, 0.0221806, 1.36935},
            {0.695489, -0.26143, 0.0206698, 0.608682},
            {-0.0164646, 0.0400522, 0.49414, 7.195}}},
          {"arm",
           {{-0.682822, 0.247147, -0.0441683, -0.642432},
            {-0.310433, -0.546115, 0.0348332, 1.19872},
            {-0.0223768, 0.0346299, 0.864543, 5.67714}}}}},
        {ObjectKind::Fern,
         {{"fern", {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}},
          {"leaf1",
           {{-0.410475, 1.93278, 0.863662, -1.6018},
            {-0.799314, -1.09789, -0.350869, 0.965886},
            {0.0510441, -1.64955, 1.45083, 2.2441}}},
          {"leaf2",
           {{-0.976884, 0.319673, 0.17215, -0.253184},
            {-0.213684, -1.49776, -0.76078, 1.20459},
            {0.00603482, -1.28629, 0.928638, 1.66866}}},
          {"leaf3",
           {{-0.510316, -1.38839, -0.628643, 1.14733},
            {0.677351, -1.12609, -0.402845, 0.973478},
            {-0.0572232, -0.947945, 0.837756, 1.29122}}},
          {"leaf4",
           {{0.997551, 0.0923982, -0.0766465, -0.12385},
            {0.00194144, 1.56919, 0.752776, -1.2798},
            {0.0699059, -1.36209, 1.07283, 1.80286}}},
          {"leaf5",
           {{0.713893, -1.02488, -0.531737, 0.819806},
            {1.02167, 0.853401, 0.252927, -0.758735},
            {0.0951014, -1.47461, 1.27438, 1.99706}}},
          {"leaf6",
           {{0.545072, 1.1475, 0.611718, -0.911332},
            {-0.893219, 0.835054, 0.261854, -0.736664},
            {-0.0869176, -1.38538, 1.14519, 1.85534}}}}},
        {ObjectKind::Boulder, {kBoulderRows}},
        {ObjectKind::Rock, {{"rock", {{0.583404, -0.694829, -0.420541, 0},
                                      {0.741656, 0.244713, 0.624547, 0.0442457},
                                      {-0.331041, -0.676258, 0.658093, 0.874248}}}}},
        {ObjectKind::Flatrock,
         {{"flatrock", {{0.495982, 0, 0, 0.190983}, {0, 0.475247, 0, 0}, {0, 0, 0.902029, 0.0942619}}}}},
        {ObjectKind::Pebbles,
         {{"pebbles",
           {{0.109865, -0.0756392, 0.0160006, -0.0755284},
            {0.0780411, 0.132892, 0.0109832, 0.150514},
            {-0.0115548, 0.00445365, 0.0958756, 0.033203}}}}},
    };
    return kinds;
}

// An object at the scene's origin, unturned and at its full size: its
// chunks' Transform rows are then their own matrices.
PlacementFrame IdentityFrame()
{
    PlacementFrame f;
    f.yaw = 0.0f;
    f.tilt = kTilt;
    f.sinA = 0.0f;
    f.cosA = 1.0f;
    f.sinB = static_cast<float>(std::sin(static_cast<double>(kTilt)));
    f.cosB = static_cast<float>(std::cos(static_cast<double>(kTilt)));
    return f;
}

TEST(ModelTransformsTest, EveryChunkOfEveryKindIsPlacedByItsOwnMatrix)
{
    for (const ExpectedKind& expected : ExpectedKinds()) {
        ModelScene scene;
        scene.Add(expected.kind, IdentityFrame());
        const std::vector<std::string> lines = scene.Lines();
        std::vector<std::size_t> headers;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (StartsWith(lines[i], "PolH ") || StartsWith(lines[i], "Grou ")) headers.push_back(i);
        ASSERT_EQ(headers.size(), expected.chunks.size()) << static_cast<int>(expected.kind);
        for (std::size_t c = 0; c < headers.size(); ++c) {
            const ExpectedChunk& chunk = expected.chunks[c];
            const std::size_t at = headers[c];
            EXPECT_EQ(lines[at + 1], std::string("Name ") + chunk.name);
            ASSERT_EQ(lines[at + 6], "Transform");
            for (int r = 0; r < 3; ++r) {
                std::istringstream row(lines[at + 7 + static_cast<std::size_t>(r)]);
                for (int k = 0; k < 4; ++k) {
                    double value = 0;
                    row >> value;
                    EXPECT_NEAR(value, chunk.rows[r][k], 1.5e-6) << chunk.name << " row " << r << " column " << k;
                }
            }
        }
    }
}

}  // namespace
}  // namespace kv
