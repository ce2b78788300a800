// The palm's trunk: an eight-sided trunk that curves from its flared foot to
// the crown where the three fronds sit. It is made of two sections, as palm
// trunks grow: the lower one (foot to the middle, open at its top) and the
// upper one, whose open lower end sits inside the lower section's rim.
//
// Table coordinates: the LocalMatrix scales x and y by 0.25 and z by 2 and
// lifts by 2, so z = -1 is the ground and the crown (at model height about
// 2.9, under the fronds' stalks) is at z = 0.47.
#include <cmath>

#include "tools/meshgen/Models.h"
#include "tools/meshgen/Tubes.h"

namespace kv::meshgen {

namespace {

// The trunk's axis at height parameter t (0 foot, 1 crown), in table
// coordinates: a lean towards +x that bows out and straightens under the
// crown, with a slight sideways sway.
Vec3 PalmAxis(double t)
{
    const double x = 1.2 * t + 1.15 * std::sin(kPi * t) * (1 - 0.35 * t);
    const double y = 0.4 * std::sin(kPi * t) * t;
    const double z = -1.0 + 1.47 * t;
    return {x, y, z};
}

}  // namespace

Mesh BuildPalmTrunk()
{
    Mesh mesh;
    mesh.name = "palm_trunk";
    const int sides = 8;
    struct RingPlan {
        double t, radius;
    };
    // Radii in table units (0.25 model units each): a flared foot narrowing
    // to a slim stem, the upper section starting just inside the lower's rim
    // and thickening slightly under the crown.
    const RingPlan lower[4] = {{0.0, 1.0}, {0.05, 0.66}, {0.3, 0.54}, {0.56, 0.51}};
    const RingPlan upper[4] = {{0.53, 0.47}, {0.75, 0.46}, {0.93, 0.45}, {1.0, 0.5}};
    auto ring = [&](const RingPlan& r) {
        // Horizontal rings, vertex 0 towards +x: the foot stands flat.
        std::vector<int> idx;
        for (const Vec3& p : RingPoints(PalmAxis(r.t), {1, 0, 0}, {0, 1, 0}, r.radius, sides, 0))
            idx.push_back(mesh.AddVertex(p));
        return idx;
    };
    std::vector<std::vector<int>> a, b;
    for (const RingPlan& r : lower) a.push_back(ring(r));
    for (const RingPlan& r : upper) b.push_back(ring(r));
    // Bark: once around, v along the trunk (the material repeats it 3 by
    // 24). The upper section's hidden lower ring shares the lower section's
    // top row.
    std::vector<std::vector<int>> rows;
    for (const RingPlan& r : lower) rows.push_back(AddTextureRow(mesh, sides, r.t));
    for (int k = 1; k < 4; ++k) rows.push_back(AddTextureRow(mesh, sides, upper[k].t));
    const std::vector<int> cap = AddCapTexture(mesh, sides, 0);
    for (int k = 0; k < 3; ++k) AddBand(mesh, a[k], a[k + 1], rows[k], rows[k + 1], 0);
    for (int k = 0; k < 3; ++k) AddBand(mesh, b[k], b[k + 1], rows[3 + k], rows[4 + k], 0);
    AddTipCap(mesh, b[3], cap, 0);
    AddBaseCap(mesh, a[0], cap, 0);
    return mesh;
}

}  // namespace kv::meshgen
