#include "core/textures/Covers.h"

#include "core/inputs/SliderTracks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// The pixel loops are written so the compiler can vectorise them; that changes
// no result (no contraction, no reassociation, IEEE single precision either way).
#if defined(__OPTIMIZE__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace kv {

int BandWeight(int v, int lo, int hi)
{
    if (hi >= 254 && 2 * v > hi + lo) return 255;  // a band reaching the top stays full above its middle
    if (lo == 0 && 2 * v < hi + lo) return 255;    // a band starting at 0 stays full below its middle
    if (v < lo) return 0;
    if (v > hi) return 0;
    if (hi == lo) return 0;  // the tent of an empty band
    return std::min(std::abs(v - hi), std::abs(v - lo)) * 510 / (hi - lo);
}

namespace {

int Limit(std::int32_t marker, int origin, double factor)
{
    const double value = (static_cast<double>(marker) - origin) * factor;
    if (!(value > 0.0)) return 0;
    if (value >= 255.0) return 255;
    return static_cast<int>(value);
}

CoverLimits Limits(std::int32_t altitudeMin, std::int32_t altitudeMax, std::int32_t slopeMin, std::int32_t slopeMax,
                   std::int32_t density, int origin)
{
    CoverLimits limits;
    limits.altitudeLow = Limit(altitudeMin, origin, 3.1875);
    limits.altitudeHigh = Limit(altitudeMax, origin + kMarkerWidth, 3.1875);
    limits.slopeLow = Limit(slopeMin, origin, 3.1875);
    limits.slopeHigh = Limit(slopeMax, origin + kMarkerWidth, 3.1875);
    limits.density = Limit(density, origin, 1.59375);
    return limits;
}

constexpr std::uint16_t kNever = 0xffff;

}  // namespace

CoverLimits Cover1Limits(const ProjectSettings& s)
{
    return Limits(s.cover1altitudemin, s.cover1altitudemax, s.cover1slopemin, s.cover1slopemax, s.cover1density,
                  kCover1TrackStart);
}

CoverLimits Cover2Limits(const ProjectSettings& s)
{
    return Limits(s.cover2altitudemin, s.cover2altitudemax, s.cover2slopemin, s.cover2slopemax, s.cover2density,
                  kCover2TrackStart);
}

int PatternDivisor(int pattern)
{
    switch (pattern) {
    case kCoverGritty:
    case kCoverPatchy:
    case kCoverStreaky: return 255;
    case kCoverBlotchy: return 510;
    case kCoverGrittyPatchy:
    case kCoverGrittyStreaky: return 765;
    case kCoverGrittyBlotchy: return 1275;
    default: return 0;
    }
}

bool CoverRule::Covers(int q, int suitability, int divisor, int density)
{
    const double p = static_cast<double>(q * (255 - density)) / static_cast<double>(divisor);
    const int score = static_cast<int>(p + static_cast<double>(suitability) * density / 255.0);
    return score > 255 - density;
}

CoverRule CoverRule::Make(int pattern, const CoverLimits& limits)
{
    CoverRule rule;
    const int divisor = PatternDivisor(pattern);
    rule.pattern = divisor == 0 ? kCoverNone : pattern;  // an index outside the lists lays no cover
    rule.limits = limits;
    for (int v = 0; v < 256; ++v) {
        rule.altitudeWeight[static_cast<std::size_t>(v)] =
            static_cast<std::uint8_t>(BandWeight(v, limits.altitudeLow, limits.altitudeHigh));
        rule.slopeWeight[static_cast<std::size_t>(v)] =
            static_cast<std::uint8_t>(BandWeight(v, limits.slopeLow, limits.slopeHigh));
    }
    rule.threshold.fill(kNever);
    if (rule.pattern == kCoverNone) return rule;
    // The weighted sum q runs from 0 to the divisor; the decision only turns on
    // as q grows, so the smallest covering q is found by bisection.
    for (int u = 0; u < 256; ++u) {
        if (!Covers(divisor, u, divisor, limits.density)) continue;
        int low = 0, high = divisor;  // Covers(high) holds
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (Covers(middle, u, divisor, limits.density))
                high = middle;
            else
                low = middle + 1;
        }
        rule.threshold[static_cast<std::size_t>(u)] = static_cast<std::uint16_t>(low);
    }
    return rule;
}

