// Tangents for normal-mapped primitives: the bitangent they imply points up
// the picture (the way v decreases), where glTF's normal maps point +Y.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>

#include "core/writers/gltf/GlbWriter.h"
#include "core/writers/gltf/Tangents.h"
#include "gltf/GlbChunks.h"
#include "gltf/SyntheticAsset.h"

namespace kv::test {
namespace {

using kv::gltf::ComputeTangents;

// A unit square facing +Z, two triangles counter-clockwise from above, with
// texture coordinates uv(corner) for the corners (0,0), (1,0), (1,1), (0,1).
std::vector<float> SquareTangents(const float (&uv)[8])
{
    const float positions[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const float normals[12] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    const std::uint32_t triangles[6] = {0, 1, 2, 0, 2, 3};
    return ComputeTangents(positions, normals, uv, triangles);
}

// cross(normal, tangent) * w for a normal of +Z.
std::array<float, 3> Bitangent(const std::vector<float>& t, int vertex)
{
    const float* v = &t[4 * vertex];
    return {-v[1] * v[3], v[0] * v[3], 0.0f};
}

TEST(Tangents, BitangentPointsUpThePicture)
{
    // The picture upright: u to +X, v growing down the picture, towards -Y.
    const std::vector<float> upright = SquareTangents({0, 1, 1, 1, 1, 0, 0, 0});
    // Mirrored left to right: u to -X.
    const std::vector<float> mirrored = SquareTangents({1, 1, 0, 1, 0, 0, 1, 0});
    // Upside down: v growing towards +Y.
    const std::vector<float> flipped = SquareTangents({0, 0, 1, 0, 1, 1, 0, 1});
    for (int vertex = 0; vertex < 4; ++vertex) {
        SCOPED_TRACE(vertex);
        EXPECT_FLOAT_EQ(upright[4 * vertex], 1.0f);
        EXPECT_FLOAT_EQ(upright[4 * vertex + 3], 1.0f);
        EXPECT_FLOAT_EQ(Bitangent(upright, vertex)[1], 1.0f);  // +Y: up the picture

        EXPECT_FLOAT_EQ(mirrored[4 * vertex], -1.0f);
        EXPECT_FLOAT_EQ(mirrored[4 * vertex + 3], -1.0f);
        EXPECT_FLOAT_EQ(Bitangent(mirrored, vertex)[1], 1.0f);

        EXPECT_FLOAT_EQ(flipped[4 * vertex], 1.0f);
        EXPECT_FLOAT_EQ(flipped[4 * vertex + 3], -1.0f);
        EXPECT_FLOAT_EQ(Bitangent(flipped, vertex)[1], -1.0f);  // the picture's top is at -Y
    }
    // Without a usable mapping: unit, perpendicular to the normal, w = +1.
    const std::vector<float> unmapped = SquareTangents({0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_FLOAT_EQ(std::hypot(unmapped[0], unmapped[1], unmapped[2]), 1.0f);
    EXPECT_FLOAT_EQ(unmapped[2], 0.0f);
    EXPECT_FLOAT_EQ(unmapped[3], 1.0f);
}

TEST(Tangents, AgreeWithTheStreamedGridsOwn)
{
    // The synthetic grid streams tangents it computes from its heights; the
    // general routine, given the written positions, normals, uvs and
    // triangles, finds the same directions (up to the difference between the
    // grid's central differences and the triangles' edges).
    using Json = nlohmann::json;
    const int n = 15;
    const std::vector<std::uint8_t> file = gltf::GlbBytes(MakeSyntheticAsset(n)->document);
    const GlbChunks glb = SplitGlb(file);
    const Json json = Json::parse(glb.json);
    const Json* mesh = nullptr;
    for (const Json& m : json["meshes"])
        if (m["name"] == "terrain") mesh = &m;
    ASSERT_NE(mesh, nullptr);
    const Json& primitive = (*mesh)["primitives"][0];
    auto floats = [&](int accessor, std::size_t components) {
        const Json& view = json["bufferViews"][json["accessors"][accessor]["bufferView"].get<int>()];
        std::vector<float> values(json["accessors"][accessor]["count"].get<std::size_t>() * components);
        std::memcpy(values.data(), glb.bin.data() + view.value("byteOffset", std::size_t{0}), values.size() * 4);
        return values;
    };
    const std::vector<float> positions = floats(primitive["attributes"]["POSITION"], 3);
    const std::vector<float> normals = floats(primitive["attributes"]["NORMAL"], 3);
    const std::vector<float> uvs = floats(primitive["attributes"]["TEXCOORD_0"], 2);
    const std::vector<float> streamed = floats(primitive["attributes"]["TANGENT"], 4);
    const Json& indices = json["accessors"][primitive["indices"].get<int>()];
    const Json& indexView = json["bufferViews"][indices["bufferView"].get<int>()];
    std::vector<std::uint32_t> triangles(6 * (n - 1) * (n - 1));
    std::memcpy(triangles.data(), glb.bin.data() + indexView["byteOffset"].get<std::size_t>(), triangles.size() * 4);

    const std::vector<float> computed = ComputeTangents(positions, normals, uvs, triangles);
    ASSERT_EQ(computed.size(), streamed.size());
    for (std::size_t i = 0; i < computed.size(); i += 4) {
        EXPECT_EQ(computed[i + 3], streamed[i + 3]) << i / 4;
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(computed[i + c], streamed[i + c], 0.03) << i / 4 << " " << c;
    }
}

}  // namespace
}  // namespace kv::test
