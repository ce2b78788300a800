#include "core/writers/gltf/GltfDocument.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/writers/gltf/GltfError.h"

namespace kv::gltf {

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw GltfError(what);
}

template <typename Tag>
std::string Named(const char* kind, Index<Tag> index)
{
    return std::string(kind) + " " + std::to_string(index.value);
}

template <typename Tag, typename T>
void CheckIndex(Index<Tag> index, const std::vector<T>& objects, const char* kind, const char* what)
{
    if (index.value >= objects.size())
        Fail(std::string(what) + " refers to " + Named(kind, index) + ", which does not exist");
}

template <typename Tag>
Index<Tag> Next(std::size_t count)
{
    if (count >= std::numeric_limits<std::uint32_t>::max()) Fail("too many objects of one kind");
    return Index<Tag>{static_cast<std::uint32_t>(count)};
}

bool Finite(double v) { return std::isfinite(v); }

template <std::size_t N>
bool AllFinite(const std::array<double, N>& values)
{
    return std::all_of(values.begin(), values.end(), Finite);
}

bool WithinUnit(double v) { return v >= 0.0 && v <= 1.0; }

// The range of an integer component type.
std::pair<double, double> IntegerRange(ComponentType type)
{
    switch (type) {
    case ComponentType::Byte: return {-128.0, 127.0};
    case ComponentType::UnsignedByte: return {0.0, 255.0};
    case ComponentType::Short: return {-32768.0, 32767.0};
    case ComponentType::UnsignedShort: return {0.0, 65535.0};
    case ComponentType::UnsignedInt:
    case ComponentType::Float: break;
    }
    return {0.0, 4294967295.0};
}

void CheckTransform(const TextureTransform& transform, const std::string& what)
{
    if (!AllFinite(transform.offset) || !AllFinite(transform.scale) || !Finite(transform.rotation))
        Fail(what + ": the texture transform holds a number that is not finite");
}

}  // namespace

const char* ExtensionName(Extension extension)
{
    switch (extension) {
    case Extension::LightsPunctual: return "KHR_lights_punctual";
    case Extension::MaterialsUnlit: return "KHR_materials_unlit";
    case Extension::TextureTransform: break;
    }
    return "KHR_texture_transform";
}

GltfDocument::GltfDocument() : GltfDocument(std::string("Kelvane ") + KV_VERSION_STRING) {}

GltfDocument::GltfDocument(std::string generator) : generator_(std::move(generator)) {}

// ---------------------------------------------------------------- buffer views

BufferViewIndex GltfDocument::AddView(View view)
{
    const std::string what = "buffer view " + std::to_string(views_.size());
    if (view.byteLength == 0) Fail(what + " is empty");
    if (view.byteStride) {
        if (view.target == ViewTarget::VertexIndices) Fail(what + " holds vertex indices, which have no stride");
        if (*view.byteStride < 4 || *view.byteStride > 252 || *view.byteStride % 4 != 0)
            Fail(what + ": a byte stride must be a multiple of 4 from 4 to 252");
    }
    const BufferViewIndex index = Next<BufferViewTag>(views_.size());
    const std::uint64_t end = BinaryLength();
    view.byteOffset = (end + 3) / 4 * 4;
    views_.push_back(std::move(view));
    return index;
}

BufferViewIndex GltfDocument::AddBufferView(std::vector<std::uint8_t> bytes, ViewTarget target,
                                            std::optional<std::uint32_t> byteStride, std::string name)
{
    View view;
    view.name = std::move(name);
    view.byteLength = bytes.size();
    view.target = target;
    view.byteStride = byteStride;
    view.bytes = std::move(bytes);
    return AddView(std::move(view));
}

BufferViewIndex GltfDocument::AddStreamedBufferView(std::uint64_t byteLength, Producer producer, ViewTarget target,
                                                    std::optional<std::uint32_t> byteStride, std::string name)
{
    if (!producer) Fail("a streamed buffer view needs a producer");
    View view;
    view.name = std::move(name);
    view.byteLength = byteLength;
    view.target = target;
    view.byteStride = byteStride;
    view.producer = std::move(producer);
    return AddView(std::move(view));
}

std::uint64_t GltfDocument::BufferViewOffset(BufferViewIndex view) const
{
    CheckView(view, "the question");
    return views_[view.value].byteOffset;
}

