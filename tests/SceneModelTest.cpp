// The scene model of a creation: node frames and their world and local
// transforms, placed objects sharing their kind's mesh, and the model
// matching the scene file written from it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "TestSupport.h"
#include "core/basics/JobControl.h"
#include "core/basics/Session.h"
#include "core/inputs/HeightGrid.h"
#include "core/model/KindMeshes.h"
#include "core/model/SceneBuilder.h"
#include "core/writers/scn/ScnSceneWriter.h"

namespace kv {
namespace {

// A small creation's inputs: a 16 by 16 hill and a placement bitmap with a
// few of every kind.
struct SmallCreation {
    test::ScratchDir dir;
    ProjectSettings settings = DefaultSettings(dir.path());
    std::shared_ptr<const HeightGrid> heights;

    SmallCreation()
    {
        test::WriteGreyBmp(dir.File("h.bmp"), 16, 16, [](int x, int y) { return 40 + 6 * (x + y); });
        const std::uint8_t codes[12][3] = {{0, 0, 255}, {0, 0, 196}, {0, 0, 128}, {0, 0, 64},
                                           {0, 255, 0}, {0, 196, 0}, {0, 128, 0}, {0, 64, 0},
                                           {255, 0, 0}, {196, 0, 0}, {128, 0, 0}, {64, 0, 0}};
        std::vector<std::uint8_t> rgb(16 * 16 * 3, 0);
        for (int i = 0; i < 24; ++i) {
            const int x = 2 + (i * 5) % 13, y = 2 + i / 2;
            for (int c = 0; c < 3; ++c) rgb[static_cast<std::size_t>((y * 16 + x) * 3 + c)] = codes[i % 12][c];
        }
        WriteBmp24(dir.File("t.bmp"), 16, 16, rgb.data());
        settings.basedir = settings.treedir = dir.path();
        settings.basebmp = "h.bmp";
        settings.treebmp = "t.bmp";
        settings.oceanindex = 3;
        heights = std::make_shared<const HeightGrid>(BuildHeightGrid(LoadHeightfield(dir.path(), "h.bmp")));
    }
    Scene Build()
    {
        Random random;
        SilentControl control;
        return BuildScene(settings, heights, random, control);
    }
};

double Distance(const Matrix34& a, const Matrix34& b)
{
    double worst = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) worst = std::max(worst, std::fabs(a.m[r][c] - b.m[r][c]));
    return worst;
}

TEST(SceneModel, ParentsWorldTransformTimesLocalIsTheWorldTransform)
{
    SmallCreation creation;
    const Scene scene = creation.Build();
    int grouped = 0;
    for (int i = 1; i < static_cast<int>(scene.nodes().size()); ++i) {
        const Node& node = scene.node(i);
        const Matrix34 recomposed = node.parent <= scene.Root()
                                        ? scene.LocalTransform(i)
                                        : scene.WorldTransform(node.parent) * scene.LocalTransform(i);
        EXPECT_LT(Distance(recomposed, scene.WorldTransform(i)), 1e-9) << node.name;
        if (node.placed && scene.node(node.parent).placed) ++grouped;
    }
    EXPECT_GT(grouped, 10);  // parts of palms, ferns, cacti and conifers
    // A palm's group and leaf: the leaf's world matrix is not its group's
    // times its own (each is placed in the scene directly), and its local
    // matrix undoes the group's.
    const int palm = scene.Find("palmtree");
    ASSERT_GE(palm, 0);
    const int leaf = scene.node(palm).children.at(1);
    EXPECT_EQ(scene.node(leaf).name, "Leaf1");
    const Vec3 origin = scene.WorldTransform(palm).Apply(scene.LocalTransform(leaf).Apply({0, 0, 0}));
    const Vec3 direct = scene.WorldTransform(leaf).Apply({0, 0, 0});
    EXPECT_NEAR(origin.x, direct.x, 1e-9);
    EXPECT_NEAR(origin.z, direct.z, 1e-9);
}

TEST(SceneModel, PlacedObjectsStandOnTheTerrainAndShareTheirKindsMesh)
{
    SmallCreation creation;
    const Scene scene = creation.Build();
    const int terrainIndex = scene.Find("terrain");
    ASSERT_GE(terrainIndex, 0);
    const TerrainSurface& surface = *scene.terrain();
    const Matrix34& terrainWorld = scene.WorldTransform(terrainIndex);

    std::map<std::string, std::vector<const Node*>> byMesh;
    for (const Node& node : scene.nodes()) {
        if (!node.placed || node.kind != NodeKind::Object) continue;
        ASSERT_TRUE(node.mesh);
        byMesh[node.mesh->name].push_back(&node);
        // The mesh is the kind's own, not a copy.
        EXPECT_EQ(node.mesh.get(), KindMesh(node.mesh->name).get()) << node.name;
    }
    for (const char* name : {"deadtree2", "boulder", "palm_leaf", "evergreen_trunk", "pebbles", "cactus_arm"})
        EXPECT_FALSE(byMesh[name].empty()) << name;
    // Birches and dead trees wear the same mesh; rock and boulder too.
    for (const Node* node : byMesh["deadtree2"]) EXPECT_TRUE(node->name == "birch" || node->name == "deadtree2");
    for (const Node* node : byMesh["boulder"]) EXPECT_TRUE(node->name == "boulder" || node->name == "rock");
    // Objects of one part of one kind share one material.
    std::map<std::string, std::set<int>> materials;
    for (const auto& [mesh, nodes] : byMesh)
        for (const Node* node : nodes) materials[node->name].insert(node->materials.at(0));
    for (const char* name : {"boulder", "Leaf1", "leaf3", "ARM"}) EXPECT_EQ(materials[name].size(), 1u) << name;

    // Every placed object's pivot lies on the terrain: at the height of a grid
    // point near it, within half a grid spacing of that point.
    const int n = surface.Size();
    const double spacing = 10.0 / (n - 1);
    int checked = 0;
    for (const Node& node : scene.nodes()) {
        if (!node.placed || scene.node(node.parent).placed) continue;
        const Vec3& c = node.frame.center;
        const int j = static_cast<int>(std::lround((c.x + 5) / spacing));
        const int y = static_cast<int>(std::lround((c.y + 5) / spacing));
        const Point3f p = surface.Vertex(j, y);
        const Vec3 ground = terrainWorld.Apply({p.x, p.y, p.z});
        EXPECT_NEAR(c.x, ground.x, spacing / 2 + 1e-6) << node.name;
        EXPECT_NEAR(c.y, ground.y, spacing / 2 + 1e-6) << node.name;
        EXPECT_NEAR(c.z, ground.z, 1e-6) << node.name;
        ++checked;
    }
    EXPECT_EQ(checked, 24);
}

// The chunks of a scene file: tag, id, parent, name, the Transform rows,
// the counts of its mesh and materials.
struct WrittenChunk {
    std::string tag;
    int id = 0, parent = 0;
    std::string name;
    std::vector<double> transform;
    int vertices = -1;
    int materials = 0;
};

std::vector<WrittenChunk> ReadChunks(const std::string& text)
{
    std::vector<WrittenChunk> chunks;
    std::istringstream in(text);
    std::string line;
    WrittenChunk* last = nullptr;
    int transformRows = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        char tag[8] = {};
        int id = 0, parent = 0;
        if (std::sscanf(line.c_str(), "%4s V%*s Id %d Parent %d Size -1", tag, &id, &parent) == 3) {
            const std::string t = tag;
            if (t == "Mat1") {
                if (last) ++last->materials;
            } else if (t == "PolH" || t == "Grou" || t == "Lght" || t == "Came") {
                WrittenChunk chunk;
                chunk.tag = t;
                chunk.id = id;
                chunk.parent = parent;
                chunks.push_back(chunk);
                last = &chunks.back();
            }
            transformRows = 0;
            continue;
        }
        if (!last) continue;
        if (line.rfind("Name ", 0) == 0 && last->name.empty()) last->name = line.substr(5);
        if (line == "Transform") transformRows = 3;
        else if (transformRows > 0) {
            std::istringstream row(line);
            for (double v; row >> v;) last->transform.push_back(v);
            --transformRows;
        }
        int count = 0;
        if (last->vertices < 0 && std::sscanf(line.c_str(), "World Vertices %d", &count) == 1) last->vertices = count;
    }
    return chunks;
}

