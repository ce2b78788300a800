// The sample heightfields height01.bmp to height06.bmp: grey pictures whose
// brightness is the terrain height. Each is shaped from noise, weathered by
// running water that carves branching valleys (at twice the picture's
// resolution for the small ones), averaged down and scaled to its highest
// grey. Every one falls smoothly to the sea or a valley floor over its
// outer few percent, so that no terrain ends in a wall at its border.
//
//   height01  100  a mountain block with a plateau above a coastal plain
//   height02   50  a range beside a wide plain (a canyon land)
//   height03  128  a long range wrapped round a lake basin
//   height04  257  an alpine range above a lake, for Med Res
//   height05  513  a mountainous island with bays and headlands, for Hi Res
//   height06  129  rolling hills round a winding valley
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "tools/datagen/Field.h"
#include "tools/datagen/Generators.h"
#include "tools/datagen/Noise.h"

namespace kv::datagen {

namespace {

// Heights before weathering run from 0 (the deepest water) to about 1; the
// sea lies at this level (the ocean plane's grey 7.65 of 250).
constexpr double kSeaLevel = 0.03;

// The border falloff: 0 at the picture's edge, 1 from `width` inwards.
double EdgeFalloff(double u, double v, double width)
{
    const double edge = std::min(std::min(u, 1.0 - u), std::min(v, 1.0 - v));
    return SmoothStep(0.0, width, edge);
}

double EdgeDistance(double u, double v) { return std::min(std::min(u, 1.0 - u), std::min(v, 1.0 - v)); }

// ------------------------------------------------------------------ shapes

// A coast: mountain masses with ridged crests inland, a low plain reaching
// just below sea level on one side.
struct CoastDesign {
    std::uint32_t seed;
    double coastX, coastY;    // direction from the centre towards the plain
    double coastOffset;       // where the shore band lies along that direction
    int ridgeCells;           // lattice of the ridged noise over the picture
    double ridgeShare;        // ridges against rounded hills in the highlands
    double plateauLevel;      // highland height where a plateau is flattened (0: none)
    double plateauX, plateauY, plateauRadius;  // where (picture fractions)

    double operator()(double u, double v) const
    {
        const std::uint32_t s = seed;
        // Warped coordinates keep the shore and the crests from looking regular.
        const double wu = u + 0.06 * Fbm(u, v, 2, 2, 3, 0.5, s + 1);
        const double wv = v + 0.06 * Fbm(u, v, 2, 2, 3, 0.5, s + 2);

        const double along = (wu - 0.5) * coastX + (wv - 0.5) * coastY - coastOffset;
        const double shore = along + 0.12 * Fbm(u, v, 3, 3, 3, 0.5, s + 3);
        const double highland = 1.0 - SmoothStep(-0.22, 0.12, shore);

        // Broad mountain masses, cut into crests and valleys by ridged noise.
        const double mass = SmoothStep(-0.45, 0.6, Fbm(wu, wv, 2, 2, 3, 0.5, s + 5));
        const double ridges = RidgedFbm(wu, wv, ridgeCells, 6, 0.5, s + 4);
        double relief = mass * ((1.0 - ridgeShare) + ridgeShare * ridges);
        // Mountains grow towards the inland side.
        relief *= 0.55 + 0.45 * SmoothStep(-0.1, -0.6, shore);
        // The high ground sinks towards the picture's edges.
        relief *= SmoothStep(0.03, 0.22, EdgeDistance(u, v));

        double height = highland * relief;
        if (plateauLevel > 0.0) {
            // A flat-topped shelf: heights above the level are pressed down towards it.
            const double du = u - plateauX, dv = v - plateauY;
            const double inside = 1.0 - SmoothStep(0.6, 1.0, std::sqrt(du * du + dv * dv) / plateauRadius);
            if (height > plateauLevel) {
                const double pressed = plateauLevel + 0.15 * (height - plateauLevel);
                height = Lerp(height, pressed, inside);
            }
        }
        // The plain: low, gently undulating ground rising slowly inland.
        const double plain = 0.007 + 0.012 * (0.5 + 0.5 * Fbm(u, v, 4, 4, 4, 0.5, s + 6)) +
                             0.03 * SmoothStep(0.38, -0.25, shore);
        return (plain + height) * EdgeFalloff(u, v, 0.075);
    }
};

// An alpine range: a main crest running across the far half of the picture
// with spurs coming down towards the near edge, sharp ridged peaks, and a
// broad valley floor in front that holds a lake.
struct AlpineDesign {
    std::uint32_t seed;

