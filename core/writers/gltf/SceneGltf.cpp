#include "core/writers/gltf/SceneGltf.h"

#include <cmath>
#include <limits>
#include <map>
#include <numbers>

#include "core/model/TerrainTriangles.h"
#include "core/model/TriangleMesh.h"
#include "core/writers/gltf/AffineSplit.h"
#include "core/writers/gltf/FileSink.h"
#include "core/writers/gltf/GlbWriter.h"
#include "core/writers/gltf/Tangents.h"

namespace kv::gltf {

namespace {

// ----------------------------------------------------------------- bytes

template <typename T>
std::vector<std::uint8_t> Bytes(const std::vector<T>& values)
{
    std::vector<std::uint8_t> bytes(values.size() * sizeof(T));
    if (!bytes.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

// sRGB display values to glTF's linear colour factors.
double Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

std::array<double, 3> ColourOf(const MaterialColour& colour)
{
    if (const WholeColour* w = std::get_if<WholeColour>(&colour))
        return {w->r / 255.0, w->g / 255.0, w->b / 255.0};
    const FractionColour& f = std::get<FractionColour>(colour);
    return {f.r, f.g, f.b};
}

bool EndsWith(const std::string& name, const char* ending)
{
    const std::string e = ending;
    return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
}

// A frame from a node's pivot and axes, turned half round its own y axis:
// the scene's camera and lights look along their z axis, glTF's along -z.
Matrix34 LookingFrame(const NodeFrame& f)
{
    Matrix34 m;
    const Vec3 axes[3] = {{-f.xAxis.x, -f.xAxis.y, -f.xAxis.z}, f.yAxis, {-f.zAxis.x, -f.zAxis.y, -f.zAxis.z}};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = axes[c].x;
        m.m[1][c] = axes[c].y;
        m.m[2][c] = axes[c].z;
    }
    m.m[0][3] = f.center.x;
    m.m[1][3] = f.center.y;
    m.m[2][3] = f.center.z;
    return m;
}

// A frame at `position` whose -z axis points at the scene's origin, its y
// axis as near the scene's z as can be.
Matrix34 SunFrame(const Vec3& position)
{
    const double length = std::sqrt(position.x * position.x + position.y * position.y + position.z * position.z);
    const Vec3 back{position.x / length, position.y / length, position.z / length};  // +z: away from the origin
    Vec3 x{-back.y, back.x, 0.0};  // horizontal, across the view
    const double xl = std::sqrt(x.x * x.x + x.y * x.y);
    x = xl > 1e-12 ? Vec3{x.x / xl, x.y / xl, 0.0} : Vec3{1, 0, 0};
    const Vec3 y{back.y * x.z - back.z * x.y, back.z * x.x - back.x * x.z, back.x * x.y - back.y * x.x};
    Matrix34 m;
    const Vec3 axes[3] = {x, y, back};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = axes[c].x;
        m.m[1][c] = axes[c].y;
        m.m[2][c] = axes[c].z;
    }
    m.m[0][3] = position.x;
    m.m[1][3] = position.y;
    m.m[2][3] = position.z;
    return m;
}

Transform ToTransform(const TrsParts& p) { return Transform{p.translation, p.rotation, p.scale}; }

// ----------------------------------------------------------------- the builder

class SceneAsset {
public:
    SceneAsset(const kv::Scene& scene, const SceneImages& images, JobControl* control)
        : scene_(scene), images_(images), control_(control)
    {
    }

    GltfDocument Build()
    {
        sampler_ = doc_.AddSampler(Sampler{"repeat", MagFilter::Linear, MinFilter::LinearMipmapLinear, Wrap::Repeat,
                                           Wrap::Repeat});
        Node root;
        root.name = scene_.node(scene_.Root()).name;
        Transform upright;
        upright.rotation = ZUpToYUpRotation();
        root.transform = upright;
        const NodeIndex rootIndex = doc_.AddNode(root);
        std::vector<NodeIndex> placed(scene_.nodes().size(), rootIndex);
        for (int i = 1; i < static_cast<int>(scene_.nodes().size()); ++i) {
            const kv::Node& node = scene_.node(i);
            placed[static_cast<std::size_t>(i)] = AddNode(i, placed[static_cast<std::size_t>(node.parent)]);
        }
        Scene_ gltfScene;
        gltfScene.name = "landscape";
        gltfScene.nodes = {rootIndex};
        doc_.AddScene(gltfScene);
        return std::move(doc_);
    }

private:
    using Scene_ = gltf::Scene;

