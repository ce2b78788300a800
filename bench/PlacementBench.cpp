// Speed of writing placed trees and rocks: 10 000 objects of all twelve
// kinds, read from a placement bitmap and written into a scene file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/model/EnvironmentBuilder.h"
#include "core/model/Placement.h"
#include "core/model/SceneModel.h"
#include "core/writers/scn/ScnSceneWriter.h"

namespace {

constexpr int kSide = 128;
constexpr int kObjects = 10000;

// The twelve colour codes, R G B.
constexpr unsigned char kCodes[12][3] = {{0, 0, 255}, {0, 0, 196}, {0, 0, 128}, {0, 0, 64},  {0, 255, 0}, {0, 196, 0},
                                         {0, 128, 0}, {0, 64, 0},  {255, 0, 0}, {196, 0, 0}, {128, 0, 0}, {64, 0, 0}};

struct BenchFiles {
    std::string dir;
    std::string placement;
    std::string scene;
    kv::HeightGrid heights;

    BenchFiles()
    {
        const std::string stem = kv::CreateUniqueTemporaryFile("kvbench");
        std::remove(stem.c_str());
        dir = kv::TemporaryDirectory();
        placement = stem + "-tree.bmp";
        scene = stem + ".scn";

        // A rolling heightfield and 10 000 coded pixels cycling through the kinds.
        std::vector<unsigned char> grey(kSide * kSide * 3), codes(kSide * kSide * 3, 0);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                for (int c = 0; c < 3; ++c)
                    grey[(y * kSide + x) * 3 + c] = static_cast<unsigned char>((x * 3 + y * 5) % 256);
        for (int i = 0; i < kObjects; ++i)
            for (int c = 0; c < 3; ++c) codes[i * 3 + c] = kCodes[i % 12][c];
        const std::vector<std::uint8_t> bmp = kv::EncodeBmp24(kSide, kSide, grey.data());
        const kv::Bitmap24 picture = kv::DecodeBitmap24(bmp.data(), bmp.size(), kv::BitmapWording::ForPath("grey"));
        heights = kv::BuildHeightGrid(picture);
        kv::WriteBmp24(placement, kSide, kSide, codes.data());
    }
    ~BenchFiles()
    {
        std::remove(placement.c_str());
        std::remove(scene.c_str());
    }
};

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// Arg 0: the scene text goes to the null device (the writers' own speed);
// arg 1: to a file in the temporary directory (disk included).
void BM_PlaceTenThousandObjects(benchmark::State& state)
{
    BenchFiles files;
    const std::string target = state.range(0) == 0 ? std::string(kNullDevice) : files.scene;
    kv::Session session;
    kv::SilentControl control;
    kv::ProjectSettings settings;
    std::string placementDir, placementName;
    kv::SplitPath(files.placement, placementDir, placementName);
    settings.treedir = placementDir;
    settings.treebmp = placementName;
    kv::SceneWriter writer(session);

    std::uint64_t bytes = 0;
    for (auto _ : state) {
        if (!writer.Open(target)) {
            state.SkipWithError("cannot create the scene file");
            return;
        }
        // Placement builds the objects into the scene model; the writer spells them.
        kv::Scene scene;
        kv::PlacementGroups groups;
        groups.rocks = kv::AddPlainGroup(scene, "rocks", scene.Root());
        groups.trees = kv::AddPlainGroup(scene, "trees", scene.Root());
        kv::PlaceObjects(scene, settings, files.heights, session.random(), groups, control);
        kv::WriteScnScene(scene, files.dir, writer, control);
        bytes += writer.Tell();
        writer.Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kObjects);
    state.counters["scene_MB"] = static_cast<double>(bytes) / static_cast<double>(state.iterations()) / 1e6;
}
BENCHMARK(BM_PlaceTenThousandObjects)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
