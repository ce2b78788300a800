// The stock cloud bitmaps: clear.bmp, cloudy.bmp, ominous.bmp and puff.bmp,
// and their small versions ~clear.bmp ... ~puff.bmp for the main window's sky
// preview.
//
// Each cloud type is a density field over one tile of sky, periodic in both
// directions: the sky dome maps the picture from above with 2 x 2 repeats, so
// opposite edges must meet without a seam. A pixel's grey level is the
// density: 0 is clear sky, 1 to 191 thin cloud mixed with the sky, 192 to 255
// dense cloud at that brightness.
//
// The full bitmaps show the tile from above. The preview bitmaps show the same
// field seen from the ground toward the horizon: a pinhole view of the cloud
// layer, the top row looking well up, the bottom row just above the horizon,
// where the distant clouds bunch together.
//
// Everything is integer hashing and plain arithmetic (no library
// transcendental functions, no unseeded randomness), so every build writes the
// same bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bitmap/Bitmap24.h"
#include "platform/Paths.h"
#include "tools/datagen/Generators.h"

namespace kv::datagen {

namespace {

constexpr int kTileSize = 512;
constexpr int kPreviewWidth = 85;
constexpr int kPreviewHeight = 118;

// ------------------------------------------------------------------ hashing

std::uint32_t Mix(std::uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    return Mix(x * 0x9e3779b1u ^ Mix(y * 0x85ebca77u ^ Mix(seed + 0x27d4eb2fu)));
}

// A number in [0, 1) from a hash.
double Unit(std::uint32_t h) { return static_cast<double>(h >> 8) / 16777216.0; }

// ------------------------------------------------------------------ noise

constexpr double kDiagonal = 0.70710678118654752440;
constexpr double kGradients[8][2] = {{1, 0},  {-1, 0}, {0, 1},  {0, -1}, {kDiagonal, kDiagonal},
                                     {-kDiagonal, kDiagonal}, {kDiagonal, -kDiagonal}, {-kDiagonal, -kDiagonal}};

double Quintic(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

int Wrap(std::int64_t i, int period)
{
    const std::int64_t r = i % period;
    return static_cast<int>(r < 0 ? r + period : r);
}

// Gradient noise on a lattice of periodX by periodY cells that repeats after
// one period in each direction; about -0.7 to 0.7.
double PeriodicNoise(double x, double y, int periodX, int periodY, std::uint32_t seed)
{
    const double fx0 = std::floor(x);
    const double fy0 = std::floor(y);
    const double fx = x - fx0;
    const double fy = y - fy0;
    const int x0 = Wrap(static_cast<std::int64_t>(fx0), periodX);
    const int y0 = Wrap(static_cast<std::int64_t>(fy0), periodY);
    const int x1 = (x0 + 1) % periodX;
    const int y1 = (y0 + 1) % periodY;
    auto corner = [&](int ix, int iy, double dx, double dy) {
        const double* g = kGradients[Hash(static_cast<std::uint32_t>(ix), static_cast<std::uint32_t>(iy), seed) & 7u];
        return g[0] * dx + g[1] * dy;
    };
    const double n00 = corner(x0, y0, fx, fy);
    const double n10 = corner(x1, y0, fx - 1.0, fy);
    const double n01 = corner(x0, y1, fx, fy - 1.0);
    const double n11 = corner(x1, y1, fx - 1.0, fy - 1.0);
    const double u = Quintic(fx);
    const double v = Quintic(fy);
    const double a = n00 + (n10 - n00) * u;
    const double b = n01 + (n11 - n01) * u;
    return a + (b - a) * v;
}

// Fractal sum of periodic noise over the tile coordinates (u, v) in [0, 1):
// octave o has 2^o times the base periods. Roughly 0 to 1, centred on 0.5.
double Fbm(double u, double v, int periodX, int periodY, int octaves, double gain, std::uint32_t seed)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * PeriodicNoise(u * periodX, v * periodY, periodX, periodY, seed + 101u * o);
        total += amplitude;
        amplitude *= gain;
        periodX *= 2;
        periodY *= 2;
    }
    return 0.5 + 0.75 * sum / total;
}

double Clamp01(double t) { return t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t); }

