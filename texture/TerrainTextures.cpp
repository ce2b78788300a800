// Placeholder until the texture synthesis is written.
#include "texture/TerrainTextures.h"

namespace kv {

void MakeTerrainTextures(CreationContext&) {}

}  // namespace kv
