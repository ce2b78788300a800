#include "app/view/GltfSceneReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtMath>

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <optional>
#include <stdexcept>

namespace kv::view {

namespace {

// A file the reader cannot make sense of; the text says why.
struct Malformed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The file's Y-up axes to the view's Z-up ones: (x, y, z) -> (x, -z, y).
const QMatrix4x4 kYUpToZUp(1, 0, 0, 0,  //
                           0, 0, -1, 0,  //
                           0, 1, 0, 0,   //
                           0, 0, 0, 1);

// The file's pictures by index: kept encoded while the file is parsed, and
// decoded only when a material shows them (the view has no use for the
// normal maps, and a decoded picture takes several times its file's bytes).
class DecodedImages {
public:
    void Keep(int index, QByteArray encoded) { encoded_[index] = std::move(encoded); }
    // The picture, or a null image when the file has none of that index.
    QImage Picture(int index)
    {
        if (const auto found = decoded_.find(index); found != decoded_.end()) return found->second;
        const auto encoded = encoded_.find(index);
        if (encoded == encoded_.end()) return {};
        QImage decoded = QImage::fromData(encoded->second);
        encoded_.erase(encoded);
        return decoded_.emplace(index, std::move(decoded)).first->second;
    }

private:
    std::map<int, QByteArray> encoded_;
    std::map<int, QImage> decoded_;
};

bool DecodeImage(tinygltf::Image* image, const int index, std::string* err, std::string*, int, int,
                 const unsigned char* bytes, int size, void* user)
{
    // Only the header is read here, to refuse what Qt cannot read.
    QByteArray encoded(reinterpret_cast<const char*>(bytes), size);
    QSize pictureSize;
    bool readable = false;
    {
        QBuffer buffer(&encoded);
        QImageReader reader(&buffer);
        readable = reader.canRead();
        pictureSize = reader.size();
    }
    if (!readable || !pictureSize.isValid()) {
        if (err) *err += "image " + std::to_string(index) + " is not a PNG or JPEG picture Qt can read\n";
        return false;
    }
    image->width = pictureSize.width();
    image->height = pictureSize.height();
    image->component = 4;
    image->bits = 8;
    image->pixel_type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
    static_cast<DecodedImages*>(user)->Keep(index, std::move(encoded));
    return true;
}

// glTF's column-major array to a matrix.
QMatrix4x4 FromColumnMajor(const std::vector<double>& m)
{
    QMatrix4x4 result;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            result(row, column) = static_cast<float>(m[static_cast<std::size_t>(column * 4 + row)]);
    return result;
}

QMatrix4x4 LocalMatrix(const tinygltf::Node& node)
{
    if (node.matrix.size() == 16) return FromColumnMajor(node.matrix);
    QMatrix4x4 local;
    if (node.translation.size() == 3)
        local.translate(static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                        static_cast<float>(node.translation[2]));
    if (node.rotation.size() == 4)
        local.rotate(QQuaternion(static_cast<float>(node.rotation[3]), static_cast<float>(node.rotation[0]),
                                 static_cast<float>(node.rotation[1]), static_cast<float>(node.rotation[2]))
                         .normalized());
    if (node.scale.size() == 3)
        local.scale(static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]),
                    static_cast<float>(node.scale[2]));
    return local;
}

// A linear colour component as a display value (the sRGB curve).
float ToDisplay(double linear)
{
    const double c = std::clamp(linear, 0.0, 1.0);
    return static_cast<float>(c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055);
}

