#include "tools/meshgen/Tubes.h"

#include <cmath>

namespace kv::meshgen {

std::vector<Vec3> RingPoints(const Vec3& centre, const Vec3& e1, const Vec3& e2, double radius, int sides,
                             double theta0)
{
    std::vector<Vec3> points;
    for (int m = 0; m < sides; ++m) {
        const double a = theta0 + 2 * kPi * m / sides;
        points.push_back(centre + (e1 * std::cos(a) + e2 * std::sin(a)) * radius);
    }
    return points;
}

void AddBand(Mesh& mesh, const std::vector<int>& lower, const std::vector<int>& upper, const std::vector<int>& lowerTex,
             const std::vector<int>& upperTex, int flags)
{
    const int s = static_cast<int>(lower.size());
    for (int m = 0; m < s; ++m) {
        const int n = (m + 1) % s;
        mesh.faces.push_back({{{lower[n], lowerTex[m + 1]},
                               {lower[m], lowerTex[m]},
                               {upper[m], upperTex[m]},
                               {upper[n], upperTex[m + 1]}},
                              flags,
                              {}});
    }
}

void AddTipCap(Mesh& mesh, const std::vector<int>& ring, const std::vector<int>& tex, int flags)
{
    const int s = static_cast<int>(ring.size());
    Face f;
    f.flags = flags;
    for (int k = 0; k < s; ++k) {
        const int m = (s - k) % s;
        f.corners.push_back({ring[m], tex[m]});
    }
    mesh.faces.push_back(f);
}

void AddBaseCap(Mesh& mesh, const std::vector<int>& ring, const std::vector<int>& tex, int flags)
{
    const int s = static_cast<int>(ring.size());
    Face f;
    f.flags = flags;
    for (int k = 1; k <= s; ++k) f.corners.push_back({ring[k % s], tex[k % s]});
    mesh.faces.push_back(f);
}

std::vector<int> AddTextureRow(Mesh& mesh, int sides, double v)
{
    std::vector<int> row;
    for (int m = 0; m <= sides; ++m) row.push_back(mesh.AddTexture(static_cast<double>(m) / sides, v));
    return row;
}

std::vector<int> AddCapTexture(Mesh& mesh, int sides, double theta0)
{
    std::vector<int> tex;
    for (int m = 0; m < sides; ++m) {
        const double a = theta0 + 2 * kPi * m / sides;
        tex.push_back(mesh.AddTexture(0.5 + 0.5 * std::cos(a), 0.5 + 0.5 * std::sin(a)));
    }
    return tex;
}

std::vector<Frame> TransportFrames(const std::vector<Vec3>& path, const Vec3& e1Start)
{
    std::vector<Frame> frames(path.size());
    Vec3 prevT;
    for (size_t i = 0; i < path.size(); ++i) {
        Vec3 t;
        if (i == 0) t = path[1] - path[0];
        else if (i + 1 == path.size()) t = path[i] - path[i - 1];
        else t = Normalized(path[i + 1] - path[i]) + Normalized(path[i] - path[i - 1]);
        t = Normalized(t);
        Vec3 e1;
        if (i == 0) {
            e1 = Normalized(e1Start - t * Dot(e1Start, t));
        } else {
            // Rotate the previous frame by the turn from the previous tangent.
            const Vec3 axis = Cross(prevT, t);
            const double s = Length(axis);
            e1 = frames[i - 1].e1;
            if (s > 1e-12) e1 = Rotate(e1, axis / s, std::atan2(s, Dot(prevT, t)));
            e1 = Normalized(e1 - t * Dot(e1, t));
        }
        frames[i] = {t, e1, Cross(t, e1)};
        prevT = t;
    }
    return frames;
}

}  // namespace kv::meshgen
