#include "core/model/Geometry.h"

namespace kv {

Vec3 Matrix34::Apply(const Vec3& p) const
{
    const double in[3] = {p.x, p.y, p.z};
    double out[3];
    for (int r = 0; r < 3; ++r) out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2] + m[r][3];
    return {out[0], out[1], out[2]};
}

Matrix34 Matrix34::operator*(const Matrix34& inner) const
{
    Matrix34 out;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = m[r][0] * inner.m[0][c] + m[r][1] * inner.m[1][c] + m[r][2] * inner.m[2][c];
            if (c == 3) sum += m[r][3];
            out.m[r][c] = sum;
        }
    }
    return out;
}

Matrix34 Matrix34::Inverse() const
{
    const auto& a = m;
    const double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    const double c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    const double c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    const double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
    const double k = 1.0 / det;
    Matrix34 out;
    auto& b = out.m;
    b[0][0] = c00 * k;
    b[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) * k;
    b[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) * k;
    b[1][0] = c01 * k;
    b[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * k;
    b[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * k;
    b[2][0] = c02 * k;
    b[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * k;
    b[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * k;
    for (int r = 0; r < 3; ++r) b[r][3] = -(b[r][0] * a[0][3] + b[r][1] * a[1][3] + b[r][2] * a[2][3]);
    return out;
}

}  // namespace kv
