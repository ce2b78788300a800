#pragma once
// The two cover layers: where each lies, from altitude and slope bands, a
// pattern and a density.
#include <array>
#include <cstdint>

#include "core/inputs/ProjectSettings.h"

namespace kv {

// Band weight of a raster value v in the band [lo, hi] (all 0 to 255): 255 for
// a band reaching the top above its middle or a band starting at 0 below its
// middle, 0 outside the band, else a tent that is 0 at the band's edges and 255
// in its middle. A band whose ends touch gives 0 inside it.
int BandWeight(int v, int lo, int hi);

// Band limits and density of one cover, from the marker positions.
struct CoverLimits {
    int altitudeLow = 0;   // a0
    int altitudeHigh = 0;  // a1
    int slopeLow = 0;      // s0
    int slopeHigh = 0;     // s1
    int density = 0;       // D
};

// trunc((marker - origin) * 3.1875) for the band limits and
// trunc((marker - origin) * 1.59375) for the density; the origins are 115 (and
// 121 for the right markers) for cover 1, 214 (220) for cover 2. A value a
// settings file puts outside the sliders' travel is held within 0 to 255.
CoverLimits Cover1Limits(const ProjectSettings& settings);
CoverLimits Cover2Limits(const ProjectSettings& settings);

// The cover patterns: the index of the cover lists.
enum CoverPattern : int {
    kCoverNone = 0,
    kCoverGritty = 1,
    kCoverPatchy = 2,
    kCoverStreaky = 3,
    kCoverBlotchy = 4,
    kCoverGrittyPatchy = 5,
    kCoverGrittyStreaky = 6,
    kCoverGrittyBlotchy = 7,
};

// The divisor of a pattern's weighted sum of raster values: 255, 510, 765 or
// 1275 (the sum's largest value); 0 for "none" and indices outside 1 to 7.
int PatternDivisor(int pattern);

// One cover's decision for one pass. With P = double(q * (255 - D)) / divisor,
// q being the pattern's weighted sum at the pixel, and the suitability u, a
// pixel is covered when trunc(P + double(u) * D / 255) > 255 - D, all in double
// precision. For a fixed u that holds exactly from some q upward, so the rule
// is kept as the smallest covering q for every u.
struct CoverRule {
    int pattern = kCoverNone;
    CoverLimits limits;
    std::array<std::uint8_t, 256> altitudeWeight{};  // BandWeight(h, a0, a1)
    std::array<std::uint8_t, 256> slopeWeight{};     // BandWeight(s, s0, s1)
    std::array<std::uint16_t, 256> threshold{};      // smallest covering q per suitability; above any q: never

    static CoverRule Make(int pattern, const CoverLimits& limits);

    // The double-precision decision itself, for a weighted sum q and a suitability.
    static bool Covers(int q, int suitability, int divisor, int density);

    bool Active() const { return pattern != kCoverNone; }
    int Suitability(int height, int slope) const
    {
        const int a = altitudeWeight[static_cast<std::size_t>(height)];
        const int s = slopeWeight[static_cast<std::size_t>(slope)];
        return s < a ? s : a;
    }
    bool Covered(int q, int suitability) const { return q >= threshold[static_cast<std::size_t>(suitability)]; }
};

// One texture row of the pattern sources, and each reversed: at x the
// reversed rows hold the mirrored pixel T - 1 - x.
struct PatternRow {
    const std::uint8_t* noise = nullptr;
    const std::uint8_t* rc = nullptr;
    const std::uint8_t* em = nullptr;
    const std::uint8_t* noiseReversed = nullptr;
    const std::uint8_t* rcReversed = nullptr;
    const std::uint8_t* emReversed = nullptr;
};

// Writes `row` reversed into `reversed`.
void ReverseRow(const std::uint8_t* row, int width, std::uint8_t* reversed);

// The weighted pattern sums q of one cover along one texture row. Cover 1
// reads at the pixel x and, for the blotchy patterns, at the mirrored pixel;
// cover 2 reads mirrored where cover 1 reads unmirrored.
void Cover1Sums(int pattern, const PatternRow& row, int width, std::uint16_t* sums);
void Cover2Sums(int pattern, const PatternRow& row, int width, std::uint16_t* sums);

}  // namespace kv
