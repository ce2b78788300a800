// Speed of the terrain texture stage at Hi Res against libjpeg compressing the
// same six images one after another, and of the terrain preview.
//
// The stage reads height01.bmp and the rc3, em3 and ra3 patterns from the
// build tree's program directory; while those stock files are missing there,
// stand-ins of the same sizes are generated into a temporary program
// directory (the label says which).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/OutputDirectory.h"
#include "core/writers/scn/SceneWriter.h"
#include "core/inputs/ProjectSettings.h"
#include "core/textures/HeightTexture.h"
#include "core/textures/ImageOutput.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/PatternBitmap.h"
#include "core/textures/SlopeTexture.h"
#include "core/textures/TerrainPreview.h"
#include "core/textures/TerrainRelief.h"
#include "core/textures/TerrainSynthesis.h"
#include "core/textures/TerrainTextures.h"

namespace {

namespace fs = std::filesystem;

// A directory removed at exit.
struct TempDir {
    std::string path;
    TempDir()
    {
        path = kv::CreateUniqueTemporaryFile("kvbench");
        fs::remove(path);
        fs::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void WriteGrey(const std::string& path, int size, double scale, int seed)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size) * size * 3);
    const double k = 6.283185307179586 / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double v = 128 + 60 * std::sin(k * scale * x + seed) * std::cos(k * scale * y) +
                             40 * std::sin(k * 7 * (x + y) + seed) + ((x * 7919 + y * 104729 + seed) % 37);
            const auto b = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            for (int c = 0; c < 3; ++c) rgb[(static_cast<std::size_t>(y) * size + x) * 3 + c] = b;
        }
    kv::WriteBmp24(path, size, size, rgb.data());
}

// The program directory the benchmarks read.
struct ProgramFiles {
    std::string directory;
    bool stock = true;
    std::unique_ptr<TempDir> temporary;

    ProgramFiles()
    {
        directory = KV_BENCH_PROGRAM_DIR;
        for (const char* name : {"height01.bmp", "rc3.bmp", "em3.bmp", "ra3.bmp", "rc0.bmp", "em0.bmp"})
            if (!fs::exists(kv::JoinPath(directory, name))) stock = false;
        if (stock) return;
        temporary = std::make_unique<TempDir>();
        directory = temporary->path;
        WriteGrey(kv::JoinPath(directory, "height01.bmp"), 256, 2, 0);
        int seed = 1;
        for (const char* family : {"rc", "em", "ra"}) {
            WriteGrey(kv::JoinPath(directory, std::string(family) + "3.bmp"), 1152, 9, seed++);
            WriteGrey(kv::JoinPath(directory, std::string(family) + "0.bmp"), 144, 9, seed++);
        }
    }
    const char* Label() const { return stock ? "stock files" : "stand-in files"; }
};

const ProgramFiles& Program()
{
    static const ProgramFiles files;
    return files;
}

kv::ProjectSettings HiResSettings()
{
    kv::ProjectSettings settings = kv::DefaultSettings(Program().directory);
    settings.resolution = 2;
    return settings;
}

