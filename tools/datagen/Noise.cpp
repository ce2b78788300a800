#include "tools/datagen/Noise.h"

namespace kv::datagen {

double Sin2Pi(double t)
{
    // Reduce to a quarter wave s in [-0.25, 0.25] with sin(2 pi s) = sin(2 pi t).
    const double r = Fract(t);
    double s;
    if (r < 0.25)
        s = r;
    else if (r < 0.75)
        s = 0.5 - r;
    else
        s = r - 1.0;
    const double x = 6.283185307179586 * s;
    const double x2 = x * x;
    // Taylor series to x^15 (Horner): the error at pi/2 is below 1e-11.
    double p = -1.0 / 1307674368000.0;
    p = p * x2 + 1.0 / 6227020800.0;
    p = p * x2 - 1.0 / 39916800.0;
    p = p * x2 + 1.0 / 362880.0;
    p = p * x2 - 1.0 / 5040.0;
    p = p * x2 + 1.0 / 120.0;
    p = p * x2 - 1.0 / 6.0;
    p = p * x2 + 1.0;
    return p * x;
}

namespace {

// Sixteen unit gradients, 22.5 degrees apart.
constexpr double kGradX[16] = {1.0,       0.9238795,  0.7071068,  0.3826834,  0.0,        -0.3826834,
                               -0.7071068, -0.9238795, -1.0,       -0.9238795, -0.7071068, -0.3826834,
                               0.0,       0.3826834,  0.7071068,  0.9238795};
constexpr double kGradY[16] = {0.0,        0.3826834,  0.7071068,  0.9238795,  1.0,       0.9238795,
                               0.7071068,  0.3826834,  0.0,        -0.3826834, -0.7071068, -0.9238795,
                               -1.0,       -0.9238795, -0.7071068, -0.3826834};

// Hash2 of the four corners of lattice cell (ix, iy), wrapped by the periods;
// the seed and row mixes are shared between corners.
struct LatticeHashes {
    std::uint32_t h00, h10, h01, h11;
    LatticeHashes(int ix, int iy, int periodX, int periodY, std::uint32_t seed)
    {
        const int x0 = Wrap(ix, periodX), x1 = x0 + 1 == periodX ? 0 : x0 + 1;
        const int y0 = Wrap(iy, periodY), y1 = y0 + 1 == periodY ? 0 : y0 + 1;
        const std::uint32_t s = Mix32(seed);
        const std::uint32_t r0 = Mix32(static_cast<std::uint32_t>(y0) ^ s);
        const std::uint32_t r1 = Mix32(static_cast<std::uint32_t>(y1) ^ s);
        h00 = Mix32(static_cast<std::uint32_t>(x0) * 0x9E3779B1U ^ r0);
        h10 = Mix32(static_cast<std::uint32_t>(x1) * 0x9E3779B1U ^ r0);
        h01 = Mix32(static_cast<std::uint32_t>(x0) * 0x9E3779B1U ^ r1);
        h11 = Mix32(static_cast<std::uint32_t>(x1) * 0x9E3779B1U ^ r1);
    }
};

inline double Fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

}  // namespace

double GradientNoise(double x, double y, int periodX, int periodY, std::uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double dx = x - fx;
    const double dy = y - fy;
    const LatticeHashes h(static_cast<int>(fx), static_cast<int>(fy), periodX, periodY, seed);
    const std::uint32_t h00 = h.h00 & 15U, h10 = h.h10 & 15U, h01 = h.h01 & 15U, h11 = h.h11 & 15U;
    const double n00 = kGradX[h00] * dx + kGradY[h00] * dy;
    const double n10 = kGradX[h10] * (dx - 1.0) + kGradY[h10] * dy;
    const double n01 = kGradX[h01] * dx + kGradY[h01] * (dy - 1.0);
    const double n11 = kGradX[h11] * (dx - 1.0) + kGradY[h11] * (dy - 1.0);
    const double u = Fade(dx);
    const double v = Fade(dy);
    return Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v) * 1.41421356;
}

