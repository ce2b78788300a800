#include "SyntheticAsset.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "core/textures/ImageRows.h"
#include "core/textures/NormalMap.h"
#include "core/textures/PngEncoder.h"

namespace kv::test {

namespace {

using namespace kv::gltf;

constexpr double kPi = 3.14159265358979323846;

template <typename T>
std::vector<std::uint8_t> BytesOf(const std::vector<T>& values)
{
    std::vector<std::uint8_t> bytes(values.size() * sizeof(T));
    if (!bytes.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

// Float bounds of each of `components` interleaved components.
void Bounds(const std::vector<float>& values, int components, std::vector<double>& min, std::vector<double>& max)
{
    min.assign(components, std::numeric_limits<double>::infinity());
    max.assign(components, -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int c = static_cast<int>(i % components);
        min[c] = std::min(min[c], static_cast<double>(values[i]));
        max[c] = std::max(max[c], static_cast<double>(values[i]));
    }
}

AccessorIndex AddFloats(GltfDocument& document, const std::vector<float>& values, ElementType type, bool bounds)
{
    const int components = ComponentCount(type);
    Accessor accessor;
    accessor.view = document.AddBufferView(BytesOf(values), ViewTarget::VertexAttributes);
    accessor.componentType = ComponentType::Float;
    accessor.type = type;
    accessor.count = values.size() / components;
    if (bounds) Bounds(values, components, accessor.min, accessor.max);
    return document.AddAccessor(accessor);
}

template <typename T>
AccessorIndex AddIndices(GltfDocument& document, const std::vector<T>& indices, ComponentType type)
{
    Accessor accessor;
    accessor.view = document.AddBufferView(BytesOf(indices), ViewTarget::VertexIndices);
    accessor.componentType = type;
    accessor.type = ElementType::Scalar;
    accessor.count = indices.size();
    return document.AddAccessor(accessor);
}

// The unit normal of the field at a grid point.
void GridNormal(const HeightField& field, int i, int j, float* out)
{
    const int n = field.n;
    const int left = std::max(i - 1, 0), right = std::min(i + 1, n - 1);
    const int down = std::max(j - 1, 0), up = std::min(j + 1, n - 1);
    const double dx = (field.At(right, j) - field.At(left, j)) / static_cast<double>(std::max(right - left, 1));
    const double dy = (field.At(i, up) - field.At(i, down)) / static_cast<double>(std::max(up - down, 1));
    const double length = std::sqrt(dx * dx + dy * dy + 1.0);
    out[0] = static_cast<float>(-dx / length);
    out[1] = static_cast<float>(-dy / length);
    out[2] = static_cast<float>(1.0 / length);
}

// The unit tangent of the field at a grid point: the direction of increasing
// x (and u), (1, 0, dh/dx), which is perpendicular to the normal already. Up
// the picture is +y, where cross(normal, tangent) points: w = +1.
void GridTangent(const HeightField& field, int i, int j, float* out)
{
    const int n = field.n;
    const int left = std::max(i - 1, 0), right = std::min(i + 1, n - 1);
    const double dx = (field.At(right, j) - field.At(left, j)) / static_cast<double>(right - left);
    const double length = std::sqrt(1.0 + dx * dx);
    out[0] = static_cast<float>(1.0 / length);
    out[1] = 0.0f;
    out[2] = static_cast<float>(dx / length);
    out[3] = 1.0f;
}

// A primitive of held vertices: positions, normals, texture coordinates.
Primitive HeldPrimitive(GltfDocument& document, const std::vector<float>& positions, const std::vector<float>& normals,
                        const std::vector<float>& uvs)
{
    Primitive primitive;
    primitive.position = AddFloats(document, positions, ElementType::Vec3, true);
    primitive.normal = AddFloats(document, normals, ElementType::Vec3, false);
    primitive.texcoord0 = AddFloats(document, uvs, ElementType::Vec2, false);
    return primitive;
}

// A dome: the upper half of a unit sphere, its triangles facing inwards.
Primitive DomePrimitive(GltfDocument& document)
{
    constexpr int kSegments = 16, kBands = 8;
    std::vector<float> positions, normals, uvs;
    for (int band = 0; band <= kBands; ++band) {
        const double polar = band * (kPi / 2) / kBands;
        for (int segment = 0; segment <= kSegments; ++segment) {
            const double azimuth = segment * 2 * kPi / kSegments;
            const double p[3] = {std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
                                 std::cos(polar)};
            for (double c : p) positions.push_back(static_cast<float>(c));
            for (double c : p) normals.push_back(static_cast<float>(-c));
            uvs.push_back(static_cast<float>(static_cast<double>(segment) / kSegments));
            uvs.push_back(static_cast<float>(static_cast<double>(band) / kBands));
        }
    }
    std::vector<std::uint16_t> indices;
    auto at = [&](int band, int segment) { return static_cast<std::uint16_t>(band * (kSegments + 1) + segment); };
    for (int band = 0; band < kBands; ++band)
        for (int segment = 0; segment < kSegments; ++segment) {
            const std::uint16_t a = at(band, segment), b = at(band, segment + 1);
            const std::uint16_t c = at(band + 1, segment + 1), d = at(band + 1, segment);
            // Seen from inside: clockwise from outside. The top band's first
            // corner is the pole, so it has one triangle a cell.
            if (band > 0) indices.insert(indices.end(), {a, b, c});
            indices.insert(indices.end(), {a, c, d});
        }
    Primitive primitive = HeldPrimitive(document, positions, normals, uvs);
    primitive.indices = AddIndices(document, indices, ComponentType::UnsignedShort);
    return primitive;
}

// A unit quad in the XZ plane (a leaf card standing up), 8-bit indices.
Primitive LeafPrimitive(GltfDocument& document)
{
    const std::vector<float> positions = {-0.5f, 0, 0, 0.5f, 0, 0, 0.5f, 0, 1, -0.5f, 0, 1};
    const std::vector<float> normals = {0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0};
    const std::vector<float> uvs = {0, 1, 1, 1, 1, 0, 0, 0};
    const std::vector<std::uint8_t> indices = {0, 1, 2, 0, 2, 3};
    Primitive primitive = HeldPrimitive(document, positions, normals, uvs);
    primitive.indices = AddIndices(document, indices, ComponentType::UnsignedByte);
    return primitive;
}

// A square of side 2 facing +Z, its attributes interleaved in one view with a
// stride of 32 bytes (position, normal, texture coordinates), drawn as a fan.
Primitive OceanPrimitive(GltfDocument& document)
{
    const std::vector<float> vertices = {
        -1, -1, 0, 0, 0, 1, 0, 1,  //
        1,  -1, 0, 0, 0, 1, 1, 1,  //
        1,  1,  0, 0, 0, 1, 1, 0,  //
        -1, 1,  0, 0, 0, 1, 0, 0,
    };
    const BufferViewIndex view = document.AddBufferView(BytesOf(vertices), ViewTarget::VertexAttributes, 32u);
    Accessor position{.view = view, .componentType = ComponentType::Float, .count = 4, .type = ElementType::Vec3};
    position.min = {-1, -1, 0};
    position.max = {1, 1, 0};
    Accessor normal{.view = view, .byteOffset = 12, .componentType = ComponentType::Float, .count = 4,
                    .type = ElementType::Vec3};
    Accessor uv{.view = view, .byteOffset = 24, .componentType = ComponentType::Float, .count = 4,
                .type = ElementType::Vec2};
    Primitive primitive;
    primitive.position = document.AddAccessor(position);
    primitive.normal = document.AddAccessor(normal);
    primitive.texcoord0 = document.AddAccessor(uv);
    primitive.mode = PrimitiveMode::TriangleFan;
    return primitive;
}

std::vector<std::uint8_t> GroundNormalPng()
{
    GreyImage bump(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            bump.Row(y)[x] = static_cast<std::uint8_t>(
                std::lround(127.5 + 60 * std::sin(x * 2 * kPi / 16) + 60 * std::cos(y * 2 * kPi / 32)));
    const RgbImage normals = NormalMapFromHeights(bump, 0.02);
    return EncodePng(PngSource{normals.rgb.data(), normals.width, normals.height, PngPixels::Rgb});
}

JpegBytes GroundJpeg()
{
    RgbImage ground(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = ground.Row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(90 + (x * 3) % 40);
            p[1] = static_cast<std::uint8_t>(110 + (y * 5) % 50);
            p[2] = static_cast<std::uint8_t>(60 + ((x + y) * 2) % 30);
        }
    JpegBytes bytes;
    if (EncodeJpegToMemory(RgbRows(std::move(ground)), 90, bytes) != JpegEncodeResult::Done)
        throw std::runtime_error("the test JPEG could not be encoded");
    return bytes;
}

// A fog-like ramp: white, transparent at the top and opaque at the bottom.
std::vector<std::uint8_t> FogPng()
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 256; ++y) rgba.insert(rgba.end(), {230, 235, 240, static_cast<std::uint8_t>(y)});
    const std::vector<std::uint8_t> tga = TgaFile(1, 256, rgba);
    return TgaToPng(tga.data(), tga.size());
}

// A leaf card: a green disc on transparency.
std::vector<std::uint8_t> LeafPng()
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double dx = x - 15.5, dy = y - 15.5;
            const bool inside = dx * dx + dy * dy < 14.0 * 14.0;
            rgba.insert(rgba.end(), {40, static_cast<std::uint8_t>(120 + y * 3), 30,
                                     static_cast<std::uint8_t>(inside ? 255 : 0)});
        }
    const std::vector<std::uint8_t> tga = TgaFile(32, 32, rgba);
    return TgaToPng(tga.data(), tga.size());
}

Node Group(std::string name, std::vector<NodeIndex> children)
{
    Node node;
    node.name = std::move(name);
    node.children = std::move(children);
    return node;
}

Node Placed(std::string name, Transform transform)
{
    Node node;
    node.name = std::move(name);
    node.transform = transform;
    return node;
}

}  // namespace

