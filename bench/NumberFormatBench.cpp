// Speed of the scene's number formatting against the C library.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "core/writers/scn/NumberFormat.h"

namespace {

std::vector<float> SceneLikeValues()
{
    std::vector<float> values;
    for (int i = 0; i < 4096; ++i) values.push_back(95.0f + static_cast<float>(i) * 0.00244140625f);
    return values;
}

void BM_FormatFixed6(benchmark::State& state)
{
    const std::vector<float> values = SceneLikeValues();
    char buffer[64];
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (float v : values) {
            char* end = kv::FormatFixed6(v, buffer);
            bytes += static_cast<std::size_t>(end - buffer);
            benchmark::DoNotOptimize(buffer);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_FormatFixed6);

void BM_SnprintfFixed6(benchmark::State& state)
{
    const std::vector<float> values = SceneLikeValues();
    char buffer[64];
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (float v : values) {
            bytes += static_cast<std::size_t>(std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(v)));
            benchmark::DoNotOptimize(buffer);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_SnprintfFixed6);

}  // namespace
