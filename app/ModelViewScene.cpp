#include "app/ModelViewScene.h"

#include <QtMath>

#include <algorithm>
#include <map>
#include <utility>

#include "core/model/SceneModel.h"
#include "core/model/TerrainTriangles.h"
#include "core/model/TriangleMesh.h"
#include "core/textures/SceneImages.h"
#include "core/writers/gltf/SceneGltf.h"

namespace kv::app {

using namespace kv::view;

namespace {

QVector3D ToVector(const Vec3& v) { return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)}; }

QMatrix4x4 ToMatrix(const Matrix34& m)
{
    QMatrix4x4 q;  // identity: its last row stays 0 0 0 1
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) q(r, c) = static_cast<float>(m.m[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    return q;
}

QVector4D ColourOf(const MaterialColour& colour)
{
    if (const WholeColour* w = std::get_if<WholeColour>(&colour))
        return {w->r / 255.0f, w->g / 255.0f, w->b / 255.0f, 1.0f};
    const FractionColour& f = std::get<FractionColour>(colour);
    return {static_cast<float>(f.r), static_cast<float>(f.g), static_cast<float>(f.b), 1.0f};
}

bool EndsWith(const std::string& name, const char* ending)
{
    const std::string e = ending;
    return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
}

class ModelReader {
public:
    ModelReader(const Scene& scene, const SceneImages& images) : scene_(scene), images_(images) {}

    std::shared_ptr<ViewScene> Build()
    {
        out_ = std::make_shared<ViewScene>();
        for (int i = 1; i < static_cast<int>(scene_.nodes().size()); ++i) {
            const Node& node = scene_.node(i);
            switch (node.kind) {
            case NodeKind::Object: AddObject(node); break;
            case NodeKind::Terrain: AddTerrain(node); break;
            case NodeKind::Light: AddLight(node); break;
            case NodeKind::Camera: SetCamera(node); break;
            case NodeKind::Root:
            case NodeKind::Group: break;
            }
        }
        return std::move(out_);
    }

private:
    // The picture as the view shows it; a null image when the creation kept
    // no such picture or it cannot be decoded.
    const QImage& Picture(const std::string& name)
    {
        if (const auto found = pictures_.find(name); found != pictures_.end()) return found->second;
        QImage image;
        if (const EncodedImage* encoded = images_.Picture(name))
            image.loadFromData(encoded->bytes.data(), static_cast<int>(encoded->bytes.size()));
        return pictures_.emplace(name, std::move(image)).first->second;
    }

    int MaterialOf(int modelMaterial)
    {
        if (const auto found = materials_.find(modelMaterial); found != materials_.end()) return found->second;
        const Material& m = scene_.materials()[static_cast<std::size_t>(modelMaterial)];
        ViewMaterial v;
        v.name = "material " + std::to_string(modelMaterial);
        v.baseColour = ColourOf(m.colour);
        bool pictureAlpha = false;
        if (m.texture) {
            const std::string& name = scene_.images()[static_cast<std::size_t>(m.texture->image)].name;
            const QImage& picture = Picture(name);
            if (!picture.isNull()) {
                v.name = name.substr(0, name.rfind('.'));
                v.texture = picture;
                v.baseColour = {1, 1, 1, 1};
                // The model lays a picture with v up from its bottom row; the
                // view's v runs down from the top, so the offset along v turns.
                v.textureScale = {static_cast<float>(m.texture->repeats.u), static_cast<float>(m.texture->repeats.v)};
                v.textureOffset = {static_cast<float>(m.texture->offset.u), static_cast<float>(-m.texture->offset.v)};
                pictureAlpha = picture.hasAlphaChannel() && EndsWith(name, ".tga");
            }
        }
        if (m.shading == Shading::Flat) {
            // The domes: the picture as it is, seen from inside.
            v.unlit = true;
            v.doubleSided = true;
            if (pictureAlpha) v.alphaMode = AlphaMode::Blend;
        } else if (m.surface.alpha < 1.0) {
            v.alphaMode = AlphaMode::Blend;
            v.baseColour.setW(static_cast<float>(m.surface.alpha));
            v.doubleSided = true;
        } else if (pictureAlpha) {
            v.alphaMode = AlphaMode::Mask;
            v.alphaCutoff = 0.5f;
            v.doubleSided = true;
        }
        out_->materials.push_back(std::move(v));
        const int index = static_cast<int>(out_->materials.size()) - 1;
        materials_.emplace(modelMaterial, index);
        return index;
    }

    // One view mesh per material of a kind's mesh, made once and shared by
    // every object that wears it.
    const std::vector<int>& MeshesOf(const Node& node)
    {
        const Material& first = scene_.materials()[static_cast<std::size_t>(node.materials.at(0))];
        const auto key = std::make_tuple(node.mesh.get(), first.faceting, node.materials);
        if (const auto found = meshes_.find(key); found != meshes_.end()) return found->second;
        const TriangleMesh t = MakeTriangleMesh(*node.mesh, first.faceting);
        std::vector<int> made;
        for (const TriangleMesh::Group& group : t.groups) {
            ViewMesh mesh;
            mesh.name = node.mesh->name;
            // Only the points this group's triangles use.
            std::map<std::uint32_t, std::uint32_t> renumbered;
            for (const std::uint32_t p : group.indices) {
                auto [at, added] = renumbered.emplace(p, static_cast<std::uint32_t>(mesh.positions.size()));
                if (added) {
                    const float* position = &t.positions[3 * p];
                    const float* normal = &t.normals[3 * p];
                    mesh.positions.emplace_back(position[0], position[1], position[2]);
                    mesh.normals.emplace_back(normal[0], normal[1], normal[2]);
                    mesh.texCoords.emplace_back(t.texcoords[2 * p], 1.0f - t.texcoords[2 * p + 1]);
                }
                mesh.indices.push_back(at->second);
            }
            mesh.material = MaterialOf(node.materials.at(static_cast<std::size_t>(group.material)));
            out_->meshes.push_back(std::move(mesh));
            made.push_back(static_cast<int>(out_->meshes.size()) - 1);
        }
        return meshes_.emplace(key, std::move(made)).first->second;
    }

    void AddObject(const Node& node)
    {
        if (!node.mesh || node.materials.empty()) return;
        const QMatrix4x4 world = ToMatrix(node.frame.transform);
        for (const int mesh : MeshesOf(node)) out_->instances.push_back({mesh, world});
    }

    void AddTerrain(const Node& node)
    {
        if (!scene_.terrain()) return;
        const TerrainSurface& s = *scene_.terrain();
        const int n = s.Size();
        const std::size_t points = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
        ViewMesh grid;
        grid.name = "terrain";
        grid.positions.reserve(points);
        grid.normals.reserve(points);
        grid.texCoords.reserve(points);
        QVector3D low(s.Vertex(0, 0).x, s.Vertex(0, 0).y, s.Vertex(0, 0).z), high = low;
        for (int y = 0; y < n; ++y) {
            for (int j = 0; j < n; ++j) {
                const Point3f p = s.Vertex(j, y);
                const Point3f normal = TerrainNormal(s, j, y);
                const Point2f t = s.PlanarTexcoord(j, y);
                grid.positions.emplace_back(p.x, p.y, p.z);
                grid.normals.emplace_back(normal.x, normal.y, normal.z);
                grid.texCoords.emplace_back(t.u, 1.0f - t.v);
                low.setZ(std::min(low.z(), p.z));
                high.setZ(std::max(high.z(), p.z));
            }
        }
        const Point3f far = s.Vertex(n - 1, n - 1);
        low.setX(std::min(low.x(), far.x)), low.setY(std::min(low.y(), far.y));
        high.setX(std::max(high.x(), far.x)), high.setY(std::max(high.y(), far.y));
        grid.indices.resize(static_cast<std::size_t>(n - 1) * static_cast<std::size_t>(n - 1) * 6);
        for (int y = 0; y + 1 < n; ++y)
            TerrainCellRow(s, y, grid.indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(n - 1) * 6);
        grid.material = MaterialOf(node.materials.at(TerrainSurface::kDetailMaterial));

        const SurroundTriangles ground = MakeSurroundTriangles(s);
        ViewMesh surround;
        surround.name = "surround";
        for (std::size_t k = 0; k < ground.positions.size(); ++k) {
            const Point3f p = ground.positions[k];
            surround.positions.emplace_back(p.x, p.y, p.z);
            surround.normals.emplace_back(0.0f, 0.0f, 1.0f);
            surround.texCoords.emplace_back(ground.texcoords[k].u, 1.0f - ground.texcoords[k].v);
        }
        surround.indices = ground.indices;
        surround.material = MaterialOf(node.materials.at(TerrainSurface::kSurroundMaterial));

        const QMatrix4x4 world = ToMatrix(node.frame.transform);
        for (ViewMesh* mesh : {&grid, &surround}) {
            out_->meshes.push_back(std::move(*mesh));
            out_->instances.push_back({static_cast<int>(out_->meshes.size()) - 1, world});
        }
        out_->terrainCentre = world.map((low + high) / 2);
        out_->terrainSize = high - low;
    }

    void AddLight(const Node& node)
    {
        const Light& light = *node.light;
        const QVector3D colour = ToVector(light.colour);
        if (light.kind == LightKind::Local) {
            // The sun: where it stands, shining every way without fading.
            out_->pointLights.push_back({ToVector(node.frame.center), colour});
        } else {
            // An infinite light shines along its own z axis.
            out_->directionalLights.push_back({ToVector(node.frame.zAxis).normalized(), colour});
        }
    }

    void SetCamera(const Node& node)
    {
        // The camera looks along its own z axis with its y axis up.
        ViewCamera& camera = out_->camera;
        camera.position = ToVector(node.frame.center);
        camera.forward = ToVector(node.frame.zAxis).normalized();
        camera.up = ToVector(node.frame.yAxis).normalized();
        camera.verticalFovDegrees = static_cast<float>(qRadiansToDegrees(gltf::kCameraFieldOfView));
    }

    const Scene& scene_;
    const SceneImages& images_;
    std::shared_ptr<ViewScene> out_;
    std::map<std::string, QImage> pictures_;
    std::map<int, int> materials_;
    std::map<std::tuple<const Mesh*, Faceting, std::vector<int>>, std::vector<int>> meshes_;
};

}  // namespace

std::shared_ptr<view::ViewScene> ViewSceneOf(const Scene& scene, const SceneImages& images)
{
    return ModelReader(scene, images).Build();
}

}  // namespace kv::app
