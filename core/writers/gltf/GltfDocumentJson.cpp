// The JSON part of a glTF document, built with nlohmann::json in the order the
// objects were added. Values equal to glTF's defaults are left out.
#include <nlohmann/json.hpp>

#include <cstdint>

#include "core/writers/gltf/GltfDocument.h"
#include "core/writers/gltf/GltfError.h"

namespace kv::gltf {

namespace {

using Json = nlohmann::ordered_json;

int ViewTargetCode(ViewTarget target)
{
    return target == ViewTarget::VertexAttributes ? 34962 : 34963;
}

int WrapCode(Wrap wrap)
{
    switch (wrap) {
    case Wrap::Repeat: return 10497;
    case Wrap::ClampToEdge: return 33071;
    case Wrap::MirroredRepeat: break;
    }
    return 33648;
}

int MagFilterCode(MagFilter filter)
{
    return filter == MagFilter::Nearest ? 9728 : 9729;
}

int MinFilterCode(MinFilter filter)
{
    switch (filter) {
    case MinFilter::Nearest: return 9728;
    case MinFilter::Linear: return 9729;
    case MinFilter::NearestMipmapNearest: return 9984;
    case MinFilter::LinearMipmapNearest: return 9985;
    case MinFilter::NearestMipmapLinear: return 9986;
    case MinFilter::LinearMipmapLinear: break;
    }
    return 9987;
}

const char* AlphaModeName(AlphaMode mode)
{
    switch (mode) {
    case AlphaMode::Opaque: return "OPAQUE";
    case AlphaMode::Mask: return "MASK";
    case AlphaMode::Blend: break;
    }
    return "BLEND";
}

void PutName(Json& object, const std::string& name)
{
    if (!name.empty()) object["name"] = name;
}

template <typename Values>
Json Array(const Values& values)
{
    Json array = Json::array();
    for (const auto& value : values) array.push_back(value);
    return array;
}

template <typename Indices>
Json IndexArray(const Indices& indices)
{
    Json array = Json::array();
    for (const auto& index : indices) array.push_back(index.value);
    return array;
}

// Bounds of an integer accessor as integers, of a float accessor as the exact
// single-precision values.
Json Bounds(const std::vector<double>& values, ComponentType type)
{
    Json array = Json::array();
    for (const double value : values) {
        if (type == ComponentType::Float)
            array.push_back(value);
        else
            array.push_back(static_cast<std::int64_t>(value));
    }
    return array;
}

Json TransformJson(const TextureTransform& transform)
{
    Json json = Json::object();
    if (transform.offset != std::array<double, 2>{0.0, 0.0}) json["offset"] = Array(transform.offset);
    if (transform.rotation != 0.0) json["rotation"] = transform.rotation;
    if (transform.scale != std::array<double, 2>{1.0, 1.0}) json["scale"] = Array(transform.scale);
    return json;
}

Json TextureInfoJson(TextureIndex texture, int texCoord, const std::optional<TextureTransform>& transform)
{
    Json json;
    json["index"] = texture.value;
    if (texCoord != 0) json["texCoord"] = texCoord;
    if (transform) json["extensions"]["KHR_texture_transform"] = TransformJson(*transform);
    return json;
}

Json MaterialJson(const Material& material)
{
    Json json = Json::object();
    PutName(json, material.name);
    Json pbr = Json::object();
    if (material.baseColorFactor != std::array<double, 4>{1.0, 1.0, 1.0, 1.0})
        pbr["baseColorFactor"] = Array(material.baseColorFactor);
    if (material.baseColorTexture)
        pbr["baseColorTexture"] = TextureInfoJson(material.baseColorTexture->texture,
                                                  material.baseColorTexture->texCoord,
                                                  material.baseColorTexture->transform);
    if (material.metallicFactor != 1.0) pbr["metallicFactor"] = material.metallicFactor;
    if (material.roughnessFactor != 1.0) pbr["roughnessFactor"] = material.roughnessFactor;
    if (!pbr.empty()) json["pbrMetallicRoughness"] = pbr;
    if (material.normalTexture) {
        const NormalTextureReference& normal = *material.normalTexture;
        Json info = TextureInfoJson(normal.texture, normal.texCoord, normal.transform);
        if (normal.scale != 1.0) info["scale"] = normal.scale;
        json["normalTexture"] = info;
    }
    if (material.alphaMode != AlphaMode::Opaque) json["alphaMode"] = AlphaModeName(material.alphaMode);
    if (material.alphaMode == AlphaMode::Mask && material.alphaCutoff != 0.5)
        json["alphaCutoff"] = material.alphaCutoff;
    if (material.doubleSided) json["doubleSided"] = true;
    if (material.unlit) json["extensions"]["KHR_materials_unlit"] = Json::object();
    return json;
}

Json PrimitiveJson(const Primitive& primitive)
{
    Json json;
    Json attributes;
    attributes["POSITION"] = primitive.position.value;
    if (primitive.normal) attributes["NORMAL"] = primitive.normal->value;
    if (primitive.texcoord0) attributes["TEXCOORD_0"] = primitive.texcoord0->value;
    if (primitive.tangent) attributes["TANGENT"] = primitive.tangent->value;
    json["attributes"] = attributes;
    if (primitive.indices) json["indices"] = primitive.indices->value;
    if (primitive.material) json["material"] = primitive.material->value;
    if (primitive.mode != PrimitiveMode::Triangles) json["mode"] = static_cast<int>(primitive.mode);
    return json;
}

Json NodeJson(const Node& node)
{
    Json json = Json::object();
    PutName(json, node.name);
    if (!node.children.empty()) json["children"] = IndexArray(node.children);
    if (node.mesh) json["mesh"] = node.mesh->value;
    if (node.camera) json["camera"] = node.camera->value;
    if (node.matrix) json["matrix"] = Array(*node.matrix);
    if (node.transform) {
        const Transform& t = *node.transform;
        if (t.translation != std::array<double, 3>{0.0, 0.0, 0.0}) json["translation"] = Array(t.translation);
        if (t.rotation != std::array<double, 4>{0.0, 0.0, 0.0, 1.0}) json["rotation"] = Array(t.rotation);
        if (t.scale != std::array<double, 3>{1.0, 1.0, 1.0}) json["scale"] = Array(t.scale);
    }
    if (node.light) json["extensions"]["KHR_lights_punctual"]["light"] = node.light->value;
    return json;
}

Json CameraJson(const PerspectiveCamera& camera)
{
    Json json = Json::object();
    PutName(json, camera.name);
    json["type"] = "perspective";
    Json perspective;
    if (camera.aspectRatio) perspective["aspectRatio"] = *camera.aspectRatio;
    perspective["yfov"] = camera.yfov;
    if (camera.zfar) perspective["zfar"] = *camera.zfar;
    perspective["znear"] = camera.znear;
    json["perspective"] = perspective;
    return json;
}

Json LightJson(const Light& light)
{
    Json json = Json::object();
    PutName(json, light.name);
    json["type"] = light.type == LightType::Directional ? "directional" : "point";
    if (light.color != std::array<double, 3>{1.0, 1.0, 1.0}) json["color"] = Array(light.color);
    if (light.intensity != 1.0) json["intensity"] = light.intensity;
    if (light.range) json["range"] = *light.range;
    return json;
}

}  // namespace

bool GltfDocument::UsesExtension(Extension extension) const
{
    switch (extension) {
    case Extension::LightsPunctual: return !lights_.empty();
    case Extension::MaterialsUnlit:
        for (const Material& material : materials_)
            if (material.unlit) return true;
        return false;
    case Extension::TextureTransform: break;
    }
    for (const Material& material : materials_)
        if ((material.baseColorTexture && material.baseColorTexture->transform) ||
            (material.normalTexture && material.normalTexture->transform))
            return true;
    return false;
}

std::string GltfDocument::JsonText() const
{
    Json root;
    root["asset"]["version"] = "2.0";
    root["asset"]["generator"] = generator_;

    constexpr Extension kExtensions[] = {Extension::LightsPunctual, Extension::MaterialsUnlit,
                                         Extension::TextureTransform};
    Json used = Json::array();
    Json required = Json::array();
    for (const Extension extension : kExtensions) {
        if (!UsesExtension(extension)) continue;
        used.push_back(ExtensionName(extension));
        for (const Extension r : required_)
            if (r == extension) required.push_back(ExtensionName(extension));
    }
    if (!used.empty()) root["extensionsUsed"] = used;
    if (!required.empty()) root["extensionsRequired"] = required;

    if (defaultScene_) root["scene"] = defaultScene_->value;
    if (!scenes_.empty()) {
        Json scenes = Json::array();
        for (std::size_t i = 0; i < scenes_.size(); ++i) {
            for (const NodeIndex node : scenes_[i].nodes)
                if (nodes_[node.value].parent)
                    throw GltfError("scene " + std::to_string(i) + " lists node " + std::to_string(node.value) +
                                    ", which has a parent");
            Json scene = Json::object();
            PutName(scene, scenes_[i].name);
            if (!scenes_[i].nodes.empty()) scene["nodes"] = IndexArray(scenes_[i].nodes);
            scenes.push_back(scene);
        }
        root["scenes"] = scenes;
    }
    if (!nodes_.empty()) {
        Json nodes = Json::array();
        for (const NodeEntry& entry : nodes_) nodes.push_back(NodeJson(entry.node));
        root["nodes"] = nodes;
    }
    if (!cameras_.empty()) {
        Json cameras = Json::array();
        for (const PerspectiveCamera& camera : cameras_) cameras.push_back(CameraJson(camera));
        root["cameras"] = cameras;
    }
    if (!meshes_.empty()) {
        Json meshes = Json::array();
        for (const Mesh& mesh : meshes_) {
            Json json = Json::object();
            PutName(json, mesh.name);
            Json primitives = Json::array();
            for (const Primitive& primitive : mesh.primitives) primitives.push_back(PrimitiveJson(primitive));
            json["primitives"] = primitives;
            meshes.push_back(json);
        }
        root["meshes"] = meshes;
    }
    if (!materials_.empty()) {
        Json materials = Json::array();
        for (const Material& material : materials_) materials.push_back(MaterialJson(material));
        root["materials"] = materials;
    }
    if (!textures_.empty()) {
        Json textures = Json::array();
        for (const Texture& texture : textures_) {
            Json json = Json::object();
            PutName(json, texture.name);
            if (texture.sampler) json["sampler"] = texture.sampler->value;
            json["source"] = texture.source.value;
            textures.push_back(json);
        }
        root["textures"] = textures;
    }
    if (!images_.empty()) {
        Json images = Json::array();
        for (const ImageEntry& image : images_) {
            Json json = Json::object();
            PutName(json, image.name);
            json["bufferView"] = image.view.value;
            json["mimeType"] = image.type == ImageType::Jpeg ? "image/jpeg" : "image/png";
            images.push_back(json);
        }
        root["images"] = images;
    }
    if (!samplers_.empty()) {
        Json samplers = Json::array();
        for (const Sampler& sampler : samplers_) {
            Json json = Json::object();
            PutName(json, sampler.name);
            if (sampler.magFilter) json["magFilter"] = MagFilterCode(*sampler.magFilter);
            if (sampler.minFilter) json["minFilter"] = MinFilterCode(*sampler.minFilter);
            if (sampler.wrapS != Wrap::Repeat) json["wrapS"] = WrapCode(sampler.wrapS);
            if (sampler.wrapT != Wrap::Repeat) json["wrapT"] = WrapCode(sampler.wrapT);
            samplers.push_back(json);
        }
        root["samplers"] = samplers;
    }
    if (!accessors_.empty()) {
        Json accessors = Json::array();
        for (const Accessor& accessor : accessors_) {
            Json json = Json::object();
            PutName(json, accessor.name);
            json["bufferView"] = accessor.view.value;
            if (accessor.byteOffset) json["byteOffset"] = accessor.byteOffset;
            json["componentType"] = ComponentTypeCode(accessor.componentType);
            if (accessor.normalized) json["normalized"] = true;
            json["count"] = accessor.count;
            json["type"] = ElementTypeName(accessor.type);
            if (!accessor.min.empty()) {
                json["min"] = Bounds(accessor.min, accessor.componentType);
                json["max"] = Bounds(accessor.max, accessor.componentType);
            }
            accessors.push_back(json);
        }
        root["accessors"] = accessors;
    }
    if (!views_.empty()) {
        Json views = Json::array();
        for (const View& view : views_) {
            Json json = Json::object();
            PutName(json, view.name);
            json["buffer"] = 0;
            if (view.byteOffset) json["byteOffset"] = view.byteOffset;
            json["byteLength"] = view.byteLength;
            if (view.byteStride) json["byteStride"] = *view.byteStride;
            if (view.target != ViewTarget::None) json["target"] = ViewTargetCode(view.target);
            views.push_back(json);
        }
        root["bufferViews"] = views;
        root["buffers"] = Json::array({Json{{"byteLength", BinaryLength()}}});
    }
    if (!lights_.empty()) {
        Json lights = Json::array();
        for (const Light& light : lights_) lights.push_back(LightJson(light));
        root["extensions"]["KHR_lights_punctual"]["lights"] = lights;
    }
    try {
        return root.dump(-1, ' ', false, Json::error_handler_t::strict);
    } catch (const Json::type_error& error) {
        throw GltfError(std::string("a name is not valid UTF-8 text: ") + error.what());
    }
}

}  // namespace kv::gltf