double Smoothstep(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// ------------------------------------------------------------------ cloud types
// Each returns the density 0 to 255 at tile coordinates (u, v), any real
// numbers (the field repeats with period 1).

// Almost cloudless: a few faint cirrus wisps drawn out along one direction.
double ClearSky(double u, double v)
{
    const double patch = Fbm(u, v, 2, 2, 3, 0.5, 11u);
    const double streak = Fbm(u, v, 2, 9, 5, 0.55, 12u);
    const double wisp = Smoothstep(0.55, 0.68, patch) * Smoothstep(0.48, 0.66, streak);
    return 170.0 * wisp;
}

// A broad, soft cover with thinner gaps and gently varying brightness.
double CloudySky(double u, double v)
{
    const double wu = u + 0.08 * (Fbm(u, v, 2, 2, 3, 0.5, 21u) - 0.5);
    const double wv = v + 0.08 * (Fbm(u, v, 2, 2, 3, 0.5, 22u) - 0.5);
    const double n = Fbm(wu, wv, 3, 3, 7, 0.52, 23u);
    const double cover = Smoothstep(0.30, 0.62, n);
    const double shade = Fbm(u, v, 4, 4, 5, 0.5, 24u);
    return cover * (205.0 + 50.0 * Clamp01(shade * 1.4 - 0.2));
}

// Heavy storm masses covering most of the sky: a dark rim of thick cloud
// round each mass, dark billows inside that only here and there break into
// brighter tops, a narrow fringe of thin cloud and a little open sky between.
double OminousSky(double u, double v)
{
    const double wu = u + 0.12 * (Fbm(u, v, 2, 2, 4, 0.5, 31u) - 0.5);
    const double wv = v + 0.12 * (Fbm(u, v, 2, 2, 4, 0.5, 32u) - 0.5);
    const double n = Fbm(wu, wv, 2, 2, 7, 0.55, 33u);
    constexpr double edge = 0.42;
    constexpr double fringe = 0.03;
    if (n < edge - fringe) return 0.0;
    if (n < edge) return 150.0 * Smoothstep(edge - fringe, edge, n);  // the thin fringe
    // Within the mass: the darkest dense cloud (192) along the rim and in the
    // creases between the billows, brighter toward each billow's middle.
    const double depth = Smoothstep(edge + 0.01, edge + 0.14, n);
    const double billows = Fbm(wu, wv, 5, 5, 5, 0.5, 34u);
    const double inner = 196.0 + 56.0 * Smoothstep(0.36, 0.62, billows);
    return 192.0 + (inner - 192.0) * depth;
}

// Separate cumulus puffs scattered over the tile without touching: each a
// cluster of soft round lobes, bright white in the middle, greyer in the
// creases and toward its edge, with a short fringe of thin cloud.
struct Lobe {
    double x, y, radius;
};
struct Puff {
    double x, y, radius;  // the puff's bounding circle
    std::vector<Lobe> lobes;
};

// Distance along one axis on the torus of period 1.
double WrappedDelta(double d) { return d - std::floor(d + 0.5); }

std::vector<Puff> PlacePuffs()
{
    std::vector<Puff> puffs;
    // Dart throwing with a fixed candidate sequence: a candidate is kept when
    // its bounding circle stays clear of every earlier puff, across the tile's
    // edges too.
    for (std::uint32_t candidate = 0; candidate < 400 && puffs.size() < 26; ++candidate) {
        const std::uint32_t h = Hash(candidate, 0u, 42u);
        Puff p;
        p.x = Unit(h);
        p.y = Unit(Mix(h + 1u));
        const double size = Unit(Mix(h + 2u));
        p.radius = 0.04 + 0.06 * size * size;
        bool clear = true;
        for (const Puff& q : puffs) {
            const double dx = WrappedDelta(p.x - q.x);
            const double dy = WrappedDelta(p.y - q.y);
            const double gap = p.radius + q.radius + 0.03;
            if (dx * dx + dy * dy < gap * gap) {
                clear = false;
                break;
            }
        }
        if (!clear) continue;
        const int lobes = 6 + static_cast<int>(Mix(h + 3u) % 6u);
        for (int l = 0; l < lobes; ++l) {
            const std::uint32_t lh = Mix(h + 10u + static_cast<std::uint32_t>(l));
            Lobe lobe;
            lobe.radius = p.radius * (0.35 + 0.25 * Unit(lh));
            const double reach = p.radius - lobe.radius;
            // A point in the square, pulled into the disc of the reach.
            double ox = Unit(Mix(lh + 1u)) * 2.0 - 1.0;
            double oy = Unit(Mix(lh + 2u)) * 2.0 - 1.0;
            const double len2 = ox * ox + oy * oy;
            if (len2 > 1.0) {
                const double len = std::sqrt(len2);
                ox /= len;
                oy /= len;
            }
            lobe.x = p.x + reach * ox;
            lobe.y = p.y + reach * oy;
            p.lobes.push_back(lobe);
        }
        puffs.push_back(p);
    }
    return puffs;
}

double PuffySky(double u, double v)
{
    static const std::vector<Puff> puffs = PlacePuffs();
    double field = 0.0;
    for (const Puff& p : puffs) {
        const double px = WrappedDelta(u - p.x);
        const double py = WrappedDelta(v - p.y);
        if (px * px + py * py > p.radius * p.radius * 1.3) continue;
        for (const Lobe& l : p.lobes) {
            const double dx = px + p.x - l.x;
            const double dy = py + p.y - l.y;
            const double q = (dx * dx + dy * dy) / (l.radius * l.radius);
            if (q < 1.0) {
                const double w = 1.0 - q;
                field += w * w * w;
            }
        }
    }
    if (field <= 0.0) return 0.0;
    const double ragged = field + 0.12 * (Fbm(u, v, 24, 24, 3, 0.5, 41u) - 0.5);
    constexpr double threshold = 0.12;
    constexpr double fringe = 0.08;
    if (ragged < threshold - fringe) return 0.0;
    if (ragged < threshold) return 191.0 * Smoothstep(threshold - fringe, threshold, ragged);
    // Cauliflower shading: small bright turrets with grey creases between them.
    const double turrets = Fbm(u, v, 40, 40, 3, 0.5, 43u);
    const double body = Smoothstep(threshold, 0.55, ragged);
    return 192.0 + 63.0 * body * (0.55 + 0.45 * Smoothstep(0.35, 0.65, turrets));
}

using CloudField = double (*)(double, double);

std::uint8_t Grey(double density)
{
    const double d = density < 0.0 ? 0.0 : (density > 255.0 ? 255.0 : density);
    return static_cast<std::uint8_t>(d + 0.5);
}

// The tile from above, one sample per pixel centre.
std::vector<std::uint8_t> RenderTile(CloudField field)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kTileSize) * kTileSize * 3);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const double u = (x + 0.5) / kTileSize;
            const double v = (y + 0.5) / kTileSize;
            const std::uint8_t g = Grey(field(u, v));
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * kTileSize + x) * 3;
            p[0] = p[1] = p[2] = g;
        }
    }
    return rgb;
}

