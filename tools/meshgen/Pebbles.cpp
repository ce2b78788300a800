// The pebbles: a cluster of 45 small stones in one mesh, lying on the ground
// round the model's origin. Each stone is a rounded polyhedron of rings
// round a vertical axis: a point on top, and underneath either a point or a
// flat facet resting on the ground. One flat stone has a hole worn through
// it (two holes of its top and bottom facets joined by a four-sided
// tunnel).
//
// Texture: most stones wrap the picture round their axis (u) from the top
// (v 1) to the bottom (v 0), with a point of their own for each triangle at
// a pole and the picture's inscribed polygon on a flat facet; some small
// stones take the picture projected from above instead, one texture vertex
// per world vertex.
#include <algorithm>
#include <cmath>

#include "tools/meshgen/Models.h"
#include "tools/meshgen/Tubes.h"

namespace kv::meshgen {

namespace {

enum class Foot { Point, Flat };

struct Stone {
    int sides;
    int rings;
    Foot foot;
    bool projected;  // texture projected from above
    double size;     // width in model units
};

// The placement of the table in the model (for designing in model units).
Mat34 PebblesLocal()
{
    Mat34 m;
    const double v[3][4] = {{0.109865, -0.0756392, 0.0160006, -0.0755284},
                            {0.0780411, 0.132892, 0.0109832, 0.150514},
                            {-0.0115548, 0.00445365, 0.0958756, 0.033203}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = v[r][c];
    return m;
}

}  // namespace

Mesh BuildPebbles()
{
    Mesh mesh;
    mesh.name = "pebbles";
    const Mat34 local = PebblesLocal();
    const Mat34 back = local.Inverse();
    // The stones, largest first; the first stone's top is the table's first
    // vertex.
    std::vector<Stone> stones;
    stones.push_back({9, 3, Foot::Point, false, 0.12});
    stones.push_back({9, 3, Foot::Point, false, 0.21});
    stones.push_back({9, 3, Foot::Point, true, 0.19});
    stones.push_back({8, 3, Foot::Point, false, 0.17});
    stones.push_back({9, 2, Foot::Point, true, 0.16});
    stones.push_back({9, 2, Foot::Point, false, 0.15});
    stones.push_back({8, 2, Foot::Point, true, 0.14});
    stones.push_back({8, 2, Foot::Point, true, 0.13});
    stones.push_back({8, 2, Foot::Flat, true, 0.13});
    stones.push_back({7, 2, Foot::Flat, false, 0.12});
    for (int i = 0; i < 3; ++i) stones.push_back({5, 3, Foot::Flat, false, 0.11 - 0.005 * i});
    for (int i = 0; i < 31; ++i) stones.push_back({5, 2, Foot::Flat, i >= 27, 0.1 - 0.0017 * i});
    // Layout: the holed stone near the middle, the others scattered round it
    // without touching.
    ShapeRandom random(90210);
    struct Spot {
        double x, y, r;
    };
    std::vector<Spot> spots;
    const Vec3 origin = local.Apply({0, 0, 0});
    spots.push_back({origin.x + 0.06, origin.y - 0.05, 0.16});  // the holed stone
    const Vec3 firstTop = local.Apply({0.0, -0.046935, 0.221674});
    for (size_t i = 0; i < stones.size(); ++i) {
        const double r = stones[i].size / 2;
        Spot s{};
        if (i == 0) {
            s = {firstTop.x, firstTop.y, r};
        } else {
            for (int attempt = 0;; ++attempt) {
                // Denser towards the middle and towards one side, as if
                // washed together.
                const double spread = 0.3 + 0.002 * attempt;
                const double a = random.Range(0, 2 * kPi), d = spread * std::pow(random.Next(), 0.7);
                s = {origin.x + d * std::cos(a) + 0.05 * std::cos(a) * std::cos(a), origin.y + d * 0.8 * std::sin(a), r};
                bool clear = true;
                for (const Spot& o : spots)
                    if (std::hypot(o.x - s.x, o.y - s.y) < o.r + s.r + 0.002) clear = false;
                if (clear) break;
            }
        }
        spots.push_back(s);
    }
    const std::vector<Spot> placed(spots.begin() + 1, spots.end());

    // Each stone: rings from the top down at these heights (fractions of its
    // height) and radii (fractions of its half width).
    for (size_t i = 0; i < stones.size(); ++i) {
        const Stone& st = stones[i];
        const Spot& sp = placed[i];
        double height = st.size * random.Range(0.5, 0.75) * (st.foot == Foot::Flat ? 0.9 : 1.0);
        if (i == 0) height = firstTop.z;  // its top is the table's first vertex
        const double squash = random.Range(0.7, 1.0);  // oval outline
        const double yaw = random.Range(0, 2 * kPi);
        const Vec3 ex{std::cos(yaw), std::sin(yaw), 0}, ey{-std::sin(yaw), std::cos(yaw), 0};
        std::vector<double> zs, rs;
        if (st.rings == 2) {
            zs = {0.84, 0.4};
            rs = {0.7, 1.0};
        } else {
            zs = {0.9, 0.64, 0.26};
            rs = {0.58, 0.92, 1.0};
        }
        const double sink = st.foot == Foot::Point ? -0.18 : -0.04;  // below ground, in heights
        auto point = [&](double fz, double fr, double a) {
            const double rr = sp.r * fr * (1 + random.Range(-0.07, 0.07));
            const Vec3 p = Vec3{sp.x, sp.y, 0} + ex * (rr * std::cos(a)) + ey * (rr * squash * std::sin(a)) +
                           Vec3{0, 0, height * (fz + random.Range(-0.04, 0.04))};
            return back.Apply(p);
        };
        const double spin = random.Range(0, 2 * kPi);
        // Vertices: the top point, the rings from the top down, the bottom
        // point.
        const Vec3 topPoint = i == 0 ? Vec3{0.0, -0.046935, 0.221674} : point(1.0, 0.0, 0);
        const int top = mesh.AddVertex(topPoint);
        std::vector<std::vector<int>> rings;  // from the top down
        for (size_t k = 0; k < zs.size(); ++k) {
            std::vector<int> ring;
            for (int m = 0; m < st.sides; ++m)
                ring.push_back(mesh.AddVertex(point(zs[k], rs[k], spin + 2 * kPi * m / st.sides)));
            rings.push_back(ring);
        }
        int bottom = -1;
        if (st.foot == Foot::Point) {
            bottom = mesh.AddVertex(point(sink, 0.0, 0));
        } else {
            // The last ring is the facet on the ground.
            for (int m = 0; m < st.sides; ++m) {
                Vec3 p = local.Apply(mesh.vertices[rings.back()[m]]);
                p.z = height * sink;
                mesh.vertices[rings.back()[m]] = back.Apply(p);
            }
        }
        // Texture.
        const int s = st.sides;
        std::vector<int> topTex(s), bottomTex(s);
        std::vector<std::vector<int>> rowTex;
        if (st.projected) {
            // One texture vertex per world vertex, projected from above.
            auto proj = [&](int vi) {
                const Vec3 p = local.Apply(mesh.vertices[vi]);
                return mesh.AddTexture(0.5 + (p.x - sp.x) / (2.4 * sp.r), 0.5 + (p.y - sp.y) / (2.4 * sp.r));
            };
            const int t = proj(top);
            std::fill(topTex.begin(), topTex.end(), t);
            for (const auto& ring : rings) {
                std::vector<int> row;
                for (int vi : ring) row.push_back(proj(vi));
                row.push_back(row.front());
                rowTex.push_back(row);
            }
            if (bottom >= 0) std::fill(bottomTex.begin(), bottomTex.end(), proj(bottom));
            else for (int m = 0; m < s; ++m) bottomTex[m] = rowTex.back()[m];
        } else {
            for (int m = 0; m < s; ++m) topTex[m] = mesh.AddTexture((2 * m + 1) / (2.0 * s), 1.0);
            for (size_t k = 0; k < rings.size(); ++k)
                rowTex.push_back(AddTextureRow(mesh, s, 1.0 - (k + 1.0) / (rings.size() + 1.0)));
            if (bottom >= 0)
                for (int m = 0; m < s; ++m) bottomTex[m] = mesh.AddTexture((2 * m + 1) / (2.0 * s), 0.0);
            else
                bottomTex = AddCapTexture(mesh, s, spin);
        }
        // Faces: the top fan, the bands from the top down, then the foot.
        for (int m = 0; m < s; ++m)
            mesh.faces.push_back(
                {{{top, topTex[m]}, {rings[0][(m + 1) % s], rowTex[0][m + 1]}, {rings[0][m], rowTex[0][m]}}, 0, {}});
        for (size_t k = 0; k + 1 < rings.size(); ++k) AddBand(mesh, rings[k + 1], rings[k], rowTex[k + 1], rowTex[k], 0);
        if (bottom >= 0) {
            const auto& last = rings.back();
            const auto& row = rowTex.back();
            for (int m = 0; m < s; ++m)
                mesh.faces.push_back(
                    {{{last[m], row[m]}, {last[(m + 1) % s], row[m + 1]}, {bottom, bottomTex[m]}}, 0, {}});
        } else {
            AddBaseCap(mesh, rings.back(), bottomTex, 0);
        }
    }

    // The holed stone: a flat nine-sided slab with a square hole through it.
    {
        const Spot& sp = spots[0];
        const int s = 9;
        const double height = 0.07, r = sp.r;
        auto at = [&](double x, double y, double z) { return back.Apply(Vec3{sp.x + x, sp.y + y, z}); };
        std::vector<int> lower, upper, holeTop, holeBottom;
        std::vector<Vec3> outline;
        for (int m = 0; m < s; ++m) {
            const double a = 0.3 + 2 * kPi * m / s;
            const double rr = r * (1 + random.Range(-0.08, 0.08));
            outline.push_back({rr * std::cos(a), rr * 0.85 * std::sin(a), 0});
        }
        for (int m = 0; m < s; ++m) lower.push_back(mesh.AddVertex(at(outline[m].x * 0.97, outline[m].y * 0.97, -0.01)));
        for (int m = 0; m < s; ++m)
            upper.push_back(mesh.AddVertex(at(outline[m].x * 0.92, outline[m].y * 0.92, height * random.Range(0.9, 1.1))));
        // The hole, off the middle, counterclockwise from above.
        const double hx = 0.03, hy = 0.01, hs = 0.028;
        const double corners[4][2] = {{-1, -1}, {1, -1.1}, {1.1, 1}, {-1, 0.9}};
        for (const auto& c : corners) holeTop.push_back(mesh.AddVertex(at(hx + hs * c[0], hy + hs * c[1], height * 0.95)));
        for (const auto& c : corners)
            holeBottom.push_back(mesh.AddVertex(at(hx + 0.9 * hs * c[0], hy + 0.9 * hs * c[1], -0.005)));
        // Texture: the inscribed polygon on each facet (and the hole's place
        // in it), the rim wrapped round once, the tunnel wrapped round once.
        auto facetTex = [&](const Vec3& p, bool mirrored) {
            const Vec3 q = local.Apply(p);
            const double x = (q.x - sp.x) / (2.2 * r), y = (q.y - sp.y) / (2.2 * r);
            return mesh.AddTexture(0.5 + (mirrored ? -x : x), 0.5 + y);
        };
        std::vector<int> topCap, topHole, bottomCap, bottomHole;
        for (int vi : upper) topCap.push_back(facetTex(mesh.vertices[vi], false));
        for (int vi : holeTop) topHole.push_back(facetTex(mesh.vertices[vi], false));
        for (int vi : lower) bottomCap.push_back(facetTex(mesh.vertices[vi], true));
        for (int vi : holeBottom) bottomHole.push_back(facetTex(mesh.vertices[vi], true));
        const std::vector<int> rimLow = AddTextureRow(mesh, s, 0.0), rimHigh = AddTextureRow(mesh, s, 1.0);
        const std::vector<int> tunLow = AddTextureRow(mesh, 4, 0.0), tunHigh = AddTextureRow(mesh, 4, 1.0);
        // Top facet with its hole (the hole runs counterclockwise seen from
        // above, against the facet).
        Face topFace;
        for (int k = 0; k < s; ++k) {
            const int m = (s - k) % s;
            topFace.corners.push_back({upper[m], topCap[m]});
        }
        std::vector<Corner> ht;
        for (int k = 0; k < 4; ++k) ht.push_back({holeTop[k], topHole[k]});
        topFace.holes.push_back(ht);
        mesh.faces.push_back(topFace);
        AddBand(mesh, lower, upper, rimLow, rimHigh, 0);
        // Bottom facet: seen from below its hole runs the other way.
        Face bottomFace;
        for (int k = 1; k <= s; ++k) bottomFace.corners.push_back({lower[k % s], bottomCap[k % s]});
        std::vector<Corner> hb;
        for (int k = 0; k < 4; ++k) {
            const int m = (4 - k) % 4;
            hb.push_back({holeBottom[m], bottomHole[m]});
        }
        bottomFace.holes.push_back(hb);
        mesh.faces.push_back(bottomFace);
        // The tunnel, its faces looking into the hole.
        for (int m = 0; m < 4; ++m) {
            const int n = (m + 1) % 4;
            mesh.faces.push_back({{{holeTop[n], tunHigh[m + 1]},
                                   {holeTop[m], tunHigh[m]},
                                   {holeBottom[m], tunLow[m]},
                                   {holeBottom[n], tunLow[m + 1]}},
                                  0,
                                  {}});
        }
    }
    return mesh;
}

}  // namespace kv::meshgen