    double operator()(double u, double v) const
    {
        const std::uint32_t s = seed;
        const double wu = u + 0.05 * Fbm(u, v, 2, 2, 4, 0.5, s + 1);
        const double wv = v + 0.05 * Fbm(u, v, 2, 2, 4, 0.5, s + 2);
        // The main crest winds across the picture at about a third of its height.
        const double crestLine = 0.36 + 0.09 * Fbm(wu, 0.0, 2, 1, 3, 0.5, s + 3);
        const double fromCrest = wv - crestLine;
        // Falls gently behind the crest and in long spurs towards the valley.
        const double envelope = fromCrest < 0.0 ? SmoothStep(-0.42, -0.02, fromCrest)
                                                : 1.0 - SmoothStep(0.04, 0.5, fromCrest);
        const double spurs = 0.5 + 0.5 * Fbm(wu * 1.0, wv * 0.5, 5, 2, 3, 0.5, s + 4);
        const double ridges = RidgedFbm(wu, wv, 4, 7, 0.52, s + 5);
        double relief = envelope * (0.35 + 0.65 * ridges) * (0.6 + 0.6 * spurs);
        // A few summits stand above the rest.
        relief *= 0.75 + 0.5 * SmoothStep(-0.2, 0.6, Fbm(wu, wv, 3, 3, 3, 0.5, s + 6));
        relief *= SmoothStep(0.03, 0.2, EdgeDistance(u, v));
        // The valley floor: just above the water at its sides, a lake in the
        // middle of the near half.
        const double du = (wu - 0.52) / 0.3, dv = (wv - 0.8) / 0.14;
        const double lake = 1.0 - SmoothStep(0.55, 1.0, std::sqrt(du * du + dv * dv));
        const double floor = 0.036 + 0.012 * (0.5 + 0.5 * Fbm(u, v, 6, 6, 3, 0.5, s + 7)) - 0.028 * lake;
        return (floor + relief * (1.0 - 0.8 * lake)) * EdgeFalloff(u, v, 0.07);
    }
};

// An island: a ragged coastline with bays and headlands round a mountainous
// interior, the highest ground towards the far side, beaches and low
// shelves on the near side.
struct IslandDesign {
    std::uint32_t seed;

    double operator()(double u, double v) const
    {
        const std::uint32_t s = seed;
        const double wu = u + 0.07 * Fbm(u, v, 3, 3, 4, 0.5, s + 1);
        const double wv = v + 0.07 * Fbm(u, v, 3, 3, 4, 0.5, s + 2);
        const double du = (wu - 0.5) / 0.42, dv = (wv - 0.5) / 0.4;
        const double radius = std::sqrt(du * du + dv * dv);
        // Bays and headlands: the coast's distance from the middle varies.
        const double coast = radius + 0.28 * Fbm(u, v, 4, 4, 5, 0.55, s + 3);
        const double land = 1.0 - SmoothStep(0.8, 1.0, coast);
        const double inland = 1.0 - SmoothStep(0.2, 0.95, coast);
        const double ridges = RidgedFbm(wu, wv, 3, 8, 0.5, s + 4);
        const double mass = SmoothStep(-0.6, 0.4, Fbm(wu, wv, 2, 2, 3, 0.5, s + 5));
        // The high ground lies towards the far (upper) side.
        const double far = 0.6 + 0.4 * SmoothStep(0.75, 0.2, v);
        const double relief = inland * mass * (0.25 + 0.75 * ridges) * far;
        // Low coastal land rising from the beaches.
        const double lowland = 0.034 + 0.025 * (0.5 + 0.5 * Fbm(u, v, 8, 8, 4, 0.5, s + 6));
        const double seabed = 0.015 * (1.0 - SmoothStep(1.0, 1.4, coast));
        return (land * (lowland + relief) + (1.0 - land) * seabed) * EdgeFalloff(u, v, 0.06);
    }
};

// Rolling hills: rounded tops with only a little ridging, a winding valley
// crossing the picture, and a low floor round the edges.
struct HillsDesign {
    std::uint32_t seed;

