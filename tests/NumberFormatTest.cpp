// The scene's number formatting must print exactly what the C library's
// "%.6f" prints for a float, on every value the scene can hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/writers/scn/NumberFormat.h"

namespace kv {
namespace {

std::string Reference(float v)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(v));
    return buffer;
}

float FromBits(std::uint32_t bits)
{
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

TEST(Fixed6, MatchesCLibraryOnTelltaleValues)
{
    const float values[] = {0.0f,        -0.0f,       1.0f,        -1.0f,      0.5f,        95.0390625f,
                            0.0000005f,  -0.0000005f, 0.0000015f,  1e-7f,      -1e-7f,      -4.371139e-08f,
                            3.333333f,   0.653281f,   100.0f,      1e30f,      -1e30f,      3.4028235e38f,
                            1.17549435e-38f, 1.4e-45f, 0.475f,     0.525f,     2147483648.0f, 123456.789f};
    for (float v : values) EXPECT_EQ(Fixed6(v), Reference(v)) << v;
}

TEST(Fixed6, NegativeValuesRoundingToZeroKeepTheirSign)
{
    EXPECT_EQ(Fixed6(-0.0f), "-0.000000");
    EXPECT_EQ(Fixed6(-4.371139e-08f), "-0.000000");
    EXPECT_EQ(Fixed6(4.371139e-08f), "0.000000");
}

TEST(Fixed6, ExactTiesRoundToEven)
{
    // 95.0390625 = 95 + 5/128: the seventh decimal is an exact 5.
    EXPECT_EQ(Fixed6(95.0390625f), "95.039062");
    EXPECT_EQ(Fixed6(0.0000005f), Reference(0.0000005f));
    // Grid values of heightfields 257 and 513 pixels wide produce exact ties.
    for (int n : {257, 513}) {
        for (int j = 0; j < n; ++j) {
            const float fraction = static_cast<float>(j) / static_cast<float>(n - 1);
            const float x = (10.0f * fraction + 100.0f) - 5.0f;
            ASSERT_EQ(Fixed6(x), Reference(x)) << n << " " << j;
        }
    }
}

TEST(Fixed6, NonFiniteValues)
{
    EXPECT_EQ(Fixed6(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(Fixed6(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(Fixed6(std::numeric_limits<float>::quiet_NaN()), "nan");
}

// Every float of magnitude below 2^17 with a stride through the bit patterns,
// plus every float in the ranges scene coordinates use most.
TEST(Fixed6, MatchesCLibraryOnMillionsOfValues)
{
    std::uint64_t checked = 0;
    for (std::uint64_t bits = 0; bits < 0x100000000ull; bits += 613) {
        const float v = FromBits(static_cast<std::uint32_t>(bits));
        if (std::isnan(v)) continue;
        ASSERT_EQ(Fixed6(v), Reference(v)) << std::hex << bits;
        ++checked;
    }
    // All floats from 0 to 16 (scene heights and texture coordinates).
    for (std::uint32_t bits = 0x3e000000u; bits <= 0x41800000u; bits += 3) {
        const float v = FromBits(bits);
        ASSERT_EQ(Fixed6(v), Reference(v)) << std::hex << bits;
        ASSERT_EQ(Fixed6(-v), Reference(-v)) << std::hex << bits;
        checked += 2;
    }
    EXPECT_GT(checked, 5000000u);
}

TEST(Ids, SevenDigitsZeroPaddedLongerInFull)
{
    EXPECT_EQ(Id7(2), "0000002");
    EXPECT_EQ(Id7(9999999), "9999999");
    EXPECT_EQ(Id7(12345678), "12345678");
    EXPECT_EQ(Id7(0), "0000000");
}

}  // namespace
}  // namespace kv
