// The stock textures of the tree models and the ocean. The bark and skin
// pictures wrap round trunks (u round the trunk, v along it) and repeat
// along them, and the ripple bump repeats across the ocean, so each of
// those is periodic over its picture: every noise here has a whole number
// of periods across it, and marks drawn near an edge continue at the other.
#include <cmath>
#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Field.h"
#include "tools/datagen/Foliage.h"
#include "tools/datagen/Generators.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

namespace {

// An RGB picture, rows from the top.
struct Picture {
    int width, height;
    std::vector<std::uint8_t> rgb;
    Picture(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}
    void Set(int x, int y, Rgb c)
    {
        std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
        p[0] = ToByte(c.r), p[1] = ToByte(c.g), p[2] = ToByte(c.b);
    }
};

// Light from the upper left on a periodic height field: 1 on flat ground.
double Relief(const Field& h, int x, int y, double strength)
{
    const int w = h.width, ht = h.height;
    const double gx = h.at((x + 1) % w, y) - h.at((x + w - 1) % w, y);
    const double gy = h.at(x, (y + 1) % ht) - h.at(x, (y + ht - 1) % ht);
    return 1.0 + strength * (gx + gy);
}

// The signed offset from c to p on a circle of length n, -n/2 to n/2.
double WrapOffset(double p, double c, int n)
{
    double d = std::fmod(p - c, static_cast<double>(n));
    if (d < -n * 0.5) d += n;
    if (d >= n * 0.5) d -= n;
    return d;
}

// ---------------------------------------------------------------- bark

// Rough bark: long ridges running along the trunk, splitting and merging,
// parted by narrow, deep furrows, the ridges broken by short cross cracks
// and covered in fibres. The furrows lie where a noise stretched along the
// trunk crosses zero, which makes them wander and fork as on a real trunk.
bool WriteBark(const std::string& out)
{
    const int w = 256, ht = 512;
    Field height(w, ht), tint(w, ht);
    height.Fill([](double u, double v) {
        const double wu = u + 0.02 * Fbm(u, v, 4, 2, 3, 0.5, 0x42410001U);
        const double split = Fbm(wu, v, 7, 2, 4, 0.55, 0x42410002U);
        const double ridge = SmoothStep(0.0, 0.13, std::fabs(split));
        const double crack = 1.0 - SmoothStep(0.0, 0.05, std::fabs(Fbm(u, v, 3, 14, 2, 0.5, 0x42410003U)));
        const double cross = 1.0 - crack * SmoothStep(0.1, 0.3, Fbm(u, v, 6, 10, 2, 0.5, 0x42410007U));
        const double fibres = Fbm(u, v, 32, 3, 3, 0.55, 0x42410004U);
        const double lumps = Fbm(u, v, 8, 8, 3, 0.5, 0x42410005U);
        return 0.68 * ridge * (0.7 + 0.3 * cross) + 0.18 * fibres + 0.14 * lumps;
    });
    tint.Fill([](double u, double v) { return 0.5 + 0.5 * Fbm(u, v, 3, 3, 3, 0.5, 0x42410006U); });
    Picture pic(w, ht);
    const Rgb deep{34.0, 25.0, 20.0}, bark{110.0, 88.0, 70.0}, grey{124.0, 116.0, 104.0}, red{118.0, 80.0, 58.0};
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x) {
            const double h = height.at(x, y);
            const double t = tint.at(x, y);
            const Rgb top = t < 0.5 ? Mix(grey, bark, t * 2.0) : Mix(bark, red, (t - 0.5) * 2.0);
            const Rgb c = Mix(deep, top, SmoothStep(0.08, 0.7, h));
            pic.Set(x, y, Scale(c, Relief(height, x, y, 1.8)));
        }
    return SaveRgbJpeg(out, "bark.jpg", w, ht, pic.rgb);
}

// ---------------------------------------------------------------- birch

struct Mark {
    double x, y;        // centre, pixels
    double halfLength;  // across the trunk (horizontal)
    double halfWidth;   // along the trunk
    double strength;    // 0 to 1
    Rgb colour;
    std::uint32_t seed;
};

