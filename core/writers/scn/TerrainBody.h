#pragma once
#include "core/basics/JobControl.h"
#include "core/model/TerrainSurface.h"
#include "core/writers/scn/SceneWriter.h"

namespace kv {

// Writes the terrain object's mesh body, streamed from its grid: the points,
// the texture coordinates, then the faces under a face count that is patched
// in once they are written (after the object's Unit and Mat1 chunks, which
// the caller writes in between: call PatchTerrainFaceCount last). Looks at
// the stop request between the blocks and at every row of faces.
struct TerrainFaceCount {
    std::uint64_t position = 0;  // where the count goes
    std::int64_t count = 0;
};
TerrainFaceCount WriteTerrainBody(SceneWriter& writer, const TerrainSurface& surface, JobControl& control);
void PatchTerrainFaceCount(SceneWriter& writer, const TerrainFaceCount& faces);

}  // namespace kv
