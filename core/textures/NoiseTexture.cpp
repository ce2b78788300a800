#include "core/textures/NoiseTexture.h"

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
    const std::size_t t = static_cast<std::size_t>(noise.size);
    // Four interleaved runs of the generator: lane k holds the state of draw
    // 4m + k + 1 and moves on four draws at a time, so the four multiplies of
    // a step do not wait for one another. The bytes are those of drawing one
    // value after another.
    const std::uint32_t start = random.State();
    std::uint32_t lane[4];
    for (int k = 0; k < 4; ++k) lane[k] = AdvanceRandomState(start, static_cast<std::uint64_t>(k) + 1);
    const std::uint32_t a4 = AdvanceRandomState(1, 4) - AdvanceRandomState(0, 4);  // the multiplier of four draws
    const std::uint32_t c4 = AdvanceRandomState(0, 4);                            // and its increment
    std::uint64_t drawn = 0;
    auto drawOne = [&](std::uint8_t& out) {
        std::uint32_t& state = lane[drawn & 3];
        out = table[(state >> 16) & 0x7fffu];
        state = state * a4 + c4;
        ++drawn;
    };
    for (int y = firstRow; y < endRow; ++y) {
        std::uint8_t* row = noise.Row(y);
        std::size_t x = 0;
        // The lanes run on across rows: a row begins where they stand.
        while (x < t && (drawn & 3) != 0) drawOne(row[x++]);
        for (; x + 4 <= t; x += 4) {
            for (std::size_t k = 0; k < 4; ++k) {
                row[x + k] = table[(lane[k] >> 16) & 0x7fffu];
                lane[k] = lane[k] * a4 + c4;
            }
            drawn += 4;
        }
        while (x < t) drawOne(row[x++]);
        random.SetState(AdvanceRandomState(start, drawn));
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