HeightField RollingHills(int n)
{
    HeightField field;
    field.n = n;
    field.heights.resize(static_cast<std::size_t>(n) * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            field.heights[static_cast<std::size_t>(j) * n + i] =
                static_cast<float>(3.0 * std::sin(i * 0.05) * std::cos(j * 0.07) + 0.5 * std::sin((i + 2 * j) * 0.3));
    return field;
}

gltf::Primitive AddGridPrimitive(gltf::GltfDocument& document, const HeightField& field)
{
    const int n = field.n;
    if (n < 2) throw std::invalid_argument("a grid has at least 2 x 2 points");
    const std::uint64_t vertices = static_cast<std::uint64_t>(n) * n;
    const std::uint64_t cells = static_cast<std::uint64_t>(n - 1) * (n - 1);
    const float half = static_cast<float>(n - 1) / 2;
    const HeightField* f = &field;

    // One row of the grid at a time, written in one piece.
    auto positions = [f, n, half](ByteSink& sink) {
        std::vector<float> row(3 * static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                row[3 * i] = static_cast<float>(i) - half;
                row[3 * i + 1] = static_cast<float>(j) - half;
                row[3 * i + 2] = f->At(i, j);
            }
            sink.Write(row.data(), row.size() * sizeof(float));
        }
    };
    auto normals = [f, n](ByteSink& sink) {
        std::vector<float> row(3 * static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) GridNormal(*f, i, j, &row[3 * i]);
            sink.Write(row.data(), row.size() * sizeof(float));
        }
    };
    auto tangents = [f, n](ByteSink& sink) {
        std::vector<float> row(4 * static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) GridTangent(*f, i, j, &row[4 * i]);
            sink.Write(row.data(), row.size() * sizeof(float));
        }
    };
    auto uvs = [n](ByteSink& sink) {
        std::vector<float> row(2 * static_cast<std::size_t>(n));
        const float last = static_cast<float>(n - 1);
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                row[2 * i] = static_cast<float>(i) / last;
                row[2 * i + 1] = 1.0f - static_cast<float>(j) / last;
            }
            sink.Write(row.data(), row.size() * sizeof(float));
        }
    };
    auto indices = [n](ByteSink& sink) {
        std::vector<std::uint32_t> row(6 * static_cast<std::size_t>(n - 1));
        for (int j = 0; j + 1 < n; ++j) {
            for (int i = 0; i + 1 < n; ++i) {
                const std::uint32_t a = static_cast<std::uint32_t>(j) * n + i, b = a + 1;
                const std::uint32_t d = a + n, c = d + 1;
                std::uint32_t* t = &row[6 * static_cast<std::size_t>(i)];
                t[0] = a, t[1] = b, t[2] = c, t[3] = a, t[4] = c, t[5] = d;
            }
            sink.Write(row.data(), row.size() * sizeof(std::uint32_t));
        }
    };

    float low = std::numeric_limits<float>::infinity(), high = -low;
    for (const float h : field.heights) low = std::min(low, h), high = std::max(high, h);

    Accessor position{.view = document.AddStreamedBufferView(vertices * 12, positions, ViewTarget::VertexAttributes,
                                                             std::nullopt, "grid positions"),
                      .componentType = ComponentType::Float,
                      .count = vertices,
                      .type = ElementType::Vec3};
    position.min = {-half, -half, low};
    position.max = {half, half, high};
    Accessor normal{.view = document.AddStreamedBufferView(vertices * 12, normals, ViewTarget::VertexAttributes,
                                                           std::nullopt, "grid normals"),
                    .componentType = ComponentType::Float,
                    .count = vertices,
                    .type = ElementType::Vec3};
    Accessor tangent{.view = document.AddStreamedBufferView(vertices * 16, tangents, ViewTarget::VertexAttributes,
                                                            std::nullopt, "grid tangents"),
                     .componentType = ComponentType::Float,
                     .count = vertices,
                     .type = ElementType::Vec4};
    Accessor uv{.view = document.AddStreamedBufferView(vertices * 8, uvs, ViewTarget::VertexAttributes, std::nullopt,
                                                       "grid texture coordinates"),
                .componentType = ComponentType::Float,
                .count = vertices,
                .type = ElementType::Vec2};
    Accessor index{.view = document.AddStreamedBufferView(cells * 24, indices, ViewTarget::VertexIndices,
                                                          std::nullopt, "grid triangles"),
                   .componentType = ComponentType::UnsignedInt,
                   .count = cells * 6,
                   .type = ElementType::Scalar};
    index.min = {0};
    index.max = {static_cast<double>(vertices - 1)};

    Primitive primitive;
    primitive.position = document.AddAccessor(position);
    primitive.normal = document.AddAccessor(normal);
    primitive.texcoord0 = document.AddAccessor(uv);
    primitive.tangent = document.AddAccessor(tangent);
    primitive.indices = document.AddAccessor(index);
    return primitive;
}

