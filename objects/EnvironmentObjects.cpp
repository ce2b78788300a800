// Placeholder until the environment objects are written: the earth, rocks
// and trees groups are needed as parents, so they take their ids already.
#include "objects/EnvironmentObjects.h"

namespace kv {

void WriteAtmosObject(CreationContext&) {}
void WriteFogObject(CreationContext&) {}
void WriteOceanObject(CreationContext&) {}
void WriteLightsGroup(CreationContext&) {}
void WriteSunLight(CreationContext&) {}
void WriteCamera(CreationContext&) {}
void WriteEarthGroup(CreationContext& ctx) { ctx.earthId = ctx.sceneId; }
void WriteRocksGroup(CreationContext& ctx) { ctx.rocksId = ctx.earthId; }
void WriteTreesGroup(CreationContext& ctx) { ctx.treesId = ctx.earthId; }

}  // namespace kv
