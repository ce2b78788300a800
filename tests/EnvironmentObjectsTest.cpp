// The fixed outdoor objects: ids and parents, the ocean variants, the lights'
// order, the dome tables and their face mappings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "IndependentReader.h"
#include "TestSupport.h"
#include "core/basics/JobControl.h"
#include "core/basics/Session.h"
#include "core/model/EnvironmentBuilder.h"
#include "core/model/SphereTable.h"
#include "core/platform/Paths.h"
#include "core/writers/scn/ScnSceneWriter.h"

namespace kv {
namespace {

using test::ScratchDir;

struct Chunk {
    std::string tag;
    std::int32_t id = 0;
    std::int32_t parent = 0;
    std::size_t line = 0;  // index of the chunk header line
    std::string name;      // from the "Name" line, if any
};

// Splits the written scene into lines (CR LF ends) and finds its chunk headers.
struct ParsedScene {
    std::vector<std::string> lines;
    std::vector<Chunk> chunks;

    explicit ParsedScene(const std::string& text)
    {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(text.substr(start));
                break;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            char tag[16];
            char version[16];
            int id = 0;
            int parent = 0;
            if (std::sscanf(lines[i].c_str(), "%15s %15s Id %d Parent %d Size -1", tag, version, &id, &parent) == 4 &&
                version[0] == 'V') {
                Chunk c{tag, id, parent, i, {}};
                if (i + 1 < lines.size() && lines[i + 1].rfind("Name ", 0) == 0) c.name = lines[i + 1].substr(5);
                chunks.push_back(c);
            }
        }
    }

    const Chunk& Named(const std::string& name) const
    {
        for (const Chunk& c : chunks)
            if (c.name == name) return c;
        ADD_FAILURE() << "no chunk named " << name;
        static const Chunk none;
        return none;
    }
    bool Has(const std::string& name) const
    {
        for (const Chunk& c : chunks)
            if (c.name == name) return true;
        return false;
    }
    // The chunk that follows `c` in the file.
    const Chunk& After(const Chunk& c, int steps = 1) const
    {
        for (std::size_t i = 0; i < chunks.size(); ++i)
            if (chunks[i].line == c.line && i + steps < chunks.size()) return chunks[i + steps];
        ADD_FAILURE() << "no chunk after line " << c.line;
        static const Chunk none;
        return none;
    }
    // Lines of a chunk, from its header up to the next chunk header.
    std::vector<std::string> Body(const Chunk& c) const
    {
        std::size_t end = lines.size();
        for (const Chunk& other : chunks)
            if (other.line > c.line && other.line < end) end = other.line;
        return {lines.begin() + static_cast<std::ptrdiff_t>(c.line), lines.begin() + static_cast<std::ptrdiff_t>(end)};
    }
};

// One creation's fixed objects in a scene model, written as a scene file on
// a scratch directory (the scene chunks first, as the creation job does).
class EnvironmentScene {
public:
    explicit EnvironmentScene(ProjectSettings settings = DefaultSettings("prog")) : settings_(std::move(settings)) {}

    Scene& scene() { return scene_; }
    const std::string& sceneDirectory() const { return scratch_.path(); }

    // The objects of the scene stage, in the job's order.
    void AddSceneStageObjects()
    {
        AddSkyDome(scene_);
        AddFogDome(scene_);
        if (settings_.oceanindex != 0) AddOcean(scene_, settings_.ocean, settings_.oceanindex);
        AddLights(scene_);
        AddSun(scene_);
        AddCamera(scene_);
        earth_ = AddPlainGroup(scene_, "earth", scene_.Root());
    }
    void AddOceanAlone() { AddOcean(scene_, settings_.ocean, settings_.oceanindex); }
    // The rocks and trees groups under the earth (made when missing).
    void AddRocksAndTrees()
    {
        if (earth_ < 0) earth_ = AddPlainGroup(scene_, "earth", scene_.Root());
        AddPlainGroup(scene_, "rocks", earth_);
        AddPlainGroup(scene_, "trees", earth_);
    }

