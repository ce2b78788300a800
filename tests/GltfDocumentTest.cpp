// The glTF document builder: the JSON it writes and the rules it enforces.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>

#include "core/writers/gltf/GltfDocument.h"
#include "core/writers/gltf/GltfError.h"

namespace kv::test {
namespace {

using namespace kv::gltf;
using Json = nlohmann::json;

std::vector<std::uint8_t> Floats(std::initializer_list<float> values)
{
    std::vector<std::uint8_t> bytes(values.size() * 4);
    std::memcpy(bytes.data(), values.begin(), bytes.size());
    return bytes;
}

// A triangle's positions with their bounds.
AccessorIndex TrianglePositions(GltfDocument& document)
{
    const BufferViewIndex view =
        document.AddBufferView(Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}), ViewTarget::VertexAttributes);
    Accessor positions{.view = view,
                       .componentType = ComponentType::Float,
                       .count = 3,
                       .type = ElementType::Vec3};
    positions.min = {0, 0, 0};
    positions.max = {1, 1, 0};
    return document.AddAccessor(positions);
}

TEST(GltfJson, NamesWithQuotesControlsAndNonAsciiSurvive)
{
    const std::string name = "He said \"Bäume\" \\ \t 山 \x01 end";
    GltfDocument document;
    document.AddScene({.name = name, .nodes = {document.AddNode(Node{.name = name})}});
    const std::string text = document.JsonText();
    const Json json = Json::parse(text);
    EXPECT_EQ(json["nodes"][0]["name"], name);
    EXPECT_EQ(json["scenes"][0]["name"], name);
    // Written as UTF-8 text, not escaped to ASCII.
    EXPECT_NE(text.find("山"), std::string::npos);

    GltfDocument broken;
    broken.AddNode(Node{.name = "bad \xff byte"});
    EXPECT_THROW(broken.JsonText(), GltfError);
}

TEST(GltfJson, ExtensionsListedAsUsedAndRequiredOnlyWhenAsked)
{
    GltfDocument plain;
    plain.AddNode(Node{.name = "n"});
    EXPECT_FALSE(Json::parse(plain.JsonText()).contains("extensionsUsed"));

    GltfDocument document;
    const LightIndex light = document.AddLight({.type = LightType::Point, .intensity = 5, .range = 10});
    document.AddNode(Node{.name = "lamp", .light = light});
    document.AddMaterial(Material{.name = "sky", .unlit = true});
    document.SetExtensionRequired(Extension::MaterialsUnlit, true);
    document.SetExtensionRequired(Extension::TextureTransform, true);  // not used: not listed
    const Json json = Json::parse(document.JsonText());
    EXPECT_EQ(json["extensionsUsed"], Json::array({"KHR_lights_punctual", "KHR_materials_unlit"}));
    EXPECT_EQ(json["extensionsRequired"], Json::array({"KHR_materials_unlit"}));
    EXPECT_EQ(json["nodes"][0]["extensions"]["KHR_lights_punctual"]["light"], 0);
    const Json& lamp = json["extensions"]["KHR_lights_punctual"]["lights"][0];
    EXPECT_EQ(lamp["type"], "point");
    EXPECT_EQ(lamp["range"], 10.0);
    EXPECT_TRUE(json["materials"][0]["extensions"]["KHR_materials_unlit"].is_object());
}

TEST(Accessors, BoundsAreTheDataTypesValues)
{
    GltfDocument document;
    const BufferViewIndex view = document.AddBufferView(Floats({0.1f, 0.7f, 3.0f, 4.0f}));
    Accessor floats{.view = view, .componentType = ComponentType::Float, .count = 2, .type = ElementType::Vec2};
    floats.min = {0.1, 0.7};
    floats.max = {3.0, 4.0};
    document.AddAccessor(floats);
    Accessor shorts{.view = view, .componentType = ComponentType::UnsignedShort, .count = 8,
                    .type = ElementType::Scalar};
    shorts.min = {0};
    shorts.max = {65535};
    document.AddAccessor(shorts);

    const Json json = Json::parse(document.JsonText());
    // Float bounds are the single-precision numbers the data holds.
    EXPECT_EQ(json["accessors"][0]["min"][0].get<double>(), static_cast<double>(0.1f));
    EXPECT_EQ(json["accessors"][0]["min"][1].get<double>(), static_cast<double>(0.7f));
    EXPECT_TRUE(json["accessors"][1]["max"][0].is_number_integer());
    EXPECT_EQ(json["accessors"][1]["max"][0], 65535);

    Accessor wrongCount = floats;
    wrongCount.max = {3.0};
    EXPECT_THROW(document.AddAccessor(wrongCount), GltfError);
    Accessor reversed = floats;
    std::swap(reversed.min, reversed.max);
    EXPECT_THROW(document.AddAccessor(reversed), GltfError);
    Accessor outOfRange = shorts;
    outOfRange.max = {65536};
    EXPECT_THROW(document.AddAccessor(outOfRange), GltfError);
    Accessor half = shorts;
    half.max = {2.5};
    EXPECT_THROW(document.AddAccessor(half), GltfError);
}

