// The boulder (also the rock, at half size) and the flat rock: deformed
// spheres in the layout of the sky and fog domes. Vertex 0 is the top pole,
// vertex 1 the bottom pole, then vertex 2 + 16 (k - 1) + m is segment m of
// band k (k = 1..15 from the top); the faces run 16 top triangles, 224 band
// quads, 16 bottom triangles.
#include <array>
#include <cmath>

#include "tools/meshgen/Models.h"

namespace kv::meshgen {

namespace {

constexpr int kSegments = 16, kBands = 16;

int SphereVertex(int band, int segment)
{
    if (band == 0) return 0;
    if (band == kBands) return 1;
    return 2 + kSegments * (band - 1) + (segment % kSegments);
}

// A smooth lumpy field on directions: a sum of a few soft bumps and dents.
struct Lumps {
    std::vector<Vec3> centres;
    std::vector<double> heights;
    Lumps(ShapeRandom& random, int count, double strength)
    {
        for (int i = 0; i < count; ++i) {
            const double z = random.Range(-1, 1), a = random.Range(0, 2 * kPi);
            const double r = std::sqrt(1 - z * z);
            centres.push_back({r * std::cos(a), r * std::sin(a), z});
            heights.push_back(random.Range(-strength, strength));
        }
    }
    double operator()(const Vec3& d) const
    {
        double s = 0;
        for (size_t i = 0; i < centres.size(); ++i) {
            const double c = std::max(0.0, Dot(d, centres[i]));
            s += heights[i] * c * c * c;
        }
        return s;
    }
};

// Points of a sphere-layout rock: `place(band, segment)` gives each band
// vertex; the poles are given.
template <typename F>
void AddSphereVertices(Mesh& mesh, const Vec3& top, const Vec3& bottom, F place)
{
    mesh.AddVertex(top);
    mesh.AddVertex(bottom);
    for (int k = 1; k < kBands; ++k)
        for (int m = 0; m < kSegments; ++m) mesh.AddVertex(place(k, m));
}

}  // namespace

// The boulder: a round, lumpy stone about two model units across whose
// lower third is sunk in the ground. Its poles lie on a tilted axis (the
// LocalMatrix turns it), so the lumps are laid out round that axis.
//
// Texture: a grid over the whole picture, u = m/16 round the axis and
// v = 1 - k/16 from the top pole down; each polar triangle has its own pole
// point at the middle of its segment. The list is stored in blocks (top
// pole points 0-7, bands 1-4 column by column, top pole points 8-15, bands
// 5-8 and 9-12 column by column, the bottom pole points, then bands 13-15
// column by column starting at the seam columns), and the faces list their
// corners one corner later than the domes do.
Mesh BuildBoulder()
{
    Mesh mesh;
    mesh.name = "boulder";
    const Vec3 top{0.0, 0.171890, 0.650082};
    const Vec3 bottom{-0.198668, -0.319224, -1.418831};
    // The shape is made in the model's own frame (the LocalMatrix is a pure
    // turn plus a lift), where it can be made broader than high and cut by a
    // few flat, weathered facets, then turned back into the table's frame.
    const Mat34 local = [] {
        Mat34 m;
        const double v[3][4] = {{0.583404, -0.694829, -0.420541, 0},
                                {0.741656, 0.244713, 0.624547, 0.0442457},
                                {-0.331041, -0.676258, 0.658093, 0.874248}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) m.m[r][c] = v[r][c];
        return m;
    }();
    const Mat34 back = local.Inverse();
    const Vec3 topM = local.Apply(top), bottomM = local.Apply(bottom);
    const Vec3 centre = (topM + bottomM) * 0.5;
    const Vec3 w = Normalized(topM - bottomM);
    const double half = Length(topM - bottomM) / 2;
    const Vec3 u = Perpendicular(w);
    const Vec3 v = Cross(w, u);
    ShapeRandom random(7331);
    const Lumps lumps(random, 18, 0.22);
    // Flat facets: planes at these directions and distances cut the shape.
    std::vector<std::pair<Vec3, double>> facets;
    for (int i = 0; i < 7; ++i) {
        const double z = random.Range(-0.3, 0.9), a = random.Range(0, 2 * kPi);
        const double r = std::sqrt(1 - z * z);
        facets.push_back({{r * std::cos(a), r * std::sin(a), z}, random.Range(0.8, 0.92)});
    }
    // Radius of the uncut shape along d: an ellipsoid 1.12 by 1.02 across and
    // 0.86 high, with lumps.
    auto shape = [&](const Vec3& d) {
        const double e = 1 / std::sqrt(d.x * d.x / (1.12 * 1.12) + d.y * d.y / (1.02 * 1.02) + d.z * d.z / (0.86 * 0.86));
        double r = e * (1 + lumps(d));
        for (const auto& [n, dist] : facets) {
            const double c = Dot(d, n);
            if (c > 0.05) r = std::min(r, dist * e / c);
        }
        return r;
    };
    // The poles are given: blend the shape towards them near each pole.
    const double fixTop = half - shape(w), fixBottom = half - shape(-w);
    AddSphereVertices(mesh, top, bottom, [&](int k, int m) {
        const double theta = k * kPi / kBands + random.Range(-0.03, 0.03);
        const double phi = m * 2 * kPi / kSegments + random.Range(-0.05, 0.05);
        const Vec3 d = u * (std::sin(theta) * std::cos(phi)) + v * (std::sin(theta) * std::sin(phi)) +
                       w * std::cos(theta);
        const double toTop = std::max(0.0, Dot(d, w)), toBottom = std::max(0.0, -Dot(d, w));
        const double r = shape(d) * (1 + random.Range(-0.015, 0.015)) + fixTop * std::pow(toTop, 6) +
                         fixBottom * std::pow(toBottom, 6);
        return back.Apply(centre + d * r);
    });
    // Texture vertices in the stored order.
    std::vector<int> topPole(16), bottomPole(16);
    std::vector<std::vector<int>> grid(16, std::vector<int>(17, -1));
    auto pole = [&](std::vector<int>& list, int from, int to, double vv) {
        for (int m = from; m < to; ++m) list[m] = mesh.AddTexture((2 * m + 1) / 32.0, vv);
    };
    auto block = [&](int k0, int k1, const std::vector<int>& columns) {
        for (int c : columns)
            for (int k = k0; k <= k1; ++k) grid[k][c] = mesh.AddTexture(c / 16.0, 1.0 - k / 16.0);
    };
    std::vector<int> columns(17);
    for (int c = 0; c < 17; ++c) columns[c] = c;
    std::vector<int> seamFirst = {15, 16};
    for (int c = 0; c < 15; ++c) seamFirst.push_back(c);
    pole(topPole, 0, 8, 1.0);
    block(1, 4, columns);
    pole(topPole, 8, 16, 1.0);
    block(5, 8, columns);
    block(9, 12, columns);
    pole(bottomPole, 0, 16, 0.0);
    block(13, 15, seamFirst);
    auto c = [&](int k, int m) { return Corner{SphereVertex(k, m), grid[k][m]}; };
    for (int m = 0; m < kSegments; ++m) mesh.faces.push_back({{c(1, m + 1), c(1, m), {0, topPole[m]}}, 0, {}});
    for (int k = 1; k < kBands - 1; ++k)
        for (int m = 0; m < kSegments; ++m)
            mesh.faces.push_back({{c(k, m + 1), c(k + 1, m + 1), c(k + 1, m), c(k, m)}, 0, {}});
    for (int m = 0; m < kSegments; ++m)
        mesh.faces.push_back({{c(15, m + 1), {1, bottomPole[m]}, c(15, m)}, 0, {}});
    return mesh;
}

// The flat rock: a slab about two model units long and a quarter thick,
// with a flat top and bottom rounding into a steep rim, its outline
// irregular and longer on the +x side of its poles.
//
// Texture: the top is projected from above onto the left part of the
// picture and the bottom from below onto the right part (mirrored, so it
// reads the right way from below); a small patch of the rim at its thick
// end, too steep for either, is projected from the side. Texture vertex i
// belongs to world vertex i in the top projection; the vertices the other
// projections need follow.
Mesh BuildFlatrock()
{
    Mesh mesh;
    mesh.name = "flatrock";
    const Vec3 top{0.004680, 0.0, 0.136578};
    const Vec3 bottom{0.030876, 0.0, -0.140575};
    ShapeRandom random(4242);
    // The outline's reach from the pole axis at angle phi (table units; the
    // LocalMatrix halves x and y).
    auto reach = [&](double phi) {
        return 1.75 + 0.45 * std::cos(phi) + 0.22 * std::cos(2 * phi + 0.7) + 0.14 * std::sin(3 * phi + 0.3) +
               0.08 * std::cos(5 * phi + 1.9);
    };
    // Irregularity: each segment's reach varies a little (the same down the
    // rim, so the steep rim faces stay flat), each vertex's height a little.
    std::vector<double> jitter(kSegments * kBands), segmentJitter(kSegments);
    for (double& j : jitter) j = random.Range(-0.04, 0.04);
    for (double& j : segmentJitter) j = random.Range(-0.05, 0.05);
    const double midZ = 0.5 * (top.z + bottom.z);
    AddSphereVertices(mesh, top, bottom, [&](int k, int m) {
        const double theta = k * kPi / kBands;
        const double phi = m * 2 * kPi / kSegments;
        // A rounded box profile: powers below 1 of |cos| and |sin| keep the
        // top and bottom flat and the rim steep.
        const double s = std::pow(std::sin(theta), 0.45);
        const double cz = std::cos(theta);
        const double zp = std::pow(std::fabs(cz), 0.45);
        const double r = reach(phi) * s * (1 + segmentJitter[m] + 0.1 * jitter[k * kSegments + m]);
        const Vec3 axis = Lerp(bottom, top, cz >= 0 ? 0.5 + 0.5 * zp : 0.5 - 0.5 * zp);
        // Thicker towards the -x end, by up to a third at the rim.
        const double thick = 1 + 0.35 * std::max(0.0, -std::cos(phi)) * s + 0.12 * s * std::sin(2 * phi + 1.1);
        const double half = cz >= 0 ? top.z - midZ : bottom.z - midZ;
        return Vec3{axis.x + r * std::cos(phi), r * std::sin(phi),
                    midZ + half * zp * thick * (1 + 0.5 * jitter[k * kSegments + (m + 5) % kSegments])};
    });
    // Regions: 0 top projection (the top fan and the bands down to band 8),
    // 1 bottom projection, 2 the side patch (bands 8 and 9 of segments 7 and
    // 8, the thick -x end).
    auto region = [](int faceBand, int m) {
        if ((faceBand == 8 || faceBand == 9) && (m == 7 || m == 8)) return 2;
        return faceBand >= 8 ? 1 : 0;
    };
    struct Pending {
        int faceBand, m;
        std::vector<int> vertices;
    };
    std::vector<Pending> faces;
    for (int m = 0; m < kSegments; ++m) faces.push_back({0, m, {0, SphereVertex(1, m + 1), SphereVertex(1, m)}});
    for (int k = 1; k < kBands - 1; ++k)
        for (int m = 0; m < kSegments; ++m)
            faces.push_back({k, m,
                             {SphereVertex(k, m), SphereVertex(k, m + 1), SphereVertex(k + 1, m + 1),
                              SphereVertex(k + 1, m)}});
    for (int m = 0; m < kSegments; ++m)
        faces.push_back({15, m, {SphereVertex(15, m), SphereVertex(15, m + 1), 1}});
    // Each vertex's own texture vertex (index = vertex index) is in the first
    // of its regions; the others follow as needed.
    const size_t n = mesh.vertices.size();
    std::vector<int> primary(n, 3);
    for (const Pending& f : faces)
        for (int vi : f.vertices) primary[vi] = std::min(primary[vi], region(f.faceBand, f.m));
    auto project = [&](int reg, const Vec3& p) {
        if (reg == 0) return Vec2{0.134863 + 0.094 * (p.x - top.x), 0.576784 + 0.118 * (p.y - top.y)};
        if (reg == 1) return Vec2{0.865137 - 0.094 * (p.x - top.x), 0.576784 + 0.118 * (p.y - top.y)};
        // The end seen from -x: u across (from +y to -y), v up.
        return Vec2{0.5 - 0.3 * p.y, 0.5 + 1.6 * (p.z - midZ)};
    };
    for (size_t i = 0; i < n; ++i) {
        const Vec2 t = project(primary[i], mesh.vertices[i]);
        mesh.AddTexture(t.u, t.v);
    }
    std::vector<std::array<int, 3>> extra(n, {-1, -1, -1});
    for (const Pending& f : faces) {
        const int reg = region(f.faceBand, f.m);
        Face face;
        for (int vi : f.vertices) {
            int t = vi;
            if (reg != primary[vi]) {
                if (extra[vi][reg] < 0) {
                    const Vec2 p = project(reg, mesh.vertices[vi]);
                    extra[vi][reg] = mesh.AddTexture(p.u, p.v);
                }
                t = extra[vi][reg];
            }
            face.corners.push_back({vi, t});
        }
        mesh.faces.push_back(face);
    }
    return mesh;
}

}  // namespace kv::meshgen
