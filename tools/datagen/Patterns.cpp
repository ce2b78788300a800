// The stock grey pattern bitmaps rc, em and ra. The texture synthesis tiles
// each member 2 x 2 without mirroring over a raster twice its size, so every
// picture is periodic over its own square. The members of a family are one
// picture at four scales: the 1152-pixel picture is computed from a periodic
// function and halved by exact 2 x 2 averaging for the smaller members, so a
// scene looks alike at every texture resolution. Each member's bytes are
// then spread evenly over its range (rank equalisation): the covers compare
// these bytes with thresholds, and an even spread makes a cover's share of
// the ground the same at every resolution and follow the density linearly.
#include <string>

#include "tools/datagen/Field.h"
#include "tools/datagen/Generators.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

namespace {

constexpr int kLargest = 1152;

// rc: granular rock cut by cracks. Tone varies in broad patches; crystals
// of a few pixels give the grain; a network of thin, wandering cracks of
// varying width and depth, with a fainter, broken network of finer cracks
// between them.
struct RockGrain {
    CellularNoise crystal{190, 190, 0.9, 0x52430002U};
    CellularNoise plate{6, 6, 0.95, 0x52430006U};
    CellularNoise chip{17, 17, 0.95, 0x52430007U};

    double operator()(double u, double v)
    {
        const double tone = Fbm(u, v, 3, 3, 5, 0.5, 0x52430001U);
        const double grain = Unit(crystal(u * 190.0, v * 190.0).cell) - 0.5;
        const double speck = ValueNoise(u * 576.0, v * 576.0, 576, 576, 0x52430003U) - 0.5;

        // The crack lattice is warped so that cracks wander instead of running straight.
        const double wu = u + 0.03 * Fbm(u, v, 5, 5, 3, 0.55, 0x52430004U);
        const double wv = v + 0.03 * Fbm(u, v, 5, 5, 3, 0.55, 0x52430005U);
        const CellSample big = plate(wu * 6.0, wv * 6.0);
        const CellSample small = chip(wu * 17.0, wv * 17.0);
        // Crack widths in pixels of the largest member, varying along the cracks.
        const double vary = GradientNoise(u * 8.0, v * 8.0, 8, 8, 0x52430008U);
        const double width = 1.6 + 1.4 * vary;
        const double crack = 1.0 - SmoothStep(0.3 * width, width, big.edge * (kLargest / 6.0));
        const double depth = 0.45 + 0.55 * SmoothStep(-0.35, 0.2, GradientNoise(u * 4.0, v * 4.0, 4, 4, 0x52430009U));
        const double fine = 1.0 - SmoothStep(0.2, 1.3, small.edge * (kLargest / 17.0));
        const double broken = SmoothStep(0.0, 0.3, GradientNoise(u * 7.0, v * 7.0, 7, 7, 0x5243000AU));

        return 0.55 * tone + 0.06 * (Unit(big.cell) - 0.5) + 0.14 * grain + 0.08 * speck -
               0.55 * crack * depth - 0.22 * fine * broken;
    }
};

// em: long streaks and smears, rising to the right at about 27 degrees.
// The streaks are noise stretched along one axis of the sheared coordinates
// p = u + v, q = u + 2v; that shear maps the unit square onto itself one to
// one, so the picture stays periodic and has no repeat inside its square.
struct Streaks {
    double operator()(double u, double v) const
    {
        const double wu = u + 0.05 * Fbm(u, v, 2, 2, 3, 0.5, 0x454D0001U);
        const double wv = v + 0.05 * Fbm(u, v, 2, 2, 3, 0.5, 0x454D0002U);
        const double p = wu + wv;
        const double q = wu + 2.0 * wv;
        const double streak = Fbm(p, q, 2, 24, 5, 0.6, 0x454D0003U);
        const double smear = Fbm(p, q, 1, 5, 4, 0.5, 0x454D0004U);
        const double blot = Fbm(u, v, 4, 4, 3, 0.5, 0x454D0005U);
        // Streaks stand out in some places and fade into smears in others.
        const double show = SmoothStep(-0.35, 0.35, GradientNoise(u * 3.0, v * 3.0, 3, 3, 0x454D0006U));
        return 0.5 * smear + (0.15 + 0.4 * show) * streak + 0.2 * blot;
    }
};

// ra: fine isotropic roughness, features of a few pixels to a few tens.
struct Roughness {
    double operator()(double u, double v) const
    {
        const double rough = Fbm(u, v, 40, 40, 4, 0.7, 0x52410001U);
        const double grit = ValueNoise(u * 576.0, v * 576.0, 576, 576, 0x52410002U) - 0.5;
        const double swell = Fbm(u, v, 6, 6, 3, 0.5, 0x52410003U);
        return 0.6 * rough + 0.25 * grit + 0.25 * swell;
    }
};

// Computes the family's largest member and halves it down to the smallest,
// writing "<letters><member>.bmp" for the members first..3 (1152 pixels
// for member 3, 144 for member 0). The bytes of each member span lo to hi.
template <typename F>
bool WriteFamily(const std::string& out, const char* letters, int firstMember, int lo, int hi, F&& pattern)
{
    Field field(kLargest, kLargest);
    field.Fill(pattern);
    for (int member = 3; member >= firstMember; --member) {
        const std::string name = std::string(letters) + std::to_string(member) + ".bmp";
        if (!SaveGreyBmp(out, name.c_str(), field.width, field.height, EqualizeToBytes(field, lo, hi))) return false;
        if (member > firstMember) field = HalveByAveraging(field);
    }
    return true;
}

}  // namespace

bool GeneratePatterns(const std::string& out)
{
    // ra is the bump under covers and smooth materials, where it is used as
    // ra, ra + 25 and ra - 25 modulo 256: kept within 25 to 230 so that none
    // of these wraps round into a spike.
    return WriteFamily(out, "rc", 0, 0, 255, RockGrain{}) && WriteFamily(out, "em", 0, 0, 255, Streaks{}) &&
           WriteFamily(out, "ra", 1, 25, 230, Roughness{});
}

}  // namespace kv::datagen
