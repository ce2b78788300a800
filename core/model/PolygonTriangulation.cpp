#include "core/model/PolygonTriangulation.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

struct Point2 {
    double x, y;
};

double Cross(const Point2& o, const Point2& a, const Point2& b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

double SignedArea(const std::vector<Point2>& p, const std::vector<int>& ring)
{
    double area = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Point2& a = p[static_cast<std::size_t>(ring[i])];
        const Point2& b = p[static_cast<std::size_t>(ring[(i + 1) % ring.size()])];
        area += a.x * b.y - b.x * a.y;
    }
    return area / 2;
}

bool SegmentsCross(const Point2& a, const Point2& b, const Point2& c, const Point2& d)
{
    const double d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool InsideTriangle(const Point2& p, const Point2& a, const Point2& b, const Point2& c)
{
    return Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
}

// Ear clipping of a counterclockwise ring (indices into the points).
void ClipEars(const std::vector<Point2>& p, std::vector<int> ring, std::vector<std::array<int, 3>>& out)
{
    std::size_t guard = 0;
    while (ring.size() > 3 && guard < 4 * ring.size() * ring.size()) {
        ++guard;
        bool clipped = false;
        for (std::size_t i = 0; i < ring.size() && !clipped; ++i) {
            const int ia = ring[(i + ring.size() - 1) % ring.size()], ib = ring[i], ic = ring[(i + 1) % ring.size()];
            const Point2 &a = p[static_cast<std::size_t>(ia)], &b = p[static_cast<std::size_t>(ib)],
                         &c = p[static_cast<std::size_t>(ic)];
            if (Cross(a, b, c) <= 0) continue;  // reflex or flat
            bool empty = true;
            for (int other : ring) {
                if (other == ia || other == ib || other == ic) continue;
                const Point2& q = p[static_cast<std::size_t>(other)];
                // A bridge repeats points: a copy of a corner is not inside.
                if ((q.x == a.x && q.y == a.y) || (q.x == b.x && q.y == b.y) || (q.x == c.x && q.y == c.y)) continue;
                if (InsideTriangle(q, a, b, c)) {
                    empty = false;
                    break;
                }
            }
            if (!empty) continue;
            out.push_back({ia, ib, ic});
            ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i));
            clipped = true;
        }
        if (!clipped) break;
    }
    // What is left (a triangle, or a ring no ear could be cut from) as a fan.
    for (std::size_t i = 1; i + 1 < ring.size(); ++i) out.push_back({ring[0], ring[i], ring[i + 1]});
}

}  // namespace

Vec3 NewellVector(const std::vector<Vec3>& p)
{
    Vec3 n;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Vec3& a = p[i];
        const Vec3& b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

std::vector<std::array<int, 3>> TriangulatePolygon(const std::vector<Vec3>& outer,
                                                   const std::vector<std::vector<Vec3>>& holes)
{
    std::vector<std::array<int, 3>> triangles;
    if (outer.size() < 3) return triangles;
    if (outer.size() == 3 && holes.empty()) return {{0, 1, 2}};

    // Project onto the plane across the normal's largest component, turned
    // so that the outer polygon runs counterclockwise.
    const Vec3 n = NewellVector(outer);
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    const int drop = (ax >= ay && ax >= az) ? 0 : (ay >= az ? 1 : 2);
    std::vector<Point2> p;
    auto project = [&](const Vec3& v) {
        if (drop == 0) return Point2{v.y, v.z};
        if (drop == 1) return Point2{v.z, v.x};
        return Point2{v.x, v.y};
    };
    for (const Vec3& v : outer) p.push_back(project(v));
    std::vector<int> ring;
    for (int i = 0; i < static_cast<int>(outer.size()); ++i) ring.push_back(i);
    const bool flipped = SignedArea(p, ring) < 0;
    if (flipped)
        for (Point2& q : p) q.x = -q.x;

    // Each hole, running the other way, joins the outline by a bridge from
    // its rightmost corner to the nearest outline corner it can see.
    int next = static_cast<int>(outer.size());
    for (const std::vector<Vec3>& hole : holes) {
        if (hole.size() < 3) {
            next += static_cast<int>(hole.size());
            continue;
        }
        std::vector<int> h;
        for (const Vec3& v : hole) {
            Point2 q = project(v);
            if (flipped) q.x = -q.x;
            p.push_back(q);
            h.push_back(next++);
        }
        if (SignedArea(p, h) > 0) std::reverse(h.begin(), h.end());
        std::size_t from = 0;
        for (std::size_t i = 1; i < h.size(); ++i)
            if (p[static_cast<std::size_t>(h[i])].x > p[static_cast<std::size_t>(h[from])].x) from = i;
        const Point2& start = p[static_cast<std::size_t>(h[from])];
        std::vector<std::size_t> candidates(ring.size());
        for (std::size_t i = 0; i < ring.size(); ++i) candidates[i] = i;
        auto distance = [&](std::size_t i) {
            const Point2& q = p[static_cast<std::size_t>(ring[i])];
            return (q.x - start.x) * (q.x - start.x) + (q.y - start.y) * (q.y - start.y);
        };
        std::stable_sort(candidates.begin(), candidates.end(),
                         [&](std::size_t a, std::size_t b) { return distance(a) < distance(b); });
        std::size_t to = candidates.front();
        for (std::size_t c : candidates) {
            const Point2& end = p[static_cast<std::size_t>(ring[c])];
            bool clear = true;
            auto crosses = [&](const std::vector<int>& edges) {
                for (std::size_t e = 0; e < edges.size() && clear; ++e)
                    if (SegmentsCross(start, end, p[static_cast<std::size_t>(edges[e])],
                                      p[static_cast<std::size_t>(edges[(e + 1) % edges.size()])]))
                        clear = false;
            };
            crosses(ring);
            crosses(h);
            if (clear) {
                to = c;
                break;
            }
        }
        std::vector<int> merged(ring.begin(), ring.begin() + static_cast<std::ptrdiff_t>(to) + 1);
        for (std::size_t i = 0; i <= h.size(); ++i) merged.push_back(h[(from + i) % h.size()]);
        merged.insert(merged.end(), ring.begin() + static_cast<std::ptrdiff_t>(to), ring.end());
        ring = std::move(merged);
    }
    ClipEars(p, ring, triangles);
    return triangles;
}

}  // namespace kv
