// The branches of the evergreen and the fir: a leader of three steep cards
// of two quads each, and nine tiers of single-quad cards that form a cone
// around the trunk (125 cards in all). A card carries the branch picture
// across its width (u 0 to 1) from its base at the trunk (v 0) to its tip
// (v 1). The cards are one-sided, so each quad is listed once from each
// side.
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
    ShapeRandom random(20240611);

    // The leader: three steep cards of two quads each, rising from the top
    // tier's base (the table's first vertex) well above the trunk's tip
    // (model height 3.53), so that the trunk ends inside them. Each card's
    // six corners: left base, middle, tip; right base, middle, tip.
    const int cornerTex[6] = {0, 1, 2, 5, 3, 4};
    const double top = kFirstZ - kLift;  // model height of the leader's base
    const double halfWidth = std::hypot(kFirstX, kFirstY);
    const double firstAzimuth = std::atan2(-kFirstX / halfWidth, kFirstY / halfWidth);
    for (int k = 0; k < 3; ++k) {
        const double phi = firstAzimuth + k * 2 * kPi / 3;
        const double el = (84.0 - 4.0 * k) * kPi / 180;
        const double length = 0.86 - 0.05 * k;
        const Vec3 d{std::cos(el) * std::cos(phi), std::cos(el) * std::sin(phi), std::sin(el)};
        const Vec3 left = Normalized(Cross({0, 0, 1}, d));
        const Vec3 d2 = Rotate(d, left, -6.0 * kPi / 180);
        const Vec3 base{0, 0, top + kLift};
        const Vec3 mid = base + d * (length / 2);
        const Vec3 tip = mid + d2 * (length / 2);
        const int first = static_cast<int>(mesh.vertices.size());
        mesh.AddVertex(base + left * halfWidth);
        mesh.AddVertex(mid + left * (halfWidth * 0.8));
        mesh.AddVertex(tip + left * (halfWidth * 0.35));
        mesh.AddVertex(base - left * halfWidth);
        mesh.AddVertex(mid - left * (halfWidth * 0.8));
        mesh.AddVertex(tip - left * (halfWidth * 0.35));
        auto c = [&](int i) { return Corner{first + i, cornerTex[i]}; };
        // Lower and upper quad seen from the side the left edge is on
        // the left (the card's upper side), then both from below.
        mesh.faces.push_back({{c(4), c(3), c(0), c(1)}, 16, {}});
        mesh.faces.push_back({{c(5), c(4), c(1), c(2)}, 16, {}});
        mesh.faces.push_back({{c(1), c(0), c(3), c(4)}, 16, {}});
        mesh.faces.push_back({{c(2), c(1), c(4), c(5)}, 16, {}});
    }

    // The tiers: each a ring of single-quad cards round the trunk, every
    // card narrow where it leaves the trunk and wide at its tip, sharing its
    // base corners with its neighbours; the tips of neighbouring cards
    // overlap a little, so that a tier seen from above is a closed skirt of
    // twigs. Lower tiers reach further and droop more.
    const int tierCards[9] = {6, 9, 11, 13, 14, 15, 16, 18, 20};
    const double bottom = 0.36;     // model height of the lowest tier
    const double apex = 3.95;       // the cone's apex, at the leader's tips
    const double baseReach = 1.25;  // horizontal reach of the lowest tier
    double azimuth = firstAzimuth;
    for (int tier = 0; tier < 9; ++tier) {
        const double t = tier / 8.0;
        const double h = top - 0.15 + (bottom - top + 0.15) * std::pow(t, 0.95) + random.Range(-0.03, 0.03);
        const double reach = baseReach * (apex - h) / (apex - bottom);
        const int n = tierCards[tier];
        const double ringRadius = 0.015 + 0.03 * t;
        azimuth += 2.39996;  // a golden-angle turn between tiers
        const Vec3 centre{0, 0, h + kLift};
        std::vector<int> ring;
        for (int k = 0; k < n; ++k) {
            const double a = azimuth + 2 * kPi * k / n;
            ring.push_back(mesh.AddVertex(centre + Vec3{std::cos(a), std::sin(a), 0} * ringRadius));
        }
        for (int k = 0; k < n; ++k) {
            const double phi = azimuth + 2 * kPi * (k + 0.5) / n + random.Range(-0.12, 0.12) * 2 * kPi / n;
            const double droop = (8.0 + 22.0 * t + random.Range(-5, 5)) * kPi / 180;
            const double length = reach * random.Range(0.88, 1.08) + 0.1;
            const Vec3 out{std::cos(phi), std::sin(phi), 0};
            const Vec3 side{-std::sin(phi), std::cos(phi), 0};
            const Vec3 d = out * std::cos(droop) - Vec3{0, 0, std::sin(droop)};
            const Vec3 tip = centre + d * length;
            // Wide enough at the tip to overlap the neighbours; a little
            // twist lifts one side.
            const double half = 1.25 * kPi * length / n + 0.06;
            const double twist = random.Range(-0.25, 0.25) * half;
            const int tipLeft = mesh.AddVertex(tip + side * half + Vec3{0, 0, twist});
            const int tipRight = mesh.AddVertex(tip - side * half - Vec3{0, 0, twist});
            const Corner baseLeft{ring[(k + 1) % n], 0}, baseRight{ring[k], 5};
            const Corner tl{tipLeft, 2}, tr{tipRight, 4};
            mesh.faces.push_back({{tr, baseRight, baseLeft, tl}, 16, {}});
            mesh.faces.push_back({{tl, baseLeft, baseRight, tr}, 16, {}});
        }
    }
    mesh.vertices[0] = {kFirstX, kFirstY, kFirstZ};
    mesh.fixedVertexText.assign(1, "0.12309 -0.0740236 3.5999366");
    return mesh;
}

}  // namespace kv::meshgen
