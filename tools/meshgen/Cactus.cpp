// The cactus: an eight-sided column with a rounded top, and an arm that
// leaves the column sideways, bends at an elbow and rises parallel to it
// (the three arms are this mesh placed by their LocalMatrix).
//
// Side faces are one-sided; the caps are two-sided.
//
// Texture: the picture wraps once around (eight ribs to a turn) and each band
// of side faces shows it once from its lower ring (v 0) to its upper ring
// (v 1); the column's top shows a small octagon of the picture, the other
// caps the picture's inscribed octagon.
#include <cmath>

#include "tools/meshgen/Models.h"
#include "tools/meshgen/Tubes.h"

namespace kv::meshgen {

namespace {

// One band: two fresh texture rows (v 0 and v 1), then its eight quads.
void MappedBand(Mesh& mesh, const std::vector<int>& lower, const std::vector<int>& upper, int sides)
{
    const std::vector<int> rowLower = AddTextureRow(mesh, sides, 0.0);
    const std::vector<int> rowUpper = AddTextureRow(mesh, sides, 1.0);
    AddBand(mesh, lower, upper, rowLower, rowUpper, 16);
}

}  // namespace

// Table coordinates: the LocalMatrix scales x and y by 0.9 and z by 2.24 and
// lowers by 0.47, so the column stands from z = 0 (0.47 below the ground)
// to its tip at z = 5.807305 (about 12.5 model units up).
//
// The column is one tube of four bands from its foot to the small ring at
// the top of its dome, so its surface has no step and no gap. The octagon
// that closes the top has its own ring of vertices, lying exactly on the
// tube's last ring (its first vertex is the table's first vertex); the foot
// is closed by an octagon on the tube's first ring.
Mesh BuildCactusTrunk()
{
    Mesh mesh;
    mesh.name = "cactus_trunk";
    const int sides = 8;
    // Every ring starts at the angle of the table's first vertex, so the ribs
    // run straight up.
    const double tipX = -0.063917, tipY = -0.053649, tipZ = 5.807305;
    const double tipRadius = std::hypot(tipX, tipY);
    const double theta0 = std::atan2(tipY, tipX);
    auto ring = [&](double z, double radius) {
        std::vector<int> idx;
        for (const Vec3& p : RingPoints({0, 0, z}, {1, 0, 0}, {0, 1, 0}, radius, sides, theta0))
            idx.push_back(mesh.AddVertex(p));
        return idx;
    };
    const std::vector<int> cap = ring(tipZ, tipRadius);
    const std::vector<int> foot = ring(0.0, 0.70);
    const std::vector<int> waist = ring(2.7, 0.76);
    const std::vector<int> shoulder = ring(5.22, 0.74);
    const std::vector<int> crown = ring(5.64, 0.55);
    const std::vector<int> tip = ring(tipZ, tipRadius);
    // The top octagon shows a small patch of the picture's upper end, at
    // the scale of the bands below it, so its ribs and spines meet the
    // column's instead of shrinking the whole picture into the tip.
    std::vector<int> capTex;
    for (int m = 0; m < sides; ++m) {
        const double a = theta0 + 2 * kPi * m / sides;
        capTex.push_back(mesh.AddTexture(0.5 + 0.16 * std::cos(a), 0.86 + 0.12 * std::sin(a)));
    }
    const std::vector<int> footCapTex = AddCapTexture(mesh, sides, theta0);
    MappedBand(mesh, foot, waist, sides);
    MappedBand(mesh, waist, shoulder, sides);
    MappedBand(mesh, shoulder, crown, sides);
    MappedBand(mesh, crown, tip, sides);
    AddTipCap(mesh, cap, capTex, 0);
    AddBaseCap(mesh, foot, footCapTex, 0);
    mesh.vertices[0] = {tipX, tipY, tipZ};
    return mesh;
}

// Table coordinates of the arm: it leaves the column along -y from its root
// (y = 1.83, buried in the column), bends at an elbow near y = 0 and rises
// along +z to its rounded tip near z = 2.2.
Mesh BuildCactusArm()
{
    Mesh mesh;
    mesh.name = "cactus_arm";
    const int sides = 8;
    const Vec3 first{-0.262777, 1.827870, -1.689714};
    const double rootRadius = 0.5;
    // The root ring stands in the plane y = 1.82787 around this centre, its
    // first vertex being the table's first vertex.
    const double dz = std::sqrt(rootRadius * rootRadius - first.x * first.x);
    const Vec3 rootCentre{0, first.y, first.z + dz};
    const Vec3 e1{1, 0, 0};  // with e2 = +z the ring runs counterclockwise about -y
    const double theta0 = std::atan2(first.z - rootCentre.z, first.x - rootCentre.x);
    // The axis: out along -y rising a little, a quarter turn of radius 0.62
    // at the elbow, then up.
    std::vector<Vec3> axis;
    std::vector<double> radius;
    const double elbowY = 0.55, elbowR = 0.62;
    const Vec3 elbowStart{0, elbowY, rootCentre.z + 0.18};
    auto straight = [&](double y) {
        const double t = (first.y - y) / (first.y - elbowY);
        return Vec3{0, y, rootCentre.z + 0.18 * t};
    };
    axis.push_back(rootCentre);
    radius.push_back(rootRadius);
    for (double y : {1.15, 0.85}) {
        axis.push_back(straight(y));
        radius.push_back(0.5);
    }
    for (int k = 0; k <= 3; ++k) {
        // The elbow: a quarter circle about the centre above its start,
        // turning from -y to +z.
        const double a = (k / 3.0) * kPi / 2;
        const Vec3 c = elbowStart + Vec3{0, 0, elbowR};
        axis.push_back(c + Vec3{0, -elbowR * std::sin(a), -elbowR * std::cos(a)});
        radius.push_back(k == 1 || k == 2 ? 0.53 : 0.51);
    }
    const Vec3 up = axis.back();
    for (double h : {0.75, 1.45, 1.92}) {
        axis.push_back(up + Vec3{0, 0.03 * h, h});
        radius.push_back(h < 1.9 ? 0.49 - 0.015 * h : 0.4);
    }
    axis.push_back(up + Vec3{0, 0.06, 2.2});
    radius.push_back(0.09);
    const std::vector<Frame> frames = TransportFrames(axis, e1);
    std::vector<std::vector<int>> rings;
    for (size_t k = 0; k < axis.size(); ++k) {
        std::vector<int> idx;
        const Frame& f = k == 0 ? Frame{{0, -1, 0}, e1, {0, 0, 1}} : frames[k];
        for (const Vec3& p : RingPoints(axis[k], f.e1, f.e2, radius[k], sides, theta0))
            idx.push_back(mesh.AddVertex(p));
        rings.push_back(idx);
    }
    // Both caps show the same octagon of the picture; the root's is hidden in
    // the column.
    const std::vector<int> capTex = AddCapTexture(mesh, sides, theta0);
    AddBaseCap(mesh, rings.front(), capTex, 0);
    for (size_t k = 0; k + 1 < rings.size(); ++k) MappedBand(mesh, rings[k], rings[k + 1], sides);
    AddTipCap(mesh, rings.back(), capTex, 0);
    mesh.vertices[0] = first;
    return mesh;
}

}  // namespace kv::meshgen