// Runs the texture stage of one Hi Res creation with every rock kind placed,
// so all six images are written.
class Stage {
public:
    Stage() : settings_(HiResSettings())
    {
        grid_ = kv::BuildHeightGrid(kv::LoadHeightfield(settings_.basedir, settings_.basebmp));
    }
    double Run(const std::string& sceneDirectory)
    {
        const kv::OutputDirectory output{sceneDirectory, kv::QueryFreeSpace, &session_.temporaryFiles()};
        session_.random().SetState(1);
        const auto start = std::chrono::steady_clock::now();
        kv::MakeTerrainTextures(settings_, grid_, true, session_.random(), Program().directory, output, control_);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

private:
    kv::ProjectSettings settings_;
    kv::Session session_;
    kv::SilentControl control_;
    kv::HeightGrid grid_;
};

// Collects the images of a synthesis in memory.
class CollectingSink final : public kv::TextureSink {
public:
    explicit CollectingSink(std::string programDirectory) : programDirectory_(std::move(programDirectory)) {}
    kv::PatternRaster LoadRaPattern(const kv::RowCheck& check) override
    {
        return kv::LoadPatternBitmap(kv::JoinPath(programDirectory_, "ra3.bmp"), 2304, check);
    }
    void Write(const std::string& name, std::unique_ptr<kv::ImageRows> image) override
    {
        images.emplace_back(name, kv::ToRgbImage(*image));
    }
    void Finish() override {}
    std::vector<std::pair<std::string, kv::RgbImage>> images;

private:
    std::string programDirectory_;
};

// The six Hi Res images of the default settings, computed once.
const std::vector<std::pair<std::string, kv::RgbImage>>& SixImages()
{
    static const std::vector<std::pair<std::string, kv::RgbImage>> images = [] {
        const kv::ProjectSettings settings = HiResSettings();
        const kv::HeightGrid grid = kv::BuildHeightGrid(kv::LoadHeightfield(settings.basedir, settings.basebmp));
        constexpr int t = 2304;
        kv::TerrainSources sources;
        sources.size = t;
        sources.height = kv::BuildHeightTexture(grid, t);
        sources.slope = kv::BuildSlopeTexture(sources.height, kv::ResamplingFor(t, grid.n).cell);
        kv::Random random;
        sources.noise = kv::BuildNoiseTexture(t, random);
        sources.rc = kv::LoadPatternBitmap(kv::JoinPath(Program().directory, "rc3.bmp"), t);
        sources.em = kv::LoadPatternBitmap(kv::JoinPath(Program().directory, "em3.bmp"), t);
        CollectingSink sink(Program().directory);
        kv::SilentControl control;
        kv::SynthesizeTerrainTextures(settings, sources, true, sink, control, {});
        return sink.images;
    }();
    return images;
}

double EncodeSix(const std::string& directory)
{
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [name, image] : SixImages()) {
        const kv::JpegStatus status =
            kv::EncodeJpegFile(kv::JoinPath(directory, name), image.rgb.data(), image.width, image.height, 100);
        benchmark::DoNotOptimize(status);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_TextureStageHiRes(benchmark::State& state)
{
    TempDir scene;
    Stage stage;
    for (auto _ : state) stage.Run(scene.path);
    state.SetLabel(Program().Label());
}
// The CPU column counts both threads of the stage.
BENCHMARK(BM_TextureStageHiRes)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_JpegSixImagesHiRes(benchmark::State& state)
{
    TempDir scene;
    SixImages();
    for (auto _ : state) EncodeSix(scene.path);
    state.SetLabel(Program().Label());
}
BENCHMARK(BM_JpegSixImagesHiRes)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// Both in turn within each iteration (the order alternating), so that each
// pair meets the same load on a shared machine. The counters give the best
// time of each, and the median and best of the per-iteration ratios (the
// stage over the bare compression).
void BM_TextureStageOverJpeg(benchmark::State& state)
{
    TempDir scene;
    Stage stage;
    SixImages();
    double bestStage = 1e9, bestJpeg = 1e9;
    std::vector<double> ratios;
    for (auto _ : state) {
        double stageTime, jpegTime;
        if (ratios.size() % 2 == 0) {
            stageTime = stage.Run(scene.path);
            jpegTime = EncodeSix(scene.path);
        } else {
            jpegTime = EncodeSix(scene.path);
            stageTime = stage.Run(scene.path);
        }
        bestStage = std::min(bestStage, stageTime);
        bestJpeg = std::min(bestJpeg, jpegTime);
        ratios.push_back(stageTime / jpegTime);
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["stage_ms"] = bestStage * 1000;
    state.counters["jpeg_ms"] = bestJpeg * 1000;
    state.counters["ratio_median"] = ratios[ratios.size() / 2];
    state.counters["ratio_best"] = ratios.front();
    state.SetLabel(Program().Label());
}
BENCHMARK(BM_TextureStageOverJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(12);

void BM_TerrainPreview(benchmark::State& state)
{
    kv::ProjectSettings settings = kv::DefaultSettings(Program().directory);
    kv::Random random;
    for (auto _ : state) {
        kv::RgbImage image = kv::SynthesizePreview(settings, Program().directory, random);
        benchmark::DoNotOptimize(image.rgb.data());
    }
    state.SetLabel(Program().Label());
}
BENCHMARK(BM_TerrainPreview)->Unit(benchmark::kMillisecond);

// The height and slope textures at Hi Res from a 2304 grid of rolling land:
// whole heights (the rules of old) and the same land with fractions.
kv::HeightGrid RollingGrid(bool fractions)
{
    constexpr int n = 2304;
    kv::HeightGrid grid;
    grid.n = n;
    grid.heights.resize(static_cast<std::size_t>(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double h = 382.5 + 250 * std::sin(x / 157.0) * std::cos(y / 211.0) + 100 * std::sin((x + y) / 97.0);
            grid.heights[static_cast<std::size_t>(y) * n + x] = static_cast<float>(fractions ? h : std::floor(h));
        }
    return grid;
}

void ReliefAtHiRes(benchmark::State& state, bool fractions)
{
    const kv::HeightGrid grid = RollingGrid(fractions);
    for (auto _ : state) {
        const kv::TerrainRelief relief = kv::BuildTerrainRelief(grid, 2304);
        benchmark::DoNotOptimize(relief.slope.bytes.data());
    }
}

void BM_ReliefWholeHeightsHiRes(benchmark::State& state) { ReliefAtHiRes(state, false); }
BENCHMARK(BM_ReliefWholeHeightsHiRes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReliefFractionalHeightsHiRes(benchmark::State& state) { ReliefAtHiRes(state, true); }
BENCHMARK(BM_ReliefFractionalHeightsHiRes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