std::uint64_t GltfDocument::BufferViewLength(BufferViewIndex view) const
{
    CheckView(view, "the question");
    return views_[view.value].byteLength;
}

std::uint64_t GltfDocument::BinaryLength() const
{
    return views_.empty() ? 0 : views_.back().byteOffset + views_.back().byteLength;
}

void GltfDocument::CheckView(BufferViewIndex view, const char* what) const
{
    CheckIndex(view, views_, "buffer view", what);
}

// ---------------------------------------------------------------- accessors

AccessorIndex GltfDocument::AddAccessor(Accessor accessor)
{
    const std::string what = "accessor " + std::to_string(accessors_.size());
    CheckView(accessor.view, what.c_str());
    const View& view = views_[accessor.view.value];
    const int components = ComponentCount(accessor.type);
    const std::uint64_t componentSize = static_cast<std::uint64_t>(ComponentSize(accessor.componentType));
    const bool isFloat = accessor.componentType == ComponentType::Float;
    const bool isMatrix = accessor.type == ElementType::Mat2 || accessor.type == ElementType::Mat3 ||
                          accessor.type == ElementType::Mat4;

    if (accessor.count == 0) Fail(what + " has no elements");
    if (isMatrix && !isFloat) Fail(what + ": matrices are written with float components only");
    if (accessor.normalized && (isFloat || accessor.componentType == ComponentType::UnsignedInt))
        Fail(what + ": only byte and short components can be normalised");
    if (accessor.byteOffset % componentSize != 0)
        Fail(what + ": the byte offset is not a multiple of the component size");

    const std::uint64_t elementSize = componentSize * static_cast<std::uint64_t>(components);
    const std::uint64_t stride = view.byteStride ? *view.byteStride : elementSize;
    if (stride < elementSize) Fail(what + ": its elements are longer than the view's stride");
    if (view.target == ViewTarget::VertexAttributes && (accessor.byteOffset % 4 != 0 || stride % 4 != 0))
        Fail(what + ": vertex attribute elements must start at multiples of 4 bytes");
    const std::uint64_t end = accessor.byteOffset + stride * (accessor.count - 1) + elementSize;
    if (end > view.byteLength || accessor.count - 1 > view.byteLength / stride)
        Fail(what + " reaches past the end of its buffer view");

    if (accessor.min.empty() != accessor.max.empty()) Fail(what + " has a minimum without a maximum or the reverse");
    if (!accessor.min.empty()) {
        if (accessor.min.size() != static_cast<std::size_t>(components) ||
            accessor.max.size() != static_cast<std::size_t>(components))
            Fail(what + ": min and max need one value per component");
        for (std::size_t i = 0; i < accessor.min.size(); ++i) {
            double& low = accessor.min[i];
            double& high = accessor.max[i];
            if (isFloat) {
                low = static_cast<double>(static_cast<float>(low));
                high = static_cast<double>(static_cast<float>(high));
            }
            if (!Finite(low) || !Finite(high)) Fail(what + ": a bound is not a finite single-precision number");
            if (low > high) Fail(what + ": a minimum is above its maximum");
            if (!isFloat) {
                const auto [lowest, highest] = IntegerRange(accessor.componentType);
                if (low != std::floor(low) || high != std::floor(high) || low < lowest || high > highest)
                    Fail(what + ": a bound is not a value of the component type");
            }
        }
    }
    const AccessorIndex index = Next<AccessorTag>(accessors_.size());
    accessors_.push_back(std::move(accessor));
    return index;
}

void GltfDocument::CheckAccessor(AccessorIndex accessor, const char* what) const
{
    CheckIndex(accessor, accessors_, "accessor", what);
}

// ---------------------------------------------------------------- images, samplers, textures

ImageIndex GltfDocument::AddImage(std::vector<std::uint8_t> encoded, ImageType type, std::string name)
{
    const BufferViewIndex view = AddBufferView(std::move(encoded), ViewTarget::None, std::nullopt, name);
    return AddImage(view, type, std::move(name));
}

ImageIndex GltfDocument::AddImage(BufferViewIndex view, ImageType type, std::string name)
{
    const std::string what = "image " + std::to_string(images_.size());
    CheckView(view, what.c_str());
    if (views_[view.value].target != ViewTarget::None || views_[view.value].byteStride)
        Fail(what + ": an image's buffer view has neither a target nor a stride");
    const ImageIndex index = Next<ImageTag>(images_.size());
    images_.push_back(ImageEntry{std::move(name), view, type});
    return index;
}

