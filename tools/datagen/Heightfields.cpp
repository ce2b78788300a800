// The sample heightfields height01.bmp, height02.bmp and height03.bmp: grey
// pictures whose brightness is the terrain height. Each is shaped from noise
// (mountain masses with ridged crests, a low coastal plain reaching just
// below sea level), then weathered by running water that carves branching
// valleys, at twice the picture's resolution, and averaged down. The
// highest peak is grey 250.
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

struct TerrainDesign {
    const char* name;
    int size;                 // picture side in pixels
    std::uint32_t seed;
    double coastX, coastY;    // direction from the centre towards the plain
    double coastOffset;       // where the shore band lies along that direction
    int ridgeCells;           // lattice of the ridged noise over the picture
    double ridgeShare;        // ridges against rounded hills in the highlands
    double plateauLevel;      // highland height where a plateau is flattened (0: none)
    double plateauX, plateauY, plateauRadius;  // where (picture fractions)
};

constexpr int kOversampling = 2;

// The terrain before weathering, 0 (sea) to about 1, at (u, v) in [0, 1).
double Shape(const TerrainDesign& d, double u, double v)
{
    const std::uint32_t s = d.seed;
    // Warped coordinates keep the shore and the crests from looking regular.
    const double wu = u + 0.06 * Fbm(u, v, 2, 2, 3, 0.5, s + 1);
    const double wv = v + 0.06 * Fbm(u, v, 2, 2, 3, 0.5, s + 2);

    const double along = (wu - 0.5) * d.coastX + (wv - 0.5) * d.coastY - d.coastOffset;
    const double shore = along + 0.12 * Fbm(u, v, 3, 3, 3, 0.5, s + 3);
    const double highland = 1.0 - SmoothStep(-0.22, 0.12, shore);

    // Broad mountain masses, cut into crests and valleys by ridged noise.
    const double mass = SmoothStep(-0.45, 0.6, Fbm(wu, wv, 2, 2, 3, 0.5, s + 5));
    const double ridges = RidgedFbm(wu, wv, d.ridgeCells, 6, 0.5, s + 4);
    double relief = mass * ((1.0 - d.ridgeShare) + d.ridgeShare * ridges);
    // Mountains grow towards the inland side.
    relief *= 0.55 + 0.45 * SmoothStep(-0.1, -0.6, shore);

    // Keep the highest ground away from the picture's edges.
    const double edge = std::min(std::min(u, 1.0 - u), std::min(v, 1.0 - v));
    relief *= 0.3 + 0.7 * SmoothStep(0.0, 0.16, edge);

    double height = highland * relief;
    if (d.plateauLevel > 0.0) {
        // A flat-topped shelf: heights above the level are pressed down towards it.
        const double du = u - d.plateauX, dv = v - d.plateauY;
        const double inside = 1.0 - SmoothStep(0.6, 1.0, std::sqrt(du * du + dv * dv) / d.plateauRadius);
        if (height > d.plateauLevel) {
            const double pressed = d.plateauLevel + 0.15 * (height - d.plateauLevel);
            height = Lerp(height, pressed, inside);
        }
    }
    // The plain: low, gently undulating ground rising slowly inland.
    const double plain = 0.007 + 0.012 * (0.5 + 0.5 * Fbm(u, v, 4, 4, 4, 0.5, s + 6)) +
                         0.03 * SmoothStep(0.38, -0.25, shore);
    return plain + height;
}

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

bool WriteTerrain(const std::string& out, const TerrainDesign& d)
{
    const int fine = d.size * kOversampling;
    Field field(fine, fine);
    field.Fill([&](double u, double v) { return Shape(d, u, v); });
    // Erosion works on heights in lattice units: the highest ground rises
    // about a third of the picture's side above the sea, as in the scene.
    const double relief = 0.3 * fine;
    for (double& value : field.values) value *= relief;
    Weather(field, 0.03 * relief, 30, 0.15, d.seed + 99);
    while (field.width > d.size) field = HalveByAveraging(field);

    // Scaled so that the highest peak is grey 250; the middle heights are
    // lifted a little (the low ground keeps its heights), which gives the
    // mountains more body in a scene whose relief is a third of its width.
    const double highest = *std::max_element(field.values.begin(), field.values.end());
    std::vector<std::uint8_t> grey(field.values.size());
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const double x = field.values[i] / highest;
        grey[i] = ToByte(250.0 * x * (1.0 + 0.6 * x * (1.0 - x)));
    }
    return SaveGreyBmp(out, d.name, d.size, d.size, grey);
}

}  // namespace

bool GenerateHeightfields(const std::string& out)
{
    // name, size, seed, towards the plain, shore offset, ridge lattice, ridge share, plateau
    const TerrainDesign designs[] = {
        {"height01.bmp", 100, 0x48460107U, 0.7071, 0.7071, 0.16, 3, 0.7, 0.42, 0.68, 0.22, 0.16},
        {"height02.bmp", 50, 0x48460105U, -1.0, 0.0, 0.1, 2, 0.55, 0.0, 0.0, 0.0, 1.0},
        {"height03.bmp", 128, 0x48460003U, 0.0, -1.0, 0.19, 4, 0.8, 0.5, 0.3, 0.72, 0.15},
    };
    for (const TerrainDesign& d : designs)
        if (!WriteTerrain(out, d)) return false;
    return true;
}

}  // namespace kv::datagen
