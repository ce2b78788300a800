#include "tools/datagen/Foliage.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Field.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

namespace {

constexpr int kCardSize = 256;
constexpr int kSamples = 4;

// A unit direction at `degrees` from straight up (towards the tip),
// positive angles turning to the right.
Point Heading(double degrees) { return {Sin2Pi(degrees / 360.0), Cos2Pi(degrees / 360.0)}; }

// Rounded shading of a needle, leaflet or stem: lighter along the centre
// line, with light from the left.
Rgb Rounded(Rgb colour, double across, double light)
{
    return Scale(colour, light * (1.08 - 0.3 * across * across - 0.1 * across));
}

// ---------------------------------------------------------------- conifers

struct ConiferStyle {
    std::uint32_t seed;
    int twigsPerSide;
    double twigReach;      // longest twig, in card widths
    double fullness;       // 0: tapering outline, 1: parallel sides
    double needleLength;
    double needleSpacing;  // along a twig
    double needleRadius;
    double needleAngle;    // from the twig, towards its tip
    Rgb needleBase, needleTip, wood;
};

// A conifer branch spray: a stem up the middle, alternate side twigs
// leaning towards the tip, needles along stem and twigs.
std::vector<std::uint8_t> ConiferCard(const ConiferStyle& s)
{
    Canvas canvas(kCardSize, kCardSize, kSamples);
    Sequence rnd(s.seed);
    auto wood = [&](double light) {
        return [=](double, double across) { return Rounded(s.wood, across, light); };
    };
    auto needles = [&](Point from, Point to, double baseHeading, double length) {
        // Needles on both sides of the segment from..to, pointing forward.
        const Point d = to - from;
        const double len = std::sqrt(d.u * d.u + d.v * d.v);
        const int count = std::max(1, static_cast<int>(len / s.needleSpacing));
        for (int k = 0; k < count; ++k) {
            const double f = (k + rnd.Range(0.0, 1.0)) / count;
            const Point at = from + f * d;
            for (int side = -1; side <= 1; side += 2) {
                const double heading = baseHeading + side * (s.needleAngle + rnd.Range(-12.0, 12.0));
                const double l = length * rnd.Range(0.8, 1.15);
                const Point tip = at + l * Heading(heading);
                const double light = rnd.Range(0.78, 1.15);
                const Rgb base = s.needleBase, top = s.needleTip;
                canvas.Stroke(at, tip, s.needleRadius, s.needleRadius * 0.35, [=](double along, double across) {
                    return Rounded(Mix(base, top, along * 0.8), across, light);
                });
            }
        }
    };

    // The stem, gently curved.
    std::vector<Point> stem;
    for (int k = 0; k <= 20; ++k) {
        const double t = k / 20.0;
        stem.push_back({0.5 + 0.015 * Sin2Pi(t * 0.5), 0.01 + 0.95 * t});
    }
    auto stemAt = [&](double t) {
        const double f = t * 20.0;
        const int k = std::min(19, static_cast<int>(f));
        return stem[k] + (f - k) * (stem[k + 1] - stem[k]);
    };

    // Twigs: alternate, shorter towards the tip.
    struct Twig {
        std::vector<Point> line;
        std::vector<double> heading;  // of each segment
    };
    std::vector<Twig> twigs;
    const int total = 2 * s.twigsPerSide;
    for (int k = 0; k < total; ++k) {
        const double t = 0.05 + 0.83 * (k + rnd.Range(0.0, 0.6)) / total;
        const int side = (k % 2 == 0) ? -1 : 1;
        const double outline = Lerp(1.0 - t, 1.0 - 0.55 * t, s.fullness) * SmoothStep(0.0, 0.12, t + 0.04);
        const double length = s.twigReach * outline * rnd.Range(0.85, 1.08);
        double heading = side * (Lerp(62.0, 38.0, t) + rnd.Range(-6.0, 6.0));
        Twig twig;
        Point p = stemAt(t);
        twig.line.push_back(p);
        for (int j = 1; j <= 8; ++j) {
            // Each twig bends a little towards the tip.
            p = p + (length / 8.0) * Heading(heading);
            twig.heading.push_back(heading);
            heading -= side * 2.0;
            twig.line.push_back(p);
        }
        twigs.push_back(twig);
    }
    canvas.Blade(stem, [](double a) { return 0.012 * (1.0 - a) + 0.003; }, wood(1.0));
    for (const Twig& twig : twigs)
        canvas.Blade(twig.line, [](double a) { return 0.005 * (1.0 - a) + 0.0018; }, wood(0.95));
    for (const Twig& twig : twigs) {
        for (std::size_t j = 1; j < twig.line.size(); ++j)
            needles(twig.line[j - 1], twig.line[j], twig.heading[j - 1], s.needleLength * (1.0 - 0.3 * j / 8.0));
        // A tuft at the twig's end.
        const Point end = twig.line.back();
        const double h = twig.heading.back();
        for (int k = -2; k <= 2; ++k) {
            const double light = rnd.Range(0.9, 1.2);
            const Rgb base = s.needleBase, top = s.needleTip;
            canvas.Stroke(end, end + s.needleLength * 0.8 * Heading(h + k * 14.0), s.needleRadius,
                          s.needleRadius * 0.35,
                          [=](double along, double across) { return Rounded(Mix(base, top, along), across, light); });
        }
    }
    // Needles along the stem's upper part and its tip.
    for (int k = 6; k < 20; ++k)
        needles(stem[k], stem[k + 1], 0.0, s.needleLength * 0.9);
    return canvas.Resolve(Mix(s.needleBase, s.needleTip, 0.4));
}

// ---------------------------------------------------------------- palm frond

std::vector<std::uint8_t> PalmLeafCard()
{
    Canvas canvas(kCardSize, kCardSize, kSamples);
    Sequence rnd(0x50414C4DU);
    const Rgb green{58.0, 104.0, 36.0}, young{96.0, 138.0, 52.0}, dry{150.0, 128.0, 70.0}, rib{150.0, 158.0, 82.0};

    std::vector<Point> midrib;
    for (int k = 0; k <= 20; ++k) {
        const double t = k / 20.0;
        midrib.push_back({0.5 - 0.012 * Sin2Pi(t * 0.5), 0.985 * t});
    }
    const int perSide = 30;
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < perSide; ++k) {
            const double t = 0.04 + 0.9 * (k + (side > 0 ? 0.5 : 0.0) + rnd.Range(-0.2, 0.2)) / perSide;
            // Longest leaflets a little below the middle, short at base and tip.
            const double outline = std::pow(Sin2Pi(0.5 * std::min(1.0, std::pow(t, 0.8) * 1.05)), 0.7);
            double heading = side * (Lerp(66.0, 24.0, t) + rnd.Range(-5.0, 5.0));
            const double bend = -side * 1.6;  // leaflets curve towards the tip
            // The length, shortened where the leaflet would leave the card.
            double length = (0.08 + 0.44 * outline) * rnd.Range(0.9, 1.05);
            const Point base{0.5 - 0.012 * Sin2Pi(t * 0.5 / 0.985), t};
            auto trace = [&](double l) {
                std::vector<Point> line{base};
                Point p = base;
                double h = heading;
                for (int j = 1; j <= 10; ++j) {
                    p = p + (l / 10.0) * Heading(h);
                    h += bend;
                    line.push_back(p);
                }
                return line;
            };
            std::vector<Point> line = trace(length);
            while (line.back().v > 0.985 || line.back().u < 0.02 || line.back().u > 0.98) line = trace(length *= 0.95);
            const double broad = 0.0075 + 0.0045 * outline;
            const double light = rnd.Range(0.82, 1.12);
            const bool dryTip = rnd.Uniform() < 0.15;
            const double fresh = rnd.Range(0.0, 0.35);
            canvas.Blade(
                line, [=](double a) { return broad * std::pow(std::min(1.0, a * 6.0 + 0.35), 0.5) * (1.0 - a * a); },
                [=](double along, double across) {
                    Rgb c = Mix(green, young, fresh);
                    if (dryTip) c = Mix(c, dry, SmoothStep(0.72, 0.95, along));
                    // The leaflet's fold: a light crease down the middle.
                    return Rounded(c, across, light * (std::fabs(across) < 0.15 ? 1.12 : 1.0));
                });
        }
    canvas.Blade(midrib, [](double a) { return 0.013 * (1.0 - a) + 0.003; },
                 [=](double, double across) { return Rounded(rib, across, 1.0); });
    return canvas.Resolve(green);
}