    // The node's place relative to its parent's.
    Matrix34 LocalMatrix(int index) const
    {
        const kv::Node& node = scene_.node(index);
        if (node.kind == NodeKind::Light && node.light->kind == LightKind::Local) {
            // The sun shines from where it stands toward the terrain's centre.
            const Matrix34 world = SunFrame(node.frame.center);
            if (node.parent <= scene_.Root()) return world;
            return scene_.WorldTransform(node.parent).Inverse() * world;
        }
        if (node.kind == NodeKind::Camera || node.kind == NodeKind::Light) {
            const Matrix34 world = LookingFrame(node.frame);
            if (node.parent <= scene_.Root()) return world;
            return scene_.WorldTransform(node.parent).Inverse() * world;
        }
        return scene_.LocalTransform(index);
    }

    // The named node (and an inner one when its matrix shears) under
    // `parent`; returns the node its children and payload go under.
    NodeIndex AddNode(int index, NodeIndex parent)
    {
        const kv::Node& node = scene_.node(index);
        const std::vector<TrsParts> parts = SplitAffine(LocalMatrix(index));
        Node payload;
        switch (node.kind) {
        case NodeKind::Object: payload.mesh = MeshOf(node); break;
        case NodeKind::Terrain: payload.mesh = TerrainMesh(node); break;
        case NodeKind::Light: payload.light = LightOf(node); break;
        case NodeKind::Camera: payload.camera = CameraOf(node); break;
        case NodeKind::Root:
        case NodeKind::Group: break;
        }
        NodeIndex outer;
        NodeIndex inner;
        if (parts.size() == 1) {
            payload.name = node.name;
            payload.transform = ToTransform(parts[0]);
            outer = inner = doc_.AddNode(payload);
        } else {
            Node named;
            named.name = node.name;
            named.transform = ToTransform(parts[0]);
            outer = doc_.AddNode(named);
            payload.transform = ToTransform(parts[1]);
            inner = doc_.AddNode(payload);
            doc_.AddChild(outer, inner);
        }
        doc_.AddChild(parent, outer);
        return inner;
    }

    // ------------------------------------------------------------ images

    std::optional<TextureIndex> TextureOf(const std::string& name, bool normalMap)
    {
        auto& cache = normalMap ? normalTextures_ : textures_;
        if (const auto found = cache.find(name); found != cache.end()) return found->second;
        const EncodedImage* image = normalMap ? images_.NormalMap(name) : images_.Picture(name);
        std::optional<TextureIndex> texture;
        if (image) {
            std::string imageName = name;
            if (normalMap) imageName = name.substr(0, name.rfind('.')) + "-normals";
            // The picture's bytes go from the scene's pictures straight into
            // the file, never copied whole.
            const std::vector<std::uint8_t>* bytes = &image->bytes;
            const BufferViewIndex view = doc_.AddStreamedBufferView(
                bytes->size(), [bytes](ByteSink& sink) { sink.Write(bytes->data(), bytes->size()); },
                ViewTarget::None, {}, imageName);
            const ImageIndex index = doc_.AddImage(
                view, image->encoding == ImageEncoding::Jpeg ? ImageType::Jpeg : ImageType::Png, imageName);
            texture = doc_.AddTexture(Texture{imageName, index, sampler_});
        }
        cache.emplace(name, texture);
        return texture;
    }

    // trueSpace lays a picture with v up from its bottom row; glTF's v runs
    // down from the top row. With v' = 1 - v stored, the offset along v turns
    // round.
    static std::optional<TextureTransform> TransformOf(const ImageMap& map)
    {
        if (map.offset.u == 0 && map.offset.v == 0 && map.repeats.u == 1 && map.repeats.v == 1) return std::nullopt;
        TextureTransform t;
        t.offset = {map.offset.u, map.offset.v == 0 ? 0.0 : -map.offset.v};
        t.scale = {map.repeats.u, map.repeats.v};
        return t;
    }