    ParsedScene Finish()
    {
        SceneWriter writer(session_);
        EXPECT_TRUE(writer.Open(scratch_.File("scene.tmp")));
        WriteScnScene(scene_, scratch_.path(), writer, control_);
        writer.Close();
        return ParsedScene(test::ReadFile(scratch_.File("scene.tmp")));
    }

private:
    ScratchDir scratch_;
    ProjectSettings settings_;
    Session session_;
    SilentControl control_;
    Scene scene_;
    int earth_ = -1;
};

ProjectSettings WithOcean(int oceanindex, RgbColor colour = {179, 211, 255})
{
    ProjectSettings s = DefaultSettings("prog");
    s.oceanindex = oceanindex;
    s.ocean = colour;
    return s;
}

// ------------------------------------------------------------ tree and ids

TEST(EnvironmentIds, EveryObjectHangsUnderTheSceneWithItsUnitAndMaterialUnderIt)
{
    EnvironmentScene scene(WithOcean(2));
    scene.AddSceneStageObjects();
    const ParsedScene parsed = scene.Finish();
    ASSERT_EQ(parsed.chunks.front().tag, "Scen");
    const std::int32_t sceneId = parsed.chunks.front().id;
    for (const char* name : {"atmos", "fog", "ocean", "lights", "sun", "YOU", "earth"})
        EXPECT_EQ(parsed.Named(name).parent, sceneId) << name;
    for (const char* name : {"atmos", "fog", "ocean"}) {
        const Chunk& object = parsed.Named(name);
        EXPECT_EQ(object.tag, "PolH");
        EXPECT_EQ(parsed.After(object).tag, "Unit") << name;
        EXPECT_EQ(parsed.After(object).parent, object.id) << name;
        EXPECT_EQ(parsed.After(object, 2).tag, "Mat1") << name;
        EXPECT_EQ(parsed.After(object, 2).parent, object.id) << name;
    }

    // Ids are unique.
    std::set<std::int32_t> seen;
    for (const Chunk& c : parsed.chunks)
        if (c.id != 0) {
            EXPECT_TRUE(seen.insert(c.id).second) << c.tag << " " << c.id;
        }
}

TEST(EnvironmentIds, DomeMaterialIdIsTakenBeforeTheUnitId)
{
    EnvironmentScene scene;
    scene.AddSceneStageObjects();
    const ParsedScene parsed = scene.Finish();
    for (const char* name : {"atmos", "fog"}) {
        const Chunk& object = parsed.Named(name);
        const Chunk& unit = parsed.After(object);
        const Chunk& material = parsed.After(object, 2);
        ASSERT_EQ(unit.tag, "Unit");
        ASSERT_EQ(material.tag, "Mat1");
        EXPECT_EQ(material.id, object.id + 1) << name;
        EXPECT_LT(material.id, unit.id) << name;
    }
    // The fog dome starts right after the sky dome's three ids.
    EXPECT_EQ(parsed.Named("fog").id, parsed.Named("atmos").id + 3);
}

TEST(EnvironmentIds, WithoutAnOceanEveryLaterIdIsThreeLower)
{
    EnvironmentScene withOcean(WithOcean(3));
    withOcean.AddSceneStageObjects();
    const ParsedScene a = withOcean.Finish();
    EnvironmentScene without(WithOcean(0));
    without.AddSceneStageObjects();
    const ParsedScene b = without.Finish();

    EXPECT_TRUE(a.Has("ocean"));
    EXPECT_FALSE(b.Has("ocean"));
    ASSERT_EQ(a.chunks.size(), b.chunks.size() + 3);
    const std::size_t oceanAt = static_cast<std::size_t>(&a.Named("ocean") - a.chunks.data());
    for (std::size_t i = 0; i < oceanAt; ++i) EXPECT_EQ(a.chunks[i].id, b.chunks[i].id);
    for (std::size_t i = oceanAt + 3; i < a.chunks.size(); ++i) {
        const Chunk& later = b.chunks[i - 3];
        EXPECT_EQ(a.chunks[i].tag, later.tag);
        EXPECT_EQ(a.chunks[i].name, later.name);
        if (a.chunks[i].id != 0) {
            EXPECT_EQ(a.chunks[i].id - 3, later.id) << a.chunks[i].tag << " " << later.name;
        }
    }
    for (const std::string& line : b.lines) EXPECT_EQ(line.find("ripple.jpg"), std::string::npos);
}

TEST(EnvironmentIds, LightsComeInTheirOrderWithConsecutiveIdsAfterTheGroup)
{
    EnvironmentScene scene;
    scene.AddSceneStageObjects();
    const ParsedScene parsed = scene.Finish();
    const Chunk& group = parsed.Named("lights");
    EXPECT_EQ(group.tag, "Grou");
    const char* order[] = {"InfLight,3", "InfLight,1", "InfLight,2", "InfLight"};
    std::size_t lastLine = group.line;
    for (int i = 0; i < 4; ++i) {
        const Chunk& light = parsed.Named(order[i]);
        EXPECT_EQ(light.tag, "Lght");
        EXPECT_EQ(light.id, group.id + 1 + i) << order[i];
        EXPECT_EQ(light.parent, group.id) << order[i];
        EXPECT_GT(light.line, lastLine) << order[i];
        lastLine = light.line;
        // Each light's Unit takes its id when written, after all five.
        const Chunk& unit = parsed.After(light);
        EXPECT_EQ(unit.tag, "Unit");
        EXPECT_GT(unit.id, group.id + 4);
        EXPECT_EQ(unit.parent, light.id);
    }
    // The group's own Unit follows the group directly.
    EXPECT_EQ(parsed.After(group).tag, "Unit");
    EXPECT_EQ(parsed.After(group).id, group.id + 5);
    // Sun, then camera, then earth, each right after the one before.
    const Chunk& sun = parsed.Named("sun");
    EXPECT_EQ(sun.tag, "Lght");
    EXPECT_GT(sun.line, lastLine);
    EXPECT_EQ(parsed.After(sun, 2).name, "YOU");
    EXPECT_EQ(parsed.After(sun, 2).tag, "Came");
    EXPECT_EQ(parsed.After(sun, 4).name, "earth");
}

TEST(EnvironmentIds, RocksAndTreesGroupsHangUnderEarthAndStayEmpty)
{
    EnvironmentScene scene;
    scene.AddRocksAndTrees();
    const ParsedScene parsed = scene.Finish();
    const Chunk& earth = parsed.Named("earth");
    const Chunk& rocks = parsed.Named("rocks");
    const Chunk& trees = parsed.Named("trees");
    EXPECT_EQ(rocks.parent, earth.id);
    EXPECT_EQ(trees.parent, earth.id);
    for (const Chunk* group : {&earth, &rocks, &trees}) {
        EXPECT_EQ(group->tag, "Grou");
        const std::vector<std::string> body = parsed.Body(*group);
        // Object header alone: header, name, four axes lines, five transform lines.
        EXPECT_EQ(body.size(), 11u) << group->name;
        EXPECT_EQ(parsed.After(*group).tag, "Unit");
    }
    // Nothing names the rocks or trees group as parent but its own Unit.
    for (const Chunk& c : parsed.chunks)
        if (c.parent == rocks.id || c.parent == trees.id) {
            EXPECT_EQ(c.tag, "Unit");
        }
}

// ------------------------------------------------------------ ocean

std::vector<std::string> OceanMaterial(const ProjectSettings& settings, std::string* directory = nullptr)
{
    EnvironmentScene scene(settings);
    if (directory) *directory = scene.sceneDirectory();
    scene.AddOceanAlone();
    const ParsedScene parsed = scene.Finish();
    return parsed.Body(parsed.After(parsed.Named("ocean"), 2));
}

TEST(Ocean, ColourComponentsAreFractionsOf255)
{
    const std::vector<std::string> material = OceanMaterial(WithOcean(1, {0, 128, 255}));
    ASSERT_GE(material.size(), 5u);
    EXPECT_EQ(material[3], "rgb 0.000000,0.501961,1.000000");
}

TEST(Ocean, FlatOceanHasNoBumpLines)
{
    const std::vector<std::string> material = OceanMaterial(WithOcean(1));
    ASSERT_EQ(material.size(), 5u);
    EXPECT_EQ(material.back(), "alpha 0.4  ka 0  ks 1  exp 1  ior 1.33");
}

TEST(Ocean, RippledOceansBumpWithRippleJpgByStrength)
{
    const std::map<int, std::string> mappings = {
        {2, "offset 0,0  repeats 100,100  amp 0.01  flags 2"},
        {3, "offset 0,0  repeats 100,100  amp 0.05  flags 2"},
        {4, "offset 0,0  repeats 25,25  amp 0.1  flags 2"},
    };
    for (const auto& [index, mapping] : mappings) {
        std::string directory;
        const std::vector<std::string> material = OceanMaterial(WithOcean(index), &directory);
        ASSERT_EQ(material.size(), 7u) << index;
        EXPECT_EQ(material[5], "bump: " + JoinPath(directory, "ripple.jpg")) << index;
        EXPECT_EQ(material[6], mapping) << index;
        for (const std::string& line : material) EXPECT_EQ(line.rfind("texture:", 0), std::string::npos);
    }
}

// ------------------------------------------------------------ dome tables

// The six-decimal text of the dome formula, a zero without sign.
std::string FormulaComponent(int vertex, int component)
{
    double v;
    if (vertex < 2) {
        v = component < 2 ? 0.0 : (vertex == 0 ? 1.0 : -1.0);
    } else {
        const double pi = 3.14159265358979323846;
        const int k = (vertex - 2) / 16 + 1;
        const int m = (vertex - 2) % 16;
        const double ring = std::sin(k * pi / 16);
        v = component == 0 ? ring * std::cos(m * pi / 8) : component == 1 ? ring * std::sin(m * pi / 8)
                                                                           : std::cos(k * pi / 16);
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return std::string(buffer) == "-0.000000" ? "0.000000" : buffer;
}

// A table row as six-decimal text, as the scene file spells it.
template <std::size_t N>
std::string Line(const double (&row)[N])
{
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.6f", row[i]);
        if (i) text += ' ';
        text += buffer;
    }
    return text;
}

std::vector<std::string> Split(std::string_view line)
{
    std::istringstream in{std::string(line)};
    std::vector<std::string> parts;
    for (std::string p; in >> p;) parts.push_back(p);
    return parts;
}

TEST(DomeTable, MatchesTheSphereFormulaExceptSixteenPlacesPrinted0653282)
{
    // Where the stored table departs from exact rounding: every 0.653281 of
    // band 4, and the x of segments 2, 6, 10, 14 in bands 6 and 10.
    std::set<std::pair<int, int>> raised;
    for (int m : {1, 7, 9, 15}) raised.insert({DomeVertex(4, m), 0});
    for (int m : {3, 5, 11, 13}) raised.insert({DomeVertex(4, m), 1});
    for (int k : {6, 10})
        for (int m : {2, 6, 10, 14}) raised.insert({DomeVertex(k, m), 0});
    ASSERT_EQ(raised.size(), 16u);

    int differences = 0;
    for (int i = 0; i < kDomeVertexCount; ++i) {
        const std::vector<std::string> parts = Split(Line(kDomeWorldVertices[i]));
        ASSERT_EQ(parts.size(), 3u) << i;
        for (int c = 0; c < 3; ++c) {
            const std::string formula = FormulaComponent(i, c);
            if (raised.count({i, c})) {
                ++differences;
                const bool negative = formula[0] == '-';
                EXPECT_EQ(formula, negative ? "-0.653281" : "0.653281") << i << " " << c;
                EXPECT_EQ(parts[c], negative ? "-0.653282" : "0.653282") << i << " " << c;
            } else {
                EXPECT_EQ(parts[c], formula) << i << " " << c;
            }
        }
    }
    EXPECT_EQ(differences, 16);
}

TEST(DomeTable, TextureVerticesComeFromTheExactPoint)
{
    EXPECT_EQ(Line(kAtmosTextureVertices[0]), "0.500000 0.500000");
    EXPECT_EQ(Line(kAtmosTextureVertices[1]), "0.500000 0.500000");
    EXPECT_EQ(Line(kAtmosTextureVertices[2]), "0.597545 0.500000");
    // Band 4, segment 0: x = sin(pi/4) = 0.70710678..., so 0.5 + x/2 is
    // 0.85355339... (rounding the printed 0.707107 would give 0.853554).
    EXPECT_EQ(Split(Line(kAtmosTextureVertices[DomeVertex(4, 0)]))[0], "0.853553");
    EXPECT_EQ(Line(kFogTextureVertices[2]), "0.000000 0.990393");
    EXPECT_EQ(Line(kFogTextureVertices[0]), "2.000000 1.000000");
    EXPECT_EQ(Line(kFogTextureVertices[1]), "2.000000 0.000000");
    EXPECT_EQ(Line(kFogTextureVertices[258]), "-0.031250 1.000000");
    EXPECT_EQ(Line(kFogTextureVertices[288]), "-0.031250 0.000000");
    // The seam column carries each band's v at u = -1/16.
    for (int k = 1; k <= 15; ++k) {
        const std::vector<std::string> seam = Split(Line(kFogTextureVertices[FogSeamPoint(k)]));
        const std::vector<std::string> own = Split(Line(kFogTextureVertices[DomeVertex(k, 0)]));
        EXPECT_EQ(seam[0], "-0.062500") << k;
        EXPECT_EQ(seam[1], own[1]) << k;
    }
}

// ------------------------------------------------------------ dome objects

struct Dome {
    std::vector<std::string> body;
    std::vector<std::string> textureVertices;
    std::vector<std::vector<std::pair<int, int>>> faces;
    std::vector<std::string> pairLines;
};

Dome ReadDome(const ParsedScene& parsed, const char* name)
{
    Dome dome;
    dome.body = parsed.Body(parsed.Named(name));
    std::size_t i = 0;
    while (i < dome.body.size() && dome.body[i].rfind("Texture Vertices ", 0) != 0) ++i;
    const int count = std::stoi(dome.body.at(i).substr(17));
    for (int t = 0; t < count; ++t) dome.textureVertices.push_back(dome.body.at(++i));
    EXPECT_EQ(dome.body.at(++i), "Faces 256");
    while (++i < dome.body.size()) {
        const std::string& faceLine = dome.body[i];
        const std::string& pairs = dome.body.at(++i);
        int verts = 0;
        EXPECT_EQ(std::sscanf(faceLine.c_str(), "Face verts %d flags 0 mat 0", &verts), 1) << faceLine;
        dome.pairLines.push_back(pairs);
        std::vector<std::pair<int, int>> face;
        for (const std::string& p : Split(pairs)) {
            int w = -1;
            int t = -1;
            EXPECT_EQ(std::sscanf(p.c_str(), "<%d,%d>", &w, &t), 2);
            face.push_back({w, t});
        }
        EXPECT_EQ(static_cast<int>(face.size()), verts);
        dome.faces.push_back(face);
    }
    return dome;
}

class DomeObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnvironmentScene scene;
        directory_ = scene.sceneDirectory();
        AddSkyDome(scene.scene());
        AddFogDome(scene.scene());
        parsed_ = std::make_unique<ParsedScene>(scene.Finish());
        atmos_ = ReadDome(*parsed_, "atmos");
        fog_ = ReadDome(*parsed_, "fog");
    }
    std::string directory_;
    std::unique_ptr<ParsedScene> parsed_;
    Dome atmos_;
    Dome fog_;
};

