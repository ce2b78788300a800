#include "core/model/TerrainTriangles.h"

#include <algorithm>
#include <cmath>

namespace kv {

Slope TerrainSlope(const TerrainSurface& s, int j, int y)
{
    const int n = s.Size();
    const float spacing = 10.0f / static_cast<float>(n - 1);
    const int j0 = std::max(j - 1, 0), j1 = std::min(j + 1, n - 1);
    const int y0 = std::max(y - 1, 0), y1 = std::min(y + 1, n - 1);
    return {(s.Vertex(j1, y).z - s.Vertex(j0, y).z) / (spacing * static_cast<float>(j1 - j0)),
            (s.Vertex(j, y1).z - s.Vertex(j, y0).z) / (spacing * static_cast<float>(y1 - y0))};
}

Point3f TerrainNormal(const TerrainSurface& s, int j, int y)
{
    const Slope slope = TerrainSlope(s, j, y);
    const float length = std::sqrt(slope.dzdx * slope.dzdx + slope.dzdy * slope.dzdy + 1.0f);
    return {-slope.dzdx / length, -slope.dzdy / length, 1.0f / length};
}

void TerrainCellRow(const TerrainSurface& s, int y, std::uint32_t* out)
{
    const int n = s.Size();
    auto at = [&s](int j, int row) { return static_cast<std::uint32_t>(s.GridVertex(j, row)); };
    for (int j = 0; j + 1 < n; ++j) {
        *out++ = at(j + 1, y + 1), *out++ = at(j, y + 1), *out++ = at(j, y);
        *out++ = at(j + 1, y + 1), *out++ = at(j, y), *out++ = at(j + 1, y);
    }
}

SurroundTriangles MakeSurroundTriangles(const TerrainSurface& s)
{
    const int n = s.Size();
    SurroundTriangles t;
    auto addPoint = [&t](Point3f p, Point2f uv) {
        t.positions.push_back(p);
        t.texcoords.push_back(uv);
        return static_cast<std::uint32_t>(t.positions.size() - 1);
    };
    std::uint32_t corners[4];
    for (int k = 0; k < 4; ++k) corners[k] = addPoint(TerrainSurface::Corner(k), TerrainSurface::CornerTexcoord(k));
    const int* q = TerrainSurface::kSurroundSquare;
    t.indices.insert(t.indices.end(),
                     {corners[q[0]], corners[q[2]], corners[q[1]], corners[q[0]], corners[q[3]], corners[q[2]]});
    for (const TerrainSurface::SurroundEdge& edge : TerrainSurface::kSurroundEdges) {
        std::vector<std::uint32_t> outline;
        for (int k = 0; k < n; ++k) {
            const TerrainSurface::GridPoint p = edge.point(k, n);
            outline.push_back(addPoint(s.Vertex(p.j, p.y), s.PlanarTexcoord(p.j, p.y)));
        }
        outline.push_back(corners[edge.cornerA]);
        const std::uint32_t pivot = corners[edge.cornerB];
        for (std::size_t k = 0; k + 1 < outline.size(); ++k)
            t.indices.insert(t.indices.end(), {pivot, outline[k + 1], outline[k]});
    }
    return t;
}

}  // namespace kv