    double operator()(double u, double v) const
    {
        const std::uint32_t s = seed;
        const double wu = u + 0.08 * Fbm(u, v, 2, 2, 3, 0.5, s + 1);
        const double wv = v + 0.08 * Fbm(u, v, 2, 2, 3, 0.5, s + 2);
        const double hills = 0.5 + 0.5 * Fbm(wu, wv, 3, 3, 5, 0.45, s + 3);
        const double ridges = RidgedFbm(wu, wv, 3, 5, 0.45, s + 4);
        double relief = SmoothStep(0.3, 0.85, hills) * (0.75 + 0.25 * ridges);
        // The valley winds from the near left to the far right.
        const double valleyLine = 0.25 + 0.5 * wu + 0.1 * Fbm(wu, 0.0, 3, 1, 2, 0.5, s + 5);
        const double valley = SmoothStep(0.0, 0.16, std::fabs(wv - valleyLine));
        relief *= valley * SmoothStep(0.03, 0.2, EdgeDistance(u, v));
        const double floor = 0.031 + 0.02 * SmoothStep(0.0, 0.3, std::fabs(wv - valleyLine));
        return (floor + relief) * EdgeFalloff(u, v, 0.07);
    }
};

using Shape = std::function<double(double, double)>;

struct TerrainDesign {
    const char* name;
    int size;              // picture side in pixels
    int oversampling;      // weathering runs at this many cells per pixel side
    Shape shape;
    int rounds;            // weathering rounds
    double strength;       // incision strength
    std::uint32_t seed;    // for the streams' wandering
    double peakGrey;       // grey of the highest point
};

// Landscape weathering by running water. Each round fills every closed
// hollow up to its spill point (rain collects and overflows), lets each cell
// drain to its steepest lower neighbour, counts the area draining through
// each cell, and lowers every cell towards its downstream neighbour the more
// the larger that area is (implicitly, so a river bed never drops below the
// cell it flows into). A little smoothing wears the slopes between the
// rivers. The water leaves over the picture's border and into the ground
// at sea level, which is never lowered.
void Weather(Field& h, double seaLevel, int rounds, double strength, std::uint32_t seed)
{
    const int w = h.width, ht = h.height;
    const std::size_t n = h.values.size();
    const int dx[8] = {1, -1, 0, 0, 1, -1, 1, -1};
    const int dy[8] = {0, 0, 1, -1, 1, 1, -1, -1};
    const double dist[8] = {1.0, 1.0, 1.0, 1.0, 1.4142135623730951, 1.4142135623730951, 1.4142135623730951,
                            1.4142135623730951};
    std::vector<std::uint32_t> order;
    std::vector<std::int32_t> receiver(n);
    std::vector<double> area(n);
    std::vector<char> done(n);
    order.reserve(n);
    for (int round = 0; round < rounds; ++round) {
        // Water leaves over the border freely: each border cell lies a little
        // below its inner neighbour, so the border neither dams nor drains
        // the ground beside it.
        for (int k = 1; k < w - 1; ++k) {
            h.at(k, 0) = std::min(h.at(k, 0), h.at(k, 1) - 0.01);
            h.at(k, ht - 1) = std::min(h.at(k, ht - 1), h.at(k, ht - 2) - 0.01);
        }
        for (int k = 0; k < ht; ++k) {
            h.at(0, k) = std::min(h.at(0, k), h.at(1, k) - 0.01);
            h.at(w - 1, k) = std::min(h.at(w - 1, k), h.at(w - 2, k) - 0.01);
        }
        // Fill hollows (flooding from the outlets in order of height); the
        // flooding order is also an order in which every cell comes after
        // the cell it drains into.
        using Item = std::pair<double, std::uint32_t>;
        std::vector<Item> heap;
        std::fill(done.begin(), done.end(), 0);
        order.clear();
        auto push = [&](double level, std::uint32_t i) {
            heap.emplace_back(level, i);
            std::push_heap(heap.begin(), heap.end(), std::greater<Item>());
        };
        for (int y = 0; y < ht; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t i = static_cast<std::uint32_t>(y * w + x);
                if (x == 0 || y == 0 || x == w - 1 || y == ht - 1 || h.values[i] <= seaLevel) {
                    done[i] = 1;
                    push(h.values[i], i);
                }
            }
        while (!heap.empty()) {
            std::pop_heap(heap.begin(), heap.end(), std::greater<Item>());
            const auto [level, i] = heap.back();
            heap.pop_back();
            order.push_back(i);
            const int x = static_cast<int>(i % static_cast<std::uint32_t>(w)), y = static_cast<int>(i / w);
            for (int k = 0; k < 8; ++k) {
                const int nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= w || ny >= ht) continue;
                const std::uint32_t j = static_cast<std::uint32_t>(ny * w + nx);
                if (done[j]) continue;
                done[j] = 1;
                h.values[j] = std::max(h.values[j], level + 1e-4);
                push(h.values[j], j);
            }
        }
        // Steepest descent (each slope weighed by a random factor, so that
        // streams wander instead of following the eight directions) and the
        // drained area.
        for (std::size_t i = 0; i < n; ++i) {
            const int x = static_cast<int>(i % static_cast<std::size_t>(w)), y = static_cast<int>(i / w);
            receiver[i] = -1;
            if (x == 0 || y == 0 || x == w - 1 || y == ht - 1 || h.values[i] <= seaLevel) continue;
            double steepest = 0.0;
            for (int k = 0; k < 8; ++k) {
                const std::size_t j = static_cast<std::size_t>((y + dy[k]) * w + x + dx[k]);
                const double wander = 0.7 + 0.6 * Unit(Hash3(static_cast<std::int32_t>(i), k, round, seed));
                const double slope = (h.values[i] - h.values[j]) / dist[k] * wander;
                if (slope > steepest) steepest = slope, receiver[i] = static_cast<std::int32_t>(j);
            }
        }
        std::fill(area.begin(), area.end(), 1.0);
        for (std::size_t k = n; k-- > 0;) {
            const std::uint32_t i = order[k];
            if (receiver[i] >= 0) area[static_cast<std::size_t>(receiver[i])] += area[i];
        }
        // Incision, downstream first.
        for (std::uint32_t i : order) {
            if (receiver[i] < 0) continue;
            const std::size_t r = static_cast<std::size_t>(receiver[i]);
            const int x = static_cast<int>(i % static_cast<std::uint32_t>(w)), y = static_cast<int>(i / w);
            const int rx = static_cast<int>(r % static_cast<std::size_t>(w)), ry = static_cast<int>(r / w);
            const double length = (x != rx && y != ry) ? 1.4142135623730951 : 1.0;
            const double f = strength * std::sqrt(area[i]) / length;
            h.values[i] = (h.values[i] + f * h.values[r]) / (1.0 + f);
        }
        // Slope wear: a gentle smoothing of the interior.
        Field before = h;
        for (int y = 1; y < ht - 1; ++y)
            for (int x = 1; x < w - 1; ++x) {
                const double c = before.at(x, y);
                if (c <= seaLevel) continue;
                const double lap = before.at(x - 1, y) + before.at(x + 1, y) + before.at(x, y - 1) +
                                   before.at(x, y + 1) - 4.0 * c;
                h.at(x, y) = c + 0.1 * lap;
            }
    }
}

// The grey a pixel may reach at `d` pixels from the nearest edge of a
// picture of side `size`: under the water in the outer 2.5%, then rising
// smoothly to no limit at 8%. Shapes already fall off there; this only
// shaves what weathering left standing.
double BorderCeiling(double d, int size)
{
    const double t = SmoothStep(0.025 * size, 0.08 * size, d);
    return 5.0 + 250.0 * t * t;
}

bool WriteTerrain(const std::string& out, const TerrainDesign& d)
{
    const int fine = d.size * d.oversampling;
    Field field(fine, fine);
    field.Fill([&](double u, double v) { return d.shape(u, v); });
    // Erosion works on heights in lattice units: the highest ground rises
    // about a third of the picture's side above the sea, as in the scene.
    const double relief = 0.3 * fine;
    for (double& value : field.values) value *= relief;
    Weather(field, kSeaLevel * relief, d.rounds, d.strength, d.seed);
    while (field.width > d.size) field = HalveByAveraging(field);

    // Scaled so that the highest point is the design's peak grey; the
    // middle heights are lifted a little (the low ground keeps its heights),
    // which gives the mountains more body in a scene whose relief is a third
    // of its width.
    const double highest = *std::max_element(field.values.begin(), field.values.end());
    std::vector<std::uint8_t> grey(field.values.size());
    for (int y = 0; y < d.size; ++y)
        for (int x = 0; x < d.size; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * d.size + x;
            const double h = field.values[i] / highest;
            const double lifted = d.peakGrey * h * (1.0 + 0.6 * h * (1.0 - h));
            const double edge = std::min(std::min(x, d.size - 1 - x), std::min(y, d.size - 1 - y));
            grey[i] = ToByte(std::min(lifted, BorderCeiling(edge, d.size)));
        }
    return SaveGreyBmp(out, d.name, d.size, d.size, grey);
}

}  // namespace