TEST_F(DomeObjects, FaceCountsAndQuotedFaces)
{
    for (const Dome* dome : {&atmos_, &fog_}) {
        ASSERT_EQ(dome->faces.size(), 256u);
        int triangles = 0;
        for (const auto& face : dome->faces) triangles += face.size() == 3;
        EXPECT_EQ(triangles, 32);
        for (const std::string& pairs : dome->pairLines) EXPECT_EQ(pairs.back(), ' ');
    }
    EXPECT_EQ(atmos_.pairLines.front(), "<0,0> <3,3> <2,2> ");
    EXPECT_EQ(fog_.pairLines.front(), "<0,242> <3,3> <2,2> ");
    EXPECT_EQ(fog_.pairLines[15], "<0,258> <2,2> <17,257> ");
    EXPECT_EQ(fog_.pairLines.back(), "<241,272> <226,226> <1,288> ");
}

TEST_F(DomeObjects, BothDomesShareTheWorldVerticesAndFaceOrder)
{
    const std::vector<std::string>& a = atmos_.body;
    const std::vector<std::string>& f = fog_.body;
    const auto worldStart = [](const std::vector<std::string>& body) {
        for (std::size_t i = 0; i < body.size(); ++i)
            if (body[i] == "World Vertices 242") return i;
        return body.size();
    };
    const std::size_t ia = worldStart(a);
    const std::size_t iff = worldStart(f);
    ASSERT_LT(ia + 242, a.size());
    ASSERT_LT(iff + 242, f.size());
    for (int i = 1; i <= 242; ++i) EXPECT_EQ(a[ia + i], f[iff + i]);
    for (std::size_t n = 0; n < 256; ++n) {
        ASSERT_EQ(atmos_.faces[n].size(), fog_.faces[n].size());
        for (std::size_t c = 0; c < atmos_.faces[n].size(); ++c) {
            EXPECT_EQ(atmos_.faces[n][c].first, fog_.faces[n][c].first);
            // atmos: texture vertex i belongs to world vertex i.
            EXPECT_EQ(atmos_.faces[n][c].first, atmos_.faces[n][c].second);
        }
    }
}