QVector3D Vector3(const std::vector<double>& v, const QVector3D& fallback)
{
    if (v.size() < 3) return fallback;
    return QVector3D(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
}

// Reads an accessor's elements as floats, `components` of them an element
// (normalised integers scaled to 0..1 or -1..1 as glTF defines them).
class AccessorReader {
public:
    explicit AccessorReader(const tinygltf::Model& model) : model_(model) {}

    std::vector<float> floats(int accessorIndex, int components, const char* what) const
    {
        const tinygltf::Accessor& accessor = accessorAt(accessorIndex, what);
        if (tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(accessor.type)) != components)
            throw Malformed(std::string("the ") + what + " have the wrong number of components");
        std::vector<float> values(accessor.count * static_cast<std::size_t>(components), 0.0f);
        const auto [data, stride] = elements(accessor, what);
        if (!data) return values;
        const int size = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(accessor.componentType));
        for (std::size_t i = 0; i < accessor.count; ++i)
            for (int c = 0; c < components; ++c)
                values[i * static_cast<std::size_t>(components) + static_cast<std::size_t>(c)] =
                    component(data + i * stride + static_cast<std::size_t>(c * size), accessor);
        return values;
    }

    std::vector<std::uint32_t> indices(int accessorIndex) const
    {
        const tinygltf::Accessor& accessor = accessorAt(accessorIndex, "triangle indices");
        if (accessor.type != TINYGLTF_TYPE_SCALAR) throw Malformed("the triangle indices are not single numbers");
        std::vector<std::uint32_t> values(accessor.count, 0);
        const auto [data, stride] = elements(accessor, "triangle indices");
        if (!data) return values;
        for (std::size_t i = 0; i < accessor.count; ++i) {
            const unsigned char* p = data + i * stride;
            switch (accessor.componentType) {
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: values[i] = *p; break;
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
                std::uint16_t v;
                std::memcpy(&v, p, sizeof v);
                values[i] = v;
                break;
            }
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: std::memcpy(&values[i], p, sizeof(std::uint32_t)); break;
            default: throw Malformed("the triangle indices are not unsigned integers");
            }
        }
        return values;
    }

    std::size_t count(int accessorIndex, const char* what) const { return accessorAt(accessorIndex, what).count; }

private:
    const tinygltf::Accessor& accessorAt(int index, const char* what) const
    {
        if (index < 0 || index >= static_cast<int>(model_.accessors.size()))
            throw Malformed(std::string("the ") + what + " refer to a missing accessor");
        const tinygltf::Accessor& accessor = model_.accessors[static_cast<std::size_t>(index)];
        if (accessor.sparse.isSparse) throw Malformed(std::string("the ") + what + " use a sparse accessor");
        return accessor;
    }

    // The first element's bytes and the distance between elements; null for
    // an accessor without a buffer view (all zeros). Checks that every
    // element lies inside its buffer view and buffer.
    std::pair<const unsigned char*, std::size_t> elements(const tinygltf::Accessor& accessor, const char* what) const
    {
        if (accessor.bufferView < 0) return {nullptr, 0};
        if (accessor.bufferView >= static_cast<int>(model_.bufferViews.size()))
            throw Malformed(std::string("the ") + what + " refer to a missing buffer view");
        const tinygltf::BufferView& view = model_.bufferViews[static_cast<std::size_t>(accessor.bufferView)];
        if (view.buffer < 0 || view.buffer >= static_cast<int>(model_.buffers.size()))
            throw Malformed(std::string("the ") + what + " refer to a missing buffer");
        const tinygltf::Buffer& buffer = model_.buffers[static_cast<std::size_t>(view.buffer)];
        const int stride = accessor.ByteStride(view);
        const int componentSize =
            tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(accessor.componentType));
        const int components = tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(accessor.type));
        if (stride <= 0 || componentSize <= 0 || components <= 0)
            throw Malformed(std::string("the ") + what + " have an unknown layout");
        if (accessor.count == 0) return {nullptr, 0};
        const std::size_t elementSize = static_cast<std::size_t>(componentSize * components);
        const std::size_t span = (accessor.count - 1) * static_cast<std::size_t>(stride) + elementSize;
        if (accessor.byteOffset + span > view.byteLength || view.byteOffset + view.byteLength > buffer.data.size())
            throw Malformed(std::string("the ") + what + " reach past the end of their data");
        return {buffer.data.data() + view.byteOffset + accessor.byteOffset, static_cast<std::size_t>(stride)};
    }

    static float component(const unsigned char* p, const tinygltf::Accessor& accessor)
    {
        const auto read = [p](auto zero) {
            decltype(zero) v;
            std::memcpy(&v, p, sizeof v);
            return v;
        };
        const bool normalized = accessor.normalized;
        switch (accessor.componentType) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: return read(0.0f);
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: {
            const float v = read(std::uint8_t{});
            return normalized ? v / 255.0f : v;
        }
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const float v = read(std::int8_t{});
            return normalized ? std::max(v / 127.0f, -1.0f) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            const float v = read(std::uint16_t{});
            return normalized ? v / 65535.0f : v;
        }
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            const float v = read(std::int16_t{});
            return normalized ? std::max(v / 32767.0f, -1.0f) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: return static_cast<float>(read(std::uint32_t{}));
        default: throw Malformed("a vertex attribute has an unknown number type");
        }
    }

    const tinygltf::Model& model_;
};

