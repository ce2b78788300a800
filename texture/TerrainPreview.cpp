#include "texture/TerrainPreview.h"

#include "bitmap/HeightGrid.h"
#include "platform/Paths.h"
#include "texture/HeightTexture.h"
#include "texture/NoiseTexture.h"
#include "texture/PatternBitmap.h"
#include "texture/SlopeTexture.h"
#include "texture/TerrainSynthesis.h"

namespace kv {

RgbImage SynthesizePreview(const ProjectSettings& settings, const std::string& programDirectory, Random& random)
{
    constexpr int t = kPreviewTextureSize;
    const HeightGrid grid = BuildHeightGrid(LoadHeightfield(settings.basedir, settings.basebmp));
    CheckHeightfieldFits(grid, t, JoinPath(settings.basedir, settings.basebmp));
    TerrainSources sources;
    sources.size = t;
    sources.height = BuildHeightTexture(grid, t);
    sources.slope = BuildSlopeTexture(sources.height, ResamplingFor(t, grid.n).cell);
    // The preview draws its noise before it reads the patterns.
    sources.noise = BuildNoiseTexture(t, random);
    sources.rc = LoadPatternBitmap(PatternFilePath(programDirectory, PatternFamily::Rc, settings.resolution, true), t);
    sources.em = LoadPatternBitmap(PatternFilePath(programDirectory, PatternFamily::Em, settings.resolution, true), t);
    return SynthesizePreviewImage(settings, sources);
}

}  // namespace kv
