// The binary glTF file of a whole creation, read back independently of the
// writer: where its objects stand, what it shares, how its bytes are laid
// out, and that both ways of asking for it give the same file.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "TestSupport.h"
#include "OneAnswerFrontEnd.h"
#include "core/job/CreationJob.h"
#include "core/platform/Paths.h"
#include "core/textures/JpegDecoder.h"
#include "core/textures/SceneImages.h"
#include "gltf/GlbChunks.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Answers the scene dialog once and keeps the scene the job hands over.
using KeepingFrontEnd = test::OneAnswerFrontEnd;

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    const std::string text = test::ReadFile(path);
    return {text.begin(), text.end()};
}

// A 4 x 4 matrix (row-major) from a glTF node's matrix or its translation,
// rotation and scale.
using M4 = std::array<std::array<double, 4>, 4>;

M4 Identity()
{
    M4 m{};
    for (int i = 0; i < 4; ++i) m[i][i] = 1.0;
    return m;
}

M4 Multiply(const M4& a, const M4& b)
{
    M4 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

M4 LocalMatrix(const json& node)
{
    if (node.contains("matrix")) {
        M4 m{};
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) m[r][c] = node["matrix"][c * 4 + r].get<double>();
        return m;
    }
    std::array<double, 3> t{0, 0, 0}, s{1, 1, 1};
    std::array<double, 4> q{0, 0, 0, 1};
    if (node.contains("translation"))
        for (int i = 0; i < 3; ++i) t[i] = node["translation"][i].get<double>();
    if (node.contains("scale"))
        for (int i = 0; i < 3; ++i) s[i] = node["scale"][i].get<double>();
    if (node.contains("rotation"))
        for (int i = 0; i < 4; ++i) q[i] = node["rotation"][i].get<double>();
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    M4 m = Identity();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m[i][j] = r[i][j] * s[j];
        m[i][3] = t[i];
    }
    return m;
}

// The model's matrix as glTF sees it: the scene's z up turned to glTF's y.
M4 Upright(const Matrix34& w)
{
    M4 m = Identity();
    for (int c = 0; c < 4; ++c) {
        m[0][c] = w.m[0][c];
        m[1][c] = w.m[2][c];
        m[2][c] = -w.m[1][c];
    }
    return m;
}

struct ReadGlb {
    test::GlbChunks chunks;
    json doc;
    explicit ReadGlb(const std::string& path) : chunks(test::SplitGlb(ReadBytes(path)))
    {
        doc = json::parse(chunks.json);
    }
    // The bytes of an image, from its buffer view.
    std::vector<std::uint8_t> Image(const json& image) const
    {
        const json& view = doc["bufferViews"][image["bufferView"].get<std::size_t>()];
        const auto offset = view.value("byteOffset", std::size_t{0});
        const auto length = view["byteLength"].get<std::size_t>();
        return {chunks.bin.begin() + static_cast<std::ptrdiff_t>(offset),
                chunks.bin.begin() + static_cast<std::ptrdiff_t>(offset + length)};
    }
    const json* ImageNamed(const std::string& name) const
    {
        for (const json& image : doc["images"])
            if (image.value("name", "") == name) return &image;
        return nullptr;
    }
};

// One default creation with its trees and rocks, written both ways, shared by
// the tests below.
class DefaultExport : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        program_ = test::ProgramDir();
        if (!fs::exists(JoinPath(program_, "height01.bmp"))) return;
        scenes_ = std::make_unique<test::ScratchDir>();
        fs::create_directories(scenes_->File("alone"));
        fs::create_directories(scenes_->File("both"));
        // The file alone...
        {
            Session session;
            KeepingFrontEnd ui(SceneFileChoice{scenes_->File("alone"), "", false, scenes_->File("alone/valley.glb")}, true);
            CreationJob job(DefaultSettings(program_), session, ui, program_);
            ASSERT_EQ(job.Run(), JobOutcome::Finished) << (ui.messages.empty() ? "" : ui.messages.back().text);
            scene_ = ui.scene;
            aloneReport_ = ui.messages.empty() ? "" : ui.messages.back().text;
        }
        // ...and beside the scene file, from a session of its own.
        {
            Session session;
            KeepingFrontEnd ui(SceneFileChoice{scenes_->File("both"), "valley", true, scenes_->File("both/valley.glb")}, true);
            CreationJob job(DefaultSettings(program_), session, ui, program_);
            ASSERT_EQ(job.Run(), JobOutcome::Finished) << (ui.messages.empty() ? "" : ui.messages.back().text);
            bothReport_ = ui.messages.empty() ? "" : ui.messages.back().text;
        }
    }
    static void TearDownTestSuite()
    {
        scenes_.reset();
        scene_.reset();
    }
    void SetUp() override
    {
        if (!scenes_) GTEST_SKIP() << "no stock heightfield";
    }

    static inline std::string program_;
    static inline std::unique_ptr<test::ScratchDir> scenes_;
    static inline std::shared_ptr<const Scene> scene_;
    static inline std::string aloneReport_, bothReport_;
};