// White bark with dark horizontal lenticels, a few broad black scars and
// some warm patches where the outer layer has peeled.
bool WriteBirch(const std::string& out)
{
    const int w = 256, ht = 512;
    Field base(w, ht);
    base.Fill([](double u, double v) {
        return 1.0 - 0.05 * Fbm(u, v, 4, 8, 4, 0.5, 0x42490001U) - 0.035 * Fbm(u, v, 2, 48, 3, 0.5, 0x42490002U);
    });
    std::vector<Rgb> colour(static_cast<std::size_t>(w) * ht);
    const Rgb white{232.0, 230.0, 221.0};
    for (std::size_t i = 0; i < colour.size(); ++i) colour[i] = Scale(white, base.values[i]);

    // (The fields of a braced list are evaluated left to right, so the draws
    // below come in a fixed order.)
    Sequence rnd(0x42495243U);
    std::vector<Mark> marks;
    const Rgb peel{214.0, 184.0, 150.0}, lenticel{52.0, 46.0, 42.0}, scar{26.0, 24.0, 24.0};
    for (int k = 0; k < 12; ++k)
        marks.push_back({rnd.Range(0, w), rnd.Range(0, ht), rnd.Range(10, 30), rnd.Range(3, 7), 0.55, peel, rnd.Next()});
    for (int k = 0; k < 170; ++k)
        marks.push_back({rnd.Range(0, w), rnd.Range(0, ht), rnd.Range(3, 18), rnd.Range(0.7, 2.0), rnd.Range(0.55, 0.95),
                         lenticel, rnd.Next()});
    for (int k = 0; k < 7; ++k)
        marks.push_back({rnd.Range(0, w), rnd.Range(0, ht), rnd.Range(22, 60), rnd.Range(4, 11), 0.95, scar, rnd.Next()});

    for (const Mark& m : marks) {
        const int x0 = static_cast<int>(std::floor(m.x - m.halfLength * 1.4 - 2));
        const int x1 = static_cast<int>(std::ceil(m.x + m.halfLength * 1.4 + 2));
        const int y0 = static_cast<int>(std::floor(m.y - m.halfWidth * 1.6 - 2));
        const int y1 = static_cast<int>(std::ceil(m.y + m.halfWidth * 1.6 + 2));
        for (int yy = y0; yy <= y1; ++yy)
            for (int xx = x0; xx <= x1; ++xx) {
                const int px = Wrap(xx, w), py = Wrap(yy, ht);
                const double dx = WrapOffset(px + 0.5, m.x, w) / m.halfLength;
                const double dy = WrapOffset(py + 0.5, m.y, ht) / m.halfWidth;
                // Ragged outline: the radius varies with noise around the mark.
                const double rough = ValueNoise(dx * 3.0 + 8.0, dy * 2.0 + 8.0, 64, 64, m.seed) - 0.5;
                const double d = dx * dx + dy * dy + 0.5 * rough;
                const double cover = (1.0 - SmoothStep(0.6, 1.0, d)) * m.strength;
                if (cover <= 0.0) continue;
                Rgb& c = colour[static_cast<std::size_t>(py) * w + px];
                c = Mix(c, m.colour, cover);
            }
    }
    Picture pic(w, ht);
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x) pic.Set(x, y, colour[static_cast<std::size_t>(y) * w + x]);
    return SaveRgbJpeg(out, "birch.jpg", w, ht, pic.rgb);
}

// ---------------------------------------------------------------- palm trunk

// One ring of a palm trunk (the trunk repeats it along its length): a dark
// groove where an old leaf base broke off, then the scar's lip, sloping back
// to the next groove, all covered in fibres along the trunk. The colour
// picture and its grey bump come from the same heights.
bool WritePalmTrunk(const std::string& out)
{
    const int w = 256, ht = 256;
    Field height(w, ht);
    height.Fill([](double u, double v) {
        const double groove = 0.12 + 0.025 * Sin2Pi(u * 3.0 + 0.3) + 0.03 * Fbm(u, 0.5, 5, 1, 3, 0.5, 0x50540001U);
        const double d = Fract(v - groove);
        const double shingle = SmoothStep(0.0, 0.1, d) * (1.0 - 0.6 * d);
        const double fibres = Fbm(u, v, 36, 3, 3, 0.55, 0x50540002U);
        const double patches = Fbm(u, v, 4, 4, 3, 0.5, 0x50540003U);
        return 0.7 * shingle + 0.2 * fibres + 0.1 * patches;
    });
    Picture pic(w, ht);
    const Rgb dark{58.0, 47.0, 36.0}, light{156.0, 138.0, 108.0};
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x)
            pic.Set(x, y, Scale(Mix(dark, light, SmoothStep(0.0, 0.85, height.at(x, y))), Relief(height, x, y, 1.2)));
    return SaveRgbJpeg(out, "palmtree.jpg", w, ht, pic.rgb) &&
           SaveGreyJpeg(out, "palmbark.jpg", w, ht, StretchToBytes(height, 10.0, 245.0));
}

// ---------------------------------------------------------------- cactus

