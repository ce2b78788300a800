#include "texture/NoiseTexture.h"

#include <array>

namespace kv {

namespace {

constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;

struct NoiseTable {
    std::array<std::uint8_t, 32768> bytes{};
    NoiseTable()
    {
        for (int r = 0; r < 32768; ++r)
            bytes[static_cast<std::size_t>(r)] =
                static_cast<std::uint8_t>(static_cast<int>(static_cast<float>(r) / 32767.0f * 255.0f));
    }
};

const NoiseTable& Table()
{
    static const NoiseTable table;
    return table;
}

}  // namespace

std::uint8_t NoiseByte(int r) { return Table().bytes[static_cast<std::size_t>(r & 0x7fff)]; }

std::uint32_t AdvanceRandomState(std::uint32_t state, std::uint64_t draws)
{
    // One draw is the affine map x -> a x + c (mod 2^32); compose it with itself
    // by repeated squaring.
    std::uint32_t a = kMultiplier, c = kIncrement;
    std::uint32_t totalA = 1, totalC = 0;
    while (draws) {
        if (draws & 1u) {
            totalA = totalA * a;
            totalC = totalC * a + c;
        }
        c = c * a + c;
        a = a * a;
        draws >>= 1;
    }
    return totalA * state + totalC;
}

void FillNoiseRows(Raster& noise, int firstRow, int endRow, Random& random, const RowCheck& check)
{
    const std::uint8_t* table = Table().bytes.data();
    const int t = noise.size;
    // The draw loop works on a local copy of the state.
    std::uint32_t state = random.State();
    for (int y = firstRow; y < endRow; ++y) {
        std::uint8_t* row = noise.Row(y);
        for (int x = 0; x < t; ++x) {
            state = state * kMultiplier + kIncrement;
            row[x] = table[(state >> 16) & 0x7fffu];
        }
        random.SetState(state);
        CheckRow(check);
    }
}

Raster BuildNoiseTexture(int size, Random& random, const RowCheck& check)
{
    Raster noise(size);
    FillNoiseRows(noise, 0, size, random, check);
    return noise;
}

}  // namespace kv
