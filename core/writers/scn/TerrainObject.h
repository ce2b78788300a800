#pragma once
#include <cstdint>
#include <string>

#include "core/inputs/HeightGrid.h"
#include "core/basics/JobControl.h"
#include "core/writers/scn/SceneWriter.h"

namespace kv {

// Writes the "terrain" PolH chunk: one vertex per heightfield pixel raised by
// its height, set in a flat 200 x 200 surround, with its Unit chunk and three
// materials (the detail textures tex1/bump1, an unused grey, the surround
// textures tex2/bump2 in `sceneDirectory`), and patches its face count.
// Looks at the stop request between the blocks and at every face row.
void WriteTerrainObject(SceneWriter& writer, const HeightGrid& grid, std::int32_t parentId,
                        const std::string& sceneDirectory, JobControl& control);

}  // namespace kv
