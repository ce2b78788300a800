#include "core/textures/TerrainPreview.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "core/inputs/HeightSource.h"
#include "core/platform/Paths.h"
#include "core/textures/HeightTexture.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/PatternBitmap.h"
#include "core/textures/TerrainRelief.h"
#include "core/textures/TerrainSynthesis.h"

namespace kv {

namespace {

// The part of source pixel `source` inside one new cell, in units of
// 1/size of a pixel; the shares of one cell add up to N.
struct Share {
    int source;
    std::int64_t weight;
};

// For each new cell along one axis: the source pixels it covers. Cell i spans
// [i * N, (i + 1) * N) and source pixel k spans [k * size, (k + 1) * size),
// both measured in units of 1/size of a source pixel.
std::vector<std::vector<Share>> CellShares(int n, int size)
{
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) {
        const std::int64_t begin = std::int64_t{i} * n;
        const std::int64_t end = begin + n;
        for (std::int64_t k = begin / size; k * size < end; ++k) {
            const std::int64_t overlap = std::min(end, (k + 1) * size) - std::max(begin, k * size);
            shares[static_cast<std::size_t>(i)].push_back(Share{static_cast<int>(k), overlap});
        }
    }
    return shares;
}

}  // namespace

HeightGrid ShrinkHeightGrid(const HeightGrid& grid, int size)
{
    const int n = grid.n;
    if (size < 2 || size > n) throw std::invalid_argument("ShrinkHeightGrid only makes a grid smaller");
    const std::vector<std::vector<Share>> shares = CellShares(n, size);
    const std::size_t columns = static_cast<std::size_t>(size);
    const std::int64_t whole = std::int64_t{n} * n;
    HeightGrid small;
    small.n = size;
    small.heights.assign(columns * columns, 0.0f);

    if (HasWholeHeights(grid)) {
        // Whole heights: exact integer sums, the mean rounded to a whole
        // height, so the small grid takes the whole-number rules too.
        // Across: every source row becomes `size` weighted sums.
        std::vector<std::int64_t> across(static_cast<std::size_t>(n) * columns);
        for (int y = 0; y < n; ++y) {
            const float* row = grid.heights.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
            std::int64_t* out = across.data() + static_cast<std::size_t>(y) * columns;
            for (std::size_t i = 0; i < columns; ++i) {
                std::int64_t sum = 0;
                for (const Share& share : shares[i])
                    sum += share.weight * static_cast<std::int64_t>(row[share.source]);
                out[i] = sum;
            }
        }
        // Down: the weighted sums of those rows, divided by the whole weight N * N.
        for (std::size_t j = 0; j < columns; ++j) {
            float* out = small.heights.data() + j * columns;
            for (std::size_t i = 0; i < columns; ++i) {
                std::int64_t sum = 0;
                for (const Share& share : shares[j])
                    sum += share.weight * across[static_cast<std::size_t>(share.source) * columns + i];
                out[i] = static_cast<float>((sum + whole / 2) / whole);
            }
        }
        return small;
    }

    // Fractional heights keep their fractions: the same weighted sums in
    // double, the mean stored as float.
    std::vector<double> across(static_cast<std::size_t>(n) * columns);
    for (int y = 0; y < n; ++y) {
        const float* row = grid.heights.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
        double* out = across.data() + static_cast<std::size_t>(y) * columns;
        for (std::size_t i = 0; i < columns; ++i) {
            double sum = 0.0;
            for (const Share& share : shares[i]) sum += static_cast<double>(share.weight) * row[share.source];
            out[i] = sum;
        }
    }
    for (std::size_t j = 0; j < columns; ++j) {
        float* out = small.heights.data() + j * columns;
        for (std::size_t i = 0; i < columns; ++i) {
            double sum = 0.0;
            for (const Share& share : shares[j])
                sum += static_cast<double>(share.weight) * across[static_cast<std::size_t>(share.source) * columns + i];
            out[i] = static_cast<float>(sum / static_cast<double>(whole));
        }
    }
    return small;
}

RgbImage SynthesizePreview(const ProjectSettings& settings, const std::string& programDirectory, Random& random)
{
    constexpr int t = kPreviewTextureSize;
    // Any heightfield the creation reads, by its content; the preview sets no
    // texture limit of its own (an elevation raster keeps its own edge unless
    // demedge says otherwise).
    HeightGrid grid =
        BuildHeightGrid(LoadHeightSource(settings.basedir, settings.basebmp, HeightSourceOptionsFor(settings, 0)));
    // The texture cannot resample more cells than it has pixels; a creation
    // at any resolution takes heightfields larger than the preview.
    if (grid.n > t) grid = ShrinkHeightGrid(grid, t);
    CheckHeightfieldFits(grid, t, JoinPath(settings.basedir, settings.basebmp));
    TerrainSources sources;
    sources.size = t;
    TerrainRelief relief = BuildTerrainRelief(grid, t);
    sources.height = std::move(relief.height);
    sources.slope = std::move(relief.slope);
    // The preview draws its noise before it reads the patterns.
    sources.noise = BuildNoiseTexture(t, random);
    sources.rc = LoadPatternBitmap(PatternFilePath(programDirectory, PatternFamily::Rc, settings.resolution, true), t);
    sources.em = LoadPatternBitmap(PatternFilePath(programDirectory, PatternFamily::Em, settings.resolution, true), t);
    return SynthesizePreviewImage(settings, sources);
}

}  // namespace kv
