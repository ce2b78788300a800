#pragma once
// Reads a glTF 2.0 file (binary .glb or text .gltf) into a ViewScene, for
// showing a scene written before.
//
// - Axes: the file's Y-up world is turned into the view's Z-up one (x stays,
//   the file's -z becomes y, its y becomes z), so a file whose root node
//   turns a Z-up scene into Y-up comes back exactly as the scene was.
// - Nodes: every node of the default scene (else the first, else every root)
//   with its whole chain of matrices; each primitive of a node's mesh becomes
//   one instance of one ViewMesh, shared by all nodes that use that mesh.
//   Triangles, strips and fans are read; points and lines are left out.
// - Materials: base colour factor (linear, turned into display values) and
//   texture, KHR_texture_transform's offset and scale (a rotation is left
//   out), alphaMode with alphaCutoff, doubleSided, KHR_materials_unlit.
// - Lights (KHR_lights_punctual): directional lights with colour times
//   intensity; point and spot lights as lights without falloff whose colour is
//   what their intensity gives at the terrain's centre (intensity / d²).
// - Camera: the file's first camera; without one, a view from the south-east
//   above the scene.
// - Terrain: the node named "terrain" (without its surround, the vertices at
//   the mesh's lowest level) gives the pivot and the size for the view from
//   above; without it, every lit opaque instance.
// Images are decoded by Qt's image readers (PNG, JPEG).
#include <QString>

#include <memory>

#include "app/view/ViewScene.h"

namespace kv::view {

struct GltfReadResult {
    std::shared_ptr<const ViewScene> scene;  // null when the file could not be read
    QString error;                           // why, in a sentence for the user
};

GltfReadResult ReadGltfScene(const QString& path);

}  // namespace kv::view