    // ------------------------------------------------------------ materials

    MaterialIndex MaterialOf(int modelMaterial, bool coordinatesMapped)
    {
        const auto key = std::make_pair(modelMaterial, coordinatesMapped);
        if (const auto found = materials_.find(key); found != materials_.end()) return found->second;
        const kv::Material& m = scene_.materials()[static_cast<std::size_t>(modelMaterial)];
        Material g;
        g.name = "material " + std::to_string(modelMaterial);
        g.metallicFactor = 0.0;
        // A specular surface (the ocean) is smooth; everything else rough.
        g.roughnessFactor = m.surface.specular > 0.5 ? 0.2 : 0.9;
        const std::array<double, 3> colour = ColourOf(m.colour);
        bool pictureAlpha = false;
        if (m.texture) {
            const std::string& name = scene_.images()[static_cast<std::size_t>(m.texture->image)].name;
            if (auto texture = TextureOf(name, false)) {
                TextureReference reference{*texture, 0, {}};
                if (!coordinatesMapped) reference.transform = TransformOf(*m.texture);
                g.baseColorTexture = reference;
                pictureAlpha = EndsWith(name, ".tga");
                g.name = name.substr(0, name.rfind('.'));
            }
        }
        if (!g.baseColorTexture) g.baseColorFactor = {Linear(colour[0]), Linear(colour[1]), Linear(colour[2]), 1.0};
        if (m.bump) {
            const std::string& name = scene_.images()[static_cast<std::size_t>(m.bump->image)].name;
            if (auto texture = TextureOf(name, true)) {
                NormalTextureReference reference;
                reference.texture = *texture;
                if (!coordinatesMapped) reference.transform = TransformOf(*m.bump);
                g.normalTexture = reference;
            }
        }
        if (m.shading == Shading::Flat) {
            // The domes: the picture as it is, seen from inside.
            g.unlit = true;
            g.doubleSided = true;
            if (pictureAlpha) g.alphaMode = AlphaMode::Blend;
        } else if (m.surface.alpha < 1.0) {
            g.alphaMode = AlphaMode::Blend;
            g.baseColorFactor[3] = m.surface.alpha;
            g.doubleSided = true;
        } else if (pictureAlpha) {
            g.alphaMode = AlphaMode::Mask;
            g.alphaCutoff = 0.5;
            g.doubleSided = true;
        }
        const MaterialIndex index = doc_.AddMaterial(g);
        materials_.emplace(key, index);
        return index;
    }

    // ------------------------------------------------------------ meshes

    struct Geometry {
        AccessorIndex position, normal, texcoord;
        std::optional<AccessorIndex> tangent;
        std::map<int, AccessorIndex> indices;  // by material number
    };

    template <typename T>
    AccessorIndex AddArray(const std::vector<T>& values, ComponentType component, ElementType type, ViewTarget target,
                           std::vector<double> min = {}, std::vector<double> max = {})
    {
        const BufferViewIndex view = doc_.AddBufferView(Bytes(values), target);
        Accessor a;
        a.view = view;
        a.componentType = component;
        a.type = type;
        a.count = values.size() / static_cast<std::size_t>(ComponentCount(type));
        a.min = std::move(min);
        a.max = std::move(max);
        return doc_.AddAccessor(a);
    }

