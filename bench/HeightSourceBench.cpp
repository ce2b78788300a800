// Loading large heightfields: a 2304 x 2304 16-bit grey PNG and the 24-bit
// BMP of the same size beside it, and a 3601 x 3601 elevation tile (GeoTIFF
// and a nameless SRTM tile) resampled to 2304; and each the way a creation
// reads it, chosen by content and made into the height grid.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "PngWriter.h"
#include "core/inputs/Bitmap24.h"
#include "core/inputs/ElevationInput.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/HeightPicture.h"
#include "core/inputs/HeightSource.h"
#include "core/inputs/PngInput.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#if KV_HAVE_GDAL
#include <gdal.h>
#endif

namespace {

constexpr int kTextureSide = 2304;
constexpr int kTileSide = 3601;

// Rolling hills with some roughness, 0..1: compresses like a real terrain,
// unlike a constant or a ramp.
double Terrain(int x, int y, int side)
{
    const double u = static_cast<double>(x) / side;
    const double v = static_cast<double>(y) / side;
    const double hills = 0.5 + 0.25 * std::sin(u * 17.0) * std::cos(v * 13.0) + 0.15 * std::sin((u + v) * 41.0);
    const unsigned hash = (static_cast<unsigned>(x) * 73856093u) ^ (static_cast<unsigned>(y) * 19349663u);
    return std::clamp(hills + 0.002 * static_cast<double>(hash % 1000) / 1000.0, 0.0, 1.0);
}

std::string ScratchFile(const char* suffix)
{
    const std::string stem = kv::CreateUniqueTemporaryFile("kvbench");
    std::remove(stem.c_str());
    return stem + suffix;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The test PNG and BMP, written once.
struct TexturePictures {
    std::vector<std::uint8_t> png;
    std::string pngPath = ScratchFile("-height.png");
    std::string bmpPath = ScratchFile("-height.bmp");

    TexturePictures()
    {
        png = kv::test::EncodePng(kv::test::MakePng(kTextureSide, kTextureSide, kv::test::PngPicture::Kind::Grey, 16,
                                                    [](int x, int y, int) {
                                                        return std::lround(65535 * Terrain(x, y, kTextureSide));
                                                    }));
        WriteBytes(pngPath, png);
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kTextureSide) * kTextureSide * 3);
        for (int y = 0; y < kTextureSide; ++y)
            for (int x = 0; x < kTextureSide; ++x) {
                // A colour BMP spreads the height over its three bytes.
                const long sum = std::lround(765 * Terrain(x, y, kTextureSide));
                std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * kTextureSide + x) * 3;
                p[0] = static_cast<std::uint8_t>(std::min(255L, sum));
                p[1] = static_cast<std::uint8_t>(std::clamp(sum - 255L, 0L, 255L));
                p[2] = static_cast<std::uint8_t>(std::clamp(sum - 510L, 0L, 255L));
            }
        kv::WriteBmp24(bmpPath, kTextureSide, kTextureSide, rgb.data());
    }
    ~TexturePictures()
    {
        std::remove(pngPath.c_str());
        std::remove(bmpPath.c_str());
    }
};

const TexturePictures& Pictures()
{
    static const TexturePictures pictures;
    return pictures;
}

void BM_Png16Grey2304FromFile(benchmark::State& state)
{
    const TexturePictures& pictures = Pictures();
    const kv::PictureRequest request = kv::PictureRequest::ForPath(pictures.pngPath);
    for (auto _ : state) benchmark::DoNotOptimize(kv::LoadPngHeights(pictures.pngPath, request).heights.data());
    state.counters["fileMB"] = static_cast<double>(pictures.png.size()) / 1e6;
}
BENCHMARK(BM_Png16Grey2304FromFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Png16Grey2304FromMemory(benchmark::State& state)
{
    const TexturePictures& pictures = Pictures();
    const kv::PictureRequest request = kv::PictureRequest::ForPath("memory.png");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            kv::DecodePngHeights(pictures.png.data(), pictures.png.size(), request).heights.data());
}
BENCHMARK(BM_Png16Grey2304FromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Bmp2304Heights(benchmark::State& state)
{
    const TexturePictures& pictures = Pictures();
    const kv::BitmapWording wording = kv::BitmapWording::ForPath(pictures.bmpPath);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            kv::HeightsOfBitmap(kv::LoadBitmap24(pictures.bmpPath, wording)).heights.data());
}
BENCHMARK(BM_Bmp2304Heights)->Unit(benchmark::kMillisecond)->UseRealTime();

