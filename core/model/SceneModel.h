#pragma once
// The scene a creation makes, before any file format spells it: a tree of
// nodes (groups, polygon objects, the terrain, lights, the camera) with their
// frames, the meshes and materials they carry, and the images they use.
//
// Every number is held as the value the scene states: single-precision
// results of its arithmetic where it computes them, exact constants where an
// object's definition gives them. Writers only spell them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/Geometry.h"
#include "core/model/Material.h"
#include "core/model/Mesh.h"
#include "core/model/ObjectKind.h"
#include "core/model/TerrainSurface.h"

namespace kv {

// Where a node's numbers come from: computed in single precision, or given
// as constants of its definition.
enum class Precision { Single, Given };

// Where a node is: its pivot and axes, and the matrix that takes its points
// from its own space to the scene's (not to its parent's: every node is
// placed in the scene directly; the tree only groups).
struct NodeFrame {
    Precision precision = Precision::Given;
    Vec3 center;
    Vec3 xAxis{1, 0, 0}, yAxis{0, 1, 0}, zAxis{0, 0, 1};
    Matrix34 transform;
};

enum class NodeKind {
    Root,     // the scene itself
    Group,    // holds other nodes
    Object,   // a polygon mesh with its materials
    Terrain,  // the heightfield's surface in its surround
    Light,
    Camera,
};

enum class LightKind { Infinite, Local };

struct Light {
    LightKind kind = LightKind::Infinite;
    bool castsShadows = false;  // raytraced shadows
    Vec3 colour{1, 1, 1};       // intensity per channel; above 1 is brighter than white
    double coneAngle = 90.0;    // degrees
    double innerAngle = 0.0;
    double falloff = 0.0;
};

struct Node {
    std::string name;
    NodeKind kind = NodeKind::Group;
    NodeFrame frame;
    int parent = -1;
    std::vector<int> children;
    // A placed tree or rock, or a part of one.
    bool placed = false;
    // Object: its mesh (placed objects of one kind share theirs) and its
    // materials, indices into the scene's list, by material number.
    std::shared_ptr<const Mesh> mesh;
    std::vector<int> materials;
    // Light: what it sheds.
    std::optional<Light> light;
};

// What makes an image file the scene uses.
enum class ImageSource {
    TerrainSynthesis,  // tex1, bump1, tex2, bump2, rocktex, rockbump
    Sky,               // atmos.jpg
    Fog,               // fog.tga
    Stock,             // copied from the program directory
};

struct ImageFile {
    std::string name;  // a file name in the scene's directory
    ImageSource source = ImageSource::Stock;
};

class Scene {
public:
    Scene();

    // The nodes in the order they were made; node 0 is the root. The order
    // is the scene's own: a writer that lists objects one after another
    // lists them so.
    const std::vector<Node>& nodes() const { return nodes_; }
    const Node& node(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
    Node& node(int index) { return nodes_[static_cast<std::size_t>(index)]; }
    int Root() const { return 0; }
    // Makes room for `count` nodes in all.
    void ReserveNodes(std::size_t count) { nodes_.reserve(count); }
    // Appends a node under `parent` and returns its index.
    int AddNode(Node node, int parent);
    // The first node of that name, or -1.
    int Find(const std::string& name) const;

    const std::vector<Material>& materials() const { return materials_; }
    int AddMaterial(Material material);

    // The images the scene refers to, each listed once.
    const std::vector<ImageFile>& images() const { return images_; }
    // The index of the image of that name, added when new.
    int UseImage(const std::string& name, ImageSource source);

    // The heightfield's surface, once the terrain is built.
    const std::optional<TerrainSurface>& terrain() const { return terrain_; }
    void SetTerrain(TerrainSurface terrain) { terrain_ = std::move(terrain); }

    // Which tree and rock kinds the scene holds.
    const KindsUsed& kindsUsed() const { return kindsUsed_; }
    void SetKindsUsed(const KindsUsed& kinds) { kindsUsed_ = kinds; }

    // The node's matrix to the scene (as held) and relative to its parent's.
    const Matrix34& WorldTransform(int index) const { return node(index).frame.transform; }
    Matrix34 LocalTransform(int index) const;

private:
    std::vector<Node> nodes_;
    std::vector<Material> materials_;
    std::vector<ImageFile> images_;
    std::optional<TerrainSurface> terrain_;
    KindsUsed kindsUsed_{};
};

}  // namespace kv
