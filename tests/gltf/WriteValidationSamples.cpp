// Writes the binary glTF files that the Khronos validator checks in the test
// suite: the asset using every feature of the builder, and a bare triangle.
// Usage: kelvane_gltf_samples DIRECTORY
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "core/writers/gltf/GlbWriter.h"
#include "gltf/SyntheticAsset.h"

namespace {

using namespace kv::gltf;

GltfDocument Triangle()
{
    GltfDocument document;
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::vector<std::uint8_t> bytes(sizeof positions);
    std::memcpy(bytes.data(), positions, sizeof positions);
    Accessor position{.view = document.AddBufferView(bytes, ViewTarget::VertexAttributes),
                      .componentType = ComponentType::Float,
                      .count = 3,
                      .type = ElementType::Vec3,
                      .min = {0, 0, 0},
                      .max = {1, 1, 0}};
    const AccessorIndex corners = document.AddAccessor(position);
    const MeshIndex mesh = document.AddMesh({.name = "triangle", .primitives = {{.position = corners}}});
    document.AddScene({.nodes = {document.AddNode(Node{.name = "triangle", .mesh = mesh})}});
    return document;
}

bool Write(const GltfDocument& document, const std::string& path)
{
    const kv::FileOutcome outcome = WriteGlbFile(document, path, nullptr);
    if (outcome.ok()) return true;
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), outcome.Reason().c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvane_gltf_samples DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    try {
        std::filesystem::create_directories(directory);
        for (const auto& entry : std::filesystem::directory_iterator(directory))
            if (entry.path().extension() == ".glb") std::filesystem::remove(entry.path());
        const auto asset = kv::test::MakeSyntheticAsset(129);
        const bool written = Write(asset->document, directory + "/every-feature.glb") &&
                             Write(Triangle(), directory + "/triangle.glb");
        return written ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kelvane_gltf_samples: %s\n", error.what());
        return 1;
    }
}
