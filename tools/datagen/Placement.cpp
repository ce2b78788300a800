// The sample placement bitmaps tree01.bmp to tree06.bmp: trees and rocks laid
// out on the sample heightfields height01.bmp to height06.bmp, each kind
// where it belongs:
//
//   - nothing in the water or on the wet edge of the shore;
//   - palms and ferns on the low ground near the shore;
//   - cacti on dry low ground;
//   - birches and dead trees on the middle slopes;
//   - evergreens and firs high up;
//   - rocks and pebbles on steep ground and on ridges.
//
// Each landscape has its own climate, which weighs the kinds (the canyon
// land grows cacti, the alpine range conifers), and its own number of
// objects. A slowly varying moisture field sets wet and dry ground, a grove
// field gathers trees into groves and stones into scree with open ground
// between, and every object keeps a distance from the others that suits its
// size, measured in scene units so that groves look alike whatever the
// heightfield's size.
//
// The placement bitmap and the heightfield share picture coordinates: the
// object of placement pixel (x, y) stands on the terrain vertex of heightfield
// pixel (x, y). So heights and slopes are read here straight from the
// heightfield picture, with the same border band (heights 0) as the terrain.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"
#include "tools/datagen/Generators.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

namespace {

constexpr int kKinds = 12;
enum Kind { Palm, Birch, Dead1, Dead2, Fern, Cactus, Evergreen, Fir, Boulder, Flatrock, Rock, Pebbles };

// The colour codes, R G B, in the order of Kind.
constexpr std::uint8_t kCodes[kKinds][3] = {{0, 0, 255}, {0, 0, 196}, {0, 0, 128}, {0, 0, 64},
                                            {0, 255, 0}, {0, 196, 0}, {0, 128, 0}, {0, 64, 0},
                                            {255, 0, 0}, {196, 0, 0}, {128, 0, 0}, {64, 0, 0}};

// How far each kind keeps from its neighbours, in scene units (the terrain
// is 10 units wide): about the crown of a tree or the width of a stone at
// the middle size setting.
constexpr double kSpacing[kKinds] = {0.42, 0.3, 0.34, 0.3, 0.2, 0.28, 0.3, 0.28, 0.3, 0.26, 0.2, 0.16};

// Scene heights below this are under the ocean plane (at 0.1) or at its edge.
constexpr double kShore = 0.14;

// Scene height of a grey heightfield pixel (R + G + B over 76.5 over 3).
constexpr double kSceneHeightPerGrey = 3.0 / 229.5;

struct PlacementDesign {
    const char* heightfield;
    const char* placement;
    int objects;                       // about how many objects
    std::array<double, kKinds> climate;  // weight of each kind in this landscape
    bool everyKind;                      // at least one object of every kind
    std::uint32_t seed;
};

// 1 inside [lo, hi], falling linearly to 0 over `soft` outside.
double Band(double v, double lo, double hi, double soft = 0.1)
{
    if (v < lo) return std::max(0.0, 1.0 - (lo - v) / soft);
    if (v > hi) return std::max(0.0, 1.0 - (v - hi) / soft);
    return 1.0;
}

// Rank of every value among `values` (0 lowest, 1 highest).
std::vector<double> Ranks(const std::vector<double>& values)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    std::vector<double> ranks(values.size());
    const double last = sorted.size() > 1 ? static_cast<double>(sorted.size() - 1) : 1.0;
    for (std::size_t i = 0; i < values.size(); ++i)
        ranks[i] =
            static_cast<double>(std::lower_bound(sorted.begin(), sorted.end(), values[i]) - sorted.begin()) / last;
    return ranks;
}

