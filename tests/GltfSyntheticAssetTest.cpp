// The landscape-like asset that uses every feature of the glTF builder: what
// its file holds, read back independently of the writer. The Khronos
// validator checks the same asset in its own test (gltf_validator).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <set>

#include "core/writers/gltf/GlbWriter.h"
#include "gltf/GlbChunks.h"
#include "gltf/SyntheticAsset.h"

namespace kv::test {
namespace {

using Json = nlohmann::json;

struct ReadAsset {
    std::vector<std::uint8_t> file;
    GlbChunks glb;
    Json json;
};

ReadAsset Read(int gridSize)
{
    ReadAsset read;
    read.file = gltf::GlbBytes(MakeSyntheticAsset(gridSize)->document);
    read.glb = SplitGlb(read.file);
    read.json = Json::parse(read.glb.json);
    return read;
}

const Json* Named(const Json& array, const std::string& name)
{
    for (const Json& item : array)
        if (item.value("name", "") == name) return &item;
    return nullptr;
}

// The bytes of an accessor's elements (packed, no stride).
template <typename T>
std::vector<T> Elements(const ReadAsset& asset, int accessorIndex)
{
    const Json& accessor = asset.json["accessors"][accessorIndex];
    const Json& view = asset.json["bufferViews"][accessor["bufferView"].get<int>()];
    const std::size_t offset = view.value("byteOffset", std::size_t{0}) + accessor.value("byteOffset", std::size_t{0});
    const std::string type = accessor["type"];
    const std::size_t components = type == "SCALAR" ? 1 : type == "VEC2" ? 2 : 3;
    std::vector<T> values(accessor["count"].get<std::size_t>() * components);
    EXPECT_LE(offset + values.size() * sizeof(T), asset.glb.bin.size());
    std::memcpy(values.data(), asset.glb.bin.data() + offset, values.size() * sizeof(T));
    return values;
}

TEST(SyntheticAsset, HoldsEveryFeature)
{
    const ReadAsset asset = Read(17);
    const Json& json = asset.json;
    EXPECT_EQ(json["extensionsUsed"],
              Json::array({"KHR_lights_punctual", "KHR_materials_unlit", "KHR_texture_transform"}));

    const Json* terrain = Named(json["materials"], "terrain");
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ((*terrain)["pbrMetallicRoughness"]["metallicFactor"], 0.0);
    EXPECT_EQ((*terrain)["pbrMetallicRoughness"]["baseColorTexture"]["extensions"]["KHR_texture_transform"]["scale"],
              Json::array({20.0, 20.0}));
    EXPECT_TRUE((*terrain)["normalTexture"]["extensions"].contains("KHR_texture_transform"));
    const Json* fog = Named(json["materials"], "fog");
    ASSERT_NE(fog, nullptr);
    EXPECT_EQ((*fog)["alphaMode"], "BLEND");
    EXPECT_TRUE((*fog)["extensions"].contains("KHR_materials_unlit"));
    const Json* leaf = Named(json["materials"], "leaf");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ((*leaf)["alphaMode"], "MASK");
    EXPECT_EQ((*leaf)["alphaCutoff"], 0.4);
    EXPECT_EQ((*leaf)["doubleSided"], true);
    EXPECT_FALSE(Named(json["materials"], "ocean")->contains("alphaCutoff"));

    const Json* repeat = Named(json["samplers"], "repeat");
    ASSERT_NE(repeat, nullptr);
    EXPECT_EQ((*repeat)["minFilter"], 9987);  // LINEAR_MIPMAP_LINEAR
    EXPECT_FALSE(repeat->contains("wrapS"));  // REPEAT is the default
    EXPECT_EQ((*Named(json["samplers"], "clamp"))["wrapT"], 33071);

    // Images: each view starts with its format's signature.
    std::multiset<std::string> types;
    for (const Json& image : json["images"]) {
        types.insert(image["mimeType"]);
        const Json& view = json["bufferViews"][image["bufferView"].get<int>()];
        EXPECT_FALSE(view.contains("target"));
        const std::uint8_t* bytes = asset.glb.bin.data() + view.value("byteOffset", std::size_t{0});
        if (image["mimeType"] == "image/png")
            EXPECT_EQ(std::memcmp(bytes, "\x89PNG", 4), 0);
        else
            EXPECT_EQ(std::memcmp(bytes, "\xFF\xD8\xFF", 3), 0);
    }
    EXPECT_EQ(types, (std::multiset<std::string>{"image/jpeg", "image/png", "image/png", "image/png"}));

    // Nodes: two placed leaves share one mesh under the group with the odd name.
    const Json* trees = Named(json["nodes"], kTreesGroupName);
    ASSERT_NE(trees, nullptr);
    ASSERT_EQ((*trees)["children"].size(), 2u);
    const Json& first = json["nodes"][(*trees)["children"][0].get<int>()];
    const Json& second = json["nodes"][(*trees)["children"][1].get<int>()];
    EXPECT_EQ(first["mesh"], second["mesh"]);
    EXPECT_EQ(first["matrix"].size(), 16u);
    EXPECT_TRUE(second.contains("rotation"));

    const Json& root = json["nodes"][json["scenes"][0]["nodes"][0].get<int>()];
    ASSERT_EQ(root["rotation"].size(), 4u);
    EXPECT_NEAR(root["rotation"][0].get<double>(), -std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(root["rotation"][3].get<double>(), std::sqrt(0.5), 1e-15);
    EXPECT_EQ(json["cameras"][0]["type"], "perspective");
    const Json& lights = json["extensions"]["KHR_lights_punctual"]["lights"];
    EXPECT_EQ(lights[0]["type"], "directional");
    EXPECT_EQ(lights[1]["type"], "point");
}

TEST(SyntheticAsset, StreamedGridMatchesItsAccessors)
{
    const int n = 23;
    const ReadAsset asset = Read(n);
    const Json& mesh = *Named(asset.json["meshes"], "terrain");
    const Json& attributes = mesh["primitives"][0]["attributes"];
    const int positionIndex = attributes["POSITION"];
    const std::vector<float> positions = Elements<float>(asset, positionIndex);
    const std::vector<float> normals = Elements<float>(asset, attributes["NORMAL"]);
    const std::vector<std::uint32_t> indices = Elements<std::uint32_t>(asset, mesh["primitives"][0]["indices"]);
    ASSERT_EQ(positions.size(), static_cast<std::size_t>(3 * n * n));
    ASSERT_EQ(indices.size(), static_cast<std::size_t>(6 * (n - 1) * (n - 1)));

    // The declared bounds are exactly those of the written data.
    const Json& accessor = asset.json["accessors"][positionIndex];
    for (int c = 0; c < 3; ++c) {
        float low = positions[c], high = positions[c];
        for (std::size_t i = c; i < positions.size(); i += 3) {
            low = std::min(low, positions[i]);
            high = std::max(high, positions[i]);
        }
        EXPECT_EQ(accessor["min"][c].get<double>(), static_cast<double>(low)) << c;
        EXPECT_EQ(accessor["max"][c].get<double>(), static_cast<double>(high)) << c;
    }
    // The data is that of the height field, the normals unit and upward, the
    // triangles counter-clockwise from above.
    const HeightField field = RollingHills(n);
    EXPECT_EQ(positions[3 * (5 * n + 7) + 2], field.At(7, 5));
    for (std::size_t i = 0; i < normals.size(); i += 3) {
        ASSERT_NEAR(std::hypot(normals[i], normals[i + 1], normals[i + 2]), 1.0, 1e-6);
        ASSERT_GT(normals[i + 2], 0.0f);
    }
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        const float* a = &positions[3 * indices[t]];
        const float* b = &positions[3 * indices[t + 1]];
        const float* c = &positions[3 * indices[t + 2]];
        ASSERT_LT(indices[t + 2], static_cast<std::uint32_t>(n * n));
        ASSERT_GT((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]), 0.0f) << "triangle " << t / 3;
    }
}

TEST(SyntheticAsset, SameDocumentSameBytes)
{
    const auto asset = MakeSyntheticAsset(9);
    const std::vector<std::uint8_t> once = gltf::GlbBytes(asset->document);
    EXPECT_EQ(once, gltf::GlbBytes(asset->document));  // producers run again
    EXPECT_EQ(once, gltf::GlbBytes(MakeSyntheticAsset(9)->document));
}

}  // namespace
}  // namespace kv::test
