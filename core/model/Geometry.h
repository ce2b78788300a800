#pragma once
// Points, texture coordinates and the matrices that place objects in the scene.
#include <array>

namespace kv {

struct Vec2 {
    double u = 0.0, v = 0.0;
};

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// The upper three rows of a 4 x 4 matrix whose last row is 0 0 0 1: a linear
// part in columns 0 to 2 and the translation in column 3.
struct Matrix34 {
    std::array<std::array<double, 4>, 3> m{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};

    static Matrix34 Identity() { return {}; }
    Vec3 Apply(const Vec3& p) const;
    // This matrix followed by `inner`: (this * inner)(p) = this(inner(p)).
    Matrix34 operator*(const Matrix34& inner) const;
    // The inverse, for a matrix whose linear part is invertible.
    Matrix34 Inverse() const;
};

}  // namespace kv