SamplerIndex GltfDocument::AddSampler(Sampler sampler)
{
    const SamplerIndex index = Next<SamplerTag>(samplers_.size());
    samplers_.push_back(std::move(sampler));
    return index;
}

TextureIndex GltfDocument::AddTexture(Texture texture)
{
    const std::string what = "texture " + std::to_string(textures_.size());
    CheckIndex(texture.source, images_, "image", what.c_str());
    if (texture.sampler) CheckIndex(*texture.sampler, samplers_, "sampler", what.c_str());
    const TextureIndex index = Next<TextureTag>(textures_.size());
    textures_.push_back(std::move(texture));
    return index;
}

void GltfDocument::CheckTexture(TextureIndex texture, const char* what) const
{
    CheckIndex(texture, textures_, "texture", what);
}

// ---------------------------------------------------------------- materials

MaterialIndex GltfDocument::AddMaterial(Material material)
{
    const std::string what = "material " + std::to_string(materials_.size());
    if (!std::all_of(material.baseColorFactor.begin(), material.baseColorFactor.end(), WithinUnit))
        Fail(what + ": base colour factors lie between 0 and 1");
    if (!WithinUnit(material.metallicFactor) || !WithinUnit(material.roughnessFactor))
        Fail(what + ": metallic and roughness factors lie between 0 and 1");
    if (!(material.alphaCutoff >= 0.0) || !Finite(material.alphaCutoff))
        Fail(what + ": the alpha cutoff is a finite number of at least 0");
    if (material.baseColorTexture) {
        CheckTexture(material.baseColorTexture->texture, what.c_str());
        if (material.baseColorTexture->texCoord < 0) Fail(what + ": a texture coordinate set is numbered from 0");
        if (material.baseColorTexture->transform) CheckTransform(*material.baseColorTexture->transform, what);
    }
    if (material.normalTexture) {
        CheckTexture(material.normalTexture->texture, what.c_str());
        if (material.normalTexture->texCoord < 0) Fail(what + ": a texture coordinate set is numbered from 0");
        if (!Finite(material.normalTexture->scale)) Fail(what + ": the normal scale is not finite");
        if (material.normalTexture->transform) CheckTransform(*material.normalTexture->transform, what);
    }
    const MaterialIndex index = Next<MaterialTag>(materials_.size());
    materials_.push_back(std::move(material));
    return index;
}

// ---------------------------------------------------------------- meshes

void GltfDocument::CheckPrimitive(const Primitive& primitive) const
{
    const std::string what = "a primitive of mesh " + std::to_string(meshes_.size());
    auto accessorOf = [&](AccessorIndex index) -> const Accessor& {
        CheckAccessor(index, what.c_str());
        return accessors_[index.value];
    };
    auto checkAttribute = [&](const Accessor& accessor, const char* attribute) {
        const ViewTarget target = views_[accessor.view.value].target;
        if (target == ViewTarget::VertexIndices)
            Fail(what + ": its " + attribute + " lies in a buffer view of vertex indices");
    };
    const Accessor& position = accessorOf(primitive.position);
    checkAttribute(position, "POSITION");
    if (position.type != ElementType::Vec3 || position.componentType != ComponentType::Float)
        Fail(what + ": POSITION is VEC3 of floats");
    if (position.min.empty()) Fail(what + ": POSITION needs its min and max");
    const std::uint64_t vertices = position.count;
    if (primitive.normal) {
        const Accessor& normal = accessorOf(*primitive.normal);
        checkAttribute(normal, "NORMAL");
        if (normal.type != ElementType::Vec3 || normal.componentType != ComponentType::Float)
            Fail(what + ": NORMAL is VEC3 of floats");
        if (normal.count != vertices) Fail(what + ": NORMAL and POSITION differ in count");
    }
    if (primitive.texcoord0) {
        const Accessor& uv = accessorOf(*primitive.texcoord0);
        checkAttribute(uv, "TEXCOORD_0");
        const bool floats = uv.componentType == ComponentType::Float;
        const bool normalisedIntegers = uv.normalized && (uv.componentType == ComponentType::UnsignedByte ||
                                                          uv.componentType == ComponentType::UnsignedShort);
        if (uv.type != ElementType::Vec2 || !(floats || normalisedIntegers))
            Fail(what + ": TEXCOORD_0 is VEC2 of floats or of normalised unsigned bytes or shorts");
        if (uv.count != vertices) Fail(what + ": TEXCOORD_0 and POSITION differ in count");
    }
    if (primitive.tangent) {
        const Accessor& tangent = accessorOf(*primitive.tangent);
        checkAttribute(tangent, "TANGENT");
        if (tangent.type != ElementType::Vec4 || tangent.componentType != ComponentType::Float)
            Fail(what + ": TANGENT is VEC4 of floats");
        if (tangent.count != vertices) Fail(what + ": TANGENT and POSITION differ in count");
    }
    if (primitive.indices) {
        const Accessor& indices = accessorOf(*primitive.indices);
        const View& view = views_[indices.view.value];
        if (indices.type != ElementType::Scalar || indices.normalized ||
            !(indices.componentType == ComponentType::UnsignedByte ||
              indices.componentType == ComponentType::UnsignedShort ||
              indices.componentType == ComponentType::UnsignedInt))
            Fail(what + ": indices are SCALAR unsigned bytes, shorts or ints, not normalised");
        if (view.target == ViewTarget::VertexAttributes || view.byteStride)
            Fail(what + ": indices lie in a buffer view of vertex indices, without a stride");
        if (!indices.max.empty() && indices.max[0] >= static_cast<double>(vertices))
            Fail(what + ": an index refers past the last vertex");
    }
    if (primitive.material) CheckIndex(*primitive.material, materials_, "material", what.c_str());
}

