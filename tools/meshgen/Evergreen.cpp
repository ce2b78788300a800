// The branches of the evergreen and the fir: 64 cards of two quads each, in
// ten whorls that form a cone around the trunk. A card carries the branch
// picture across its width (u 0 to 1) from its base at the trunk (v 0) to
// its tip (v 1); its two quads bend at the middle so the tip droops. The
// cards are one-sided, so each quad is listed once from each side.
#include <cmath>

#include "tools/meshgen/Models.h"

namespace kv::meshgen {

namespace {

// The first corner of the top card, as stored.
constexpr double kFirstX = 0.12309, kFirstY = -0.0740236, kFirstZ = 3.5999366;

// The table's own coordinates are the model's raised by 0.4 (its LocalMatrix
// lowers it by 0.4).
constexpr double kLift = 0.4;

}  // namespace

Mesh BuildEvergreenBranches()
{
    Mesh mesh;
    mesh.name = "evergreen_branches";
    mesh.form.numbers = NumberStyle::Trimmed7;
    mesh.form.countTail = "  ";
    mesh.form.firstFaceTail = "  ";
    mesh.form.firstPairTail = "  ";
    mesh.form.pairTail = "";
    // Texture vertices: the card's left edge at base, middle and tip, then
    // the right edge at middle, tip and base.
    const double tex[6][2] = {{0, 0}, {0, 0.5}, {0, 1}, {1, 0.5}, {1, 1}, {1, 0}};
    for (const auto& t : tex) mesh.AddTexture(t[0], t[1]);
    // Texture vertex of each of a card's six corners (left base, middle, tip;
    // right base, middle, tip).
    const int cornerTex[6] = {0, 1, 2, 5, 3, 4};

    const int whorlCards[10] = {2, 4, 5, 6, 7, 7, 8, 8, 8, 9};
    const double top = kFirstZ - kLift;  // model height of the top whorl
    const double bottom = 0.34;          // model height of the lowest whorl
    const double tipHeight = 3.6;        // the cone's apex, just above the trunk's tip
    const double baseReach = 1.18;       // horizontal reach of the lowest whorl
    ShapeRandom random(20240611);
    double azimuth = 0;
    for (int whorl = 0; whorl < 10; ++whorl) {
        const double t = whorl / 9.0;
        double h = top + (bottom - top) * std::pow(t, 0.92);
        if (whorl > 0) h += random.Range(-0.04, 0.04);
        // Upper whorls point upward to form the spire; lower ones spread and
        // droop.
        const double elevation = whorl == 0 ? 70.0 : whorl == 1 ? 38.0 : 6.0 - 10.0 * t;
        const double droop = whorl < 2 ? 8.0 : 14.0 + 10.0 * t;
        const double reach = baseReach * (tipHeight - h) / (tipHeight - bottom);
        const int n = whorlCards[whorl];
        const double step = 2 * kPi / n;
        if (whorl == 0) {
            // The top card's left base corner is the table's first vertex.
            const double w = std::hypot(kFirstX, kFirstY);
            azimuth = std::atan2(-kFirstX / w, kFirstY / w);
        } else {
            azimuth += 2.39996;  // a golden-angle turn between whorls
        }
        for (int k = 0; k < n; ++k) {
            const double phi = azimuth + k * step + (whorl && k ? random.Range(-0.2, 0.2) * step : 0);
            const double el = (elevation + (whorl && k ? random.Range(-6, 6) : 0)) * kPi / 180;
            const double length =
                whorl == 0 ? 0.45 : reach / std::cos(el) * (whorl && k ? random.Range(0.9, 1.08) : 1.0) + 0.12;
            const double halfWidth = whorl == 0 ? std::hypot(kFirstX, kFirstY) : 0.3 * length;
            const double roll = whorl == 0 ? 0.0 : ((k & 1) ? 1 : -1) * random.Range(14, 30) * kPi / 180;
            const Vec3 d{std::cos(el) * std::cos(phi), std::cos(el) * std::sin(phi), std::sin(el)};
            const Vec3 side = Normalized(Cross({0, 0, 1}, d));
            const Vec3 left = Rotate(side, d, roll);
            // The outer half turns down about the card's crosswise axis.
            const Vec3 d2 = Rotate(d, left, -(droop + (whorl && k ? random.Range(-4, 4) : 0)) * kPi / 180);
            const Vec3 base{0, 0, h + kLift};
            const Vec3 mid = base + d * (length / 2);
            const Vec3 tip = mid + d2 * (length / 2);
            const int first = static_cast<int>(mesh.vertices.size());
            // Slightly narrower at the base, where the branch leaves the trunk.
            // The two cards of the top whorl narrow to a point-like leader.
            const double midWidth = halfWidth * (whorl ? 1.1 : 0.75);
            const double tipWidth = halfWidth * (whorl ? 0.95 : 0.4);
            mesh.AddVertex(base + left * halfWidth);
            mesh.AddVertex(mid + left * midWidth);
            mesh.AddVertex(tip + left * tipWidth);
            mesh.AddVertex(base - left * halfWidth);
            mesh.AddVertex(mid - left * midWidth);
            mesh.AddVertex(tip - left * tipWidth);
            auto c = [&](int i) { return Corner{first + i, cornerTex[i]}; };
            // Lower and upper quad seen from the side the left edge is on
            // the left (the card's upper side), then both from below.
            mesh.faces.push_back({{c(4), c(3), c(0), c(1)}, 16, {}});
            mesh.faces.push_back({{c(5), c(4), c(1), c(2)}, 16, {}});
            mesh.faces.push_back({{c(1), c(0), c(3), c(4)}, 16, {}});
            mesh.faces.push_back({{c(2), c(1), c(4), c(5)}, 16, {}});
        }
    }
    mesh.vertices[0] = {kFirstX, kFirstY, kFirstZ};
    mesh.fixedVertexText.assign(1, "0.12309 -0.0740236 3.5999366");
    return mesh;
}

}  // namespace kv::meshgen