// The creation's whole way from the file to the height grid at Hi Res.
void HeightGridAtHiRes(benchmark::State& state, const std::string& path)
{
    std::string directory, fileName;
    kv::SplitPath(path, directory, fileName);
    kv::HeightSourceOptions options;
    options.textureSize = kTextureSide;
    for (auto _ : state) {
        const kv::HeightGrid grid = kv::BuildHeightGrid(kv::LoadHeightSource(directory, fileName, options));
        if (grid.n != kTextureSide) state.SkipWithError("wrong edge");
        benchmark::DoNotOptimize(grid.heights.data());
    }
}

void BM_HeightGridFromPng16(benchmark::State& state) { HeightGridAtHiRes(state, Pictures().pngPath); }
BENCHMARK(BM_HeightGridFromPng16)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HeightGridFromBmp(benchmark::State& state) { HeightGridAtHiRes(state, Pictures().bmpPath); }
BENCHMARK(BM_HeightGridFromBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

#if KV_HAVE_GDAL

// A 1 arc-second tile: 16-bit metres 0..4000 m, written once as a GeoTIFF
// through GDAL and as a raw SRTM tile under a name GDAL's SRTM reader refuses.
struct ElevationTiles {
    std::string tiffPath = ScratchFile("-tile.tif");
    std::string rawPath = ScratchFile("-tile.bin");

    ElevationTiles()
    {
        std::vector<std::int16_t> metres(static_cast<std::size_t>(kTileSide) * kTileSide);
        std::vector<std::uint8_t> bigEndian(metres.size() * 2);
        for (int y = 0; y < kTileSide; ++y)
            for (int x = 0; x < kTileSide; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * kTileSide + x;
                metres[at] = static_cast<std::int16_t>(std::lround(4000 * Terrain(x, y, kTileSide)));
                bigEndian[2 * at] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(metres[at]) >> 8);
                bigEndian[2 * at + 1] = static_cast<std::uint8_t>(metres[at] & 0xff);
            }
        WriteBytes(rawPath, bigEndian);
        GDALAllRegister();
        GDALDatasetH tiff = GDALCreate(GDALGetDriverByName("GTiff"), tiffPath.c_str(), kTileSide, kTileSide, 1,
                                       GDT_Int16, nullptr);
        if (!tiff) return;
        GDALRasterBandH band = GDALGetRasterBand(tiff, 1);
        GDALSetRasterNoDataValue(band, -32768);
        if (GDALRasterIO(band, GF_Write, 0, 0, kTileSide, kTileSide, metres.data(), kTileSide, kTileSide, GDT_Int16,
                         0, 0) != CE_None)
            std::fprintf(stderr, "could not write %s\n", tiffPath.c_str());
        GDALClose(tiff);
    }
    ~ElevationTiles()
    {
        std::remove(tiffPath.c_str());
        std::remove(rawPath.c_str());
    }
};

const ElevationTiles& Tiles()
{
    static const ElevationTiles tiles;
    return tiles;
}

void ElevationTo2304(benchmark::State& state, const std::string& path)
{
    kv::PictureRequest request = kv::PictureRequest::ForPath(path);
    request.maxSide = kTextureSide;
    for (auto _ : state) {
        const kv::HeightPicture picture = kv::LoadElevationHeights(path, request, {});
        if (picture.width != kTextureSide) state.SkipWithError("wrong edge");
        benchmark::DoNotOptimize(picture.heights.data());
    }
}

void BM_GeoTiff3601To2304(benchmark::State& state) { ElevationTo2304(state, Tiles().tiffPath); }
BENCHMARK(BM_GeoTiff3601To2304)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SrtmTile3601To2304(benchmark::State& state) { ElevationTo2304(state, Tiles().rawPath); }
BENCHMARK(BM_SrtmTile3601To2304)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HeightGridFromGeoTiff3601(benchmark::State& state) { HeightGridAtHiRes(state, Tiles().tiffPath); }
BENCHMARK(BM_HeightGridFromGeoTiff3601)->Unit(benchmark::kMillisecond)->UseRealTime();

#endif

}  // namespace
