// The sample placement bitmap tree01.bmp: trees and rocks laid out on the
// sample heightfield height01.bmp by altitude, slope and a slowly varying
// moisture field, so that each kind grows where it belongs.
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

#include "bitmap/Bitmap24.h"
#include "platform/Paths.h"
#include "scene/Messages.h"
#include "tools/datagen/Generators.h"

namespace kv::datagen {

namespace {

constexpr int kKinds = 12;
enum Kind { Palm, Birch, Dead1, Dead2, Fern, Cactus, Evergreen, Fir, Boulder, Flatrock, Rock, Pebbles };

// The colour codes, R G B, in the order of Kind.
constexpr std::uint8_t kCodes[kKinds][3] = {{0, 0, 255}, {0, 0, 196}, {0, 0, 128}, {0, 0, 64},
                                            {0, 255, 0}, {0, 196, 0}, {0, 128, 0}, {0, 64, 0},
                                            {255, 0, 0}, {196, 0, 0}, {128, 0, 0}, {64, 0, 0}};

// Scene heights below this are under the ocean plane (at 0.1) or at its edge.
constexpr double kShore = 0.14;
constexpr int kTargetObjects = 280;

std::uint64_t Hash(std::uint64_t x, std::uint64_t y, std::uint64_t salt)
{
    std::uint64_t h = x * 0x9E3779B97F4A7C15ull ^ (y + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full ^ salt;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 31;
    return h;
}

double Unit(std::uint64_t h)
{
    return static_cast<double>(h >> 11) / 9007199254740992.0;
}

// Smooth value noise from 0 to 1 with cells of `cell` pixels.
double ValueNoise(double x, double y, double cell, std::uint64_t salt)
{
    const double fx = x / cell, fy = y / cell;
    const double x0 = std::floor(fx), y0 = std::floor(fy);
    const double tx = fx - x0, ty = fy - y0;
    auto at = [&](double cx, double cy) {
        return Unit(Hash(static_cast<std::uint64_t>(cx + 1000), static_cast<std::uint64_t>(cy + 1000), salt));
    };
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

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

// How well each kind suits a spot: altitude rank, slope rank (among the
// land), moisture 0 (dry) to 1 (wet).
std::array<double, kKinds> Suitability(double alt, double slope, double wet)
{
    std::array<double, kKinds> w{};
    const double dry = 1.0 - wet;
    w[Palm] = 1.0 * Band(alt, 0.0, 0.18) * Band(slope, 0.0, 0.45) * Band(wet, 0.3, 1.0, 0.3);
    w[Fern] = 1.0 * Band(alt, 0.0, 0.3) * Band(slope, 0.0, 0.55) * Band(wet, 0.5, 1.0, 0.2);
    w[Birch] = 0.7 * Band(alt, 0.3, 0.55) * Band(slope, 0.15, 0.6) * Band(wet, 0.55, 1.0, 0.2);
    w[Evergreen] = 1.4 * Band(alt, 0.35, 0.75) * Band(slope, 0.45, 0.85) * Band(wet, 0.35, 1.0, 0.2);
    w[Fir] = 1.3 * Band(alt, 0.6, 0.95) * Band(slope, 0.45, 0.88) * Band(wet, 0.25, 1.0, 0.2);
    w[Cactus] = 0.9 * Band(alt, 0.2, 0.6) * Band(slope, 0.0, 0.3) * Band(dry, 0.55, 1.0, 0.15);
    w[Dead1] = 0.45 * Band(alt, 0.3, 0.7) * Band(slope, 0.0, 0.35) * Band(dry, 0.5, 1.0, 0.15);
    w[Dead2] = 0.45 * Band(alt, 0.4, 0.8) * Band(slope, 0.0, 0.4) * Band(dry, 0.45, 1.0, 0.15);
    w[Boulder] = 0.9 * Band(slope, 0.86, 1.0, 0.06);
    w[Rock] = 0.8 * Band(slope, 0.8, 0.97, 0.06);
    w[Pebbles] = 0.7 * std::max(Band(slope, 0.82, 1.0, 0.06), Band(alt, 0.93, 1.0, 0.04));
    w[Flatrock] = 0.6 * std::max(Band(alt, 0.88, 1.0, 0.05) * Band(slope, 0.0, 0.5), Band(slope, 0.7, 0.82, 0.05));
    return w;
}

struct Spot {
    int x, y;
    std::array<double, kKinds> weight;
    double total;
};

}  // namespace

bool GeneratePlacement(const std::string& out)
{
    const std::string heightPath = JoinPath(out, "height01.bmp");
    Bitmap24 height;
    try {
        height = LoadBitmap24(heightPath, BitmapWording::ForPath(heightPath));
    } catch (const JobFailure& failure) {
        std::fprintf(stderr, "kv-datagen: tree01.bmp is laid out on height01.bmp, which must be generated first: %s\n",
                     failure.message.text.c_str());
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
            if (!border) z[static_cast<std::size_t>(y) * n + x] = (p[0] + p[1] + p[2]) / 229.5;
        }
    auto Z = [&](int x, int y) { return z[static_cast<std::size_t>(y) * n + x]; };

    // Candidate spots: land away from the border band (a margin wide enough
    // that the slope never reads the band's drop).
    const int margin = std::max(4, n / 48);
    const double spacing = 10.0 / (n - 1);
    std::vector<int> xs, ys;
    std::vector<double> alts, slopes;
    for (int y = margin; y < n - margin; ++y)
        for (int x = margin; x < n - margin; ++x) {
            if (Z(x, y) < kShore) continue;
            const double gx = (Z(x + 1, y) - Z(x - 1, y)) / (2 * spacing);
            const double gy = (Z(x, y + 1) - Z(x, y - 1)) / (2 * spacing);
            xs.push_back(x);
            ys.push_back(y);
            alts.push_back(Z(x, y));
            slopes.push_back(std::sqrt(gx * gx + gy * gy));
        }
    if (xs.size() < 200) {
        std::fprintf(stderr, "kv-datagen: %s has too little land above the ocean for a placement\n",
                     heightPath.c_str());
        return false;
    }
    const std::vector<double> altRank = Ranks(alts), slopeRank = Ranks(slopes);

    std::vector<Spot> spots;
    double totalWeight = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        // Moisture: large wet and dry regions with some finer variation.
        const double wet = 0.7 * ValueNoise(xs[i], ys[i], n / 4.0, 11) + 0.3 * ValueNoise(xs[i], ys[i], n / 12.0, 12);
        Spot s{xs[i], ys[i], Suitability(altRank[i], slopeRank[i], wet), 0};
        // Trees gather in groves and stones in scree fields, with open ground between.
        const double grove = ValueNoise(xs[i], ys[i], n / 14.0, 13);
        for (double& w : s.weight) w *= 0.2 + 1.8 * grove * grove;
        for (double w : s.weight) s.total += w;
        totalWeight += s.total;
        if (s.total > 0) spots.push_back(s);
    }
    // Visit the spots in a scattered but fixed order.
    std::sort(spots.begin(), spots.end(),
              [](const Spot& a, const Spot& b) { return Hash(a.x, a.y, 1) < Hash(b.x, b.y, 1); });

    // Objects keep a little distance from each other.
    const int radius = std::max(1, n / 128);
    std::vector<int> kindAt(static_cast<std::size_t>(n) * n, -1);
    auto isFree = [&](int x, int y) {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (kindAt[static_cast<std::size_t>(y + dy) * n + (x + dx)] >= 0) return false;
        return true;
    };
    std::array<int, kKinds> counts{};
    const double density = kTargetObjects / totalWeight;
    for (const Spot& s : spots) {
        if (Unit(Hash(s.x, s.y, 2)) >= density * s.total || !isFree(s.x, s.y)) continue;
        double pick = Unit(Hash(s.x, s.y, 3)) * s.total;
        int kind = 0;
        while (kind < kKinds - 1 && (pick -= s.weight[kind]) >= 0) ++kind;
        while (s.weight[kind] <= 0) --kind;  // rounding at the top end
        kindAt[static_cast<std::size_t>(s.y) * n + s.x] = kind;
        ++counts[kind];
    }
    // Every kind at least once, at the free spot that suits it best.
    for (int kind = 0; kind < kKinds; ++kind) {
        if (counts[kind] > 0) continue;
        const Spot* best = nullptr;
        for (const Spot& s : spots)
            if (isFree(s.x, s.y) && (!best || s.weight[kind] > best->weight[kind])) best = &s;
        if (!best) {
            std::fprintf(stderr, "kv-datagen: no room left for every kind in tree01.bmp\n");
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
    const std::string path = JoinPath(out, "tree01.bmp");
    if (!WriteBmp24(path, n, n, rgb.data())) {
        std::fprintf(stderr, "kv-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace kv::datagen