TEST(Accessors, PositionsNeedBounds)
{
    GltfDocument document;
    const AccessorIndex bounded = TrianglePositions(document);
    const BufferViewIndex view =
        document.AddBufferView(Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}), ViewTarget::VertexAttributes);
    Accessor unbounded{.view = view,
                       .componentType = ComponentType::Float,
                       .count = 3,
                       .type = ElementType::Vec3};
    const AccessorIndex plain = document.AddAccessor(unbounded);
    EXPECT_NO_THROW(document.AddMesh({.primitives = {{.position = bounded}}}));
    EXPECT_THROW(document.AddMesh({.primitives = {{.position = plain}}}), GltfError);
    // Normals of another count are refused, and so are indices that are not
    // scalars or lie in a view of vertex attributes.
    Accessor twoNormals = unbounded;
    twoNormals.count = 2;
    const AccessorIndex two = document.AddAccessor(twoNormals);
    EXPECT_NO_THROW(document.AddMesh({.primitives = {{.position = bounded, .normal = plain}}}));
    EXPECT_THROW(document.AddMesh({.primitives = {{.position = bounded, .normal = two}}}), GltfError);
    EXPECT_THROW(document.AddMesh({.primitives = {{.position = bounded, .indices = bounded}}}), GltfError);
    EXPECT_THROW(document.AddMesh({.primitives = {{.position = bounded, .tangent = plain}}}), GltfError);  // VEC3
    Accessor scalars = unbounded;
    scalars.componentType = ComponentType::UnsignedInt;
    scalars.type = ElementType::Scalar;
    EXPECT_THROW(document.AddMesh({.primitives = {{.position = bounded, .indices = document.AddAccessor(scalars)}}}),
                 GltfError);
    EXPECT_THROW(document.AddMesh({.primitives = {}}), GltfError);
}