// The field seen from the ground: a pinhole camera looking along +v with the
// horizon a little below the bottom row. A ray through screen offset (sx, sy)
// meets the cloud layer at distance 1/sy, at (sx / sy, 1 / sy) in layer units;
// the layer shows `scale` tiles per unit. Each pixel averages 4 x 4 rays, so
// the far clouds near the horizon blend into a denser band instead of
// flickering.
std::vector<std::uint8_t> RenderPreview(CloudField field)
{
    constexpr double focal = 90.0;         // pixels
    constexpr double horizonRow = 124.0;   // below the last row (117)
    constexpr double scale = 0.35;         // tiles per layer unit
    constexpr int samples = 4;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kPreviewWidth) * kPreviewHeight * 3);
    for (int y = 0; y < kPreviewHeight; ++y) {
        for (int x = 0; x < kPreviewWidth; ++x) {
            double sum = 0.0;
            for (int j = 0; j < samples; ++j) {
                for (int i = 0; i < samples; ++i) {
                    const double px = x + (i + 0.5) / samples;
                    const double py = y + (j + 0.5) / samples;
                    const double sx = (px - kPreviewWidth / 2.0) / focal;
                    const double sy = (horizonRow - py) / focal;
                    const double distance = 1.0 / sy;
                    sum += field(0.37 + scale * sx * distance, 0.61 + scale * distance);
                }
            }
            const std::uint8_t g = Grey(sum / (samples * samples));
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * kPreviewWidth + x) * 3;
            p[0] = p[1] = p[2] = g;
        }
    }
    return rgb;
}

struct CloudType {
    const char* file;
    const char* previewFile;
    CloudField field;
};

constexpr CloudType kCloudTypes[] = {
    {"clear.bmp", "~clear.bmp", ClearSky},
    {"cloudy.bmp", "~cloudy.bmp", CloudySky},
    {"ominous.bmp", "~ominous.bmp", OminousSky},
    {"puff.bmp", "~puff.bmp", PuffySky},
};

}  // namespace

bool GenerateClouds(const std::string& out)
{
    for (const CloudType& type : kCloudTypes) {
        const std::string tilePath = JoinPath(out, type.file);
        const std::vector<std::uint8_t> tile = RenderTile(type.field);
        if (!WriteBmp24(tilePath, kTileSize, kTileSize, tile.data())) {
            std::fprintf(stderr, "kv-datagen: cannot write %s\n", tilePath.c_str());
            return false;
        }
        const std::string previewPath = JoinPath(out, type.previewFile);
        const std::vector<std::uint8_t> preview = RenderPreview(type.field);
        if (!WriteBmp24(previewPath, kPreviewWidth, kPreviewHeight, preview.data())) {
            std::fprintf(stderr, "kv-datagen: cannot write %s\n", previewPath.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace kv::datagen
