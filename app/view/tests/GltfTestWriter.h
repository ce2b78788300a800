#pragma once
// Writes a ViewScene as a binary glTF file the way an exporter of a Z-up
// scene would: a root node that turns Z-up into Y-up above one node per
// instance (named after its mesh), one glTF mesh per ViewMesh, images
// embedded (JPEG without alpha, PNG with), KHR_texture_transform,
// KHR_materials_unlit and KHR_lights_punctual (a light's intensity is pi times its
// colour's strength, at the terrain's centre for a point light, where it is
// multiplied by the distance squared as well),
// and the scene camera. For the reader's tests and the benchmark.
#include <QString>

#include "app/view/ViewScene.h"

namespace kv::view::test {

// Empty on success, else why the file could not be written.
QString WriteGltf(const ViewScene& scene, const QString& path);

}  // namespace kv::view::test
