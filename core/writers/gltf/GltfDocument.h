#pragma once
// A glTF 2.0 asset under construction, with one binary buffer. Objects are
// added in the order they refer to each other (buffer views, accessors,
// images, samplers, textures, materials, meshes, cameras, lights, nodes,
// scenes); each Add checks its object against the glTF rules it can see and
// throws GltfError for one that breaks them, so that a document that was
// built is one that can be written.
//
// Binary data is held as bytes or, for large arrays, only declared: a
// streamed buffer view has a length and a producer that writes exactly that
// many bytes when the document is written (and again at every write). Whatever
// a producer refers to must outlive the writes.
#include <bit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/writers/gltf/ByteSink.h"
#include "core/writers/gltf/GltfTypes.h"

namespace kv::gltf {

// glTF's binary data is little-endian, and producers write the machine's own
// numbers as they are.
static_assert(std::endian::native == std::endian::little, "glTF buffers are written on little-endian machines only");

// The extensions the builder can write. Each is listed in extensionsUsed when
// an object uses it, and in extensionsRequired only when the caller says so
// (all three degrade gracefully in a viewer that lacks them).
enum class Extension { LightsPunctual, MaterialsUnlit, TextureTransform };
const char* ExtensionName(Extension extension);

class GltfDocument {
public:
    using Producer = std::function<void(ByteSink& sink)>;

    // asset.generator is "Kelvane <version>" unless given.
    GltfDocument();
    explicit GltfDocument(std::string generator);

    // Buffer views. Each starts at a 4-byte boundary of the binary buffer.
    // `byteStride` (4 to 252, a multiple of 4) is for interleaved vertex
    // attributes only.
    BufferViewIndex AddBufferView(std::vector<std::uint8_t> bytes, ViewTarget target = ViewTarget::None,
                                  std::optional<std::uint32_t> byteStride = {}, std::string name = {});
    BufferViewIndex AddStreamedBufferView(std::uint64_t byteLength, Producer producer,
                                          ViewTarget target = ViewTarget::None,
                                          std::optional<std::uint32_t> byteStride = {}, std::string name = {});

    AccessorIndex AddAccessor(Accessor accessor);

    // An encoded image in a buffer view of its own (target None, no stride),
    // or in one given.
    ImageIndex AddImage(std::vector<std::uint8_t> encoded, ImageType type, std::string name = {});
    ImageIndex AddImage(BufferViewIndex view, ImageType type, std::string name = {});

    SamplerIndex AddSampler(Sampler sampler);
    TextureIndex AddTexture(Texture texture);
    MaterialIndex AddMaterial(Material material);
    MeshIndex AddMesh(Mesh mesh);
    CameraIndex AddCamera(PerspectiveCamera camera);
    LightIndex AddLight(Light light);

    // A node; its children (added before it) must not have a parent yet.
    NodeIndex AddNode(Node node);
    // Makes `child`, which has no parent, a child of `parent`; refuses a loop.
    void AddChild(NodeIndex parent, NodeIndex child);

    // A scene of root nodes. The first scene added is the default one.
    SceneIndex AddScene(Scene scene);
    void SetDefaultScene(SceneIndex scene);

    void SetExtensionRequired(Extension extension, bool required);

    // ------------------------------------------------------------ for the writers

    std::size_t BufferViewCount() const { return views_.size(); }
    std::uint64_t BufferViewOffset(BufferViewIndex view) const;
    std::uint64_t BufferViewLength(BufferViewIndex view) const;
    // The length of the binary buffer: the views in order, each at a 4-byte
    // boundary (zero bytes between them), no padding after the last.
    std::uint64_t BinaryLength() const;

    // The asset's JSON as compact UTF-8 text. Throws GltfError for what only
    // the whole document shows (a scene naming a node that has a parent).
    std::string JsonText() const;

    // Writes the binary buffer: every view at its offset, zeros between. A
    // producer that writes more than its view's length is stopped at the first
    // byte too many, one that writes less is found when it returns; both
    // throw GltfError naming the view.
    void WriteBinary(ByteSink& sink) const;

private:
    struct View {
        std::string name;
        std::uint64_t byteLength = 0;
        std::uint64_t byteOffset = 0;
        ViewTarget target = ViewTarget::None;
        std::optional<std::uint32_t> byteStride;
        std::vector<std::uint8_t> bytes;  // held data, or
        Producer producer;                // streamed data
    };
    struct ImageEntry {
        std::string name;
        BufferViewIndex view;
        ImageType type;
    };
    struct NodeEntry {
        Node node;
        std::optional<NodeIndex> parent;
    };

    BufferViewIndex AddView(View view);
    void CheckView(BufferViewIndex view, const char* what) const;
    void CheckAccessor(AccessorIndex accessor, const char* what) const;
    void CheckTexture(TextureIndex texture, const char* what) const;
    void CheckPrimitive(const Primitive& primitive) const;
    bool IsAncestorOrSelf(NodeIndex ancestor, NodeIndex node) const;
    bool UsesExtension(Extension extension) const;

    std::string generator_;
    std::vector<View> views_;
    std::vector<Accessor> accessors_;
    std::vector<ImageEntry> images_;
    std::vector<Sampler> samplers_;
    std::vector<Texture> textures_;
    std::vector<Material> materials_;
    std::vector<Mesh> meshes_;
    std::vector<PerspectiveCamera> cameras_;
    std::vector<Light> lights_;
    std::vector<NodeEntry> nodes_;
    std::vector<Scene> scenes_;
    std::optional<SceneIndex> defaultScene_;
    std::vector<Extension> required_;
};

}  // namespace kv::gltf
