#pragma once
#include "core/job/CreationContext.h"

namespace kv {

// The fixed outdoor objects of every scene, each written through the scene
// stream in the job's order.
void WriteAtmosObject(CreationContext& ctx);   // sky dome "atmos", parent the scene
void WriteFogObject(CreationContext& ctx);     // fog dome "fog"
void WriteOceanObject(CreationContext& ctx);   // "ocean" (only called when oceanindex is not 0)
void WriteLightsGroup(CreationContext& ctx);   // "lights" group and its four infinite lights
void WriteSunLight(CreationContext& ctx);      // "sun"
void WriteCamera(CreationContext& ctx);        // "YOU"
void WriteEarthGroup(CreationContext& ctx);    // "earth"; sets ctx.earthId
void WriteRocksGroup(CreationContext& ctx);    // "rocks" under earth; sets ctx.rocksId
void WriteTreesGroup(CreationContext& ctx);    // "trees" under earth; sets ctx.treesId

}  // namespace kv