std::vector<std::uint8_t> TgaFile(int width, int height, const std::vector<std::uint8_t>& rgbaTopDown)
{
    std::vector<std::uint8_t> file(18 + static_cast<std::size_t>(width) * height * 4);
    TgaHeader32(file.data(), width, height);
    std::uint8_t* out = file.data() + 18;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x, out += 4) {
            const std::uint8_t* p = &rgbaTopDown[(static_cast<std::size_t>(y) * width + x) * 4];
            out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = p[3];
        }
    return file;
}

std::unique_ptr<SyntheticAsset> MakeSyntheticAsset(int gridSize)
{
    auto asset = std::make_unique<SyntheticAsset>();
    asset->field = std::make_unique<HeightField>(RollingHills(gridSize));
    asset->groundJpeg = std::make_unique<JpegBytes>(GroundJpeg());
    GltfDocument& document = asset->document;

    // Images: the JPEG straight from the encoder's blocks, the PNGs as bytes.
    const JpegBytes* jpeg = asset->groundJpeg.get();
    const BufferViewIndex groundView = document.AddStreamedBufferView(
        jpeg->Size(),
        [jpeg](ByteSink& sink) {
            jpeg->ForEachBlock([&sink](const std::uint8_t* data, std::size_t size) {
                sink.Write(data, size);
                return true;
            });
        },
        ViewTarget::None, std::nullopt, "ground.jpg");
    const ImageIndex ground = document.AddImage(groundView, ImageType::Jpeg, "ground");
    const ImageIndex groundNormal = document.AddImage(GroundNormalPng(), ImageType::Png, "ground normals");
    const ImageIndex fog = document.AddImage(FogPng(), ImageType::Png, "fog");
    const ImageIndex leaf = document.AddImage(LeafPng(), ImageType::Png, "leaf");

    const SamplerIndex repeat = document.AddSampler(Sampler{.name = "repeat",
                                                            .magFilter = MagFilter::Linear,
                                                            .minFilter = MinFilter::LinearMipmapLinear,
                                                            .wrapS = Wrap::Repeat,
                                                            .wrapT = Wrap::Repeat});
    const SamplerIndex clamp = document.AddSampler(Sampler{.name = "clamp",
                                                           .magFilter = MagFilter::Linear,
                                                           .minFilter = MinFilter::Linear,
                                                           .wrapS = Wrap::ClampToEdge,
                                                           .wrapT = Wrap::ClampToEdge});
    const TextureIndex groundTexture = document.AddTexture({.name = "ground", .source = ground, .sampler = repeat});
    const TextureIndex normalTexture =
        document.AddTexture({.name = "ground normals", .source = groundNormal, .sampler = repeat});
    const TextureIndex fogTexture = document.AddTexture({.name = "fog", .source = fog, .sampler = clamp});
    const TextureIndex leafTexture = document.AddTexture({.name = "leaf", .source = leaf, .sampler = clamp});

    const TextureTransform twentyRepeats{.offset = {0.5, 0.5}, .scale = {20.0, 20.0}};
    Material terrainMaterial{.name = "terrain", .metallicFactor = 0.0, .roughnessFactor = 0.9};
    terrainMaterial.baseColorTexture = TextureReference{.texture = groundTexture, .transform = twentyRepeats};
    terrainMaterial.normalTexture = NormalTextureReference{.texture = normalTexture, .transform = twentyRepeats};
    const MaterialIndex terrainLook = document.AddMaterial(terrainMaterial);

    Material fogMaterial{.name = "fog", .alphaMode = AlphaMode::Blend, .unlit = true};
    fogMaterial.metallicFactor = 0.0;
    fogMaterial.baseColorTexture = TextureReference{.texture = fogTexture};
    const MaterialIndex fogLook = document.AddMaterial(fogMaterial);

    Material leafMaterial{.name = "leaf", .metallicFactor = 0.0, .alphaMode = AlphaMode::Mask, .alphaCutoff = 0.4,
                          .doubleSided = true};
    leafMaterial.baseColorTexture = TextureReference{.texture = leafTexture};
    const MaterialIndex leafLook = document.AddMaterial(leafMaterial);

    const MaterialIndex oceanLook = document.AddMaterial(Material{.name = "ocean",
                                                                  .baseColorFactor = {0.05, 0.2, 0.35, 0.4},
                                                                  .metallicFactor = 0.0,
                                                                  .roughnessFactor = 0.2,
                                                                  .alphaMode = AlphaMode::Blend});

    Primitive grid = AddGridPrimitive(document, *asset->field);
    grid.material = terrainLook;
    Primitive dome = DomePrimitive(document);
    dome.material = fogLook;
    Primitive card = LeafPrimitive(document);
    card.material = leafLook;
    Primitive water = OceanPrimitive(document);
    water.material = oceanLook;
    const MeshIndex terrainMesh = document.AddMesh({.name = "terrain", .primitives = {grid}});
    const MeshIndex domeMesh = document.AddMesh({.name = "fog", .primitives = {dome}});
    const MeshIndex leafMesh = document.AddMesh({.name = "leaf card", .primitives = {card}});
    const MeshIndex oceanMesh = document.AddMesh({.name = "ocean", .primitives = {water}});

    const CameraIndex camera = document.AddCamera(
        {.name = "YOU", .yfov = 0.9, .aspectRatio = 4.0 / 3.0, .znear = 0.05, .zfar = 1000.0});
    const LightIndex daylight =
        document.AddLight({.name = "sky light", .type = LightType::Directional, .color = {1.0, 0.97, 0.9},
                           .intensity = 3.0});
    const LightIndex lamp = document.AddLight(
        {.name = "sun", .type = LightType::Point, .color = {1.0, 0.9, 0.7}, .intensity = 500.0, .range = 300.0});

    // The scene is Z up: the terrain's nodes carry no conversion of their own.
    Node terrain{.name = "terrain", .mesh = terrainMesh};
    const NodeIndex terrainNode = document.AddNode(terrain);
    const NodeIndex earth = document.AddNode(Group("earth", {terrainNode}));

    const double quarter = std::sqrt(0.5);
    Node leafByMatrix{.name = "palm leaf", .mesh = leafMesh};
    // A quarter turn about Z, scale 2, at (3, -4, 1); column-major.
    leafByMatrix.matrix = std::array<double, 16>{0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 3, -4, 1, 1};
    Node leafByParts = Placed("palm leaf", {.translation = {-5, 2, 0.5}, .rotation = {0, 0, quarter, quarter},
                                            .scale = {1.5, 1.5, 1.5}});
    leafByParts.mesh = leafMesh;
    const NodeIndex leafA = document.AddNode(leafByMatrix);
    const NodeIndex leafB = document.AddNode(leafByParts);
    const NodeIndex trees = document.AddNode(Group(kTreesGroupName, {leafA, leafB}));
    document.AddChild(earth, trees);

    Node ocean = Placed("ocean", {.translation = {0, 0, 0.1}, .scale = {100, 100, 1}});
    ocean.mesh = oceanMesh;
    Node dome100 = Placed("fog", {.translation = {0, 0, -1.5}, .scale = {99.95, 99.95, 9.95}});
    dome100.mesh = domeMesh;
    // Directional lights shine down their node's -Z, which is down here.
    Node daylightNode{.name = "InfLight", .light = daylight};
    Node sun = Placed("sun", {.translation = {-13.3, 16.8, 9.3}});
    sun.light = lamp;
    // Cameras look down their -Z: a quarter turn about X looks along +Y.
    Node you = Placed("YOU", {.translation = {0, -40, 6}, .rotation = {quarter, 0, 0, quarter}});
    you.camera = camera;

    const NodeIndex lights = document.AddNode(Group("lights", {document.AddNode(daylightNode)}));
    Node root = Placed("landscape", {.rotation = ZUpToYUpRotation()});
    root.children = {earth, document.AddNode(ocean), document.AddNode(dome100), lights, document.AddNode(sun),
                     document.AddNode(you)};
    document.AddScene({.name = "landscape", .nodes = {document.AddNode(root)}});
    return asset;
}

}  // namespace kv::test
