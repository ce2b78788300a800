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

// rc: granular rock cut by cracks. Tone varies in patches of a few
// tens of pixels, with only a faint broader swell, so that the picture
// tiled over a terrain and again over the surround shows no large shapes
// that repeat; crystals of a few pixels give the grain; a network of thin,
// wandering cracks of varying width and depth, with a fainter, broken
// network of finer cracks between them.
struct RockGrain {
    CellularNoise crystal{190, 190, 0.9, 0x52430002U};
    CellularNoise plate{6, 6, 0.95, 0x52430006U};
    CellularNoise chip{17, 17, 0.95, 0x52430007U};

    double operator()(double u, double v)
    {
        const double swell = Fbm(u, v, 3, 3, 2, 0.5, 0x52430001U);
        const double tone = Fbm(u, v, 16, 16, 3, 0.55, 0x5243000BU);
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

        return 0.06 * swell + 0.36 * tone + 0.03 * (Unit(big.cell) - 0.5) + 0.16 * grain + 0.08 * speck -
               0.4 * crack * depth - 0.2 * fine * broken;
    }
};

// em: streaks and smears that meander across the picture, mostly along its
// rows but each in its own direction. The streaks are noise stretched along
// the rows of displaced coordinates: a slowly varying field lifts and lowers
// the rows, so a streak climbs here and falls there (the displacement repeats
// with the picture, which stays periodic). Added to its own mirror image, as
// the blotchy covers do, such streaks cross at every angle and read as
// blotches rather than a lattice.
struct Streaks {
    double operator()(double u, double v) const
    {
        const double lift = 0.07 * Fbm(u, v, 2, 3, 3, 0.5, 0x454D0001U) + 0.025 * Fbm(u, v, 5, 4, 2, 0.5, 0x454D0002U);
        const double wu = u + 0.04 * Fbm(u, v, 3, 3, 2, 0.5, 0x454D0007U);
        const double wv = v + lift;
        const double streak = Fbm(wu, wv, 3, 40, 5, 0.6, 0x454D0003U);
        const double smear = Fbm(wu, wv, 2, 9, 4, 0.5, 0x454D0004U);
        const double blot = Fbm(u, v, 6, 6, 3, 0.5, 0x454D0005U);
        // Streaks stand out in some places and fade into smears in others.
        const double show = SmoothStep(-0.35, 0.35, GradientNoise(u * 4.0, v * 4.0, 4, 4, 0x454D0006U));
        return 0.45 * smear + (0.2 + 0.4 * show) * streak + 0.12 * blot;
    }
};

// ra: grit at three scales: grains of three or four pixels, clusters of a
// few tens of pixels and a gentle swell, so the bump reads as rough ground
// rather than static.
struct Roughness {
    CellularNoise grains{300, 300, 0.9, 0x52410004U};

    double operator()(double u, double v)
    {
        const CellSample g = grains(u * 300.0, v * 300.0);
        const double grain = (Unit(g.cell) - 0.5) * SmoothStep(0.0, 0.25, g.edge);
        const double cluster = Fbm(u, v, 40, 40, 2, 0.5, 0x52410001U);
        const double swell = Fbm(u, v, 8, 8, 2, 0.5, 0x52410003U);
        return 0.35 * grain + 0.45 * cluster + 0.3 * swell;
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
