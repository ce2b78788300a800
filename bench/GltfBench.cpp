// Binary glTF output: a terrain-like grid of 2304 x 2304 points (5.3 million
// vertices with positions, normals, tangents and texture coordinates, 10.6
// million triangles) streamed into a .glb file, against the scene text of a
// terrain of the same size; a normal map of a 2304-pixel bump picture; PNG
// encoding of a 1024-pixel RGBA picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "BenchGrids.h"
#include "core/inputs/HeightGrid.h"
#include "core/platform/FileSystem.h"
#include "core/textures/NormalMap.h"
#include "core/textures/PngEncoder.h"
#include "core/writers/gltf/GlbWriter.h"
#include "core/writers/scn/SceneWriter.h"
#include "core/model/EnvironmentBuilder.h"
#include "core/model/TerrainBuilder.h"
#include "core/writers/scn/ScnSceneWriter.h"
#include "gltf/SyntheticAsset.h"

namespace {

constexpr int kEdge = 2304;

void BM_GlbTerrain2304(benchmark::State& state)
{
    const kv::test::HeightField field = kv::test::RollingHills(kEdge);
    kv::gltf::GltfDocument document;
    kv::gltf::Mesh mesh{.name = "terrain", .primitives = {kv::test::AddGridPrimitive(document, field)}};
    document.AddScene({.nodes = {document.AddNode({.name = "terrain", .mesh = document.AddMesh(mesh)})}});
    const std::string path = kv::CreateUniqueTemporaryFile("kvbench") + ".glb";
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        const kv::FileOutcome outcome = kv::gltf::WriteGlbFile(document, path, nullptr);
        if (!outcome.ok()) state.SkipWithError(("cannot write " + path + ": " + outcome.Reason()).c_str());
        bytes = std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_GlbTerrain2304)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same asset into a sink that drops the bytes: the producers and the
// format without the file system.
class DiscardingSink final : public kv::gltf::ByteSink {
public:
    DiscardingSink() : ByteSink(4 * 1024 * 1024) {}

private:
    void Deliver(const std::uint8_t*, std::size_t) override {}
};

void BM_GlbTerrain2304Discarded(benchmark::State& state)
{
    const kv::test::HeightField field = kv::test::RollingHills(kEdge);
    kv::gltf::GltfDocument document;
    kv::gltf::Mesh mesh{.name = "terrain", .primitives = {kv::test::AddGridPrimitive(document, field)}};
    document.AddScene({.nodes = {document.AddNode({.name = "terrain", .mesh = document.AddMesh(mesh)})}});
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        DiscardingSink sink;
        kv::gltf::WriteGlb(document, sink);
        sink.Flush();
        bytes = sink.Position();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_GlbTerrain2304Discarded)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same terrain as scene text (heights on the 0 to 765 scale).
void BM_ScnTerrain2304(benchmark::State& state)
{
    const kv::HeightGrid grid = kv::bench::RippledGrid(kEdge);
    const std::string path = kv::CreateUniqueTemporaryFile("kvbench");
    kv::SilentControl control;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        kv::Session session;
        kv::SceneWriter writer(session);
        writer.Open(path);
        kv::Scene scene;
        const int earth = kv::AddPlainGroup(scene, "earth", scene.Root());
        const int terrain = kv::AddTerrain(scene, std::make_shared<const kv::HeightGrid>(grid), earth);
        kv::ScnNodeWriter nodes(scene, "/scenes", writer, control);
        nodes.AssignId(earth, 7);
        nodes.WriteNode(terrain);
        bytes = writer.Tell();
        writer.Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_ScnTerrain2304)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// A bump picture of hills and grain, like the terrain's.
kv::GreyImage BumpPicture(int edge)
{
    kv::GreyImage bump(edge, edge);
    std::uint32_t state = 1;
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            state = state * 1664525u + 1013904223u;
            const int hills = (x * 3 + y * 5 + (x * y) % 61) % 160;
            bump.Row(y)[x] = static_cast<std::uint8_t>(hills + static_cast<int>(state >> 29) * 8);
        }
    return bump;
}

void BM_NormalMap2304(benchmark::State& state)
{
    const kv::GreyImage bump = BumpPicture(kEdge);
    for (auto _ : state) {
        kv::RgbImage normals = kv::NormalMapFromHeights(bump, 0.02);
        benchmark::DoNotOptimize(normals.rgb.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(kEdge) * kEdge * state.iterations());
}
BENCHMARK(BM_NormalMap2304)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1024-pixel leaf sheet: cards with cut-out shapes on transparency.
void BM_PngRgba1024(benchmark::State& state)
{
    constexpr int kSide = 1024;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSide) * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * kSide + x) * 4];
            const int cx = x % 128 - 64, cy = y % 128 - 64;
            const bool leaf = cx * cx + 3 * cy * cy < 3600 && (cx + cy) % 9 != 0;
            p[0] = static_cast<std::uint8_t>(30 + (x * 7 + y) % 40);
            p[1] = static_cast<std::uint8_t>(90 + (x + y * 3) % 90);
            p[2] = static_cast<std::uint8_t>(20 + (x ^ y) % 30);
            p[3] = leaf ? 255 : 0;
        }
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> png =
            kv::EncodePng({.pixels = rgba.data(), .width = kSide, .height = kSide, .format = kv::PngPixels::Rgba});
        size = png.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(rgba.size()) * state.iterations());
    state.counters["PNG_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_PngRgba1024)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