// Triangles of a strip or fan as a plain triangle list.
std::vector<std::uint32_t> AsTriangles(const std::vector<std::uint32_t>& indices, int mode)
{
    if (mode == TINYGLTF_MODE_TRIANGLES) return indices;
    std::vector<std::uint32_t> triangles;
    for (std::size_t i = 2; i < indices.size(); ++i) {
        if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
            triangles.insert(triangles.end(), {indices[0], indices[i - 1], indices[i]});
        } else if (i % 2 == 0) {
            triangles.insert(triangles.end(), {indices[i - 2], indices[i - 1], indices[i]});
        } else {
            triangles.insert(triangles.end(), {indices[i - 1], indices[i - 2], indices[i]});
        }
    }
    return triangles;
}

class SceneBuilder {
public:
    SceneBuilder(const tinygltf::Model& model, DecodedImages& images)
        : model_(model), images_(images), reader_(model)
    {
    }

    std::shared_ptr<ViewScene> build()
    {
        readMaterials();
        readMeshes();
        for (int root : rootNodes()) visit(root, kYUpToZUp, 0, false);
        placeTerrain();
        placeCamera();
        for (const PendingPointLight& light : pointLights_) {
            const float distanceSquared =
                std::max((light.position - scene_->terrainCentre).lengthSquared(), 1e-6f);
            scene_->pointLights.push_back({light.position, light.colour / distanceSquared});
        }
        return std::move(scene_);
    }

private:
    struct PendingPointLight {
        QVector3D position;
        QVector3D colour;  // colour times intensity, before the falloff to the terrain
    };

    std::vector<int> rootNodes() const
    {
        const int chosen = model_.defaultScene >= 0 ? model_.defaultScene : 0;
        if (chosen < static_cast<int>(model_.scenes.size())) return model_.scenes[static_cast<std::size_t>(chosen)].nodes;
        // No scene: every node that is nobody's child.
        std::vector<bool> isChild(model_.nodes.size(), false);
        for (const tinygltf::Node& node : model_.nodes)
            for (int child : node.children)
                if (child >= 0 && child < static_cast<int>(isChild.size())) isChild[static_cast<std::size_t>(child)] = true;
        std::vector<int> roots;
        for (std::size_t i = 0; i < isChild.size(); ++i)
            if (!isChild[i]) roots.push_back(static_cast<int>(i));
        return roots;
    }

