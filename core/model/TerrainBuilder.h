#pragma once
#include <memory>

#include "core/inputs/HeightGrid.h"
#include "core/model/SceneModel.h"

namespace kv {

// Adds the terrain: the heightfield's surface in its flat surround, under
// `parent` (the earth group), with its three materials: the detail textures
// tex1/bump1, an unused grey, and the surround's tex2/bump2. Returns its index.
int AddTerrain(Scene& scene, std::shared_ptr<const HeightGrid> grid, int parent);

}  // namespace kv
