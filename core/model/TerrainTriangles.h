#pragma once
// The terrain as triangles for formats and renderers that draw them: the
// slope and normal of each grid point, the grid's triangles, and the flat
// surround around the grid with points of its own.
#include <cstdint>
#include <vector>

#include "core/model/TerrainSurface.h"

namespace kv {

struct Slope {
    float dzdx = 0.0f, dzdy = 0.0f;
};

// The height's rise along x and y at a grid point: central differences, one
// sided at the edges.
Slope TerrainSlope(const TerrainSurface& s, int j, int y);

// The unit normal of the surface at a grid point (pointing up).
Point3f TerrainNormal(const TerrainSurface& s, int j, int y);

// The two triangles of each grid cell, counterclockwise from above, for one
// row of cells: 6 * (n - 1) point numbers (y * n + j) written to `out`.
void TerrainCellRow(const TerrainSurface& s, int y, std::uint32_t* out);

// The surround: the square under everything, and each grid edge joined to
// its two corners as a fan from the second corner. It has points of its own
// (the corners, then each edge's grid points again) so that it lies flat in
// the light: the grid's normals at its edge, spread over triangles a hundred
// units long, would paint wedges of light on it. Its normal is +z throughout.
struct SurroundTriangles {
    std::vector<Point3f> positions;
    std::vector<Point2f> texcoords;  // the model's planar coordinates (v up)
    std::vector<std::uint32_t> indices;  // counterclockwise from above
};
SurroundTriangles MakeSurroundTriangles(const TerrainSurface& s);

}  // namespace kv