    void readMaterials()
    {
        for (const tinygltf::Material& source : model_.materials) {
            ViewMaterial material;
            material.name = source.name;
            const std::vector<double>& factor = source.pbrMetallicRoughness.baseColorFactor;
            if (factor.size() == 4)
                material.baseColour = QVector4D(ToDisplay(factor[0]), ToDisplay(factor[1]), ToDisplay(factor[2]),
                                                static_cast<float>(std::clamp(factor[3], 0.0, 1.0)));
            const tinygltf::TextureInfo& info = source.pbrMetallicRoughness.baseColorTexture;
            int texCoordSet = info.texCoord;
            if (info.index >= 0) {
                if (info.index >= static_cast<int>(model_.textures.size()))
                    throw Malformed("a material refers to a missing texture");
                const int image = model_.textures[static_cast<std::size_t>(info.index)].source;
                material.texture = images_.Picture(image);
                if (const auto transform = info.extensions.find("KHR_texture_transform");
                    transform != info.extensions.end()) {
                    const tinygltf::Value& t = transform->second;
                    if (t.Has("offset") && t.Get("offset").ArrayLen() == 2)
                        material.textureOffset = QVector2D(static_cast<float>(t.Get("offset").Get(0).GetNumberAsDouble()),
                                                           static_cast<float>(t.Get("offset").Get(1).GetNumberAsDouble()));
                    if (t.Has("scale") && t.Get("scale").ArrayLen() == 2)
                        material.textureScale = QVector2D(static_cast<float>(t.Get("scale").Get(0).GetNumberAsDouble()),
                                                          static_cast<float>(t.Get("scale").Get(1).GetNumberAsDouble()));
                    if (t.Has("texCoord") && t.Get("texCoord").IsNumber()) texCoordSet = t.Get("texCoord").GetNumberAsInt();
                }
            }
            texCoordSets_.push_back(std::max(texCoordSet, 0));
            if (source.alphaMode == "MASK") {
                material.alphaMode = AlphaMode::Mask;
                material.alphaCutoff = static_cast<float>(source.alphaCutoff);
            } else if (source.alphaMode == "BLEND") {
                material.alphaMode = AlphaMode::Blend;
            }
            material.doubleSided = source.doubleSided;
            material.unlit = source.extensions.count("KHR_materials_unlit") > 0;
            scene_->materials.push_back(std::move(material));
        }
    }