MeshIndex GltfDocument::AddMesh(Mesh mesh)
{
    if (mesh.primitives.empty()) Fail("mesh " + std::to_string(meshes_.size()) + " has no primitive");
    for (const Primitive& primitive : mesh.primitives) CheckPrimitive(primitive);
    const MeshIndex index = Next<MeshTag>(meshes_.size());
    meshes_.push_back(std::move(mesh));
    return index;
}

// ---------------------------------------------------------------- cameras and lights

CameraIndex GltfDocument::AddCamera(PerspectiveCamera camera)
{
    const std::string what = "camera " + std::to_string(cameras_.size());
    if (!(camera.yfov > 0.0) || !Finite(camera.yfov)) Fail(what + ": the field of view is above 0");
    if (!(camera.znear > 0.0) || !Finite(camera.znear)) Fail(what + ": the near plane is above 0");
    if (camera.zfar && (!(*camera.zfar > camera.znear) || !Finite(*camera.zfar)))
        Fail(what + ": the far plane lies beyond the near plane");
    if (camera.aspectRatio && (!(*camera.aspectRatio > 0.0) || !Finite(*camera.aspectRatio)))
        Fail(what + ": the aspect ratio is above 0");
    const CameraIndex index = Next<CameraTag>(cameras_.size());
    cameras_.push_back(std::move(camera));
    return index;
}

LightIndex GltfDocument::AddLight(Light light)
{
    const std::string what = "light " + std::to_string(lights_.size());
    if (!std::all_of(light.color.begin(), light.color.end(), WithinUnit))
        Fail(what + ": colour components lie between 0 and 1");
    if (!(light.intensity >= 0.0) || !Finite(light.intensity)) Fail(what + ": the intensity is at least 0");
    if (light.range) {
        if (light.type == LightType::Directional) Fail(what + ": a directional light has no range");
        if (!(*light.range > 0.0) || !Finite(*light.range)) Fail(what + ": the range is above 0");
    }
    const LightIndex index = Next<LightTag>(lights_.size());
    lights_.push_back(std::move(light));
    return index;
}

// ---------------------------------------------------------------- nodes and scenes