    const Geometry& GeometryOf(const kv::Node& node)
    {
        const kv::Material& first = scene_.materials()[static_cast<std::size_t>(node.materials.at(0))];
        const auto key = std::make_pair(node.mesh.get(), first.faceting);
        if (const auto found = geometry_.find(key); found != geometry_.end()) return found->second;
        TriangleMesh t = MakeTriangleMesh(*node.mesh, first.faceting);
        for (std::size_t i = 1; i < t.texcoords.size(); i += 2) t.texcoords[i] = 1.0f - t.texcoords[i];
        std::vector<double> min(3, std::numeric_limits<double>::max()), max(3, std::numeric_limits<double>::lowest());
        for (std::size_t i = 0; i < t.positions.size(); ++i) {
            min[i % 3] = std::min(min[i % 3], static_cast<double>(t.positions[i]));
            max[i % 3] = std::max(max[i % 3], static_cast<double>(t.positions[i]));
        }
        Geometry g;
        g.position = AddArray(t.positions, ComponentType::Float, ElementType::Vec3, ViewTarget::VertexAttributes, min, max);
        g.normal = AddArray(t.normals, ComponentType::Float, ElementType::Vec3, ViewTarget::VertexAttributes);
        g.texcoord = AddArray(t.texcoords, ComponentType::Float, ElementType::Vec2, ViewTarget::VertexAttributes);
        // Tangents where any material of the mesh has a normal map.
        bool normalMapped = false;
        for (int m : node.materials)
            if (scene_.materials()[static_cast<std::size_t>(m)].bump) normalMapped = true;
        std::vector<std::uint32_t> all;
        for (const auto& group : t.groups) all.insert(all.end(), group.indices.begin(), group.indices.end());
        if (normalMapped)
            g.tangent = AddArray(ComputeTangents(t.positions, t.normals, t.texcoords, all), ComponentType::Float,
                                 ElementType::Vec4, ViewTarget::VertexAttributes);
        const bool small = t.PointCount() <= 0xffff;
        for (const auto& group : t.groups) {
            if (small) {
                std::vector<std::uint16_t> shorts(group.indices.begin(), group.indices.end());
                g.indices[group.material] = AddArray(shorts, ComponentType::UnsignedShort, ElementType::Scalar,
                                                     ViewTarget::VertexIndices);
            } else {
                g.indices[group.material] = AddArray(group.indices, ComponentType::UnsignedInt, ElementType::Scalar,
                                                     ViewTarget::VertexIndices);
            }
        }
        return geometry_.emplace(key, std::move(g)).first->second;
    }

    MeshIndex MeshOf(const kv::Node& node)
    {
        const auto key = std::make_pair(node.mesh.get(), node.materials);
        if (const auto found = meshes_.find(key); found != meshes_.end()) return found->second;
        const Geometry& g = GeometryOf(node);
        Mesh mesh;
        mesh.name = node.mesh->name;
        for (const auto& [number, indices] : g.indices) {
            Primitive p;
            p.position = g.position;
            p.normal = g.normal;
            p.texcoord0 = g.texcoord;
            p.tangent = g.tangent;
            p.indices = indices;
            p.material = MaterialOf(node.materials.at(static_cast<std::size_t>(number)), false);
            mesh.primitives.push_back(p);
        }
        const MeshIndex index = doc_.AddMesh(mesh);
        meshes_.emplace(key, index);
        return index;
    }

    MeshIndex TerrainMesh(const kv::Node& node);

    // ------------------------------------------------------------ lights and camera

    LightIndex LightOf(const kv::Node& node)
    {
        const kv::Light& l = *node.light;
        const double top = std::max({l.colour.x, l.colour.y, l.colour.z, 1e-9});
        Light light;
        light.name = node.name;
        light.type = LightType::Directional;
        light.color = {l.colour.x / top, l.colour.y / top, l.colour.z / top};
        // A light of strength 1 lights a white surface facing it to full
        // white in the scene; a physically based viewer divides diffuse
        // light by pi.
        light.intensity = std::numbers::pi * top;
        return doc_.AddLight(light);
    }

    CameraIndex CameraOf(const kv::Node& node)
    {
        PerspectiveCamera camera;
        camera.name = node.name;
        camera.yfov = kCameraFieldOfView;
        camera.znear = 0.05;
        camera.zfar = 1000.0;
        return doc_.AddCamera(camera);
    }

