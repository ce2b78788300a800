#pragma once
#include "core/job/CreationContext.h"

namespace kv {

// The texture steps of the terrain stage, after placement: height, slope,
// rc and em patterns, noise (progress 8 to 16), then the synthesis that
// writes tex1, bump1, tex2, bump2 and, when rocks were placed, rocktex and
// rockbump into the scene directory (progress 19 to 97).
void MakeTerrainTextures(CreationContext& ctx);

}  // namespace kv