TEST_F(DefaultExport, BothWaysOfAskingGiveTheSameFileAndTheFileAloneNeedsNothingBesideIt)
{
    EXPECT_EQ(test::ReadFile(scenes_->File("alone/valley.glb")), test::ReadFile(scenes_->File("both/valley.glb")));
    std::vector<std::string> alone;
    for (const auto& e : fs::directory_iterator(scenes_->File("alone"))) alone.push_back(e.path().filename().string());
    EXPECT_EQ(alone, std::vector<std::string>{"valley.glb"});
    EXPECT_TRUE(fs::exists(scenes_->File("both/valley.scn")));
    EXPECT_TRUE(fs::exists(scenes_->File("both/tex1.jpg")));
    // Each report names the file written.
    EXPECT_NE(aloneReport_.find("valley.glb"), std::string::npos) << aloneReport_;
    EXPECT_NE(bothReport_.find("valley.scn"), std::string::npos) << bothReport_;
    EXPECT_NE(bothReport_.find("valley.glb (glTF binary scene with its images)"), std::string::npos) << bothReport_;
}

TEST_F(DefaultExport, EveryNodeStandsWhereTheSceneFilePutsIt)
{
    const ReadGlb glb(scenes_->File("both/valley.glb"));
    const json& nodes = glb.doc["nodes"];
    ASSERT_EQ(glb.doc["scenes"][0]["nodes"].size(), 1u);
    const std::size_t root = glb.doc["scenes"][0]["nodes"][0].get<std::size_t>();
    const Scene& scene = *scene_;

    // Walk both trees side by side. A named node whose only child is unnamed
    // carries its payload and children in that child.
    int compared = 0, placedCompared = 0;
    std::function<void(int, std::size_t, const M4&)> walk = [&](int m, std::size_t g, const M4& parentWorld) {
        const json& named = nodes[g];
        const Node& node = scene.node(m);
        EXPECT_EQ(named.value("name", ""), node.name);
        M4 world = Multiply(parentWorld, LocalMatrix(named));
        std::size_t inner = g;
        if (named.contains("children") && named["children"].size() == 1 &&
            !nodes[named["children"][0].get<std::size_t>()].contains("name")) {
            inner = named["children"][0].get<std::size_t>();
            world = Multiply(world, LocalMatrix(nodes[inner]));
        }
        if (node.kind == NodeKind::Object || node.kind == NodeKind::Group || node.kind == NodeKind::Terrain) {
            const M4 expected = Upright(scene.WorldTransform(m));
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c)
                    EXPECT_NEAR(world[r][c], expected[r][c], 2e-5 * (1.0 + std::abs(expected[r][c])))
                        << node.name << " (" << m << ") at " << r << "," << c;
            ++compared;
            if (node.placed) ++placedCompared;
        } else if (node.kind == NodeKind::Camera) {
            // Where it stands, and glTF's -z looks along the camera's own z.
            const Vec3& p = node.frame.center;
            EXPECT_NEAR(world[0][3], p.x, 1e-5);
            EXPECT_NEAR(world[1][3], p.z, 1e-5);
            EXPECT_NEAR(world[2][3], -p.y, 1e-5);
            const Vec3& z = node.frame.zAxis;
            EXPECT_NEAR(-world[0][2], z.x, 1e-5);
            EXPECT_NEAR(-world[1][2], z.z, 1e-5);
            EXPECT_NEAR(-world[2][2], -z.y, 1e-5);
        }
        const json empty = json::array();
        const json& children = nodes[inner].contains("children") ? nodes[inner]["children"] : empty;
        ASSERT_EQ(children.size(), node.children.size()) << node.name;
        for (std::size_t i = 0; i < children.size(); ++i)
            walk(node.children[i], children[i].get<std::size_t>(), world);
    };
    walk(scene.Root(), root, Identity());
    EXPECT_GT(placedCompared, 100);
    EXPECT_GT(compared, placedCompared);
}

