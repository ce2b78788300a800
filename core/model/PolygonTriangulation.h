#pragma once
// Cutting a polygon face, holes and all, into triangles.
#include <array>
#include <vector>

#include "core/model/Geometry.h"

namespace kv {

// The corners of a face: the outer polygon and its holes, as points. The
// result lists triangles by corner number: the outer corners first (0 to
// outer.size() - 1), then each hole's in turn. The triangles keep the
// outer polygon's sense of rotation. A face that cannot be cut cleanly
// (crossing or doubled edges) still gives triangles covering its outline.
std::vector<std::array<int, 3>> TriangulatePolygon(const std::vector<Vec3>& outer,
                                                   const std::vector<std::vector<Vec3>>& holes);

// Newell's vector of a polygon: its direction is the normal about which the
// corners run counterclockwise, its length twice the area.
Vec3 NewellVector(const std::vector<Vec3>& points);

}  // namespace kv