TEST_F(DomeObjects, EveryFogFaceSpansOneSixteenthInU)
{
    ASSERT_EQ(fog_.textureVertices.size(), 289u);
    for (std::size_t n = 0; n < fog_.faces.size(); ++n) {
        double lo = 10.0;
        double hi = -10.0;
        for (const auto& [world, texture] : fog_.faces[n]) {
            ASSERT_GE(texture, 2);
            ASSERT_LT(texture, 289);
            const double u = std::stod(Split(fog_.textureVertices[static_cast<std::size_t>(texture)])[0]);
            lo = std::min(lo, u);
            hi = std::max(hi, u);
        }
        EXPECT_NEAR(hi - lo, 1.0 / 16, 1e-9) << "face " << n;
    }
}

TEST_F(DomeObjects, FogFacesFollowTheWorldVerticesUpAndDown)
{
    // A corner's texture v is the v of its world vertex (or 1 and 0 at the poles).
    for (const auto& face : fog_.faces) {
        for (const auto& [world, texture] : face) {
            const double v = std::stod(Split(fog_.textureVertices[static_cast<std::size_t>(texture)])[1]);
            if (world == 0) {
                EXPECT_EQ(v, 1.0);
            } else if (world == 1) {
                EXPECT_EQ(v, 0.0);
            } else {
                const double z = std::stod(Split(Line(kDomeWorldVertices[world]))[2]);
                EXPECT_NEAR(v, 0.5 + z / 2, 1e-6) << world << " " << texture;
            }
        }
    }
}

