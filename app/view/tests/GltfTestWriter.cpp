#include "GltfTestWriter.h"

#include <QBuffer>
#include <QFile>

#include <tiny_gltf.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace kv::view::test {

namespace {

// The view's Z-up axes to glTF's Y-up ones: (x, y, z) -> (x, z, -y).
const QMatrix4x4 kZUpToYUp(1, 0, 0, 0,  //
                           0, 0, 1, 0,   //
                           0, -1, 0, 0,  //
                           0, 0, 0, 1);

std::vector<double> ColumnMajor(const QMatrix4x4& m)
{
    std::vector<double> values;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) values.push_back(m(row, column));
    return values;
}

double ToLinear(float display)
{
    const double c = display;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

class Writer {
public:
    explicit Writer(const ViewScene& scene) : scene_(scene) { model_.buffers.emplace_back(); }

    tinygltf::Model build()
    {
        model_.asset.generator = "view test writer";
        model_.extensionsUsed = {"KHR_texture_transform", "KHR_materials_unlit"};
        for (const ViewMaterial& material : scene_.materials) addMaterial(material);
        for (const ViewMesh& mesh : scene_.meshes) addMesh(mesh);

        tinygltf::Node root;
        root.name = "root";
        root.matrix = ColumnMajor(kZUpToYUp);
        for (const ViewInstance& instance : scene_.instances) {
            tinygltf::Node node;
            node.name = scene_.meshes[static_cast<std::size_t>(instance.mesh)].name;
            node.mesh = instance.mesh;
            node.matrix = ColumnMajor(instance.world);
            root.children.push_back(addNode(std::move(node)));
        }
        for (const ViewDirectionalLight& light : scene_.directionalLights)
            root.children.push_back(addLight("directional", light.colour, Looking(QVector3D(), light.direction, {})));
        for (const ViewPointLight& light : scene_.pointLights) {
            const float distanceSquared = (light.position - scene_.terrainCentre).lengthSquared();
            QMatrix4x4 place;
            place.translate(light.position);
            root.children.push_back(addLight("point", light.colour * distanceSquared, place));
        }
        tinygltf::Camera camera;
        camera.type = "perspective";
        camera.perspective.yfov = scene_.camera.verticalFovDegrees * M_PI / 180.0;
        camera.perspective.znear = 0.05;
        camera.perspective.aspectRatio = 1.6;
        model_.cameras.push_back(camera);
        tinygltf::Node you;
        you.name = "YOU";
        you.camera = 0;
        you.matrix = ColumnMajor(Looking(scene_.camera.position, scene_.camera.forward, scene_.camera.up));
        root.children.push_back(addNode(std::move(you)));

        const int rootIndex = addNode(std::move(root));
        tinygltf::Scene gltfScene;
        gltfScene.nodes = {rootIndex};
        model_.scenes.push_back(gltfScene);
        model_.defaultScene = 0;
        model_.buffers[0].data = std::move(bytes_);
        return std::move(model_);
    }

private:
    // A node matrix that looks along -z with +y up, as glTF cameras and lights do.
    static QMatrix4x4 Looking(const QVector3D& position, const QVector3D& forward, QVector3D up)
    {
        const QVector3D back = -forward.normalized();
        if (up.isNull() || std::abs(QVector3D::dotProduct(up.normalized(), back)) > 0.99f)
            up = std::abs(back.z()) > 0.9f ? QVector3D(0, 1, 0) : QVector3D(0, 0, 1);
        const QVector3D right = QVector3D::crossProduct(up, back).normalized();
        const QVector3D trueUp = QVector3D::crossProduct(back, right);
        QMatrix4x4 m;
        m.setColumn(0, QVector4D(right, 0));
        m.setColumn(1, QVector4D(trueUp, 0));
        m.setColumn(2, QVector4D(back, 0));
        m.setColumn(3, QVector4D(position, 1));
        return m;
    }

    int addNode(tinygltf::Node node)
    {
        model_.nodes.push_back(std::move(node));
        return static_cast<int>(model_.nodes.size()) - 1;
    }

    int addLight(const char* type, const QVector3D& colour, const QMatrix4x4& place)
    {
        tinygltf::Light light;
        light.type = type;
        const float strength = std::max({colour.x(), colour.y(), colour.z(), 1e-6f});
        light.color = {colour.x() / strength, colour.y() / strength, colour.z() / strength};
        light.intensity = strength * std::numbers::pi;  // readers divide diffuse light by pi
        model_.lights.push_back(light);
        tinygltf::Node node;
        node.name = type;
        node.matrix = ColumnMajor(place);
        tinygltf::Value::Object reference;
        reference["light"] = tinygltf::Value(static_cast<int>(model_.lights.size()) - 1);
        node.extensions["KHR_lights_punctual"] = tinygltf::Value(reference);
        return addNode(std::move(node));
    }

    int addView(const void* data, std::size_t size, int target)
    {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = bytes_.size();
        view.byteLength = size;
        view.target = target;
        const auto* first = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), first, first + size);
        model_.bufferViews.push_back(view);
        return static_cast<int>(model_.bufferViews.size()) - 1;
    }

    int addAccessor(const std::vector<float>& values, int type, int components)
    {
        tinygltf::Accessor accessor;
        accessor.bufferView = addView(values.data(), values.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.type = type;
        accessor.count = values.size() / static_cast<std::size_t>(components);
        if (type == TINYGLTF_TYPE_VEC3 && accessor.count > 0) {
            accessor.minValues = {values[0], values[1], values[2]};
            accessor.maxValues = accessor.minValues;
            for (std::size_t i = 0; i < values.size(); ++i) {
                accessor.minValues[i % 3] = std::min<double>(accessor.minValues[i % 3], values[i]);
                accessor.maxValues[i % 3] = std::max<double>(accessor.maxValues[i % 3], values[i]);
            }
        }
        model_.accessors.push_back(accessor);
        return static_cast<int>(model_.accessors.size()) - 1;
    }

    void addMesh(const ViewMesh& mesh)
    {
        tinygltf::Primitive primitive;
        std::vector<float> values;
        for (const QVector3D& p : mesh.positions) values.insert(values.end(), {p.x(), p.y(), p.z()});
        primitive.attributes["POSITION"] = addAccessor(values, TINYGLTF_TYPE_VEC3, 3);
        if (!mesh.normals.empty()) {
            values.clear();
            for (const QVector3D& n : mesh.normals) values.insert(values.end(), {n.x(), n.y(), n.z()});
            primitive.attributes["NORMAL"] = addAccessor(values, TINYGLTF_TYPE_VEC3, 3);
        }
        if (!mesh.texCoords.empty()) {
            values.clear();
            for (const QVector2D& t : mesh.texCoords) values.insert(values.end(), {t.x(), t.y()});
            primitive.attributes["TEXCOORD_0"] = addAccessor(values, TINYGLTF_TYPE_VEC2, 2);
        }
        tinygltf::Accessor indices;
        indices.bufferView = addView(mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t),
                                     TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        indices.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        indices.type = TINYGLTF_TYPE_SCALAR;
        indices.count = mesh.indices.size();
        model_.accessors.push_back(indices);
        primitive.indices = static_cast<int>(model_.accessors.size()) - 1;
        primitive.material = mesh.material;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        tinygltf::Mesh gltfMesh;
        gltfMesh.name = mesh.name;
        gltfMesh.primitives.push_back(primitive);
        model_.meshes.push_back(gltfMesh);
    }

    int addImage(const QImage& image)
    {
        QByteArray encoded;
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        const bool alpha = image.hasAlphaChannel();
        image.save(&buffer, alpha ? "PNG" : "JPEG", alpha ? -1 : 92);
        tinygltf::Image gltfImage;
        gltfImage.bufferView = addView(encoded.constData(), static_cast<std::size_t>(encoded.size()), 0);
        gltfImage.mimeType = alpha ? "image/png" : "image/jpeg";
        model_.images.push_back(gltfImage);
        if (model_.samplers.empty()) {
            tinygltf::Sampler sampler;
            sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
            sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
            model_.samplers.push_back(sampler);
        }
        tinygltf::Texture texture;
        texture.sampler = 0;
        texture.source = static_cast<int>(model_.images.size()) - 1;
        model_.textures.push_back(texture);
        return static_cast<int>(model_.textures.size()) - 1;
    }

    void addMaterial(const ViewMaterial& material)
    {
        tinygltf::Material m;
        m.name = material.name;
        const QVector4D& c = material.baseColour;
        m.pbrMetallicRoughness.baseColorFactor = {ToLinear(c.x()), ToLinear(c.y()), ToLinear(c.z()), c.w()};
        m.pbrMetallicRoughness.metallicFactor = 0;
        m.pbrMetallicRoughness.roughnessFactor = 1;
        if (!material.texture.isNull()) {
            m.pbrMetallicRoughness.baseColorTexture.index = addImage(material.texture);
            if (material.textureScale != QVector2D(1, 1) || material.textureOffset != QVector2D(0, 0)) {
                tinygltf::Value::Object transform;
                transform["scale"] = tinygltf::Value(tinygltf::Value::Array{
                    tinygltf::Value(double(material.textureScale.x())), tinygltf::Value(double(material.textureScale.y()))});
                transform["offset"] = tinygltf::Value(tinygltf::Value::Array{
                    tinygltf::Value(double(material.textureOffset.x())), tinygltf::Value(double(material.textureOffset.y()))});
                m.pbrMetallicRoughness.baseColorTexture.extensions["KHR_texture_transform"] = tinygltf::Value(transform);
            }
        }
        switch (material.alphaMode) {
        case AlphaMode::Opaque: m.alphaMode = "OPAQUE"; break;
        case AlphaMode::Mask:
            m.alphaMode = "MASK";
            m.alphaCutoff = material.alphaCutoff;
            break;
        case AlphaMode::Blend: m.alphaMode = "BLEND"; break;
        }
        m.doubleSided = material.doubleSided;
        if (material.unlit) m.extensions["KHR_materials_unlit"] = tinygltf::Value(tinygltf::Value::Object());
        model_.materials.push_back(m);
    }

    const ViewScene& scene_;
    tinygltf::Model model_;
    std::vector<unsigned char> bytes_;
};

}  // namespace

QString WriteGltf(const ViewScene& scene, const QString& path)
{
    tinygltf::Model model = Writer(scene).build();
    tinygltf::TinyGLTF writer;
    if (!writer.WriteGltfSceneToFile(&model, QFile::encodeName(path).toStdString(), true, true, false, true))
        return QStringLiteral("could not write %1").arg(path);
    return {};
}

}  // namespace kv::view::test
