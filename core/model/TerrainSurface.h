#pragma once
// The terrain as a grid: the heightfield's heights and the rules that give
// every point and texture coordinate of the terrain object, so that no
// format has to hold millions of points at once.
//
// The terrain object's own space: the grid covers x 95..105 and y 95..105,
// z the height; four corners at 0 and 200 and z -0.01 make the surround,
// which the object's transform moves to -100..100 around the scene's origin.
// Every value is computed in single precision, each operation rounded to
// float in the order given here.
#include <cmath>
#include <cstdint>
#include <memory>

#include "core/inputs/HeightGrid.h"

namespace kv {

struct Point3f {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};
struct Point2f {
    float u = 0.0f, v = 0.0f;
};

class TerrainSurface {
public:
    explicit TerrainSurface(std::shared_ptr<const HeightGrid> grid);

    const HeightGrid& grid() const { return *grid_; }
    // Points per side of the grid.
    int Size() const { return grid_->n; }

    // The point of grid column j, row y.
    Point3f Vertex(int j, int y) const
    {
        const int n = grid_->n;
        return {(10.0f * Fraction(j, n) + 100.0f) - 5.0f, 10.0f * Fraction(y, n) + 95.0f, Height(grid_->At(j, y))};
    }
    // The surround's corner k (0 to 3).
    static Point3f Corner(int k);

    // Texture coordinates come in three runs: the polar coordinates of the
    // grid points (no face uses them, but the planar run is counted after
    // them), the four surround corners, then the planar coordinates.
    Point2f PolarTexcoord(int j, int y) const;
    static Point2f CornerTexcoord(int k);
    Point2f PlanarTexcoord(int j, int y) const { return {Planar(j, grid_->n), Planar(y, grid_->n)}; }

    // Counts and indices of points and texture coordinates.
    std::int64_t VertexCount() const { return Squared() + 4; }
    std::int64_t TexcoordCount() const { return 2 * Squared() + 4; }
    std::int64_t GridVertex(int j, int y) const { return static_cast<std::int64_t>(y) * grid_->n + j; }
    std::int64_t GridTexcoord(int j, int y) const { return Squared() + 4 + GridVertex(j, y); }
    std::int64_t CornerIndex(int k) const { return Squared() + k; }

    // The faces: two triangles per grid cell (material 0), then five faces
    // of the surround (material 2): the square under everything and one face
    // per grid edge, joining the edge's points to the corners on its side.
    std::int64_t FaceCount() const
    {
        const std::int64_t n = grid_->n;
        return 2 * (n - 1) * (n - 1) + 5;
    }
    // Grid cell (j, y) has two triangles: {(j+1,y+1), (j,y), (j,y+1)} and
    // {(j+1,y+1), (j+1,y), (j,y)}, corners given as grid points.
    // The surround edges, each as the grid points it runs along (k = 0..n-1)
    // and the two corners that close it.
    struct GridPoint {
        int j, y;
    };
    struct SurroundEdge {
        int cornerA, cornerB;
        GridPoint (*point)(int k, int n);
    };
    static const SurroundEdge kSurroundEdges[4];
    // The corner order of the square under everything.
    static constexpr int kSurroundSquare[4] = {3, 0, 1, 2};

    static constexpr int kDetailMaterial = 0;
    static constexpr int kUnusedMaterial = 1;
    static constexpr int kSurroundMaterial = 2;

private:
    static float Fraction(int index, int n) { return static_cast<float>(index) / static_cast<float>(n - 1); }
    // A whole-number height converts to float exactly, so a BMP's points are
    // what they always were; a fractional height keeps its fraction.
    static float Height(float g) { return g / 76.5f / 3.0f; }
    static float Planar(int index, int n)
    {
        const float step = 10.0f / static_cast<float>(n - 1);
        return (step * static_cast<float>(n - 1 - index) + 95.0f) / 200.0f;
    }
    std::int64_t Squared() const { return static_cast<std::int64_t>(grid_->n) * grid_->n; }

    std::shared_ptr<const HeightGrid> grid_;
};

}  // namespace kv