NodeIndex GltfDocument::AddNode(Node node)
{
    const std::string what = "node " + std::to_string(nodes_.size());
    if (node.mesh) CheckIndex(*node.mesh, meshes_, "mesh", what.c_str());
    if (node.camera) CheckIndex(*node.camera, cameras_, "camera", what.c_str());
    if (node.light) CheckIndex(*node.light, lights_, "light", what.c_str());
    if (node.matrix && node.transform) Fail(what + " has both a matrix and a translation, rotation and scale");
    if (node.matrix && !AllFinite(*node.matrix)) Fail(what + ": its matrix holds a number that is not finite");
    if (node.transform) {
        const Transform& t = *node.transform;
        if (!AllFinite(t.translation) || !AllFinite(t.rotation) || !AllFinite(t.scale))
            Fail(what + ": its transform holds a number that is not finite");
        const double length = std::sqrt(t.rotation[0] * t.rotation[0] + t.rotation[1] * t.rotation[1] +
                                        t.rotation[2] * t.rotation[2] + t.rotation[3] * t.rotation[3]);
        if (std::abs(length - 1.0) > 1e-6) Fail(what + ": its rotation is not a unit quaternion");
    }
    std::vector<NodeIndex> children = std::move(node.children);
    node.children.clear();
    for (std::size_t i = 0; i < children.size(); ++i) {
        CheckIndex(children[i], nodes_, "node", what.c_str());
        if (nodes_[children[i].value].parent) Fail(what + ": " + Named("node", children[i]) + " has a parent already");
        for (std::size_t j = 0; j < i; ++j)
            if (children[j] == children[i]) Fail(what + " names a child twice");
    }
    const NodeIndex index = Next<NodeTag>(nodes_.size());
    for (const NodeIndex child : children) nodes_[child.value].parent = index;
    node.children = std::move(children);
    nodes_.push_back(NodeEntry{std::move(node), std::nullopt});
    return index;
}

bool GltfDocument::IsAncestorOrSelf(NodeIndex ancestor, NodeIndex node) const
{
    for (std::optional<NodeIndex> at = node; at; at = nodes_[at->value].parent)
        if (*at == ancestor) return true;
    return false;
}

void GltfDocument::AddChild(NodeIndex parent, NodeIndex child)
{
    CheckIndex(parent, nodes_, "node", "a new child's parent");
    CheckIndex(child, nodes_, "node", "a new child");
    if (nodes_[child.value].parent) Fail(Named("node", child) + " has a parent already");
    if (IsAncestorOrSelf(child, parent)) Fail(Named("node", child) + " would become its own ancestor");
    nodes_[parent.value].node.children.push_back(child);
    nodes_[child.value].parent = parent;
}

SceneIndex GltfDocument::AddScene(Scene scene)
{
    const std::string what = "scene " + std::to_string(scenes_.size());
    for (const NodeIndex node : scene.nodes) CheckIndex(node, nodes_, "node", what.c_str());
    const SceneIndex index = Next<SceneTag>(scenes_.size());
    scenes_.push_back(std::move(scene));
    if (!defaultScene_) defaultScene_ = index;
    return index;
}

void GltfDocument::SetDefaultScene(SceneIndex scene)
{
    CheckIndex(scene, scenes_, "scene", "the default scene");
    defaultScene_ = scene;
}

void GltfDocument::SetExtensionRequired(Extension extension, bool required)
{
    std::erase(required_, extension);
    if (required) required_.push_back(extension);
}

// ---------------------------------------------------------------- binary buffer

namespace {

// Lifts a sink's limit however the producer ends.
struct LimitScope {
    ByteSink& sink;
    LimitScope(ByteSink& s, std::uint64_t limit) : sink(s) { sink.SetLimit(limit); }
    ~LimitScope() { sink.ClearLimit(); }
    LimitScope(const LimitScope&) = delete;
    LimitScope& operator=(const LimitScope&) = delete;
};

}  // namespace

void GltfDocument::WriteBinary(ByteSink& sink) const
{
    const std::uint64_t base = sink.Position();
    for (std::size_t i = 0; i < views_.size(); ++i) {
        const View& view = views_[i];
        sink.WriteZeros(static_cast<std::size_t>(base + view.byteOffset - sink.Position()));
        if (!view.producer) {
            sink.Write(view.bytes.data(), view.bytes.size());
            continue;
        }
        const std::uint64_t start = sink.Position();
        const std::uint64_t end = start + view.byteLength;
        try {
            LimitScope limit(sink, end);
            view.producer(sink);
        } catch (const GltfError& error) {
            Fail("buffer view " + std::to_string(i) + (view.name.empty() ? "" : " (" + view.name + ")") + ": " +
                 error.what());
        }
        if (sink.Position() != end)
            Fail("buffer view " + std::to_string(i) + (view.name.empty() ? "" : " (" + view.name + ")") +
                 ": the producer wrote " + std::to_string(sink.Position() - start) + " bytes of the " +
                 std::to_string(view.byteLength) + " declared");
    }
}

}  // namespace kv::gltf
