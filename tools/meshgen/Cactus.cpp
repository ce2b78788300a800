// The cactus: an eight-sided column with a rounded top, and an arm that
// leaves the column sideways, bends at an elbow and rises parallel to it
// (the three arms are this mesh placed by their LocalMatrix).
//
// The column is made of two sections: the domed top, whose open lower end
// overlaps the column from outside like a sleeve, and the column itself,
// open at its top inside the dome. Side faces are one-sided; the caps are
// two-sided.
//
// Texture: the picture wraps once around (eight ribs to a turn) and each band
// of side faces shows it once from its lower ring (v 0) to its upper ring
// (v 1); caps show the picture's inscribed octagon.
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
Mesh BuildCactusTrunk()
{
    Mesh mesh;
    mesh.name = "cactus_trunk";
    const int sides = 8;
    // The tip ring's first vertex is the table's first vertex; every ring
    // starts at the same angle so the ribs run straight up.
    const double tipX = -0.063917, tipY = -0.053649, tipZ = 5.807305;
    const double tipRadius = std::hypot(tipX, tipY);
    const double theta0 = std::atan2(tipY, tipX);
    auto ring = [&](double z, double radius) {
        std::vector<int> idx;
        for (const Vec3& p : RingPoints({0, 0, z}, {1, 0, 0}, {0, 1, 0}, radius, sides, theta0))
            idx.push_back(mesh.AddVertex(p));
        return idx;
    };
    // The dome, listed from its tip down, then the column from its top down.
    const std::vector<int> tip = ring(tipZ, tipRadius);
    // The column's open top (z 5.34) stays just inside the dome's sleeve.
    const std::vector<int> shoulder = ring(5.70, 0.52);
    const std::vector<int> sleeve = ring(5.30, 0.76);
    const std::vector<int> columnTop = ring(5.34, 0.72);
    const std::vector<int> waist = ring(2.6, 0.76);
    const std::vector<int> foot = ring(0.0, 0.70);
    const std::vector<int> topCapTex = AddCapTexture(mesh, sides, theta0);
    const std::vector<int> footCapTex = AddCapTexture(mesh, sides, theta0);
    MappedBand(mesh, sleeve, shoulder, sides);
    MappedBand(mesh, shoulder, tip, sides);
    AddTipCap(mesh, tip, topCapTex, 0);
    MappedBand(mesh, foot, waist, sides);
    MappedBand(mesh, waist, columnTop, sides);
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