TEST_F(DefaultExport, EachKindsMeshesAreStoredOnceAndEveryPlacedObjectIsANode)
{
    const ReadGlb glb(scenes_->File("both/valley.glb"));
    const Scene& scene = *scene_;
    const json& nodes = glb.doc["nodes"];

    // Placed objects, by kind name, in the model and in the file.
    std::map<std::string, int> modelPlaced, filePlaced;
    std::set<const Mesh*> modelMeshes;
    std::set<std::pair<const Mesh*, std::vector<int>>> modelDressedMeshes;  // with their materials
    int modelParts = 0;
    for (const Node& node : scene.nodes()) {
        if (!node.placed) continue;
        const Node& parent = scene.node(node.parent);
        if (parent.name == "trees" || parent.name == "rocks") ++modelPlaced[node.name];
        if (node.kind == NodeKind::Object) {
            ++modelParts;
            modelMeshes.insert(node.mesh.get());
            modelDressedMeshes.emplace(node.mesh.get(), node.materials);
        }
    }
    ASSERT_FALSE(modelPlaced.empty());
    for (const char* group : {"trees", "rocks"}) {
        for (const json& node : nodes) {
            if (node.value("name", "") != group) continue;
            for (const json& child : node["children"]) ++filePlaced[nodes[child.get<std::size_t>()]["name"].get<std::string>()];
        }
    }
    EXPECT_EQ(filePlaced, modelPlaced);

    // Every part of a placed object refers to a mesh, and the meshes of all
    // placed objects hold as many distinct point lists as the model has kind
    // meshes: each stored once, however often it is placed. A glTF mesh is
    // a kind's mesh with one set of materials.
    int fileParts = 0;
    std::set<std::size_t> partMeshes, positions;
    std::set<std::string> environment = {"atmos", "fog", "terrain", "ocean"};
    for (const json& node : nodes) {
        if (!node.contains("mesh")) continue;
        const std::size_t mesh = node["mesh"].get<std::size_t>();
        if (environment.count(glb.doc["meshes"][mesh].value("name", ""))) continue;
        ++fileParts;
        partMeshes.insert(mesh);
        for (const json& primitive : glb.doc["meshes"][mesh]["primitives"])
            positions.insert(primitive["attributes"]["POSITION"].get<std::size_t>());
    }
    EXPECT_EQ(fileParts, modelParts);
    EXPECT_EQ(positions.size(), modelMeshes.size());
    EXPECT_EQ(partMeshes.size(), modelDressedMeshes.size());
    EXPECT_LT(partMeshes.size(), static_cast<std::size_t>(fileParts) / 4);

    // The named objects of the scene keep their names.
    std::set<std::string> names;
    for (const json& node : nodes) names.insert(node.value("name", ""));
    for (const char* name : {"earth", "rocks", "trees", "lights", "terrain", "atmos", "fog", "sun", "YOU"})
        EXPECT_TRUE(names.count(name)) << name;
    // The camera is the file's first, a perspective one.
    ASSERT_EQ(glb.doc["cameras"].size(), 1u);
    EXPECT_EQ(glb.doc["cameras"][0]["type"], "perspective");
    // Five lights, all with a direction and a strength.
    EXPECT_EQ(glb.doc["extensions"]["KHR_lights_punctual"]["lights"].size(), 5u);
}