TEST(Accessors, ElementsMustLieAlignedInsideTheirView)
{
    GltfDocument document;
    const BufferViewIndex data = document.AddBufferView(std::vector<std::uint8_t>(24));
    const BufferViewIndex vertices =
        document.AddBufferView(std::vector<std::uint8_t>(24), ViewTarget::VertexAttributes);
    const BufferViewIndex strided =
        document.AddBufferView(std::vector<std::uint8_t>(40), ViewTarget::VertexAttributes, 16u);

    auto accessor = [](BufferViewIndex view, std::uint64_t offset, ComponentType type, std::uint64_t count,
                       ElementType element) {
        return Accessor{.view = view, .byteOffset = offset, .componentType = type, .count = count, .type = element};
    };
    // Exactly filling the view is fine; one element more is not.
    EXPECT_NO_THROW(document.AddAccessor(accessor(data, 0, ComponentType::Float, 2, ElementType::Vec3)));
    EXPECT_THROW(document.AddAccessor(accessor(data, 4, ComponentType::Float, 2, ElementType::Vec3)), GltfError);
    EXPECT_THROW(document.AddAccessor(accessor(data, 0, ComponentType::Float, 7, ElementType::Scalar)), GltfError);
    // Offsets are multiples of the component size, and of 4 for vertex data.
    EXPECT_THROW(document.AddAccessor(accessor(data, 2, ComponentType::Float, 1, ElementType::Scalar)), GltfError);
    EXPECT_NO_THROW(document.AddAccessor(accessor(data, 2, ComponentType::UnsignedShort, 1, ElementType::Scalar)));
    EXPECT_THROW(document.AddAccessor(accessor(vertices, 2, ComponentType::UnsignedShort, 1, ElementType::Vec2)),
                 GltfError);
    // With a stride: the last element starts at offset + stride * (count - 1).
    EXPECT_NO_THROW(document.AddAccessor(accessor(strided, 12, ComponentType::Float, 2, ElementType::Vec3)));
    EXPECT_THROW(document.AddAccessor(accessor(strided, 16, ComponentType::Float, 2, ElementType::Vec3)), GltfError);
    EXPECT_THROW(document.AddAccessor(accessor(strided, 0, ComponentType::Float, 1, ElementType::Mat3)), GltfError);
    EXPECT_THROW(document.AddAccessor(accessor(data, 0, ComponentType::Float, 0, ElementType::Scalar)), GltfError);
    Accessor normalisedFloat = accessor(data, 0, ComponentType::Float, 1, ElementType::Scalar);
    normalisedFloat.normalized = true;
    EXPECT_THROW(document.AddAccessor(normalisedFloat), GltfError);

    EXPECT_THROW(document.AddBufferView(std::vector<std::uint8_t>(8), ViewTarget::VertexAttributes, 6u), GltfError);
    EXPECT_THROW(document.AddBufferView(std::vector<std::uint8_t>(8), ViewTarget::VertexIndices, 4u), GltfError);
    EXPECT_THROW(document.AddBufferView({}), GltfError);
    EXPECT_THROW(document.AddImage(vertices, ImageType::Png), GltfError);
}

TEST(Nodes, TreeRulesAndReferences)
{
    GltfDocument document;
    const NodeIndex leaf = document.AddNode(Node{.name = "leaf"});
    const NodeIndex branch = document.AddNode(Node{.name = "branch", .children = {leaf}});
    // A node has one parent and no node is its own ancestor.
    EXPECT_THROW(document.AddNode(Node{.name = "second parent", .children = {leaf}}), GltfError);
    const NodeIndex root = document.AddNode(Node{.name = "root"});
    document.AddChild(root, branch);
    EXPECT_THROW(document.AddChild(leaf, root), GltfError);
    EXPECT_THROW(document.AddChild(root, root), GltfError);
    // References to objects that do not exist.
    EXPECT_THROW(document.AddNode(Node{.mesh = MeshIndex{0}}), GltfError);
    EXPECT_THROW(document.AddNode(Node{.children = {NodeIndex{99}}}), GltfError);
    // A matrix or a transform, not both; rotations are unit quaternions.
    Node both{.matrix = std::array<double, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
              .transform = Transform{}};
    EXPECT_THROW(document.AddNode(both), GltfError);
    EXPECT_THROW(document.AddNode(Node{.transform = Transform{.rotation = {0, 0, 0.5, 0.5}}}), GltfError);

    // A scene lists root nodes only.
    document.AddScene({.nodes = {branch}});
    EXPECT_THROW(document.JsonText(), GltfError);
}

TEST(Nodes, ZUpToYUpRotationStandsTheSceneUpright)
{
    // Rotates v by the unit quaternion q: v + 2 w (u x v) + 2 u x (u x v).
    const std::array<double, 4> q = ZUpToYUpRotation();
    auto rotate = [&q](std::array<double, 3> v) {
        const std::array<double, 3> u{q[0], q[1], q[2]};
        auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
            return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                         a[0] * b[1] - a[1] * b[0]};
        };
        const auto t = cross(u, v);
        const auto s = cross(u, t);
        return std::array<double, 3>{v[0] + 2 * q[3] * t[0] + 2 * s[0], v[1] + 2 * q[3] * t[1] + 2 * s[1],
                                     v[2] + 2 * q[3] * t[2] + 2 * s[2]};
    };
    auto expectNear = [](std::array<double, 3> a, std::array<double, 3> b) {
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], 1e-12) << i;
    };
    expectNear(rotate({0, 0, 1}), {0, 1, 0});   // up stays up
    expectNear(rotate({0, 1, 0}), {0, 0, -1});  // north goes into the screen
    expectNear(rotate({1, 0, 0}), {1, 0, 0});   // east stays right
}

}  // namespace
}  // namespace kv::test
