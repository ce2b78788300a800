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
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"
#include "tools/datagen/Generators.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

namespace {

// The sky dome takes atmos.jpg at the size of its cloud bitmap: 1024 pixels
// keep the clouds sharp on the dome's wide span.
constexpr int kTileSize = 1024;
constexpr int kPreviewWidth = 85;
constexpr int kPreviewHeight = 118;

// Fractal noise 0 to 1 (centred on 0.5) over the tile.
double Fbm01(double u, double v, int cellsX, int cellsY, int octaves, double gain, std::uint32_t seed)
{
    return 0.5 + 0.5 * Fbm(u, v, cellsX, cellsY, octaves, gain, seed);
}

// ------------------------------------------------------------------ cloud types
// Each returns the density 0 to 255 at tile coordinates (u, v), any real
// numbers (the field repeats with period 1).

// Almost cloudless: thin high cirrus, wisps drawn out along a wandering
// direction, nowhere dense.
double ClearSky(double u, double v)
{
    const double lift = 0.08 * Fbm(u, v, 2, 2, 3, 0.5, 11u);
    const double wu = u + 0.05 * Fbm(u, v, 3, 3, 2, 0.5, 12u);
    const double wv = v + lift;
    const double streak = Fbm01(wu, wv, 2, 18, 5, 0.6, 13u);
    const double patch = Fbm01(u, v, 3, 3, 3, 0.5, 14u);
    const double wisp = SmoothStep(0.5, 0.66, patch) * SmoothStep(0.5, 0.68, streak);
    return 185.0 * wisp * (0.6 + 0.4 * Fbm01(u, v, 24, 24, 2, 0.5, 15u));
}

// A broken layer: dense, lumpy cloud over about half the sky, with thin
// veils between the masses and open gaps here and there.
double CloudySky(double u, double v)
{
    const double wu = u + 0.05 * Fbm(u, v, 3, 3, 3, 0.5, 21u);
    const double wv = v + 0.05 * Fbm(u, v, 3, 3, 3, 0.5, 22u);
    const double n = Fbm01(wu, wv, 4, 4, 6, 0.55, 23u);
    const double veil = 40.0 * Fbm01(u, v, 6, 6, 3, 0.5, 25u);
    if (n < 0.5) return veil * SmoothStep(0.36, 0.5, n);
    if (n < 0.53) return Lerp(veil, 200.0, SmoothStep(0.5, 0.53, n));
    // Lit tops and shaded bases: brightness follows the lumps.
    const double lumps = Fbm01(wu, wv, 16, 16, 4, 0.5, 24u);
    return 212.0 + 43.0 * SmoothStep(0.53, 0.66, n) * (0.5 + 0.5 * lumps);
}

// A dense, dark overcast in layers: long bands of heavier and lighter cloud
// running across the sky, with only small, ragged breaks.
double OminousSky(double u, double v)
{
    const double lift = 0.05 * Fbm(u, v, 2, 2, 3, 0.5, 31u);
    const double wv = v + lift;
    const double layers = Fbm01(u, wv, 2, 14, 4, 0.55, 32u);
    const double billows = Fbm01(u, wv, 10, 16, 4, 0.5, 33u);
    const double holes = Fbm01(u, wv, 6, 10, 4, 0.6, 34u);
    // Breaks where the layers thin out: a few small openings.
    if (holes < 0.24) return 30.0 + 1500.0 * std::max(0.0, holes - 0.16);
    const double base = 192.0 + 34.0 * SmoothStep(0.25, 0.8, layers) * SmoothStep(0.2, 0.8, billows);
    return Lerp(150.0, base, SmoothStep(0.24, 0.29, holes));
}

// Cumulus of many sizes: a few large clouds, more middle-sized and many
// small ones, each a cluster of soft round lobes. The edge is soft but
// steep (a few pixels wide), and the dense body is bright right up to it:
// the sky-and-cloud blend darkens thin and barely dense cloud, so a wide
// fringe would show as a grey rim.
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
    Sequence random(42u);
    // Dart throwing from the largest sizes down: a candidate is kept when its
    // bounding circle stays clear of every earlier puff, across the tile's
    // edges too.
    for (int candidate = 0; candidate < 3000 && puffs.size() < 60; ++candidate) {
        Puff p;
        p.x = random.Uniform();
        p.y = random.Uniform();
        const double t = static_cast<double>(candidate) / 3000.0;
        // Sizes fall from about a tenth of the tile to a fiftieth.
        p.radius = 0.1 * (1.0 - t) * (1.0 - t) + 0.018 + 0.01 * random.Uniform();
        bool clear = true;
        for (const Puff& q : puffs) {
            const double dx = WrappedDelta(p.x - q.x);
            const double dy = WrappedDelta(p.y - q.y);
            const double gap = p.radius + q.radius + 0.02;
            if (dx * dx + dy * dy < gap * gap) {
                clear = false;
                break;
            }
        }
        if (!clear) {
            // Keep the sequence in step whatever happens to the candidate.
            for (int k = 0; k < 40; ++k) random.Next();
            continue;
        }
        const int lobes = 7 + random.Below(10);
        for (int l = 0; l < 40; ++l) {
            Lobe lobe;
            lobe.radius = p.radius * random.Range(0.25, 0.55);
            const double reach = p.radius - lobe.radius;
            double ox = random.Range(-1.0, 1.0);
            double oy = random.Range(-1.0, 1.0);
            if (l >= lobes) continue;
            const double len2 = ox * ox + oy * oy;
            if (len2 > 1.0) {
                const double len = std::sqrt(len2);
                ox /= len;
                oy /= len;
            }
            // Flatter below (towards +y): the lobes spread sideways.
            lobe.x = p.x + reach * ox;
            lobe.y = p.y + reach * oy * 0.7;
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
        if (px * px + py * py > p.radius * p.radius * 1.5) continue;
        for (const Lobe& l : p.lobes) {
            const double dx = px + p.x - l.x;
            const double dy = py + p.y - l.y;
            const double q = (dx * dx + dy * dy) / (l.radius * l.radius);
            if (q < 1.0) {
                const double w = 1.0 - q;
                field += w * w;
            }
        }
    }
    if (field <= 0.0) return 0.0;
    // A billowy outline: the threshold wavers a little.
    const double ragged = field + 0.2 * Fbm(u, v, 32, 32, 4, 0.55, 41u);
    constexpr double threshold = 0.18;
    constexpr double edge = 0.035;  // about three pixels of fringe
    if (ragged < threshold - edge) return 0.0;
    if (ragged < threshold) return 200.0 * SmoothStep(threshold - edge, threshold, ragged);
    // Cauliflower shading: bright turrets with faintly shaded creases.
    const double turrets = Fbm01(u, v, 40, 40, 3, 0.5, 43u);
    const double body = SmoothStep(threshold, threshold + 0.1, ragged);
    return 222.0 + 33.0 * body * (0.5 + 0.5 * SmoothStep(0.3, 0.7, turrets));
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