void ReverseRow(const std::uint8_t* __restrict row, int width, std::uint8_t* __restrict reversed)
{
    // Eight bytes at a time: a byte swap of a word read from the far end.
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + width - x - 8, 8);
        word = __builtin_bswap64(word);
        std::memcpy(reversed + x, &word, 8);
    }
    for (; x < width; ++x) reversed[x] = row[width - 1 - x];
}

namespace {

// sums[x] = a[x] * wa + b[x] * wb + c[x] * wc, the rows being any of the
// pattern sources, forward or reversed; plain forward loops that vectorise.
void WeightedSums(const std::uint8_t* __restrict a, int wa, const std::uint8_t* __restrict b, int wb,
                  const std::uint8_t* __restrict c, int wc, int width, std::uint16_t* __restrict sums)
{
    if (!b) {
        for (int x = 0; x < width; ++x) sums[x] = static_cast<std::uint16_t>(a[x] * wa);
    } else if (!c) {
        for (int x = 0; x < width; ++x) sums[x] = static_cast<std::uint16_t>(a[x] * wa + b[x] * wb);
    } else {
        for (int x = 0; x < width; ++x) sums[x] = static_cast<std::uint16_t>(a[x] * wa + b[x] * wb + c[x] * wc);
    }
}

}  // namespace

void Cover1Sums(int pattern, const PatternRow& row, int width, std::uint16_t* sums)
{
    switch (pattern) {
    case kCoverGritty: return WeightedSums(row.noise, 1, nullptr, 0, nullptr, 0, width, sums);
    case kCoverPatchy: return WeightedSums(row.rc, 1, nullptr, 0, nullptr, 0, width, sums);
    case kCoverStreaky: return WeightedSums(row.em, 1, nullptr, 0, nullptr, 0, width, sums);
    case kCoverBlotchy: return WeightedSums(row.emReversed, 1, row.em, 1, nullptr, 0, width, sums);
    case kCoverGrittyPatchy: return WeightedSums(row.noise, 1, row.rc, 2, nullptr, 0, width, sums);
    case kCoverGrittyStreaky: return WeightedSums(row.noise, 1, row.em, 2, nullptr, 0, width, sums);
    case kCoverGrittyBlotchy: return WeightedSums(row.emReversed, 2, row.noise, 1, row.em, 2, width, sums);
    default: std::fill(sums, sums + width, std::uint16_t{0});
    }
}

void Cover2Sums(int pattern, const PatternRow& row, int width, std::uint16_t* sums)
{
    switch (pattern) {
    case kCoverGritty: return WeightedSums(row.noiseReversed, 1, nullptr, 0, nullptr, 0, width, sums);
    case kCoverPatchy: return WeightedSums(row.rcReversed, 1, nullptr, 0, nullptr, 0, width, sums);
    case kCoverStreaky: return WeightedSums(row.emReversed, 1, nullptr, 0, nullptr, 0, width, sums);
    case kCoverBlotchy: return WeightedSums(row.emReversed, 1, row.em, 1, nullptr, 0, width, sums);
    case kCoverGrittyPatchy: return WeightedSums(row.noiseReversed, 1, row.rcReversed, 2, nullptr, 0, width, sums);
    case kCoverGrittyStreaky: return WeightedSums(row.noiseReversed, 1, row.emReversed, 2, nullptr, 0, width, sums);
    case kCoverGrittyBlotchy:
        return WeightedSums(row.noiseReversed, 1, row.emReversed, 2, row.em, 2, width, sums);
    default: std::fill(sums, sums + width, std::uint16_t{0});
    }
}

}  // namespace kv