// How well each kind suits a spot: `alt` the height's rank among the land
// (0 lowest, 1 highest), `above` the height above the shore in scene units,
// `slope` the slope's rank among the land (0 flattest, 1 steepest), `ridge`
// how much the spot stands above its surroundings (0 none, 1 a sharp
// crest), `wet` the moisture 0 (dry) to 1 (wet).
std::array<double, kKinds> Suitability(double alt, double above, double slope, double ridge, double wet)
{
    std::array<double, kKinds> w{};
    const double dry = 1.0 - wet;
    const double gentle = Band(slope, 0.0, 0.6, 0.2);
    // Palms and ferns keep near the water: a little above the shore line.
    const double nearShore = Band(above, 0.0, 0.25, 0.2);
    w[Palm] = nearShore * Band(alt, 0.0, 0.3, 0.1) * gentle * Band(wet, 0.3, 1.0, 0.3);
    w[Fern] = 0.6 * nearShore * Band(alt, 0.0, 0.35, 0.1) * Band(slope, 0.0, 0.7, 0.2) * Band(wet, 0.45, 1.0, 0.2);
    w[Cactus] = Band(alt, 0.05, 0.4, 0.1) * Band(slope, 0.0, 0.45, 0.15) * Band(dry, 0.5, 1.0, 0.15);
    w[Birch] = 0.8 * Band(alt, 0.3, 0.6, 0.12) * Band(slope, 0.1, 0.7, 0.15) * Band(wet, 0.4, 1.0, 0.2);
    w[Dead1] = 0.4 * Band(alt, 0.3, 0.6, 0.12) * Band(slope, 0.0, 0.6, 0.15) * Band(dry, 0.4, 1.0, 0.2);
    w[Dead2] = 0.4 * Band(alt, 0.35, 0.65, 0.12) * Band(slope, 0.0, 0.6, 0.15) * Band(dry, 0.35, 1.0, 0.2);
    w[Evergreen] = 1.2 * Band(alt, 0.55, 0.8, 0.1) * Band(slope, 0.2, 0.85, 0.1) * Band(wet, 0.3, 1.0, 0.2);
    w[Fir] = 1.1 * Band(alt, 0.7, 0.92, 0.08) * Band(slope, 0.2, 0.88, 0.1) * Band(wet, 0.2, 1.0, 0.2);
    const double steep = Band(slope, 0.86, 1.0, 0.08);
    const double crest = Band(ridge, 0.55, 1.0, 0.2);
    w[Boulder] = 0.8 * std::max(steep, 0.6 * crest) * Band(alt, 0.2, 1.0, 0.1);
    w[Rock] = 0.7 * std::max(Band(slope, 0.78, 0.97, 0.06), 0.8 * crest);
    w[Pebbles] = 0.6 * std::max(steep, crest * Band(alt, 0.75, 1.0, 0.1));
    w[Flatrock] = 0.5 * std::max(Band(alt, 0.9, 1.0, 0.05) * Band(slope, 0.0, 0.5), Band(slope, 0.7, 0.82, 0.05));
    return w;
}

struct Spot {
    int x, y;
    std::array<double, kKinds> weight;  // in this landscape's climate and groves
    double total;
    std::array<double, kKinds> zone;    // how well the spot's height and slope suit each kind
};

