#pragma once
// The scene model as a glTF 2.0 asset: every node, mesh, material, light and
// the camera, with the images inside.
//
// How the scene maps onto glTF:
// - Axes and units: one scene unit is one metre. The scene is Z-up; a root
//   node named "scene" turns it upright in glTF's Y-up frame.
// - Nodes follow the model's tree and names. A node's place relative to its
//   parent is a translation, rotation and scale; a matrix that also shears
//   (a placed tree is scaled along the scene's axes after it is turned) gets
//   a second, unnamed node inside the named one (see AffineSplit.h).
// - Meshes are triangles with smooth normals. A kind's mesh is stored once
//   and shared by every placed object that wears it. The terrain is written
//   from its grid while the file is written, never held whole.
// - Texture coordinates are stored with v running down the picture, as glTF
//   has it; a material's offset and repeats become KHR_texture_transform
//   (the terrain's are applied to its coordinates directly).
// - Materials are metal-rough: no metal, rough except the ocean. Bump maps
//   become tangent-space normal maps (NormalMap.h). The sky and fog domes are
//   unlit and seen from inside; pictures with alpha (the fog, leaves) blend
//   on the fog dome and are cut at half alpha on leaves; the ocean blends.
// - Lights: a scene light of strength 1 lights a white surface facing it to
//   full white. glTF's physically based viewers divide diffuse light by pi,
//   so every light becomes a KHR_lights_punctual directional light of pi
//   times its strongest channel, its colour scaled to a top of 1. The
//   infinite lights keep their directions; the sun, which stands far off
//   and does not fade with distance in the scene, shines from where it
//   stands toward the scene's origin.
// - The camera YOU looks along its own z axis; its field of view is 0.8
//   radians vertically (about the view of a 28 mm lens).
#include <string>

#include "core/basics/JobControl.h"
#include "core/model/SceneModel.h"
#include "core/platform/ReplacementFile.h"
#include "core/textures/SceneImages.h"
#include "core/writers/gltf/GltfDocument.h"

namespace kv::gltf {

inline constexpr double kCameraFieldOfView = 0.8;

// The asset of a scene. The document refers to the scene and the images: both
// must outlive every write of it. Images the scene names but `images` lacks
// are left out of their materials.
GltfDocument SceneDocument(const kv::Scene& scene, const SceneImages& images, JobControl* control = nullptr);

// Writes the scene as a binary glTF file, whole: a temporary file beside
// `path` renamed over it when complete. Looks at the stop request while the
// terrain is written.
FileOutcome WriteSceneGlb(const kv::Scene& scene, const SceneImages& images, const std::string& path,
                          TemporaryFileList* cleanup, JobControl& control);

}  // namespace kv::gltf