bool GenerateHeightfields(const std::string& out)
{
    // seed, towards the plain, shore offset, ridge lattice, ridge share, plateau
    const CoastDesign block{0x48460107U, 0.7071, 0.7071, 0.16, 3, 0.7, 0.42, 0.68, 0.22, 0.16};
    const CoastDesign canyon{0x48460105U, -1.0, 0.0, 0.1, 2, 0.55, 0.0, 0.0, 0.0, 1.0};
    const CoastDesign basin{0x48460003U, 0.0, 1.0, 0.19, 4, 0.8, 0.5, 0.3, 0.28, 0.15};
    const TerrainDesign designs[] = {
        {"height01.bmp", 100, 2, block, 30, 0.15, 0x48460107U + 99, 250.0},
        {"height02.bmp", 50, 2, canyon, 30, 0.15, 0x48460105U + 99, 250.0},
        {"height03.bmp", 128, 2, basin, 30, 0.15, 0x48460003U + 99, 250.0},
        {"height04.bmp", 257, 1, AlpineDesign{0x48460004U}, 24, 0.2, 0x48460004U + 99, 250.0},
        {"height05.bmp", 513, 1, IslandDesign{0x48460005U}, 24, 0.2, 0x48460005U + 99, 235.0},
        {"height06.bmp", 129, 2, HillsDesign{0x48460006U}, 20, 0.12, 0x48460006U + 99, 150.0},
    };
    for (const TerrainDesign& d : designs)
        if (!WriteTerrain(out, d)) return false;
    return true;
}

}  // namespace kv::datagen