    const kv::Scene& scene_;
    const SceneImages& images_;
    JobControl* control_;
    GltfDocument doc_;
    SamplerIndex sampler_{};
    std::map<std::string, std::optional<TextureIndex>> textures_, normalTextures_;
    std::map<std::pair<int, bool>, MaterialIndex> materials_;
    std::map<std::pair<const kv::Mesh*, Faceting>, Geometry> geometry_;
    std::map<std::pair<const kv::Mesh*, std::vector<int>>, MeshIndex> meshes_;
};

// ----------------------------------------------------------------- the terrain

// Writes float values of every grid point, row by row.
template <typename PerPoint>
void StreamPoints(ByteSink& sink, const TerrainSurface& s, int floats, PerPoint point, JobControl* control)
{
    const int n = s.Size();
    std::vector<float> row(static_cast<std::size_t>(n) * static_cast<std::size_t>(floats));
    for (int y = 0; y < n; ++y) {
        if (control) control->CheckStop();
        for (int j = 0; j < n; ++j) point(j, y, row.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(floats));
        sink.Write(row.data(), row.size() * sizeof(float));
    }
}

// The terrain's texture coordinates with the materials' offset and repeats
// (the same for the detail and the surround) applied, v turned to run down.
Point2f RepeatedTexcoord(Point2f t) { return {t.u * 20.0f + 0.5f, (1.0f - t.v) * 20.0f - 0.5f}; }

MeshIndex SceneAsset::TerrainMesh(const kv::Node& node)
{
    const TerrainSurface& s = *scene_.terrain();
    const int n = s.Size();
    const std::uint64_t points = static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(n);
    JobControl* control = control_;

    // Positions, with their bounds.
    float top = s.Vertex(0, 0).z;
    for (int y = 0; y < n; ++y)
        for (int j = 0; j < n; ++j) top = std::max(top, s.Vertex(j, y).z);
    Accessor position;
    position.view = doc_.AddStreamedBufferView(
        points * 12,
        [&s, control](ByteSink& sink) {
            StreamPoints(
                sink, s, 3,
                [&s](int j, int y, float* out) {
                    const Point3f p = s.Vertex(j, y);
                    out[0] = p.x, out[1] = p.y, out[2] = p.z;
                },
                control);
        },
        ViewTarget::VertexAttributes, {}, "terrain positions");
    position.componentType = ComponentType::Float;
    position.type = ElementType::Vec3;
    position.count = points;
    float bottom = top;
    for (int y = 0; y < n; ++y)
        for (int j = 0; j < n; ++j) bottom = std::min(bottom, s.Vertex(j, y).z);
    position.min = {s.Vertex(0, 0).x, s.Vertex(0, 0).y, bottom};
    position.max = {s.Vertex(n - 1, n - 1).x, s.Vertex(n - 1, n - 1).y, top};
    const AccessorIndex positionIndex = doc_.AddAccessor(position);

    auto addStreamed = [&](std::uint64_t bytes, GltfDocument::Producer producer, ElementType type, ComponentType c,
                           ViewTarget target, const char* name) {
        Accessor a;
        a.view = doc_.AddStreamedBufferView(bytes, std::move(producer), target, {}, name);
        a.componentType = c;
        a.type = type;
        a.count = bytes / static_cast<std::uint64_t>(ComponentCount(type) * ComponentSize(c));
        return doc_.AddAccessor(a);
    };

    const AccessorIndex normal = addStreamed(
        points * 12,
        [&s, control](ByteSink& sink) {
            StreamPoints(
                sink, s, 3,
                [&s](int j, int y, float* out) {
                    const Point3f normal = TerrainNormal(s, j, y);
                    out[0] = normal.x, out[1] = normal.y, out[2] = normal.z;
                },
                control);
        },
        ElementType::Vec3, ComponentType::Float, ViewTarget::VertexAttributes, "terrain normals");

    const AccessorIndex texcoord = addStreamed(
        points * 8,
        [&s, control](ByteSink& sink) {
            StreamPoints(
                sink, s, 2,
                [&s](int j, int y, float* out) {
                    const Point2f t = RepeatedTexcoord(s.PlanarTexcoord(j, y));
                    out[0] = t.u, out[1] = t.v;
                },
                control);
        },
        ElementType::Vec2, ComponentType::Float, ViewTarget::VertexAttributes, "terrain texture coordinates");

    // Tangents: u grows as x falls, v (running down) as y grows, so the
    // tangent leans along -x and cross(normal, tangent) points along -y, up
    // the picture.
    const AccessorIndex tangent = addStreamed(
        points * 16,
        [&s, control](ByteSink& sink) {
            StreamPoints(
                sink, s, 4,
                [&s](int j, int y, float* out) {
                    const float dzdx = TerrainSlope(s, j, y).dzdx;
                    const float length = std::sqrt(1.0f + dzdx * dzdx);
                    out[0] = -1.0f / length, out[1] = 0.0f, out[2] = -dzdx / length, out[3] = 1.0f;
                },
                control);
        },
        ElementType::Vec4, ComponentType::Float, ViewTarget::VertexAttributes, "terrain tangents");

    // The grid's triangles, counterclockwise from above (the scene lists them
    // clockwise).
    const std::uint64_t cells = static_cast<std::uint64_t>(n - 1) * static_cast<std::uint64_t>(n - 1);
    const AccessorIndex grid = addStreamed(
        cells * 6 * 4,
        [&s, n, control](ByteSink& sink) {
            std::vector<std::uint32_t> row(static_cast<std::size_t>(n - 1) * 6);
            for (int y = 0; y + 1 < n; ++y) {
                if (control) control->CheckStop();
                TerrainCellRow(s, y, row.data());
                sink.Write(row.data(), row.size() * 4);
            }
        },
        ElementType::Scalar, ComponentType::UnsignedInt, ViewTarget::VertexIndices, "terrain triangles");

    // The surround, flat, with points of its own.
    const SurroundTriangles ground = MakeSurroundTriangles(s);
    std::vector<float> surroundPositions, surroundNormals, surroundTexcoords, surroundTangents;
    for (std::size_t k = 0; k < ground.positions.size(); ++k) {
        const Point3f p = ground.positions[k];
        const Point2f r = RepeatedTexcoord(ground.texcoords[k]);
        surroundPositions.insert(surroundPositions.end(), {p.x, p.y, p.z});
        surroundNormals.insert(surroundNormals.end(), {0.0f, 0.0f, 1.0f});
        surroundTexcoords.insert(surroundTexcoords.end(), {r.u, r.v});
        surroundTangents.insert(surroundTangents.end(), {-1.0f, 0.0f, 0.0f, 1.0f});
    }
    const std::vector<std::uint32_t>& surround = ground.indices;
    std::vector<double> low(3, std::numeric_limits<double>::max()), high(3, std::numeric_limits<double>::lowest());
    for (std::size_t i = 0; i < surroundPositions.size(); ++i) {
        low[i % 3] = std::min(low[i % 3], static_cast<double>(surroundPositions[i]));
        high[i % 3] = std::max(high[i % 3], static_cast<double>(surroundPositions[i]));
    }

    Mesh mesh;
    mesh.name = "terrain";
    Primitive detail;
    detail.position = positionIndex;
    detail.normal = normal;
    detail.texcoord0 = texcoord;
    detail.tangent = tangent;
    detail.indices = grid;
    detail.material = MaterialOf(node.materials.at(TerrainSurface::kDetailMaterial), true);
    Primitive around;
    around.position = AddArray(surroundPositions, ComponentType::Float, ElementType::Vec3, ViewTarget::VertexAttributes,
                               low, high);
    around.normal = AddArray(surroundNormals, ComponentType::Float, ElementType::Vec3, ViewTarget::VertexAttributes);
    around.texcoord0 = AddArray(surroundTexcoords, ComponentType::Float, ElementType::Vec2, ViewTarget::VertexAttributes);
    around.tangent = AddArray(surroundTangents, ComponentType::Float, ElementType::Vec4, ViewTarget::VertexAttributes);
    if (surroundPositions.size() / 3 <= 0xffff) {
        const std::vector<std::uint16_t> shorts(surround.begin(), surround.end());
        around.indices = AddArray(shorts, ComponentType::UnsignedShort, ElementType::Scalar, ViewTarget::VertexIndices);
    } else {
        around.indices = AddArray(surround, ComponentType::UnsignedInt, ElementType::Scalar, ViewTarget::VertexIndices);
    }
    around.material = MaterialOf(node.materials.at(TerrainSurface::kSurroundMaterial), true);
    mesh.primitives = {detail, around};
    return doc_.AddMesh(mesh);
}

}  // namespace

GltfDocument SceneDocument(const kv::Scene& scene, const SceneImages& images, JobControl* control)
{
    return SceneAsset(scene, images, control).Build();
}

FileOutcome WriteSceneGlb(const kv::Scene& scene, const SceneImages& images, const std::string& path,
                          TemporaryFileList* cleanup, JobControl& control)
{
    const GltfDocument document = SceneDocument(scene, images, &control);
    return WriteGlbFile(document, path, cleanup);
}

}  // namespace kv::gltf
