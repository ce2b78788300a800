// Writing the terrain chunk of a 1024 x 1024 heightfield (about 200 MB of
// scene text), against writing the same bytes with a single fwrite.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BenchGrids.h"
#include "core/inputs/HeightGrid.h"
#include "core/platform/FileSystem.h"
#include "core/writers/scn/SceneWriter.h"
#include "core/model/EnvironmentBuilder.h"
#include "core/model/TerrainBuilder.h"
#include "core/writers/scn/ScnSceneWriter.h"

namespace {

using kv::bench::RippledGrid;

// The terrain object of a scene holding just the terrain, written on its own.
void WriteTerrainChunk(kv::SceneWriter& writer, const kv::HeightGrid& grid, kv::JobControl& control)
{
    kv::Scene scene;
    const int earth = kv::AddPlainGroup(scene, "earth", scene.Root());
    const int terrain = kv::AddTerrain(scene, std::make_shared<const kv::HeightGrid>(grid), earth);
    kv::ScnNodeWriter nodes(scene, "/scenes", writer, control);
    nodes.AssignId(earth, 7);
    nodes.WriteNode(terrain);
}

std::string ScratchPath()
{
    std::string path = kv::CreateUniqueTemporaryFile("kvbench");
    return path;
}

void BM_TerrainChunk1024(benchmark::State& state)
{
    const kv::HeightGrid grid = RippledGrid(1024);
    const std::string path = ScratchPath();
    kv::SilentControl control;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        kv::Session session;
        kv::SceneWriter writer(session);
        writer.Open(path);
        WriteTerrainChunk(writer, grid, control);
        bytes = writer.Tell();
        writer.Close();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_TerrainChunk1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SingleFwriteOfTheSameBytes(benchmark::State& state)
{
    const kv::HeightGrid grid = RippledGrid(1024);
    const std::string path = ScratchPath();
    kv::SilentControl control;
    {
        kv::Session session;
        kv::SceneWriter writer(session);
        writer.Open(path);
        WriteTerrainChunk(writer, grid, control);
        writer.Close();
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_SingleFwriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