TEST_F(DomeObjects, MaterialsNameTheirImagesInTheSceneDirectory)
{
    const std::vector<std::string> atmosMaterial = parsed_->Body(parsed_->After(parsed_->Named("atmos"), 2));
    const std::vector<std::string> fogMaterial = parsed_->Body(parsed_->After(parsed_->Named("fog"), 2));
    ASSERT_EQ(atmosMaterial.size(), 7u);
    ASSERT_EQ(fogMaterial.size(), 7u);
    EXPECT_EQ(atmosMaterial[5], "texture: " + JoinPath(directory_, "atmos.jpg"));
    EXPECT_EQ(atmosMaterial[6], "offset 0,0  repeats 2,2  flags 2");
    EXPECT_EQ(fogMaterial[5], "texture: " + JoinPath(directory_, "fog.tga"));
    EXPECT_EQ(fogMaterial[6], "offset 0,0  repeats 1,2  flags 2");
}

TEST(EnvironmentText, NoNegativeZeroAnywhere)
{
    EnvironmentScene scene(WithOcean(4));
    scene.AddSceneStageObjects();
    const ParsedScene parsed = scene.Finish();
    for (const std::string& line : parsed.lines) EXPECT_EQ(line.find("-0.000000"), std::string::npos) << line;
}

// The environment on its own, read back by an independent reader (through the
// adapted copy that works around the reader's own faults, see
// IndependentReader.cpp).
TEST(EnvironmentText, ReadByAnIndependentReader)
{
    if (!test::IndependentReaderAvailable()) GTEST_SKIP() << "assimp is not installed";
    EnvironmentScene scene(WithOcean(2));
    scene.AddSceneStageObjects();
    scene.AddRocksAndTrees();
    scene.Finish();
    const std::string finished = JoinPath(scene.sceneDirectory(), "scene.tmp");

    const std::optional<test::ReaderSummary> summary = test::ReadWithIndependentReader(finished);
    ASSERT_TRUE(summary.has_value());
    ASSERT_TRUE(summary->loaded) << summary->output;
    EXPECT_EQ(summary->meshes, 3) << summary->output;
    // Each dome: 32 triangles and 224 quads, read as 480 triangles; the ocean two quads.
    EXPECT_EQ(summary->faces, 480 + 480 + 4) << summary->output;
    for (const char* node : {"atmos (mesh", "fog (mesh", "ocean (mesh", "YOU", "earth", "rocks", "trees"})
        EXPECT_NE(summary->output.find(node), std::string::npos) << node << "\n" << summary->output;
}

}  // namespace
}  // namespace kv
