#include "TextureTestSupport.h"

#include <cmath>

#include "core/textures/HeightTexture.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/SlopeTexture.h"

namespace kv::test {

int Hash(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                      static_cast<std::uint32_t>(seed) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h & 255u);
}

namespace {

Bitmap24 Decode(int width, int height, const std::vector<std::uint8_t>& rgb)
{
    const std::vector<std::uint8_t> file = EncodeBmp24(width, height, rgb.data());
    return DecodeBitmap24(file.data(), file.size(), BitmapWording::ForPath("test"));
}

}  // namespace

Bitmap24 GreyPicture(int width, int height, int seed)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = (Hash(x, y, seed) + Hash(x / 3, y / 2, seed + 1) * 2 + Hash(x / 5, y / 7, seed + 2)) / 4;
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            p[0] = static_cast<std::uint8_t>(Hash(x, y, seed + 9));  // red: must not matter
            p[1] = static_cast<std::uint8_t>(v);
            p[2] = static_cast<std::uint8_t>(255 - v);  // blue: must not matter
        }
    return Decode(width, height, rgb);
}

Bitmap24 HillsPicture(int n, int seed)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(n) * n * 3);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double v = 120 + 90 * std::sin(0.9 * x + seed) * std::cos(0.7 * y) + (Hash(x, y, seed) % 40);
            const int b = v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v);
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * n + x) * 3;
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>((b * 3) / 4);
            p[2] = static_cast<std::uint8_t>(b / 2);
        }
    return Decode(n, n, rgb);
}

SmallInputs MakeInputs(int textureSize, int gridSize, int seed)
{
    SmallInputs inputs;
    inputs.size = textureSize;
    inputs.grid = BuildHeightGrid(HillsPicture(gridSize, seed));
    inputs.rcPicture = GreyPicture(textureSize / 2, textureSize / 2, seed + 10);
    inputs.emPicture = GreyPicture(textureSize / 2, textureSize / 2, seed + 20);
    inputs.raPicture = GreyPicture(textureSize / 2, textureSize / 2, seed + 30);
    inputs.randomState = static_cast<std::uint32_t>(seed) * 2654435761u + 1u;
    return inputs;
}

TerrainSources ProgramSources(const SmallInputs& inputs)
{
    const int t = inputs.size;
    TerrainSources sources;
    sources.size = t;
    sources.height = BuildHeightTexture(inputs.grid, t);
    sources.slope = BuildSlopeTexture(sources.height, ResamplingFor(t, inputs.grid.n).cell);
    Random random;
    random.SetState(inputs.randomState);
    sources.noise = BuildNoiseTexture(t, random);
    sources.rc = TilePattern(inputs.rcPicture, t);
    sources.em = TilePattern(inputs.emPicture, t);
    return sources;
}

ref::Textures ReferenceTextures(const SmallInputs& inputs)
{
    ref::Textures tx;
    tx.size = inputs.size;
    int cell = 0;
    tx.height = ref::HeightTexture(inputs.grid, inputs.size, cell);
    tx.slope = ref::SlopeTexture(tx.height, inputs.size, cell);
    Random random;
    random.SetState(inputs.randomState);
    tx.noise = ref::NoiseTexture(inputs.size, random);
    tx.rc = ref::TilePattern(inputs.rcPicture);
    tx.em = ref::TilePattern(inputs.emPicture);
    tx.ra = ref::TilePattern(inputs.raPicture);
    return tx;
}

std::map<std::string, std::vector<std::uint8_t>> ProgramImages(const ProjectSettings& settings,
                                                               const SmallInputs& inputs, bool rocks)
{
    TerrainSources sources = ProgramSources(inputs);
    CollectingSink sink(TilePattern(inputs.raPicture, inputs.size));
    SilentControl control;
    SynthesizeTerrainTextures(settings, sources, rocks, sink, control, {});
    return sink.images;
}

int GreyAt(const std::vector<std::uint8_t>& rgb, int size, int x, int y)
{
    return rgb[(static_cast<std::size_t>(y) * size + x) * 3];
}

}  // namespace kv::test
