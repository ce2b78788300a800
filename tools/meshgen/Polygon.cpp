#include "tools/meshgen/Polygon.h"

#include <algorithm>
#include <cmath>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

std::vector<P2> ProjectToPlane(const std::vector<Vec3>& points, const Vec3& normal, const Vec3& origin)
{
    const Vec3 n = Normalized(normal);
    const Vec3 a = Perpendicular(n);
    const Vec3 b = Cross(n, a);
    std::vector<P2> out;
    out.reserve(points.size());
    for (const Vec3& p : points) out.push_back({Dot(p - origin, a), Dot(p - origin, b)});
    return out;
}

double SignedArea(const std::vector<P2>& p)
{
    double s = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const P2& a = p[i];
        const P2& b = p[(i + 1) % p.size()];
        s += a.x * b.y - b.x * a.y;
    }
    return s / 2;
}

namespace {

double Orient(const P2& a, const P2& b, const P2& c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

bool Same(const P2& a, const P2& b) { return std::fabs(a.x - b.x) < 1e-12 && std::fabs(a.y - b.y) < 1e-12; }

}  // namespace

bool SegmentsCross(const P2& a, const P2& b, const P2& c, const P2& d)
{
    const double d1 = Orient(c, d, a), d2 = Orient(c, d, b), d3 = Orient(a, b, c), d4 = Orient(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool IsSimple(const std::vector<P2>& p)
{
    const size_t n = p.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j) {
            if (j == i + 1 || (i == 0 && j == n - 1)) continue;
            if (SegmentsCross(p[i], p[(i + 1) % n], p[j], p[(j + 1) % n])) return false;
        }
    return true;
}

bool PointInPolygon(const P2& q, const std::vector<P2>& p)
{
    bool inside = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > q.y) != (p[j].y > q.y) &&
            q.x < (p[j].x - p[i].x) * (q.y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
            inside = !inside;
    }
    return inside;
}

double PlaneDeviation(const std::vector<Vec3>& points)
{
    const Vec3 n = Normalized(NewellVector(points));
    Vec3 c;
    for (const Vec3& p : points) c += p;
    c = c / static_cast<double>(points.size());
    double worst = 0;
    for (const Vec3& p : points) worst = std::max(worst, std::fabs(Dot(p - c, n)));
    return worst;
}

std::vector<std::array<int, 3>> Triangulate(const std::vector<P2>& outer, const std::vector<std::vector<P2>>& holes)
{
    // The working loop holds indices into `all`.
    std::vector<P2> all = outer;
    std::vector<int> loop(outer.size());
    for (size_t i = 0; i < outer.size(); ++i) loop[i] = static_cast<int>(i);
    std::vector<std::vector<int>> holeIdx;
    for (const auto& h : holes) {
        std::vector<int> idx;
        for (const P2& p : h) {
            idx.push_back(static_cast<int>(all.size()));
            all.push_back(p);
        }
        holeIdx.push_back(idx);
    }
    // Join holes, the one reaching furthest right first.
    std::vector<size_t> order(holes.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto maxX = [&](size_t h) {
        double m = -1e300;
        for (int i : holeIdx[h]) m = std::max(m, all[i].x);
        return m;
    };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return maxX(a) > maxX(b); });
    std::vector<bool> joined(holes.size(), false);
    for (size_t h : order) {
        const auto& hi = holeIdx[h];
        size_t best = 0;
        for (size_t i = 1; i < hi.size(); ++i)
            if (all[hi[i]].x > all[hi[best]].x) best = i;
        const P2 hp = all[hi[best]];
        // Candidate loop vertices by distance; take the first whose bridge
        // crosses no edge of the loop or of any hole.
        std::vector<size_t> cand(loop.size());
        for (size_t i = 0; i < loop.size(); ++i) cand[i] = i;
        auto dist = [&](size_t i) {
            const P2& p = all[loop[i]];
            return (p.x - hp.x) * (p.x - hp.x) + (p.y - hp.y) * (p.y - hp.y);
        };
        std::sort(cand.begin(), cand.end(), [&](size_t a, size_t b) { return dist(a) < dist(b); });
        long chosen = -1;
        for (size_t ci : cand) {
            const P2& op = all[loop[ci]];
            bool ok = true;
            for (size_t k = 0; k < loop.size() && ok; ++k) {
                const P2& a = all[loop[k]];
                const P2& b = all[loop[(k + 1) % loop.size()]];
                if (SegmentsCross(hp, op, a, b)) ok = false;
            }
            for (size_t g = 0; g < holeIdx.size() && ok; ++g) {
                if (joined[g]) continue;
                const auto& gi = holeIdx[g];
                for (size_t k = 0; k < gi.size() && ok; ++k)
                    if (SegmentsCross(hp, op, all[gi[k]], all[gi[(k + 1) % gi.size()]])) ok = false;
            }
            if (ok) {
                const P2 mid{(hp.x + op.x) / 2, (hp.y + op.y) / 2};
                std::vector<P2> ring;
                for (int i : loop) ring.push_back(all[i]);
                if (!PointInPolygon(mid, ring)) ok = false;
            }
            if (ok) {
                chosen = static_cast<long>(ci);
                break;
            }
        }
        if (chosen < 0) return {};
        std::vector<int> merged(loop.begin(), loop.begin() + chosen + 1);
        for (size_t k = 0; k <= hi.size(); ++k) merged.push_back(hi[(best + k) % hi.size()]);
        merged.insert(merged.end(), loop.begin() + chosen, loop.end());
        loop = merged;
        joined[h] = true;
    }
    std::vector<std::array<int, 3>> tris;
    while (loop.size() > 3) {
        const size_t n = loop.size();
        bool clipped = false;
        // Prefer the ear with the largest smallest angle, so long strips are
        // cut across rather than along.
        long bestEar = -1;
        double bestScore = -1;
        for (size_t i = 0; i < n; ++i) {
            const P2& a = all[loop[(i + n - 1) % n]];
            const P2& b = all[loop[i]];
            const P2& c = all[loop[(i + 1) % n]];
            if (Orient(a, b, c) <= 1e-15) continue;
            bool empty = true;
            for (size_t k = 0; k < n && empty; ++k) {
                const P2& q = all[loop[k]];
                if (Same(q, a) || Same(q, b) || Same(q, c)) continue;
                if (Orient(a, b, q) >= 0 && Orient(b, c, q) >= 0 && Orient(c, a, q) >= 0) empty = false;
            }
            if (!empty) continue;
            auto angle = [](const P2& o, const P2& p, const P2& q) {
                const double ux = p.x - o.x, uy = p.y - o.y, vx = q.x - o.x, vy = q.y - o.y;
                return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy);
            };
            const double score = std::min({angle(a, b, c), angle(b, c, a), angle(c, a, b)});
            if (score > bestScore) {
                bestScore = score;
                bestEar = static_cast<long>(i);
            }
        }
        if (bestEar >= 0) {
            const size_t i = static_cast<size_t>(bestEar);
            tris.push_back({loop[(i + n - 1) % n], loop[i], loop[(i + 1) % n]});
            loop.erase(loop.begin() + static_cast<long>(i));
            clipped = true;
        }
        if (!clipped) return {};
    }
    if (loop.size() == 3) tris.push_back({loop[0], loop[1], loop[2]});
    return tris;
}

}  // namespace kv::meshgen
