#pragma once
// Rings and the faces between them, the building blocks of trunks, arms and
// limbs.
//
// A ring's vertices run counterclockwise about the direction in which its
// tube grows (from base to tip); with that order the faces below come out
// with their fronts outside.
#include <vector>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

// Positions of a ring of `sides` vertices: vertex m at angle theta0 + m
// turns/sides in the plane of e1 and e2 (e1 x e2 is the growing direction).
std::vector<Vec3> RingPoints(const Vec3& centre, const Vec3& e1, const Vec3& e2, double radius, int sides,
                             double theta0);

// Side faces of the band between ring `lower` and ring `upper` (the next one
// towards the tip): one quad per side with corners (lower m+1, lower m,
// upper m, upper m+1). `lowerTex` and `upperTex` give each ring vertex's
// texture vertex, with one more entry for the seam (vertex 0 seen from side
// sides-1).
void AddBand(Mesh& mesh, const std::vector<int>& lower, const std::vector<int>& upper, const std::vector<int>& lowerTex,
             const std::vector<int>& upperTex, int flags);

// The cap closing a tube at its tip (corners 0, sides-1, ..., 1) or at its
// base (corners 1, 2, ..., sides-1, 0).
void AddTipCap(Mesh& mesh, const std::vector<int>& ring, const std::vector<int>& tex, int flags);
void AddBaseCap(Mesh& mesh, const std::vector<int>& ring, const std::vector<int>& tex, int flags);

// A row of texture vertices: u = m/sides for m = 0..sides (so sides + 1 of
// them) at the given v.
std::vector<int> AddTextureRow(Mesh& mesh, int sides, double v);

// The texture vertices of a cap seen straight on: the ring's regular polygon
// inscribed in the unit square.
std::vector<int> AddCapTexture(Mesh& mesh, int sides, double theta0);

// Frames along a polyline by parallel transport: for each point a pair
// (e1, e2) perpendicular to the local direction, starting from `e1`.
struct Frame {
    Vec3 tangent, e1, e2;
};
std::vector<Frame> TransportFrames(const std::vector<Vec3>& path, const Vec3& e1);

}  // namespace kv::meshgen