bool WritePlacement(const std::string& out, const PlacementDesign& d)
{
    const std::string heightPath = JoinPath(out, d.heightfield);
    Bitmap24 height;
    try {
        height = LoadBitmap24(heightPath, BitmapWording::ForPath(heightPath));
    } catch (const JobFailure& failure) {
        std::fprintf(stderr, "kv-datagen: %s is laid out on %s, which must be generated first: %s\n", d.placement,
                     d.heightfield, failure.message.text.c_str());
        return false;
    }
    const int n = height.width;
    if (height.height != n || n < 16) {
        std::fprintf(stderr, "kv-datagen: %s must be square and at least 16 pixels wide\n", heightPath.c_str());
        return false;
    }

    // Scene heights of the terrain vertices, in picture coordinates.
    std::vector<double> z(static_cast<std::size_t>(n) * n, 0.0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool border = x <= 1 || y <= 1 || x == n - 1 || y == n - 1;
            const std::uint8_t* p = height.Pixel(x, y);
            if (!border) z[static_cast<std::size_t>(y) * n + x] = (p[0] + p[1] + p[2]) / 3.0 * kSceneHeightPerGrey;
        }
    auto Z = [&](int x, int y) { return z[static_cast<std::size_t>(y) * n + x]; };
    const double spacing = 10.0 / (n - 1);  // scene units between grid points

    // Candidate spots: dry land away from the border band. Slopes are taken
    // over a scene distance of about 0.2 and crests over about 0.6, so a
    // large heightfield reads its terrain as a small one does.
    const int reach = std::max(1, static_cast<int>(0.1 / spacing + 0.5));
    const int around = std::max(2, static_cast<int>(0.3 / spacing + 0.5));
    const int margin = std::max(3, around + 1);
    std::vector<int> xs, ys;
    std::vector<double> alts, slopes, ridges;
    for (int y = margin; y < n - margin; ++y)
        for (int x = margin; x < n - margin; ++x) {
            if (Z(x, y) < kShore) continue;
            const double gx = (Z(x + reach, y) - Z(x - reach, y)) / (2 * reach * spacing);
            const double gy = (Z(x, y + reach) - Z(x, y - reach)) / (2 * reach * spacing);
            const double mean = (Z(x + around, y) + Z(x - around, y) + Z(x, y + around) + Z(x, y - around)) / 4;
            xs.push_back(x);
            ys.push_back(y);
            alts.push_back(Z(x, y));
            slopes.push_back(std::sqrt(gx * gx + gy * gy));
            ridges.push_back(std::clamp((Z(x, y) - mean) / 0.12, 0.0, 1.0));
        }
    if (xs.size() < 200) {
        std::fprintf(stderr, "kv-datagen: %s has too little land for a placement\n", heightPath.c_str());
        return false;
    }
    const std::vector<double> altRank = Ranks(alts), slopeRank = Ranks(slopes);

    std::vector<Spot> spots;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        // Scene coordinates of the spot; the noise fields are laid out in
        // them (periods of the 10-unit terrain).
        const double u = xs[i] * spacing / 10.0, v = ys[i] * spacing / 10.0;
        // Moisture: large wet and dry regions with some finer variation.
        const double wet = 0.5 + 0.5 * (0.7 * Fbm(u, v, 3, 3, 1, 0.5, d.seed + 1) + 0.3 * Fbm(u, v, 9, 9, 1, 0.5, d.seed + 2));
        Spot s{xs[i], ys[i], Suitability(altRank[i], alts[i] - kShore, slopeRank[i], ridges[i], wet), 0, {}};
        s.zone = s.weight;
        // Trees gather in groves and stones in scree fields, with open ground between.
        const double grove = 0.5 + 0.5 * Fbm(u, v, 8, 8, 2, 0.5, d.seed + 3);
        for (int k = 0; k < kKinds; ++k) s.weight[k] *= d.climate[k] * (0.1 + 1.9 * grove * grove * grove);
        for (double w : s.weight) s.total += w;
        if (s.total > 0 || d.everyKind) spots.push_back(s);
    }
    // Visit the spots in a scattered but fixed order.
    std::sort(spots.begin(), spots.end(), [&](const Spot& a, const Spot& b) {
        return Hash2(a.x, a.y, d.seed + 4) < Hash2(b.x, b.y, d.seed + 4);
    });

    // Objects keep their distance from each other: a kind's spacing against
    // the spacing of what already stands nearby, whichever is larger.
    std::vector<int> kindAt(static_cast<std::size_t>(n) * n, -1);
    const double widest = *std::max_element(std::begin(kSpacing), std::end(kSpacing));
    const int search = static_cast<int>(std::ceil(widest / spacing));
    auto isFree = [&](int x, int y, int kind) {
        for (int dy = -search; dy <= search; ++dy)
            for (int dx = -search; dx <= search; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= n || ny >= n) continue;
                const int other = kindAt[static_cast<std::size_t>(ny) * n + nx];
                if (other < 0) continue;
                const double keep = std::max(kSpacing[kind], kSpacing[other]);
                if ((dx * dx + dy * dy) * spacing * spacing < keep * keep) return false;
            }
        return true;
    };
    std::array<int, kKinds> counts{};
    // The chance of a spot is its weight times a density, at most 1; the
    // density is found by halving the interval so that the chances add up
    // to the design's number. Spacing turns some spots away, so the spots
    // are visited again (with fresh chances) until the number is reached.
    double low = 0.0, high = 1e6;
    for (int step = 0; step < 60; ++step) {
        const double mid = 0.5 * (low + high);
        double expected = 0.0;
        for (const Spot& s : spots) expected += std::min(1.0, mid * s.total);
        (expected < d.objects ? low : high) = mid;
    }
    int placed = 0;
    for (std::uint32_t pass = 0; pass < 8 && placed < d.objects; ++pass)
        for (const Spot& s : spots) {
            if (placed >= d.objects) break;
            if (kindAt[static_cast<std::size_t>(s.y) * n + s.x] >= 0) continue;
            if (Unit(Hash3(s.x, s.y, static_cast<std::int32_t>(pass), d.seed + 5)) >= low * s.total) continue;
            double pick = Unit(Hash3(s.x, s.y, static_cast<std::int32_t>(pass), d.seed + 6)) * s.total;
            int kind = 0;
            while (kind < kKinds - 1 && (pick -= s.weight[kind]) >= 0) ++kind;
            while (s.weight[kind] <= 0) --kind;  // rounding at the top end
            if (!isFree(s.x, s.y, kind)) continue;
            kindAt[static_cast<std::size_t>(s.y) * n + s.x] = kind;
            ++counts[kind];
            ++placed;
        }
    // Where the landscape shows every kind, a kind its climate left out
    // still gets the free spot that suits it best.
    for (int kind = 0; kind < kKinds && d.everyKind; ++kind) {
        if (counts[kind] > 0) continue;
        const Spot* best = nullptr;
        for (const Spot& s : spots)
            if (isFree(s.x, s.y, kind) && (!best || s.zone[kind] > best->zone[kind])) best = &s;
        if (!best) {
            std::fprintf(stderr, "kv-datagen: no room left for every kind in %s\n", d.placement);
            return false;
        }
        kindAt[static_cast<std::size_t>(best->y) * n + best->x] = kind;
        ++counts[kind];
    }

    // A dim relief of the terrain as background helps whoever paints on the
    // picture; grey never matches a code (each code has one non-zero component).
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(n) * n * 3);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * n + x;
            const int kind = kindAt[i];
            const std::uint8_t* p = height.Pixel(x, y);
            const auto grey = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 9);
            for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = kind >= 0 ? kCodes[kind][c] : grey;
        }
    const std::string path = JoinPath(out, d.placement);
    if (!WriteBmp24(path, n, n, rgb.data())) {
        std::fprintf(stderr, "kv-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool GeneratePlacement(const std::string& out)
{
    // Climates, in the order palm, birch, deadtree1, deadtree2, fern, cactus,
    // evergreen, fir, boulder, flatrock, rock, pebbles.
    const PlacementDesign designs[] = {
        // A warm coast with a mountain block: every kind somewhere.
        {"height01.bmp", "tree01.bmp", 300, {1.4, 0.6, 0.5, 0.5, 1.2, 0.5, 1.0, 0.8, 1.0, 1.0, 1.0, 1.0}, true, 0x54520001U},
        // Canyon land: cacti and dead wood, palms at the few wet spots, much stone.
        {"height02.bmp", "tree02.bmp", 220, {0.4, 0.0, 1.0, 1.0, 0.1, 2.0, 0.15, 0.1, 1.4, 1.4, 1.4, 1.2}, false, 0x54520002U},
        // A mountain lake: conifer forest, birches lower down, stone above.
        {"height03.bmp", "tree03.bmp", 360, {0.0, 1.2, 0.3, 0.4, 0.6, 0.0, 1.4, 1.3, 0.9, 0.8, 1.0, 1.0}, false, 0x54520003U},
        // An alpine range: conifers up to the tree line, scree and boulders above.
        {"height04.bmp", "tree04.bmp", 420, {0.0, 0.8, 0.3, 0.4, 0.3, 0.0, 1.5, 1.5, 1.3, 0.9, 1.3, 1.3}, false, 0x54520004U},
        // A stormy island: wind-bent woods and much rock on the headlands.
        {"height05.bmp", "tree05.bmp", 420, {0.3, 1.0, 0.7, 0.6, 1.0, 0.0, 1.2, 1.0, 1.2, 1.2, 1.2, 1.0}, false, 0x54520005U},
        // Autumn hills: birches and dead trees, some evergreens, few stones.
        {"height06.bmp", "tree06.bmp", 340, {0.0, 1.8, 0.9, 1.0, 0.6, 0.0, 0.8, 0.4, 0.6, 0.6, 0.5, 0.4}, false, 0x54520006U},
    };
    for (const PlacementDesign& d : designs)
        if (!WritePlacement(out, d)) return false;
    return true;
}

}  // namespace kv::datagen
