#include "core/writers/gltf/AffineSplit.h"

#include <algorithm>
#include <cmath>

namespace kv::gltf {

namespace {

using Mat3 = std::array<std::array<double, 3>, 3>;

Mat3 Linear(const Matrix34& m)
{
    Mat3 a{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = m.m[r][c];
    return a;
}

double Determinant(const Mat3& a)
{
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

double ColumnDot(const Mat3& a, int i, int j) { return a[0][i] * a[0][j] + a[1][i] * a[1][j] + a[2][i] * a[2][j]; }

// Eigenvectors (columns of `v`) and eigenvalues of a symmetric matrix by
// Jacobi rotations, a fixed sequence of operations (the same result on every
// build).
void SymmetricEigen(Mat3 a, Mat3& v, std::array<double, 3>& values)
{
    v = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
        if (off < 1e-300) break;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0.0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0);
                const double s = t * c;
                for (int k = 0; k < 3; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    for (int i = 0; i < 3; ++i) values[static_cast<std::size_t>(i)] = a[i][i];
}

void Normalise(double x[3])
{
    const double length = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (int i = 0; i < 3; ++i) x[i] /= length;
}

void Cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

TrsParts Parts(const double rotationRows[3][3], const std::array<double, 3>& scale, const std::array<double, 3>& move)
{
    TrsParts parts;
    parts.translation = move;
    parts.rotation = QuaternionOf(rotationRows);
    parts.scale = scale;
    return parts;
}

}  // namespace

std::array<double, 4> QuaternionOf(const double r[3][3])
{
    std::array<double, 4> q{};  // x, y, z, w
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        q = {(r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, 0.25 * s};
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2.0;
        q = {0.25 * s, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s, (r[2][1] - r[1][2]) / s};
    } else if (r[1][1] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2.0;
        q = {(r[0][1] + r[1][0]) / s, 0.25 * s, (r[1][2] + r[2][1]) / s, (r[0][2] - r[2][0]) / s};
    } else {
        const double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2.0;
        q = {(r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, 0.25 * s, (r[1][0] - r[0][1]) / s};
    }
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& c : q) c /= length;
    if (q[3] < 0.0)
        for (double& c : q) c = -c;
    return q;
}

std::vector<TrsParts> SplitAffine(const Matrix34& m)
{
    const Mat3 a = Linear(m);
    const std::array<double, 3> move{m.m[0][3], m.m[1][3], m.m[2][3]};
    const double sign = Determinant(a) < 0.0 ? -1.0 : 1.0;

    // Perpendicular columns: one node, the columns' lengths its scale.
    double lengths[3];
    for (int c = 0; c < 3; ++c) lengths[c] = std::sqrt(ColumnDot(a, c, c));
    const bool degenerate = std::min({lengths[0], lengths[1], lengths[2]}) == 0.0;
    bool perpendicular = !degenerate;
    for (int i = 0; i < 3 && perpendicular; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (std::fabs(ColumnDot(a, i, j)) > 1e-12 * lengths[i] * lengths[j]) perpendicular = false;
    if (perpendicular) {
        double rotation[3][3];
        std::array<double, 3> scale{lengths[0], lengths[1], lengths[2] * sign};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) rotation[r][c] = a[r][c] / scale[static_cast<std::size_t>(c)];
        return {Parts(rotation, scale, move)};
    }

    // A = U S V^T from the eigenvectors V of A^T A: U's columns are A v / s.
    Mat3 ata{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) ata[i][j] = ColumnDot(a, i, j);
    Mat3 v;
    std::array<double, 3> values;
    SymmetricEigen(ata, v, values);
    // V a proper rotation: its third column is the cross of the first two.
    double v0[3] = {v[0][0], v[1][0], v[2][0]}, v1[3] = {v[0][1], v[1][1], v[2][1]}, v2[3];
    Normalise(v0);
    Normalise(v1);
    Cross(v0, v1, v2);
    const double* vc[3] = {v0, v1, v2};
    double u[3][3];  // columns
    std::array<double, 3> scale{};
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) u[c][r] = a[r][0] * vc[c][0] + a[r][1] * vc[c][1] + a[r][2] * vc[c][2];
        scale[static_cast<std::size_t>(c)] = std::sqrt(u[c][0] * u[c][0] + u[c][1] * u[c][1] + u[c][2] * u[c][2]);
    }
    // U from the two largest directions; the third follows, and a mirror
    // shows as a negative third scale.
    Normalise(u[0]);
    Normalise(u[1]);
    double u2[3];
    Cross(u[0], u[1], u2);
    const double along = u2[0] * u[2][0] + u2[1] * u[2][1] + u2[2] * u[2][2];
    if (along < 0.0) scale[2] = -scale[2];
    double outer[3][3], inner[3][3];
    for (int r = 0; r < 3; ++r) {
        outer[r][0] = u[0][r];
        outer[r][1] = u[1][r];
        outer[r][2] = u2[r];
        for (int c = 0; c < 3; ++c) inner[r][c] = vc[r][c];  // V^T: rows are V's columns
    }
    return {Parts(outer, scale, move), Parts(inner, {1.0, 1.0, 1.0}, {0.0, 0.0, 0.0})};
}

Matrix34 ComposeTrs(const std::vector<TrsParts>& parts)
{
    Matrix34 total;
    for (const TrsParts& p : parts) {
        const auto& q = p.rotation;
        const double x = q[0], y = q[1], z = q[2], w = q[3];
        const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                                {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                                {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
        Matrix34 node;
        for (int row = 0; row < 3; ++row) {
            for (int c = 0; c < 3; ++c) node.m[row][c] = r[row][c] * p.scale[static_cast<std::size_t>(c)];
            node.m[row][3] = p.translation[static_cast<std::size_t>(row)];
        }
        total = total * node;
    }
    return total;
}

}  // namespace kv::gltf
