#include "tools/meshgen/Limbs.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

#include "tools/meshgen/Tubes.h"

namespace kv::meshgen {

namespace {

struct Built {
    int sides = 0;
    std::vector<std::vector<Vec3>> rings;  // model units
    bool pointed = false;
    Vec3 apex;
    std::vector<int> sectionStart;  // first ring of each section, plus the last ring
    std::vector<std::vector<double>> v;  // length along each edge line from the base, in texture heights
    std::vector<std::vector<double>> offset;  // per section: v of its edges where the picture starts again
    std::vector<int> group;                   // per section: which start of the picture it belongs to
    double apexV = 0;
    // Table indices.
    std::vector<std::vector<int>> index;
    int apexIndex = -1;
};

// A point of a host side face: `along` in rings (fractional), `across` from
// edge j (0) to edge j + 1 (1).
Vec3 OnFace(const Built& b, int side, double along, double across)
{
    const int s = b.sides;
    const int k0 = std::min(static_cast<int>(std::floor(along)), static_cast<int>(b.rings.size()) - 2);
    const double f = along - k0;
    const Vec3 left = Lerp(b.rings[k0][side], b.rings[k0 + 1][side], f);
    const Vec3 right = Lerp(b.rings[k0][(side + 1) % s], b.rings[k0 + 1][(side + 1) % s], f);
    return Lerp(left, right, across);
}

double VOnFace(const Built& b, int section, int side, double along, double across)
{
    const int s = b.sides;
    const std::vector<double>& off = b.offset[section];
    const int k0 = std::min(static_cast<int>(std::floor(along)), static_cast<int>(b.rings.size()) - 2);
    const double f = along - k0;
    const double left = b.v[k0][side] + (b.v[k0 + 1][side] - b.v[k0][side]) * f - off[side];
    const int n = (side + 1) % s;
    const double right = b.v[k0][n] + (b.v[k0 + 1][n] - b.v[k0][n]) * f - off[n];
    return left + (right - left) * across;
}

}  // namespace

std::vector<int> SplitSections(int intervals, int sections)
{
    std::vector<int> out;
    for (int i = 0; i < sections; ++i) out.push_back(intervals * (i + 1) / sections - intervals * i / sections);
    return out;
}

std::vector<Vec3> SmoothPath(const std::vector<Vec3>& c, int points)
{
    // Catmull-Rom through the control points, sampled densely, then
    // resampled evenly by length.
    std::vector<Vec3> dense;
    const int n = static_cast<int>(c.size());
    for (int i = 0; i + 1 < n; ++i) {
        const Vec3 p0 = c[std::max(0, i - 1)], p1 = c[i], p2 = c[i + 1], p3 = c[std::min(n - 1, i + 2)];
        for (int k = 0; k < 64; ++k) {
            const double t = k / 64.0, t2 = t * t, t3 = t2 * t;
            dense.push_back((p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) *
                            0.5);
        }
    }
    dense.push_back(c.back());
    std::vector<double> len(dense.size(), 0);
    for (size_t i = 1; i < dense.size(); ++i) len[i] = len[i - 1] + Length(dense[i] - dense[i - 1]);
    std::vector<Vec3> out;
    size_t at = 0;
    for (int k = 0; k < points; ++k) {
        const double target = len.back() * k / (points - 1);
        while (at + 2 < dense.size() && len[at + 1] < target) ++at;
        const double seg = len[at + 1] - len[at];
        out.push_back(Lerp(dense[at], dense[at + 1], seg > 0 ? std::clamp((target - len[at]) / seg, 0.0, 1.0) : 0));
    }
    return out;
}

void BuildLimbs(Mesh& mesh, std::vector<LimbPlan> plans, const Mat34& toTable, double vScale)
{
    std::vector<Built> built(plans.size());
    // Holes: (host, section, side) -> the hole limbs cutting that face.
    std::map<std::tuple<int, int, int>, std::vector<int>> holes;
    // Hole texture coordinates per hole limb (in the host face's mapping).
    std::vector<std::vector<Vec2>> holeUv(plans.size());

    for (size_t li = 0; li < plans.size(); ++li) {
        LimbPlan& plan = plans[li];
        Built& b = built[li];
        b.sides = plan.sides;
        b.pointed = plan.tip == LimbTip::Point;
        ShapeRandom random(plan.seed);
        const int s = plan.sides;
        std::vector<Vec3> firstRing;
        Vec3 e1 = plan.e1;
        if (plan.base == LimbBase::Hole) {
            const Built& host = built.at(static_cast<size_t>(plan.host));
            const int a = host.sectionStart.at(static_cast<size_t>(plan.hostSection));
            const int z = host.sectionStart.at(static_cast<size_t>(plan.hostSection) + 1);
            const double along = a + plan.hostAlong * (z - a);
            const int side = plan.hostSide;
            const Vec3 centre = OnFace(host, side, along, 0.5);
            const Vec3 dA = (OnFace(host, side, along + 0.01, 0.5) - OnFace(host, side, along - 0.01, 0.5)) / 0.02;
            const Vec3 dB = (OnFace(host, side, along, 0.51) - OnFace(host, side, along, 0.49)) / 0.02;
            const Vec3 normal = Normalized(Cross(dB, dA));
            const double ra = plan.holeRadius / Length(dA), rb = plan.holeRadius / Length(dB);
            if (along - ra < a + 0.15 || along + ra > z - 0.15 || rb > 0.42)
                throw std::runtime_error("the hole of limb " + std::to_string(li) + " does not fit its face (" +
                                         std::to_string(along - ra - a) + " " + std::to_string(z - along - ra) + " " +
                                         std::to_string(rb) + ")");
            for (int i = 0; i < s; ++i) {
                const double phi = plan.theta0 + 2 * kPi * i / s;
                const double al = along + ra * std::sin(phi), ac = 0.5 + rb * std::cos(phi);
                firstRing.push_back(OnFace(host, side, al, ac));
                holeUv[li].push_back({ac, VOnFace(host, plan.hostSection, side, al, ac)});
            }
            plan.grow(centre, normal, plan);
            plan.axis.front() = centre;
            e1 = Normalized(dB);
            holes[{plan.host, plan.hostSection, side}].push_back(static_cast<int>(li));
        }
        {
            int total = 0;
            for (int m : plan.sections) total += m;
            if (total != static_cast<int>(plan.axis.size()) - 1 ||
                plan.radius.size() < plan.axis.size() - (plan.tip == LimbTip::Point ? 1 : 0))
                throw std::runtime_error("a limb's sections do not match its rings");
        }
        // Each section is straight and tapers evenly between its end rings,
        // so its long side faces stay flat; the crooks are at the section
        // boundaries.
        {
            int at = 0;
            for (int m : plan.sections) {
                for (int k = 1; k < m; ++k) {
                    const double t = static_cast<double>(k) / m;
                    plan.axis[at + k] = Lerp(plan.axis[at], plan.axis[at + m], t);
                    const bool toApex = plan.tip == LimbTip::Point && at + m + 1 == static_cast<int>(plan.axis.size());
                    const double end = toApex ? 0.0 : plan.radius[at + m];
                    plan.radius[at + k] = plan.radius[at] + (end - plan.radius[at]) * t;
                }
                at += m;
            }
        }
        std::vector<bool> boundary(plan.axis.size(), false);
        {
            int at = 0;
            boundary[0] = true;
            for (int m : plan.sections) boundary[at += m] = true;
        }
        const size_t nAxis = plan.axis.size();
        const size_t nRings = b.pointed ? nAxis - 1 : nAxis;
        const std::vector<Frame> frames = TransportFrames(plan.axis, e1);
        for (size_t k = 0; k < nRings; ++k) {
            if (k == 0 && !firstRing.empty()) {
                b.rings.push_back(firstRing);
                continue;
            }
            if (k == 0 && !plan.fixedFirstRing.empty()) {
                b.rings.push_back(plan.fixedFirstRing);
                continue;
            }
            std::vector<Vec3> ring;
            for (int i = 0; i < s; ++i) {
                const double phi = plan.theta0 + 2 * kPi * i / s;
                // Knots at the section boundaries; inside a section only a
                // trace, to keep its faces flat.
                const double amount = boundary[k] ? plan.roughness : 0.15 * plan.roughness;
                const double rough = k == 0 ? 1.0 : 1.0 + amount * random.Range(-1, 1);
                ring.push_back(plan.axis[k] +
                               (frames[k].e1 * std::cos(phi) + frames[k].e2 * std::sin(phi)) * (plan.radius[k] * rough));
            }
            b.rings.push_back(ring);
        }
        if (b.pointed) b.apex = plan.axis.back();
        b.sectionStart.push_back(0);
        for (int m : plan.sections) b.sectionStart.push_back(b.sectionStart.back() + m);
        // Texture heights along each edge line.
        b.v.assign(nRings, std::vector<double>(s, 0));
        for (size_t k = 1; k < nRings; ++k)
            for (int i = 0; i < s; ++i)
                b.v[k][i] = b.v[k - 1][i] + Length(b.rings[k][i] - b.rings[k - 1][i]) / vScale;
        // Where the picture starts again: at the start of a section that
        // would carry v past 1.
        std::vector<double> off(s, 0);
        int group = 0;
        for (size_t sec = 0; sec + 1 < b.sectionStart.size(); ++sec) {
            const int a = b.sectionStart[sec];
            const int z = std::min(b.sectionStart[sec + 1], static_cast<int>(nRings) - 1);
            double reach = 0;
            for (int i = 0; i < s; ++i) reach = std::max(reach, b.v[z][i] - off[i]);
            if (b.pointed && b.sectionStart[sec + 1] == static_cast<int>(nRings))
                for (int i = 0; i < s; ++i)
                    reach = std::max(reach, b.v[z][i] + Length(b.apex - b.rings[z][i]) / vScale - off[i]);
            if (reach > 1 && a > 0) {
                off = b.v[a];
                ++group;
            }
            b.offset.push_back(off);
            b.group.push_back(group);
        }
        if (b.pointed) {
            double sum = 0;
            for (int i = 0; i < s; ++i)
                sum += b.v[nRings - 1][i] + Length(b.apex - b.rings[nRings - 1][i]) / vScale - off[i];
            b.apexV = sum / s;
        }
    }

    // Table indices: limb by limb, rings from the base (or from the tip).
    for (size_t li = 0; li < plans.size(); ++li) {
        Built& b = built[li];
        const size_t n = b.rings.size();
        b.index.assign(n, std::vector<int>(b.sides, -1));
        auto addRing = [&](size_t k) {
            for (int i = 0; i < b.sides; ++i) b.index[k][i] = mesh.AddVertex(toTable.Apply(b.rings[k][i]));
        };
        if (plans[li].listTipFirst) {
            if (b.pointed) b.apexIndex = mesh.AddVertex(toTable.Apply(b.apex));
            for (size_t k = n; k-- > 0;) addRing(k);
        } else {
            for (size_t k = 0; k < n; ++k) addRing(k);
            if (b.pointed) b.apexIndex = mesh.AddVertex(toTable.Apply(b.apex));
        }
    }
    // Texture vertices and faces, limb by limb.
    for (size_t li = 0; li < plans.size(); ++li) {
        const LimbPlan& plan = plans[li];
        Built& b = built[li];
        const int s = b.sides;
        const size_t n = b.rings.size();
        // Texture vertices per (ring, edge, side of the edge, start of the
        // picture), made in ring order.
        std::map<std::tuple<int, int, int, int>, int> tex;
        for (size_t sec = 0; sec + 1 < b.sectionStart.size(); ++sec) {
            const int a = b.sectionStart[sec];
            const int z = std::min(b.sectionStart[sec + 1], static_cast<int>(n) - 1);
            for (int k = a; k <= z; ++k)
                for (int i = 0; i < s; ++i)
                    for (int side = 0; side < 2; ++side) {
                        const auto key = std::make_tuple(k, i, side, b.group[sec]);
                        if (!tex.count(key)) tex[key] = mesh.AddTexture(side, b.v[k][i] - b.offset[sec][i]);
                    }
        }
        const int apexTex = b.pointed ? mesh.AddTexture(0.5, b.apexV) : -1;
        for (size_t sec = 0; sec + 1 < b.sectionStart.size(); ++sec) {
            const int a = b.sectionStart[sec], z = b.sectionStart[sec + 1];
            const bool toApex = b.pointed && z == static_cast<int>(n);
            for (int j = 0; j < s; ++j) {
                const int jn = (j + 1) % s;
                const int g = b.group[sec];
                auto L = [&](int k) { return tex.at({k, j, 0, g}); };
                auto R = [&](int k) { return tex.at({k, jn, 1, g}); };
                Face f;
                f.flags = plan.sideFlags;
                f.corners.push_back({b.index[a][jn], R(a)});
                const int last = toApex ? z - 1 : z;
                for (int k = a; k <= last; ++k) f.corners.push_back({b.index[k][j], L(k)});
                if (toApex) f.corners.push_back({b.apexIndex, apexTex});
                for (int k = last; k > a; --k) f.corners.push_back({b.index[k][jn], R(k)});
                auto it = holes.find({static_cast<int>(li), static_cast<int>(sec), j});
                if (it != holes.end())
                    for (int child : it->second) {
                        const Built& c = built[child];
                        std::vector<Corner> hole;
                        for (int i = 0; i < c.sides; ++i) {
                            const Vec2 uv = holeUv[child][i];
                            hole.push_back({c.index[0][i], mesh.AddTexture(uv.u, uv.v)});
                        }
                        f.holes.push_back(hole);
                    }
                mesh.faces.push_back(f);
            }
        }
        auto capTex = [&](size_t ring, CapTexture kind) {
            if (kind == CapTexture::Own) return AddCapTexture(mesh, s, plan.theta0);
            const int g = ring == 0 ? b.group.front() : b.group.back();
            std::vector<int> t;
            for (int i = 0; i < s; ++i) t.push_back(tex.at({static_cast<int>(ring), i, 0, g}));
            return t;
        };
        if (!b.pointed) AddTipCap(mesh, b.index[n - 1], capTex(n - 1, plan.tipTexture), plan.capFlags);
        if (plan.base != LimbBase::Hole) AddBaseCap(mesh, b.index[0], capTex(0, plan.baseTexture), plan.capFlags);
    }
}

}  // namespace kv::meshgen