// ---------------------------------------------------------------- fern frond

std::vector<std::uint8_t> FernCard()
{
    Canvas canvas(kCardSize, kCardSize, kSamples);
    Sequence rnd(0x4645524EU);
    const Rgb leaf{62.0, 124.0, 40.0}, light{104.0, 160.0, 62.0}, stalk{82.0, 104.0, 42.0};

    std::vector<Point> rachis;
    for (int k = 0; k <= 20; ++k) {
        const double t = k / 20.0;
        rachis.push_back({0.5 + 0.02 * Sin2Pi(t * 0.5) * t, 0.98 * t});
    }
    auto rachisAt = [&](double t) {
        const double f = std::min(t / 0.98, 1.0) * 20.0;
        const int k = std::min(19, static_cast<int>(f));
        return rachis[k] + (f - k) * (rachis[k + 1] - rachis[k]);
    };
    const int perSide = 19;
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < perSide; ++k) {
            const double t = 0.07 + 0.86 * (k + (side > 0 ? 0.5 : 0.0)) / perSide;
            // Lanceolate outline: widest a quarter of the way up.
            const double outline = t < 0.25 ? 0.55 + 1.8 * t : std::pow((1.0 - t) / 0.75, 0.85);
            const double length = 0.47 * outline * rnd.Range(0.93, 1.04);
            double heading = side * (Lerp(76.0, 48.0, t) + rnd.Range(-4.0, 4.0));
            const Point base = rachisAt(t);
            std::vector<Point> axis{base};
            std::vector<double> headings;
            Point p = base;
            for (int j = 1; j <= 8; ++j) {
                p = p + (length / 8.0) * Heading(heading);
                headings.push_back(heading);
                heading -= side * 2.5;
                axis.push_back(p);
            }
            const double tone = rnd.Range(0.88, 1.1);
            // Pinnules: rounded lobes on both sides of the pinna, smaller
            // towards its tip.
            const int lobes = std::max(3, static_cast<int>(length / 0.0145));
            for (int j = 0; j < lobes; ++j) {
                const double s = (j + 0.6) / (lobes + 0.4);
                const double f = s * 8.0;
                const int m = std::min(7, static_cast<int>(f));
                const Point at = axis[m] + (f - m) * (axis[m + 1] - axis[m]);
                const double h = headings[static_cast<std::size_t>(m)];
                for (int lobeSide = -1; lobeSide <= 1; lobeSide += 2) {
                    const double lobeLength = (0.016 + 0.03 * std::sqrt(outline)) * (1.0 - 0.6 * s) *
                                              rnd.Range(0.9, 1.1);
                    const double lh = h + lobeSide * (60.0 + rnd.Range(-6.0, 6.0));
                    const Point mid = at + 0.5 * lobeLength * Heading(lh - lobeSide * 4.0);
                    const Point end = at + lobeLength * Heading(lh - lobeSide * 10.0);
                    const double wide = (0.0068 + 0.0032 * outline) * (1.0 - 0.4 * s);
                    const double lobeTone = tone * rnd.Range(0.93, 1.07);
                    canvas.Blade({at, mid, end},
                                 [=](double a) { return wide * std::pow(std::max(0.0, Sin2Pi(0.5 * (0.3 + 0.7 * a))), 0.4); },
                                 [=](double along, double across) {
                                     const Rgb c = Mix(leaf, light, 0.35 * (1.0 - along) * (1.0 - std::fabs(across)));
                                     return Rounded(c, across, lobeTone);
                                 });
                }
            }
            canvas.Blade(axis, [](double a) { return 0.0028 * (1.0 - a) + 0.0008; },
                         [=](double, double across) { return Rounded(stalk, across, tone); });
        }
    canvas.Blade(rachis, [](double a) { return 0.009 * (1.0 - a) + 0.0018; },
                 [=](double, double across) { return Rounded(stalk, across, 1.0); });
    return canvas.Resolve(leaf);
}

