#pragma once
// The parts of a glTF 2.0 asset as the document builder takes them. Every
// number is in glTF's own units and conventions: metres, radians, Y up,
// right-handed, matrices column-major, quaternions (x, y, z, w), texture
// coordinates with (0, 0) at the image's top left corner.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv::gltf {

// An object's position in its array of the document. Each kind of object has
// its own index type, so a mesh cannot be given where a material belongs.
template <typename Tag>
struct Index {
    std::uint32_t value = 0;
    friend bool operator==(Index, Index) = default;
};
using BufferViewIndex = Index<struct BufferViewTag>;
using AccessorIndex = Index<struct AccessorTag>;
using ImageIndex = Index<struct ImageTag>;
using SamplerIndex = Index<struct SamplerTag>;
using TextureIndex = Index<struct TextureTag>;
using MaterialIndex = Index<struct MaterialTag>;
using MeshIndex = Index<struct MeshTag>;
using CameraIndex = Index<struct CameraTag>;
using LightIndex = Index<struct LightTag>;
using NodeIndex = Index<struct NodeTag>;
using SceneIndex = Index<struct SceneTag>;

// ---------------------------------------------------------------- binary data

// What a buffer view holds, for the renderer: vertex attributes, vertex
// indices, or neither (images).
enum class ViewTarget { None, VertexAttributes, VertexIndices };

enum class ComponentType { Byte, UnsignedByte, Short, UnsignedShort, UnsignedInt, Float };
enum class ElementType { Scalar, Vec2, Vec3, Vec4, Mat2, Mat3, Mat4 };

int ComponentSize(ComponentType type);       // bytes: 1, 2, 4
int ComponentCount(ElementType type);        // 1 to 16
int ComponentTypeCode(ComponentType type);   // 5120 to 5126
const char* ElementTypeName(ElementType type);  // "SCALAR", "VEC3", ...

// A typed view of elements in a buffer view. Elements follow each other every
// `byteStride` of the view, or packed without one.
struct Accessor {
    BufferViewIndex view;
    std::uint64_t byteOffset = 0;  // a multiple of the component size
    ComponentType componentType = ComponentType::Float;
    std::uint64_t count = 0;       // at least 1
    ElementType type = ElementType::Scalar;
    bool normalized = false;       // integers read as 0..1 or -1..1
    // Per component, both or neither; required for POSITION. For floats each
    // bound is stored as the nearest single-precision number, which is what
    // the data holds and what a validator compares it with.
    std::vector<double> min;
    std::vector<double> max;
    std::string name;
};

// ---------------------------------------------------------------- meshes

enum class PrimitiveMode { Points, Lines, LineLoop, LineStrip, Triangles, TriangleStrip, TriangleFan };

struct Primitive {
    AccessorIndex position;                   // VEC3 float, with min and max
    std::optional<AccessorIndex> normal;      // VEC3 float, unit length
    std::optional<AccessorIndex> texcoord0;   // VEC2 float (or normalised unsigned byte/short)
    std::optional<AccessorIndex> indices;     // SCALAR unsigned byte/short/int
    std::optional<MaterialIndex> material;
    PrimitiveMode mode = PrimitiveMode::Triangles;
};

struct Mesh {
    std::string name;
    std::vector<Primitive> primitives;  // at least one
};

// ---------------------------------------------------------------- images and materials

enum class ImageType { Jpeg, Png };

enum class Wrap { Repeat, ClampToEdge, MirroredRepeat };
enum class MagFilter { Nearest, Linear };
enum class MinFilter { Nearest, Linear, NearestMipmapNearest, LinearMipmapNearest, NearestMipmapLinear, LinearMipmapLinear };

struct Sampler {
    std::string name;
    std::optional<MagFilter> magFilter;
    std::optional<MinFilter> minFilter;
    Wrap wrapS = Wrap::Repeat;
    Wrap wrapT = Wrap::Repeat;
};

struct Texture {
    std::string name;
    ImageIndex source;
    std::optional<SamplerIndex> sampler;  // without one: repeat, filters of the viewer's choice
};

// KHR_texture_transform on a texture reference: the texture coordinates are
// scaled, then rotated (radians, counter-clockwise), then offset.
struct TextureTransform {
    std::array<double, 2> offset{0.0, 0.0};
    std::array<double, 2> scale{1.0, 1.0};
    double rotation = 0.0;
};

struct TextureReference {
    TextureIndex texture;
    int texCoord = 0;
    std::optional<TextureTransform> transform;
};

struct NormalTextureReference {
    TextureIndex texture;
    int texCoord = 0;
    double scale = 1.0;  // multiplies the map's X and Y
    std::optional<TextureTransform> transform;
};

enum class AlphaMode { Opaque, Mask, Blend };

// A metal-rough material; `unlit` adds KHR_materials_unlit (the base colour
// shown as it is, no lighting).
struct Material {
    std::string name;
    std::array<double, 4> baseColorFactor{1.0, 1.0, 1.0, 1.0};  // linear RGBA
    std::optional<TextureReference> baseColorTexture;
    double metallicFactor = 1.0;
    double roughnessFactor = 1.0;
    std::optional<NormalTextureReference> normalTexture;
    AlphaMode alphaMode = AlphaMode::Opaque;
    double alphaCutoff = 0.5;  // MASK only
    bool doubleSided = false;
    bool unlit = false;
};

// ---------------------------------------------------------------- cameras, lights, nodes

struct PerspectiveCamera {
    std::string name;
    double yfov = 0.8;                  // radians, vertical
    std::optional<double> aspectRatio;  // width / height; without it the viewport's
    double znear = 0.1;
    std::optional<double> zfar;         // without it: infinite
};

// A KHR_lights_punctual light. Directional lights shine down their node's -Z
// axis; point lights from their node's origin, over `range` when given.
enum class LightType { Directional, Point };

struct Light {
    std::string name;
    LightType type = LightType::Directional;
    std::array<double, 3> color{1.0, 1.0, 1.0};  // linear
    double intensity = 1.0;  // directional: lux; point: candela
    std::optional<double> range;  // point lights only
};

struct Transform {
    std::array<double, 3> translation{0.0, 0.0, 0.0};
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};  // unit quaternion (x, y, z, w)
    std::array<double, 3> scale{1.0, 1.0, 1.0};
};

struct Node {
    std::string name;
    std::optional<MeshIndex> mesh;
    std::optional<CameraIndex> camera;
    std::optional<LightIndex> light;
    // At most one of the two: a column-major 4 x 4 matrix (which must be a
    // translation, rotation and scale) or its parts.
    std::optional<std::array<double, 16>> matrix;
    std::optional<Transform> transform;
    std::vector<NodeIndex> children;
};

struct Scene {
    std::string name;
    std::vector<NodeIndex> nodes;  // roots: nodes without a parent
};

// The rotation that stands a Z-up scene upright in glTF's Y-up frame: a
// quarter turn about X taking (x, y, z) to (x, z, -y), for a root node.
std::array<double, 4> ZUpToYUpRotation();

}  // namespace kv::gltf