    void readMeshes()
    {
        for (const tinygltf::Mesh& source : model_.meshes) {
            std::vector<int> primitives;
            for (const tinygltf::Primitive& primitive : source.primitives) {
                const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
                if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
                    mode != TINYGLTF_MODE_TRIANGLE_FAN)
                    continue;
                primitives.push_back(static_cast<int>(scene_->meshes.size()));
                scene_->meshes.push_back(readPrimitive(source.name, primitive, mode));
            }
            meshPrimitives_.push_back(std::move(primitives));
        }
    }

    ViewMesh readPrimitive(const std::string& name, const tinygltf::Primitive& primitive, int mode) const
    {
        ViewMesh mesh;
        mesh.name = name;
        const auto position = primitive.attributes.find("POSITION");
        if (position == primitive.attributes.end()) throw Malformed("a mesh has no vertex positions");
        const std::vector<float> p = reader_.floats(position->second, 3, "vertex positions");
        const std::size_t count = p.size() / 3;
        for (std::size_t i = 0; i < count; ++i) mesh.positions.emplace_back(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
        if (const auto normal = primitive.attributes.find("NORMAL"); normal != primitive.attributes.end()) {
            const std::vector<float> n = reader_.floats(normal->second, 3, "vertex normals");
            if (n.size() != p.size()) throw Malformed("a mesh has a different number of normals and positions");
            for (std::size_t i = 0; i < count; ++i) mesh.normals.emplace_back(n[3 * i], n[3 * i + 1], n[3 * i + 2]);
        }
        mesh.material = primitive.material >= 0 && primitive.material < static_cast<int>(scene_->materials.size())
                            ? primitive.material
                            : -1;
        const int set = mesh.material >= 0 ? texCoordSets_[static_cast<std::size_t>(mesh.material)] : 0;
        if (const auto uv = primitive.attributes.find("TEXCOORD_" + std::to_string(set));
            uv != primitive.attributes.end()) {
            const std::vector<float> t = reader_.floats(uv->second, 2, "texture coordinates");
            if (t.size() / 2 != count) throw Malformed("a mesh has a different number of texture coordinates and positions");
            for (std::size_t i = 0; i < count; ++i) mesh.texCoords.emplace_back(t[2 * i], t[2 * i + 1]);
        }
        std::vector<std::uint32_t> indices;
        if (primitive.indices >= 0) {
            indices = reader_.indices(primitive.indices);
        } else {
            indices.resize(count);
            for (std::size_t i = 0; i < count; ++i) indices[i] = static_cast<std::uint32_t>(i);
        }
        for (std::uint32_t index : indices)
            if (index >= count) throw Malformed("a mesh's triangles refer to a missing vertex");
        mesh.indices = AsTriangles(indices, mode);
        return mesh;
    }

    void visit(int index, const QMatrix4x4& parent, int depth, bool insideTerrain)
    {
        if (index < 0 || index >= static_cast<int>(model_.nodes.size())) throw Malformed("a node refers to a missing child");
        // The node tree of a valid file is a forest; a cycle would not end.
        if (depth > static_cast<int>(model_.nodes.size())) throw Malformed("the nodes refer to each other in a circle");
        const tinygltf::Node& node = model_.nodes[static_cast<std::size_t>(index)];
        const QMatrix4x4 world = parent * LocalMatrix(node);
        const bool terrain = insideTerrain || QString::fromStdString(node.name).compare("terrain", Qt::CaseInsensitive) == 0;

        if (node.mesh >= 0) {
            if (node.mesh >= static_cast<int>(meshPrimitives_.size())) throw Malformed("a node refers to a missing mesh");
            for (int mesh : meshPrimitives_[static_cast<std::size_t>(node.mesh)]) {
                if (terrain) terrainInstances_.push_back(static_cast<int>(scene_->instances.size()));
                scene_->instances.push_back({mesh, world});
            }
        }
        if (node.camera >= 0 && node.camera < static_cast<int>(model_.cameras.size()) &&
            (!cameraIndex_ || node.camera < *cameraIndex_)) {
            const tinygltf::Camera& camera = model_.cameras[static_cast<std::size_t>(node.camera)];
            ViewCamera view;
            view.position = world.map(QVector3D(0, 0, 0));
            view.forward = world.mapVector(QVector3D(0, 0, -1)).normalized();
            view.up = world.mapVector(QVector3D(0, 1, 0)).normalized();
            if (camera.type == "perspective" && camera.perspective.yfov > 0)
                view.verticalFovDegrees = static_cast<float>(qRadiansToDegrees(camera.perspective.yfov));
            scene_->camera = view;
            cameraIndex_ = node.camera;
        }
        if (const auto light = node.extensions.find("KHR_lights_punctual"); light != node.extensions.end())
            addLight(light->second, world);
        for (int child : node.children) visit(child, world, depth + 1, terrain);
    }

    void addLight(const tinygltf::Value& reference, const QMatrix4x4& world)
    {
        if (!reference.Has("light") || !reference.Get("light").IsNumber()) return;
        const int index = reference.Get("light").GetNumberAsInt();
        if (index < 0 || index >= static_cast<int>(model_.lights.size())) throw Malformed("a node refers to a missing light");
        const tinygltf::Light& light = model_.lights[static_cast<std::size_t>(index)];
        // glTF's physically based convention divides diffuse light by pi; the
        // view, like the landscape's own scenes, lights a white surface facing
        // a light of strength 1 to full white.
        const QVector3D colour =
            Vector3(light.color, QVector3D(1, 1, 1)) * static_cast<float>(light.intensity / std::numbers::pi);
        if (light.type == "directional") {
            scene_->directionalLights.push_back({world.mapVector(QVector3D(0, 0, -1)).normalized(), colour});
        } else {
            pointLights_.push_back({world.map(QVector3D(0, 0, 0)), colour});
        }
    }

    // The box of the terrain without its surround (the vertices at the
    // lowest level), else of every lit opaque instance.
    void placeTerrain()
    {
        std::vector<QVector3D> points;
        const auto collect = [&](int instanceIndex) {
            const ViewInstance& instance = scene_->instances[static_cast<std::size_t>(instanceIndex)];
            for (const QVector3D& p : scene_->meshes[static_cast<std::size_t>(instance.mesh)].positions)
                points.push_back(instance.world.map(p));
        };
        for (int instance : terrainInstances_) collect(instance);
        if (!points.empty()) {
            float lowest = points.front().z(), highest = lowest;
            for (const QVector3D& p : points) {
                lowest = std::min(lowest, p.z());
                highest = std::max(highest, p.z());
            }
            const float level = lowest + 1e-4f * std::max(highest - lowest, 1.0f);
            std::vector<QVector3D> raised;
            for (const QVector3D& p : points)
                if (p.z() > level) raised.push_back(p);
            if (!raised.empty()) points = std::move(raised);
        } else {
            for (std::size_t i = 0; i < scene_->instances.size(); ++i) {
                const int material = scene_->meshes[static_cast<std::size_t>(scene_->instances[i].mesh)].material;
                const bool plain = material < 0 || (!scene_->materials[static_cast<std::size_t>(material)].unlit &&
                                                    scene_->materials[static_cast<std::size_t>(material)].alphaMode !=
                                                        AlphaMode::Blend);
                if (plain) collect(static_cast<int>(i));
            }
        }
        if (points.empty()) return;
        QVector3D lo = points.front(), hi = lo;
        for (const QVector3D& p : points)
            for (int axis = 0; axis < 3; ++axis) {
                lo[axis] = std::min(lo[axis], p[axis]);
                hi[axis] = std::max(hi[axis], p[axis]);
            }
        scene_->terrainCentre = (lo + hi) / 2;
        scene_->terrainSize = hi - lo;
    }

    void placeCamera()
    {
        if (cameraIndex_) return;
        // Without a camera: from the south-east, above, at the terrain.
        const float reach = std::max({scene_->terrainSize.x(), scene_->terrainSize.y(), 1.0f});
        ViewCamera view;
        view.position = scene_->terrainCentre + QVector3D(0.9f, -0.9f, 0.7f) * reach;
        view.forward = (scene_->terrainCentre - view.position).normalized();
        const QVector3D right = QVector3D::crossProduct(view.forward, QVector3D(0, 0, 1)).normalized();
        view.up = QVector3D::crossProduct(right, view.forward).normalized();
        scene_->camera = view;
    }

    const tinygltf::Model& model_;
    DecodedImages& images_;
    AccessorReader reader_;
    std::shared_ptr<ViewScene> scene_ = std::make_shared<ViewScene>();
    std::vector<int> texCoordSets_;                  // per material
    std::vector<std::vector<int>> meshPrimitives_;  // per glTF mesh: its ViewMesh indices
    std::vector<int> terrainInstances_;
    std::vector<PendingPointLight> pointLights_;
    std::optional<int> cameraIndex_;
};