// The fern and palm leaf meshes run v from 1 at the leaf's base to 0 at its
// tip, the reverse of the conifer cards: their pictures stand on their heads.
std::vector<std::uint8_t> UpsideDown(std::vector<std::uint8_t> rgba, int width, int height)
{
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(rgba.begin() + static_cast<std::ptrdiff_t>(y * row),
                         rgba.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
                         rgba.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * row));
    return rgba;
}

}  // namespace

bool GenerateFoliageCards(const std::string& out)
{
    // The evergreen's spray is open, with long, lighter needles; the fir's
    // is denser and darker, with short needles.
    const ConiferStyle evergreen{0x45564552U, 9, 0.5, 0.2, 0.06, 0.009, 0.0032, 52.0,
                                 {44.0, 84.0, 34.0}, {98.0, 138.0, 56.0}, {92.0, 66.0, 42.0}};
    const ConiferStyle fir{0x46495252U, 13, 0.52, 0.6, 0.034, 0.0065, 0.0034, 62.0,
                           {22.0, 50.0, 34.0}, {50.0, 90.0, 60.0}, {74.0, 54.0, 38.0}};
    return SaveTga32(out, "ever.tga", kCardSize, kCardSize, ConiferCard(evergreen)) &&
           SaveTga32(out, "fir.tga", kCardSize, kCardSize, ConiferCard(fir)) &&
           SaveTga32(out, "palmleaf.tga", kCardSize, kCardSize, UpsideDown(PalmLeafCard(), kCardSize, kCardSize)) &&
           SaveTga32(out, "fern.tga", kCardSize, kCardSize, UpsideDown(FernCard(), kCardSize, kCardSize));
}

}  // namespace kv::datagen
