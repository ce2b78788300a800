#pragma once
// Deterministic noise for the stock pictures. Everything here is integer
// hashing plus the four basic operations, floor and sqrt on doubles (all
// exactly rounded), so the same inputs give the same bits on every build:
// no library sine or exponential, no unseeded randomness.
#include <cmath>
#include <cstdint>

namespace kv::datagen {

// A well-mixing 32-bit integer hash.
inline std::uint32_t Mix32(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline std::uint32_t Hash2(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    return Mix32(static_cast<std::uint32_t>(x) * 0x9E3779B1U ^ Mix32(static_cast<std::uint32_t>(y) ^ Mix32(seed)));
}

inline std::uint32_t Hash3(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    return Hash2(x, y, Mix32(static_cast<std::uint32_t>(z) * 0x85EBCA77U ^ seed));
}

// The top 24 bits of a hash as a value in [0, 1).
inline double Unit(std::uint32_t h) { return static_cast<double>(h >> 8) * (1.0 / 16777216.0); }

// A small sequential generator for the drawing code (placing needles,
// leaflets, bark marks, spines): a counter run through the hash.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : seed_(Mix32(seed ^ 0xA511E9B3U)) {}
    std::uint32_t Next() { return Hash2(static_cast<std::int32_t>(counter_++), 0x5bd1e995, seed_); }
    double Uniform() { return Unit(Next()); }                             // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t seed_;
    std::uint32_t counter_ = 0;
};

inline double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
inline double SmoothStep(double e0, double e1, double x)
{
    const double t = Clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}
// The non-negative remainder of i modulo a positive period.
inline int Wrap(int i, int period)
{
    if (static_cast<unsigned>(i) < static_cast<unsigned>(period)) return i;
    const int r = i % period;
    return r < 0 ? r + period : r;
}
// The fractional part of t, in [0, 1).
inline double Fract(double t) { return t - std::floor(t); }

// sin(2 pi t) and cos(2 pi t) by range reduction and a polynomial, accurate
// to about 1e-12 and identical on every platform.
double Sin2Pi(double t);
inline double Cos2Pi(double t) { return Sin2Pi(t + 0.25); }

// Gradient noise on a lattice that repeats every periodX by periodY cells;
// x and y are in lattice cells. Roughly -1 to 1, 0 at every lattice point.
double GradientNoise(double x, double y, int periodX, int periodY, std::uint32_t seed);

// Value noise (smoothly interpolated random lattice values), 0 to 1, with the
// same periodic lattice.
double ValueNoise(double x, double y, int periodX, int periodY, std::uint32_t seed);

// Fractal sum of gradient noise over the unit tile: u and v repeat with
// period 1; octave k has cellsX << k by cellsY << k lattice cells and weight
// gain^k. The result is scaled back to roughly -1 to 1.
double Fbm(double u, double v, int cellsX, int cellsY, int octaves, double gain, std::uint32_t seed);

// Ridged fractal over the unit tile (sharp crests where the noise crosses
// zero, each octave weighted by the crests of the previous one), 0 to 1.
double RidgedFbm(double u, double v, int cells, int octaves, double gain, std::uint32_t seed);

// Cellular noise on a periodic lattice of feature points (one per cell,
// moved randomly inside its cell by up to `jitter` of a cell).
struct CellSample {
    double edge;         // distance to the nearest Voronoi edge, in cells
    std::uint32_t cell;  // hash of the nearest point's cell (a value per Voronoi cell)
};

class CellularNoise {
public:
    CellularNoise(int periodX, int periodY, double jitter, std::uint32_t seed);
    // x and y in lattice cells. The feature points around the last cell asked
    // for are kept, so neighbouring samples (a raster row) are cheap.
    CellSample operator()(double x, double y);

private:
    void Load(int ix, int iy);

    int periodX_, periodY_;
    double jitter_;
    std::uint32_t seed_;
    bool loaded_ = false;
    int ix_ = 0, iy_ = 0;
    // Feature points of the 7 x 7 cells around (ix_, iy_), relative to that cell's corner.
    double fx_[7][7], fy_[7][7];
    std::uint32_t id_[7][7];
};

}  // namespace kv::datagen
