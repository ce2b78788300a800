// Band weights, band limits and the cover decision.
#include <gtest/gtest.h>

#include "core/textures/Covers.h"

namespace kv {
namespace {

TEST(BandWeight, TentIsZeroAtTheEdgesAndFullInTheMiddle)
{
    EXPECT_EQ(BandWeight(100, 100, 200), 0);
    EXPECT_EQ(BandWeight(200, 100, 200), 0);
    EXPECT_EQ(BandWeight(150, 100, 200), 255);
    EXPECT_EQ(BandWeight(125, 100, 200), 127);  // 25 * 510 / 100 = 127.5
    EXPECT_EQ(BandWeight(99, 100, 200), 0);
    EXPECT_EQ(BandWeight(201, 100, 200), 0);
}

TEST(BandWeight, BandReachingTheTopStaysFullAboveItsMiddle)
{
    EXPECT_EQ(BandWeight(255, 100, 254), 255);
    EXPECT_EQ(BandWeight(178, 100, 254), 255);  // 356 > 354
    EXPECT_EQ(BandWeight(177, 100, 254), 255);  // the tent's own top: 77 * 510 / 154 = 255
    EXPECT_EQ(BandWeight(120, 100, 254), 66);   // below the middle: the tent
    EXPECT_EQ(BandWeight(255, 100, 253), 0);    // 253 does not reach the top
}

TEST(BandWeight, BandStartingAtZeroStaysFullBelowItsMiddle)
{
    EXPECT_EQ(BandWeight(0, 0, 100), 255);
    EXPECT_EQ(BandWeight(49, 0, 100), 255);
    EXPECT_EQ(BandWeight(90, 0, 100), 51);  // 10 * 510 / 100
    EXPECT_EQ(BandWeight(101, 0, 100), 0);
    EXPECT_EQ(BandWeight(0, 1, 100), 0);
}

TEST(BandWeight, TouchingEndsGiveZeroExceptAtTheTop)
{
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(BandWeight(v, 80, 80), 0) << v;
        EXPECT_EQ(BandWeight(v, 255, 255), 0) << v;  // nothing lies above 255
        EXPECT_EQ(BandWeight(v, 254, 254), v > 254 ? 255 : 0) << v;
    }
    EXPECT_EQ(BandWeight(0, 0, 0), 0);
}

TEST(BandWeight, DefaultBandsGiveFullWeightEverywhere)
{
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(BandWeight(v, 0, 255), 255) << v;
    }
}

TEST(CoverLimits, FollowTheMarkers)
{
    const ProjectSettings defaults;
    const CoverLimits c1 = Cover1Limits(defaults);
    EXPECT_EQ(c1.altitudeLow, 0);
    EXPECT_EQ(c1.altitudeHigh, 255);
    EXPECT_EQ(c1.slopeLow, 0);
    EXPECT_EQ(c1.slopeHigh, 255);
    EXPECT_EQ(c1.density, 63);  // 40 * 1.59375
    const CoverLimits c2 = Cover2Limits(defaults);
    EXPECT_EQ(c2.altitudeHigh, 255);
    EXPECT_EQ(c2.density, 63);

    ProjectSettings s;
    s.cover2altitudemin = 250;  // 36 * 3.1875 = 114.75
    s.cover2slopemax = 260;     // 40 * 3.1875 = 127.5
    s.cover2density = 294;      // 80 * 1.59375 = 127.5
    s.cover1density = 115;
    const CoverLimits c = Cover2Limits(s);
    EXPECT_EQ(c.altitudeLow, 114);
    EXPECT_EQ(c.slopeHigh, 127);
    EXPECT_EQ(c.density, 127);
    EXPECT_EQ(Cover1Limits(s).density, 0);
}

TEST(CoverLimits, MarkersOutsideTheirTravelStayWithinTheScale)
{
    ProjectSettings s;
    s.cover1altitudemin = -5000;
    s.cover1altitudemax = 100000;
    s.cover1density = 2147483647;
    const CoverLimits c = Cover1Limits(s);
    EXPECT_EQ(c.altitudeLow, 0);
    EXPECT_EQ(c.altitudeHigh, 255);
    EXPECT_EQ(c.density, 255);
}

// The rule's thresholds must make exactly the decision of the double-precision
// score for every weighted sum and suitability.
TEST(CoverRule, ThresholdsDecideExactlyAsTheScore)
{
    for (int pattern = 1; pattern < 8; ++pattern)
        for (int density : {0, 1, 2, 17, 63, 64, 100, 126, 127, 200, 255}) {
            CoverLimits limits;
            limits.density = density;
            const CoverRule rule = CoverRule::Make(pattern, limits);
            const int divisor = PatternDivisor(pattern);
            for (int u = 0; u < 256; ++u)
                for (int q = 0; q <= divisor; ++q) {
                    const double p = static_cast<double>(q) * (255 - density) / divisor;
                    const bool covered = static_cast<int>(p + static_cast<double>(u) * density / 255) > 255 - density;
                    ASSERT_EQ(rule.Covered(q, u), covered) << pattern << " D " << density << " u " << u << " q " << q;
                }
        }
}

TEST(CoverRule, DensityZeroAndPatternNoneNeverCover)
{
    CoverLimits limits;
    limits.density = 0;
    const CoverRule rule = CoverRule::Make(kCoverGrittyBlotchy, limits);
    limits.density = 127;
    const CoverRule none = CoverRule::Make(kCoverNone, limits);
    const CoverRule outside = CoverRule::Make(8, limits);
    for (int u = 0; u < 256; ++u) {
        EXPECT_FALSE(rule.Covered(1275, u));
        EXPECT_FALSE(none.Covered(1275, u));
        EXPECT_FALSE(outside.Covered(1275, u));
    }
    EXPECT_FALSE(none.Active());
}

}  // namespace
}  // namespace kv