TEST(SceneModel, TheSceneFileHoldsTheModelNodeForNode)
{
    SmallCreation creation;
    const Scene scene = creation.Build();
    test::ScratchDir out;
    Session session;
    SilentControl control;
    {
        SceneWriter writer(session);
        ASSERT_TRUE(writer.Open(out.File("s.scn")));
        WriteScnScene(scene, out.path(), writer, control);
        writer.Close();
    }
    const std::vector<WrittenChunk> chunks = ReadChunks(test::ReadFile(out.File("s.scn")));
    ASSERT_EQ(chunks.size() + 1, scene.nodes().size());
    std::map<int, int> nodeOfId;  // chunk id -> node index
    const char* tags[] = {"", "Grou", "PolH", "PolH", "Lght", "Came"};
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Node& node = scene.node(static_cast<int>(i) + 1);
        const WrittenChunk& chunk = chunks[i];
        nodeOfId[chunk.id] = static_cast<int>(i) + 1;
        EXPECT_EQ(chunk.tag, tags[static_cast<int>(node.kind)]) << node.name;
        EXPECT_EQ(chunk.name, node.name);
        // The parent named in the file is the model's parent.
        if (node.parent == scene.Root()) {
            EXPECT_EQ(nodeOfId.count(chunk.parent), 0u) << node.name;
        } else {
            EXPECT_EQ(nodeOfId.at(chunk.parent), node.parent) << node.name;
        }
        ASSERT_EQ(chunk.transform.size(), 12u) << node.name;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(chunk.transform[static_cast<std::size_t>(r * 4 + c)], node.frame.transform.m[r][c],
                            1e-6 + 1e-6 * std::fabs(node.frame.transform.m[r][c]))
                    << node.name;
        if (node.kind == NodeKind::Object) {
            EXPECT_EQ(chunk.vertices, static_cast<int>(node.mesh->vertices.size()));
        }
        if (node.kind == NodeKind::Terrain) {
            EXPECT_EQ(chunk.vertices, scene.terrain()->VertexCount());
        }
        EXPECT_EQ(chunk.materials, static_cast<int>(node.materials.size())) << node.name;
    }
}

}  // namespace
}  // namespace kv