// Green ribbed skin: ribs along the trunk, areoles along each crest with a
// cluster of pale spines. The bump picture (cactbump.jpg) raises the ribs,
// the areoles and the spines.
bool WriteCactus(const std::string& out)
{
    const int w = 256, ht = 512;
    constexpr int kRibs = 10, kAreoles = 20;  // round the trunk, along it
    Field bump(w, ht);
    Picture pic(w, ht);
    const Rgb groove{26.0, 58.0, 32.0}, crest{86.0, 132.0, 64.0}, felt{196.0, 190.0, 166.0};
    const Rgb spineBase{232.0, 222.0, 184.0}, spineTip{116.0, 96.0, 70.0};
    const double ribWidth = static_cast<double>(w) / kRibs, areoleGap = static_cast<double>(ht) / kAreoles;
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w, v = (y + 0.5) / ht;
            const double wobble = 0.006 * Sin2Pi(v * 2.0 + 0.1);
            const double r = Fract((u + wobble) * kRibs);
            const double rib = std::pow(1.0 - std::fabs(2.0 * r - 1.0), 0.6);
            const double skinNoise = Fbm(u, v, 16, 32, 3, 0.5, 0x43410001U);
            Rgb c = Scale(Mix(groove, crest, rib), 0.93 + 0.12 * skinNoise);
            double h = 0.62 * rib + 0.05 * skinNoise;

            // Areoles of this rib and its neighbours, with their spines.
            const int ribIndex = static_cast<int>(std::floor((u + wobble) * kRibs));
            double areole = 0.0, spine = 0.0, spineAlong = 0.0;
            for (int dr = -1; dr <= 1; ++dr) {
                const int ri = ribIndex + dr;
                const double cx = (ri + 0.5) * ribWidth - wobble * w;
                const double stagger = (Wrap(ri, kRibs) % 2) * 0.5;
                const int k0 = static_cast<int>(std::floor(v * kAreoles - stagger));
                for (int dk = -1; dk <= 1; ++dk) {
                    const int k = k0 + dk;
                    const double cy = (k + stagger + 0.5) * areoleGap;
                    const double ox = WrapOffset(x + 0.5, cx, w), oy = WrapOffset(y + 0.5, cy, ht);
                    const double dist = std::sqrt(ox * ox + oy * oy);
                    areole = std::max(areole, 1.0 - SmoothStep(1.6, 3.2, dist));
                    const std::uint32_t id = Hash2(Wrap(ri, kRibs), Wrap(k, kAreoles), 0x43410002U);
                    Sequence spines(id);
                    const int count = 5 + spines.Below(3);
                    for (int s = 0; s < count; ++s) {
                        const double angle = (s + spines.Range(-0.3, 0.3)) / count + 0.1;
                        const double length = spines.Range(6.0, 12.0);
                        const double ex = length * Sin2Pi(angle), ey = length * Cos2Pi(angle);
                        const double t = Clamp((ox * ex + oy * ey) / (length * length), 0.0, 1.0);
                        const double qx = ox - t * ex, qy = oy - t * ey;
                        const double d = std::sqrt(qx * qx + qy * qy);
                        const double cover = 1.0 - SmoothStep(0.35, 0.9 - 0.4 * t, d);
                        if (cover > spine) spine = cover, spineAlong = t;
                    }
                }
            }
            c = Mix(c, felt, areole);
            c = Mix(c, Mix(spineBase, spineTip, spineAlong * spineAlong), spine);
            h += 0.25 * areole + 0.3 * spine * (1.0 - 0.5 * spineAlong);
            bump.at(x, y) = h;
            pic.Set(x, y, c);
        }
    return SaveRgbJpeg(out, "cactus.jpg", w, ht, pic.rgb) &&
           SaveGreyJpeg(out, "cactbump.jpg", w, ht, StretchToBytes(bump, 0.0, 255.0));
}

// ---------------------------------------------------------------- ocean ripples

// A seamless grey ripple bump: sharp crests where a periodic noise,
// stretched across the direction the ripples run, crosses zero, so the
// crests are long, bent and now and then forked; a finer chop lies over
// them.
bool WriteRipple(const std::string& out)
{
    const int w = 256, ht = 256;
    Field field(w, ht);
    field.Fill([](double u, double v) {
        const double wu = u + 0.03 * Fbm(u, v, 3, 3, 3, 0.5, 0x52490001U);
        const double wv = v + 0.03 * Fbm(u, v, 3, 3, 3, 0.5, 0x52490002U);
        const double swell = 1.0 - std::fabs(Fbm(wu, wv, 3, 9, 3, 0.45, 0x52490003U));
        const double chop = 1.0 - std::fabs(Fbm(u, v, 12, 12, 2, 0.5, 0x52490004U));
        return 0.75 * swell * swell * swell + 0.25 * chop * chop;
    });
    return SaveGreyJpeg(out, "ripple.jpg", w, ht, StretchToBytes(field, 16.0, 240.0));
}

}  // namespace

bool GenerateStockTextures(const std::string& out)
{
    return WriteBark(out) && WriteBirch(out) && WritePalmTrunk(out) && WriteCactus(out) && WriteRipple(out) &&
           GenerateFoliageCards(out);
}

}  // namespace kv::datagen
