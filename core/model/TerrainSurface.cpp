#include "core/model/TerrainSurface.h"

namespace kv {

namespace {

TerrainSurface::GridPoint LeftEdge(int k, int n) { return {0, n - 1 - k}; }
TerrainSurface::GridPoint FarEdge(int k, int n) { return {n - 1 - k, n - 1}; }
TerrainSurface::GridPoint RightEdge(int k, int n) { return {n - 1, k}; }
TerrainSurface::GridPoint NearEdge(int k, int) { return {k, 0}; }

}  // namespace

const TerrainSurface::SurroundEdge TerrainSurface::kSurroundEdges[4] = {
    {0, 3, LeftEdge},
    {3, 2, FarEdge},
    {2, 1, RightEdge},
    {1, 0, NearEdge},
};

TerrainSurface::TerrainSurface(std::shared_ptr<const HeightGrid> grid) : grid_(std::move(grid)) {}

Point3f TerrainSurface::Corner(int k)
{
    static constexpr Point3f kCorners[4] = {
        {0.0f, 0.0f, -0.01f}, {200.0f, 0.0f, -0.01f}, {200.0f, 200.0f, -0.01f}, {0.0f, 200.0f, -0.01f}};
    return kCorners[k];
}

Point2f TerrainSurface::CornerTexcoord(int k)
{
    static constexpr Point2f kCorners[4] = {{1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
    return kCorners[k];
}

Point2f TerrainSurface::PolarTexcoord(int j, int y) const
{
    const int n = grid_->n;
    const float b = Fraction(y, n) - 0.5f;
    const float a = Fraction(j, n) - 0.5f;
    const float sum = b * b + a * a;
    const float r = static_cast<float>(std::sqrt(static_cast<double>(sum))) + 0.00001f;
    float angle = static_cast<float>(std::acos(static_cast<double>(a / r))) * 57.29583f;
    if (b < 0.0f) angle = 360.0f - angle;
    return {angle / 360.0f, grid_->At(j, y) / 765.0f};
}

}  // namespace kv
