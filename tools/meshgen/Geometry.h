#pragma once
// Small vector and matrix helpers for the mesh generator (double precision;
// the tables are written with six decimals, so the generator's own rounding
// never reaches the program).
#include <cmath>
#include <cstdint>

namespace kv::meshgen {

inline constexpr double kPi = 3.14159265358979323846;

struct Vec2 {
    double u = 0, v = 0;
};

struct Vec3 {
    double x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 operator/(double s) const { return {x / s, y / s, z / s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3& operator-=(const Vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
};

inline Vec3 operator*(double s, const Vec3& v) { return v * s; }
inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalized(const Vec3& a)
{
    const double l = Length(a);
    return l > 0 ? a / l : Vec3{0, 0, 0};
}
inline Vec3 Lerp(const Vec3& a, const Vec3& b, double t) { return a + (b - a) * t; }

// Any unit vector perpendicular to `n`.
inline Vec3 Perpendicular(const Vec3& n)
{
    const Vec3 a = std::fabs(n.x) < 0.7 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    return Normalized(Cross(n, a));
}

// Rotates `v` about the unit axis `k` by `angle` (right-handed).
inline Vec3 Rotate(const Vec3& v, const Vec3& k, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return v * c + Cross(k, v) * s + k * (Dot(k, v) * (1 - c));
}

// A part's placement: a 3 by 3 linear part and a translation column, as the
// model tables give them (rows of four numbers).
struct Mat34 {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    // From the table's twelve numbers, row by row.
    static Mat34 Rows(double a, double b, double c, double d, double e, double f, double g, double h, double i,
                      double j, double k, double l)
    {
        Mat34 r;
        const double v[12] = {a, b, c, d, e, f, g, h, i, j, k, l};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col) r.m[row][col] = v[row * 4 + col];
        return r;
    }
    Vec3 Apply(const Vec3& p) const
    {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
    double Determinant() const
    {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }
    // The inverse map (model coordinates back to mesh coordinates).
    Mat34 Inverse() const
    {
        const double d = Determinant();
        Mat34 r;
        r.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / d;
        r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / d;
        r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / d;
        r.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / d;
        r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / d;
        r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / d;
        r.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / d;
        r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / d;
        r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / d;
        for (int i = 0; i < 3; ++i)
            r.m[i][3] = -(r.m[i][0] * m[0][3] + r.m[i][1] * m[1][3] + r.m[i][2] * m[2][3]);
        return r;
    }
};

// A small deterministic generator for the shapes' irregularities, so the
// tables come out the same on every run of the generator.
class ShapeRandom {
public:
    explicit ShapeRandom(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    // Uniform in [0, 1).
    double Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_ & 0xffffffu) / 16777216.0;
    }
    // Uniform in [lo, hi).
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t state_;
};

}  // namespace kv::meshgen
