#include "tools/meshgen/Check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

#include "tools/meshgen/Polygon.h"

namespace kv::meshgen {

namespace {

struct Finder {
    std::vector<int> parent;
    explicit Finder(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int Find(int a)
    {
        while (parent[a] != a) a = parent[a] = parent[parent[a]];
        return a;
    }
    void Join(int a, int b) { parent[Find(a)] = Find(b); }
};

std::string Fmt(const char* format, double a, double b = 0, double c = 0)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

}  // namespace

bool CheckMesh(const Mesh& input, const CheckOptions& options, std::string& report)
{
    bool ok = true;
    auto fault = [&](const std::string& text) {
        ok = false;
        report += "  FAULT: " + text + "\n";
    };
    Mesh mesh = input;
    for (Vec3& p : mesh.vertices) p = options.local.Apply(p);
    const int nv = static_cast<int>(mesh.vertices.size()), nt = static_cast<int>(mesh.texture.size());

    // Ranges and repeated corners.
    std::vector<bool> usedV(nv, false), usedT(nt, false);
    for (size_t fi = 0; fi < mesh.faces.size(); ++fi) {
        const Face& f = mesh.faces[fi];
        std::set<int> seen;
        auto corner = [&](const Corner& c) {
            if (c.v < 0 || c.v >= nv || c.t < 0 || c.t >= nt) {
                fault("face " + std::to_string(fi) + " index out of range");
                return;
            }
            usedV[c.v] = usedT[c.t] = true;
            if (!seen.insert(c.v).second) fault("face " + std::to_string(fi) + " repeats vertex " + std::to_string(c.v));
        };
        if (f.corners.size() < 3) fault("face " + std::to_string(fi) + " has fewer than 3 corners");
        for (const Corner& c : f.corners) corner(c);
        for (const auto& h : f.holes) {
            if (h.size() < 3) fault("hole of face " + std::to_string(fi) + " has fewer than 3 corners");
            for (const Corner& c : h) corner(c);
        }
    }
    if (!ok) return false;
    const long unusedV = std::count(usedV.begin(), usedV.end(), false);
    const long unusedT = std::count(usedT.begin(), usedT.end(), false);
    if (unusedV) fault(std::to_string(unusedV) + " world vertices unused");
    if (unusedT) fault(std::to_string(unusedT) + " texture vertices unused");

    // Shape of each face on its own plane.
    double worstFlat = 0, worstFlatQuad = 0;
    double worstThin = 1e300;
    for (size_t fi = 0; fi < mesh.faces.size(); ++fi) {
        const Face& f = mesh.faces[fi];
        const std::vector<Vec3> pts = FacePoints(mesh, f.corners);
        const Vec3 newell = NewellVector(pts);
        double perimeter = 0;
        for (size_t i = 0; i < pts.size(); ++i) perimeter += Length(pts[(i + 1) % pts.size()] - pts[i]);
        const double area = Length(newell) / 2;
        const double thin = area / (perimeter * perimeter);
        worstThin = std::min(worstThin, thin);
        if (thin < 2e-4) fault("face " + std::to_string(fi) + Fmt(" is degenerate (area %g, perimeter %g)", area, perimeter));
        Vec3 centre;
        for (const Vec3& p : pts) centre += p;
        centre = centre / static_cast<double>(pts.size());
        const std::vector<P2> outer = ProjectToPlane(pts, newell, centre);
        if (!IsSimple(outer)) fault("face " + std::to_string(fi) + " crosses itself on its plane");
        // Flatness relative to the face's width (area over its longest span).
        double span = 0;
        for (const Vec3& a : pts)
            for (const Vec3& b : pts) span = std::max(span, Length(a - b));
        const double width = area / span;
        const double flat = PlaneDeviation(pts) / width;
        if (pts.size() > 4) worstFlat = std::max(worstFlat, flat);
        else if (pts.size() == 4) worstFlatQuad = std::max(worstFlatQuad, flat);
        std::vector<std::vector<P2>> holes;
        for (const auto& h : f.holes) {
            const std::vector<Vec3> hp = FacePoints(mesh, h);
            const std::vector<P2> hole = ProjectToPlane(hp, newell, centre);
            for (const Vec3& p : hp)
                if (std::fabs(Dot(p - centre, Normalized(newell))) > 0.1 * width)
                    fault("hole of face " + std::to_string(fi) + " leaves the face's plane");
            for (const P2& p : hole)
                if (!PointInPolygon(p, outer)) fault("hole of face " + std::to_string(fi) + " is not inside it");
            for (size_t i = 0; i < hole.size(); ++i)
                for (size_t k = 0; k < outer.size(); ++k)
                    if (SegmentsCross(hole[i], hole[(i + 1) % hole.size()], outer[k], outer[(k + 1) % outer.size()]))
                        fault("hole of face " + std::to_string(fi) + " crosses its outline");
            if (SignedArea(hole) >= 0) fault("hole of face " + std::to_string(fi) + " runs the same way as its face");
            holes.push_back(hole);
        }
        if (Triangulate(outer, holes).empty()) fault("face " + std::to_string(fi) + " cannot be cut into triangles");
    }
    report += Fmt("  flatness: worst polygon %.3f, worst quad %.3f of face width; thinnest %.5f\n", worstFlat,
                  worstFlatQuad, worstThin);

    // Orientation.
    std::map<std::pair<int, int>, int> directed;
    auto addLoop = [&](const std::vector<Corner>& loop) {
        for (size_t i = 0; i < loop.size(); ++i) ++directed[{loop[i].v, loop[(i + 1) % loop.size()].v}];
    };
    for (const Face& f : mesh.faces) {
        addLoop(f.corners);
        for (const auto& h : f.holes) addLoop(h);
    }
    if (options.doubleSided) {
        // Every face must have its mirror twin (same corners, opposite order).
        std::map<std::vector<int>, int> keyed;
        auto key = [](std::vector<int> v) {
            std::rotate(v.begin(), std::min_element(v.begin(), v.end()), v.end());
            return v;
        };
        for (const Face& f : mesh.faces) {
            std::vector<int> v;
            for (const Corner& c : f.corners) v.push_back(c.v);
            ++keyed[key(v)];
        }
        for (const Face& f : mesh.faces) {
            std::vector<int> v;
            for (const Corner& c : f.corners) v.push_back(c.v);
            std::reverse(v.begin(), v.end());
            if (!keyed.count(key(v))) fault("a one-sided face has no twin facing the other way");
        }
        return ok;
    }
    int repeated = 0;
    for (const auto& [edge, count] : directed)
        if (count > 1) repeated += count - 1;
    if (repeated) fault(std::to_string(repeated) + " edges run the same way in two faces (inconsistent winding)");
    // Components, closed with fans over their open rims, and their volumes.
    Finder comps(static_cast<size_t>(nv));
    for (const Face& f : mesh.faces) {
        for (size_t i = 1; i < f.corners.size(); ++i) comps.Join(f.corners[0].v, f.corners[i].v);
        for (const auto& h : f.holes)
            for (const Corner& c : h) comps.Join(f.corners[0].v, c.v);
    }
    std::map<int, double> volume;
    auto tri = [&](const Vec3& a, const Vec3& b, const Vec3& c) { return Dot(a, Cross(b, c)) / 6; };
    auto loopVolume = [&](const std::vector<Corner>& loop) {
        double v = 0;
        for (size_t i = 1; i + 1 < loop.size(); ++i)
            v += tri(mesh.vertices[loop[0].v], mesh.vertices[loop[i].v], mesh.vertices[loop[i + 1].v]);
        return v;
    };
    for (const Face& f : mesh.faces) {
        double v = loopVolume(f.corners);
        for (const auto& h : f.holes) v += loopVolume(h);
        volume[comps.Find(f.corners[0].v)] += v;
    }
    // Open rims: edges without a partner running the other way.
    std::map<int, std::vector<std::pair<int, int>>> rims;
    int open = 0;
    for (const auto& [edge, count] : directed)
        if (!directed.count({edge.second, edge.first})) {
            rims[comps.Find(edge.first)].push_back(edge);
            ++open;
        }
    for (auto& [comp, edges] : rims) {
        Vec3 c;
        for (const auto& e : edges) c += mesh.vertices[e.first];
        c = c / static_cast<double>(edges.size());
        for (const auto& e : edges) volume[comp] += tri(c, mesh.vertices[e.second], mesh.vertices[e.first]);
    }
    int inward = 0;
    for (const auto& [comp, v] : volume)
        if (v >= 0) ++inward;
    if (inward) fault(std::to_string(inward) + " parts face inward");
    report += "  parts " + std::to_string(volume.size()) + ", open rim edges " + std::to_string(open) + "\n";
    return ok;
}

}  // namespace kv::meshgen