bool IsBinary(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.read(4) == "glTF";
}

}  // namespace

GltfReadResult ReadGltfScene(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return {nullptr, QStringLiteral("The file %1 does not exist.").arg(path)};
    if (!info.isFile() || !info.isReadable())
        return {nullptr, QStringLiteral("The file %1 cannot be read.").arg(path)};

    tinygltf::TinyGLTF loader;
    DecodedImages images;
    loader.SetImageLoader(&DecodeImage, &images);
    tinygltf::Model model;
    std::string error, warning;
    const std::string name = QFile::encodeName(path).toStdString();
    bool loaded = false;
    try {
        loaded = IsBinary(path) ? loader.LoadBinaryFromFile(&model, &error, &warning, name)
                                : loader.LoadASCIIFromFile(&model, &error, &warning, name);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!loaded) {
        const QString reason = QString::fromStdString(error).trimmed();
        return {nullptr, QStringLiteral("The file %1 is not a glTF scene that can be shown%2")
                             .arg(path, reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(":\n") + reason)};
    }
    try {
        return {SceneBuilder(model, images).build(), {}};
    } catch (const Malformed& malformed) {
        return {nullptr, QStringLiteral("The file %1 cannot be shown: %2.").arg(path, QString::fromUtf8(malformed.what()))};
    } catch (const std::bad_alloc&) {
        return {nullptr, QStringLiteral("The file %1 is too large to be shown.").arg(path)};
    }
}

}  // namespace kv::view