double ValueNoise(double x, double y, int periodX, int periodY, std::uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const LatticeHashes h(static_cast<int>(fx), static_cast<int>(fy), periodX, periodY, seed);
    const double u = Fade(x - fx);
    const double v = Fade(y - fy);
    return Lerp(Lerp(Unit(h.h00), Unit(h.h10), u), Lerp(Unit(h.h01), Unit(h.h11), u), v);
}

double Fbm(double u, double v, int cellsX, int cellsY, int octaves, double gain, std::uint32_t seed)
{
    double sum = 0.0, norm = 0.0, amplitude = 1.0;
    for (int k = 0; k < octaves; ++k) {
        const int cx = cellsX << k, cy = cellsY << k;
        sum += amplitude * GradientNoise(u * cx, v * cy, cx, cy, seed + 1013U * static_cast<std::uint32_t>(k));
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

double RidgedFbm(double u, double v, int cells, int octaves, double gain, std::uint32_t seed)
{
    double sum = 0.0, norm = 0.0, amplitude = 1.0, weight = 1.0;
    for (int k = 0; k < octaves; ++k) {
        const int c = cells << k;
        double n = 1.0 - std::fabs(GradientNoise(u * c, v * c, c, c, seed + 7919U * static_cast<std::uint32_t>(k)));
        n = n * n;
        sum += amplitude * n * weight;
        norm += amplitude;
        weight = Clamp(n * 1.5, 0.0, 1.0);
        amplitude *= gain;
    }
    return sum / norm;
}

CellularNoise::CellularNoise(int periodX, int periodY, double jitter, std::uint32_t seed)
    : periodX_(periodX), periodY_(periodY), jitter_(jitter), seed_(seed)
{
}

void CellularNoise::Load(int ix, int iy)
{
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i) {
            const std::uint32_t h = Hash2(Wrap(ix + i - 3, periodX_), Wrap(iy + j - 3, periodY_), seed_);
            fx_[j][i] = (i - 3) + 0.5 + jitter_ * (Unit(h) - 0.5);
            fy_[j][i] = (j - 3) + 0.5 + jitter_ * (Unit(Mix32(h)) - 0.5);
            id_[j][i] = h;
        }
    ix_ = ix, iy_ = iy, loaded_ = true;
}

CellSample CellularNoise::operator()(double x, double y)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    if (!loaded_ || ix != ix_ || iy != iy_) Load(ix, iy);
    const double px = x - fx;
    const double py = y - fy;
    // Nearest feature point among the 3 x 3 cells around the sample.
    double best = 1e300, mx = 0.0, my = 0.0;
    int bi = 3, bj = 3;
    for (int j = 2; j <= 4; ++j)
        for (int i = 2; i <= 4; ++i) {
            const double ox = fx_[j][i] - px, oy = fy_[j][i] - py;
            const double d = ox * ox + oy * oy;
            if (d < best) best = d, mx = ox, my = oy, bi = i, bj = j;
        }
    // Distance to the nearest bisector between that point and the points of
    // the 5 x 5 cells around it: (|o|^2 - |m|^2) / (2 |o - m|).
    double edge = 1e300;
    for (int j = bj - 2; j <= bj + 2; ++j)
        for (int i = bi - 2; i <= bi + 2; ++i) {
            if (i == bi && j == bj) continue;
            const double ox = fx_[j][i] - px, oy = fy_[j][i] - py;
            const double ex = ox - mx, ey = oy - my;
            const double len2 = ex * ex + ey * ey;
            if (len2 < 1e-12) continue;
            const double lift = (ox * ox + oy * oy) - best;  // not negative: m is the nearest
            if (lift * lift >= 4.0 * edge * edge * len2) continue;
            edge = lift / (2.0 * std::sqrt(len2));
        }
    return {edge, id_[bj][bi]};
}

}  // namespace kv::datagen