TEST_F(DefaultExport, BytesFollowTheBinaryLayoutAndImagesAreStoredAsEncoded)
{
    const std::vector<std::uint8_t> file = ReadBytes(scenes_->File("both/valley.glb"));
    const ReadGlb glb(scenes_->File("both/valley.glb"));
    const test::GlbChunks& c = glb.chunks;
    EXPECT_EQ(c.magic, 0x46546C67u);
    EXPECT_EQ(c.version, 2u);
    EXPECT_EQ(c.declaredLength, file.size());
    EXPECT_EQ(c.jsonType, 0x4E4F534Au);
    EXPECT_EQ(c.jsonLength % 4, 0u);
    // The JSON text, then spaces up to the next four bytes.
    const std::size_t end = c.json.find_last_not_of(' ');
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(c.json[end], '}');
    EXPECT_LT(c.json.size() - end - 1, 4u);
    ASSERT_TRUE(c.hasBin);
    EXPECT_EQ(c.binType, 0x004E4942u);
    EXPECT_EQ(c.binStart % 4, 0u);
    EXPECT_EQ(c.binLength % 4, 0u);
    EXPECT_EQ(c.trailing, 0u);
    const std::size_t bufferLength = glb.doc["buffers"][0]["byteLength"].get<std::size_t>();
    EXPECT_LE(bufferLength, c.binLength);
    EXPECT_LT(c.binLength - bufferLength, 4u);
    for (const json& view : glb.doc["bufferViews"]) {
        const auto offset = view.value("byteOffset", std::size_t{0});
        EXPECT_EQ(offset % 4, 0u);
        EXPECT_LE(offset + view["byteLength"].get<std::size_t>(), bufferLength);
    }

    // The JPEG images are the very bytes of the files written beside the
    // scene; the pictures with alpha are PNG.
    for (const char* name : {"tex1", "tex2", "atmos"}) {
        const json* image = glb.ImageNamed(std::string(name) + ".jpg");
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ((*image)["mimeType"], "image/jpeg");
        EXPECT_TRUE(glb.Image(*image) == ReadBytes(scenes_->File(std::string("both/") + name + ".jpg"))) << name;
    }
    const json* fog = glb.ImageNamed("fog.tga");
    ASSERT_NE(fog, nullptr);
    EXPECT_EQ((*fog)["mimeType"], "image/png");
    const std::vector<std::uint8_t> png = glb.Image(*fog);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    // Every picture the scene names is inside, as itself or (a bump map) as
    // its normal map; a stock JPEG as it is in the program directory.
    for (const ImageFile& f : scene_->images()) {
        const json* image = glb.ImageNamed(f.name);
        const json* normals = glb.ImageNamed(f.name.substr(0, f.name.rfind('.')) + "-normals");
        EXPECT_TRUE(image || normals) << f.name;
        if (image && f.source == ImageSource::Stock && f.name.size() > 4 && f.name.substr(f.name.size() - 4) == ".jpg") {
            EXPECT_TRUE(glb.Image(*image) == ReadBytes(JoinPath(program_, f.name))) << f.name;
        }
    }
}

TEST(NormalMapImage, AFlatBumpPicturePointsStraightUpAndASlopeLeansAway)
{
    GreyImage flat(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) flat.Row(y)[x] = 140;
    const EncodedImage encoded = EncodeNormalMap(flat, 0.8);
    ASSERT_EQ(encoded.encoding, ImageEncoding::Jpeg);
    const RgbImage normals = DecodeJpegRgb(encoded.bytes.data(), encoded.bytes.size());
    ASSERT_EQ(normals.width, 32);
    ASSERT_EQ(normals.height, 16);
    for (std::size_t i = 0; i < normals.rgb.size(); i += 3) {
        EXPECT_NEAR(normals.rgb[i], 128, 1);
        EXPECT_NEAR(normals.rgb[i + 1], 128, 1);
        EXPECT_NEAR(normals.rgb[i + 2], 255, 1);
    }
    // Rising to the right (u): the normal leans toward -u, so red falls
    // below the middle, green stays.
    GreyImage ramp(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) ramp.Row(y)[x] = static_cast<std::uint8_t>(64 + 4 * std::min(x, 31 - x));
    const EncodedImage leaning = EncodeNormalMap(ramp, 0.8);
    const RgbImage tilted = DecodeJpegRgb(leaning.bytes.data(), leaning.bytes.size());
    const std::size_t left = (8 * 32 + 8) * 3, right = (8 * 32 + 24) * 3;
    EXPECT_LT(tilted.rgb[left], 118);
    EXPECT_GT(tilted.rgb[right], 138);
    EXPECT_NEAR(tilted.rgb[left + 1], 128, 4);
}

}  // namespace
}  // namespace kv
