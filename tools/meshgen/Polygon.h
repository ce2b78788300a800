#pragma once
// Planar-polygon helpers: projection of a face onto its own plane, simplicity
// tests, holes, and ear-clipping triangulation (as a renderer would do it).
#include <array>
#include <vector>

#include "tools/meshgen/Geometry.h"

namespace kv::meshgen {

struct P2 {
    double x = 0, y = 0;
};

// Projects points onto the plane through their centroid perpendicular to
// `normal`, in a right-handed 2D frame seen from the side `normal` points to.
std::vector<P2> ProjectToPlane(const std::vector<Vec3>& points, const Vec3& normal, const Vec3& origin);

double SignedArea(const std::vector<P2>& polygon);  // positive when counterclockwise
bool IsSimple(const std::vector<P2>& polygon);
bool PointInPolygon(const P2& p, const std::vector<P2>& polygon);
bool SegmentsCross(const P2& a, const P2& b, const P2& c, const P2& d);

// Largest distance of a point from the best plane (Newell normal through the
// centroid).
double PlaneDeviation(const std::vector<Vec3>& points);

// Triangulates the polygon `outer` (counterclockwise) with `holes`
// (clockwise) by joining each hole to the outer loop and clipping ears.
// Returns index triples into the concatenation outer + holes[0] + ... ;
// empty when the polygon cannot be triangulated.
std::vector<std::array<int, 3>> Triangulate(const std::vector<P2>& outer, const std::vector<std::vector<P2>>& holes);

}  // namespace kv::meshgen
