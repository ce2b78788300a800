#include "core/writers/gltf/Tangents.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace kv::gltf {

namespace {

using Vec3 = std::array<double, 3>;

Vec3 Load(std::span<const float> values, std::size_t vertex)
{
    return {values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]};
}

double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// `v` less its part along the unit `n`, made unit; false when nothing is left.
bool Perpendicular(const Vec3& v, const Vec3& n, Vec3& out)
{
    const double along = Dot(v, n);
    const Vec3 rest{v[0] - n[0] * along, v[1] - n[1] * along, v[2] - n[2] * along};
    const double length = std::sqrt(Dot(rest, rest));
    if (!(length > 1e-12)) return false;
    out = {rest[0] / length, rest[1] / length, rest[2] / length};
    return true;
}

}  // namespace

std::vector<float> ComputeTangents(std::span<const float> positions, std::span<const float> normals,
                                   std::span<const float> uvs, std::span<const std::uint32_t> triangles)
{
    const std::size_t vertices = positions.size() / 3;
    if (positions.size() != 3 * vertices || normals.size() != 3 * vertices || uvs.size() != 2 * vertices ||
        triangles.size() % 3 != 0)
        throw std::invalid_argument(
            "tangents need 3 floats of position and normal, 2 of uv a vertex, 3 indices a triangle");

    std::vector<Vec3> alongU(vertices, Vec3{0, 0, 0});
    std::vector<Vec3> alongV(vertices, Vec3{0, 0, 0});
    for (std::size_t t = 0; t < triangles.size(); t += 3) {
        const std::uint32_t a = triangles[t], b = triangles[t + 1], c = triangles[t + 2];
        if (a >= vertices || b >= vertices || c >= vertices)
            throw std::invalid_argument("a triangle refers past the last vertex");
        const Vec3 pa = Load(positions, a), pb = Load(positions, b), pc = Load(positions, c);
        const Vec3 e1{pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
        const Vec3 e2{pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
        const double du1 = static_cast<double>(uvs[2 * b]) - uvs[2 * a];
        const double dv1 = static_cast<double>(uvs[2 * b + 1]) - uvs[2 * a + 1];
        const double du2 = static_cast<double>(uvs[2 * c]) - uvs[2 * a];
        const double dv2 = static_cast<double>(uvs[2 * c + 1]) - uvs[2 * a + 1];
        const double det = du1 * dv2 - du2 * dv1;
        if (!(std::abs(det) > 1e-20)) continue;  // no mapping to speak of
        const double r = 1.0 / det;
        Vec3 u, v;
        for (int i = 0; i < 3; ++i) {
            u[i] = (e1[i] * dv2 - e2[i] * dv1) * r;
            v[i] = (e2[i] * du1 - e1[i] * du2) * r;
        }
        for (const std::uint32_t corner : {a, b, c})
            for (int i = 0; i < 3; ++i) {
                alongU[corner][i] += u[i];
                alongV[corner][i] += v[i];
            }
    }

    std::vector<float> tangents(4 * vertices);
    for (std::size_t i = 0; i < vertices; ++i) {
        const Vec3 n = Load(normals, i);
        Vec3 tangent;
        double hand = 1.0;
        if (Perpendicular(alongU[i], n, tangent)) {
            if (Dot(Cross(n, tangent), alongV[i]) > 0) hand = -1.0;
        } else if (!Perpendicular(Vec3{1, 0, 0}, n, tangent)) {
            Perpendicular(Vec3{0, 1, 0}, n, tangent);
        }
        for (int c = 0; c < 3; ++c) tangents[4 * i + c] = static_cast<float>(tangent[c]);
        tangents[4 * i + 3] = static_cast<float>(hand);
    }
    return tangents;
}

}  // namespace kv::gltf
