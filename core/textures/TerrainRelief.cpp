#include "core/textures/TerrainRelief.h"

#include "core/textures/HeightTexture.h"
#include "core/textures/SlopeTexture.h"

namespace kv {

TerrainRelief BuildTerrainRelief(const HeightGrid& grid, int textureSize, const RowCheck& check,
                                 const std::function<void()>& heightDone)
{
    const int cell = ResamplingFor(textureSize, grid.n).cell;
    TerrainRelief relief;
    if (HasWholeHeights(grid)) {
        relief.height = BuildHeightTexture(grid, textureSize, check);
        if (heightDone) heightDone();
        relief.slope = BuildSlopeTexture(relief.height, cell, check);
    } else {
        const FloatRaster levels = BuildFineHeightTexture(grid, textureSize, check);
        relief.height = RoundHeightLevels(levels, check);
        if (heightDone) heightDone();
        relief.slope = BuildSlopeTexture(levels, cell, check);
    }
    return relief;
}

}  // namespace kv
