// Faces cut into triangles: holes kept, outlines that turn back on
// themselves, areas and fronts preserved; points repeated where normals or
// texture coordinates differ.
#include <gtest/gtest.h>

#include <cmath>

#include "core/model/KindMeshes.h"
#include "core/model/PolygonTriangulation.h"
#include "core/model/TriangleMesh.h"

namespace kv {
namespace {

double Area(const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    const Vec3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    return std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z) / 2;
}

double TrianglesArea(const std::vector<std::array<int, 3>>& triangles, const std::vector<Vec3>& points)
{
    double area = 0;
    for (const auto& t : triangles) area += Area(points[t[0]], points[t[1]], points[t[2]]);
    return area;
}

TEST(PolygonTriangulation, HolesAreCutOutAndTurnsKept)
{
    // A 4 x 4 square in the plane y = 1 with a 2 x 2 hole in it.
    const std::vector<Vec3> outer = {{0, 1, 0}, {4, 1, 0}, {4, 1, 4}, {0, 1, 4}};
    const std::vector<Vec3> hole = {{1, 1, 1}, {1, 1, 3}, {3, 1, 3}, {3, 1, 1}};
    const auto triangles = TriangulatePolygon(outer, {hole});
    std::vector<Vec3> points = outer;
    points.insert(points.end(), hole.begin(), hole.end());
    EXPECT_EQ(triangles.size(), 8u);
    EXPECT_NEAR(TrianglesArea(triangles, points), 16.0 - 4.0, 1e-12);
    // Every triangle turns the way the outline does.
    const Vec3 outline = NewellVector(outer);
    for (const auto& t : triangles) {
        const Vec3 n = NewellVector({points[t[0]], points[t[1]], points[t[2]]});
        EXPECT_GT(n.x * outline.x + n.y * outline.y + n.z * outline.z, 0.0);
    }
}

TEST(PolygonTriangulation, OutlinesThatTurnBackAreCoveredExactly)
{
    // An L, listed clockwise seen from +z.
    const std::vector<Vec3> l = {{0, 0, 0}, {0, 3, 0}, {1, 3, 0}, {1, 1, 0}, {3, 1, 0}, {3, 0, 0}};
    const auto triangles = TriangulatePolygon(l, {});
    EXPECT_EQ(triangles.size(), 4u);
    EXPECT_NEAR(TrianglesArea(triangles, l), 5.0, 1e-12);
    for (const auto& t : triangles) EXPECT_LT(NewellVector({l[t[0]], l[t[1]], l[t[2]]}).z, 0.0);
}

Vec3 Sum(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double Size(const Vec3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// The triangles of every face of every kind mesh cover it exactly: their
// area vectors add up to the face's, holes taken away (flat or not, the
// area vector of a surface depends on its outline only).
TEST(PolygonTriangulation, EveryKindMeshFaceIsCoveredExactly)
{
    for (std::string_view name : KindMeshNames()) {
        const Mesh& mesh = *KindMesh(name);
        for (const Face& face : mesh.faces) {
            std::vector<Vec3> outer, points;
            for (const Corner& c : face.corners) outer.push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
            points = outer;
            Vec3 expected = NewellVector(outer);
            std::vector<std::vector<Vec3>> holes;
            for (const auto& hole : face.holes) {
                holes.emplace_back();
                for (const Corner& c : hole) holes.back().push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
                points.insert(points.end(), holes.back().begin(), holes.back().end());
                expected = Sum(expected, NewellVector(holes.back()));
            }
            Vec3 covered{0, 0, 0};
            for (const auto& t : TriangulatePolygon(outer, holes))
                covered = Sum(covered, NewellVector({points[t[0]], points[t[1]], points[t[2]]}));
            EXPECT_LT(Size(Sum(covered, {-expected.x, -expected.y, -expected.z})), 1e-9 + 1e-9 * Size(expected))
                << name;
        }
    }
}

TEST(TriangleMesh, EveryKindMeshKeepsItsFrontsAndNormals)
{
    for (std::string_view name : KindMeshNames()) {
        const Mesh& mesh = *KindMesh(name);
        const TriangleMesh t = MakeTriangleMesh(mesh, Faceting::Smooth);
        // The faces' fronts (against their Newell vectors) add up to the
        // counterclockwise triangles' area vectors.
        Vec3 fronts{0, 0, 0};
        for (const Face& face : mesh.faces) {
            std::vector<Vec3> corners;
            for (const Corner& c : face.corners) corners.push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
            fronts = Sum(fronts, NewellVector(corners));
            for (const auto& hole : face.holes) {
                std::vector<Vec3> h;
                for (const Corner& c : hole) h.push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
                fronts = Sum(fronts, NewellVector(h));
            }
        }
        Vec3 triangles{0, 0, 0};
        int against = 0, total = 0;
        for (const auto& group : t.groups) {
            for (std::size_t i = 0; i + 2 < group.indices.size(); i += 3) {
                Vec3 p[3];
                Vec3 normal{0, 0, 0};
                for (int k = 0; k < 3; ++k) {
                    const std::uint32_t v = group.indices[i + static_cast<std::size_t>(k)];
                    p[k] = {t.positions[3 * v], t.positions[3 * v + 1], t.positions[3 * v + 2]};
                    normal = Sum(normal, {t.normals[3 * v], t.normals[3 * v + 1], t.normals[3 * v + 2]});
                }
                const Vec3 n = NewellVector({p[0], p[1], p[2]});
                triangles = Sum(triangles, n);
                if (n.x * normal.x + n.y * normal.y + n.z * normal.z < 0) ++against;
                ++total;
            }
        }
        EXPECT_LT(Size(Sum(triangles, fronts)), 1e-4 * (1 + Size(fronts))) << name;  // float points
        EXPECT_LE(against, total / 50) << name;  // a smooth normal may lean over at a sharp edge
        EXPECT_EQ(t.normals.size(), t.positions.size()) << name;
        EXPECT_EQ(t.texcoords.size() / 2, t.PointCount()) << name;
    }
}

TEST(TriangleMesh, TheTwoSidesOfACardKeepTheirOwnNormals)
{
    const Mesh& leaf = *KindMesh("fern_leaf");  // every strip listed from both sides
    const TriangleMesh t = MakeTriangleMesh(leaf, Faceting::Angle32);
    // Each point of the blade is emitted once per side.
    EXPECT_EQ(t.PointCount(), 2 * leaf.vertices.size());
    for (std::size_t v = 0; v < t.PointCount(); ++v) {
        const double length = std::hypot(std::hypot(t.normals[3 * v], t.normals[3 * v + 1]), t.normals[3 * v + 2]);
        EXPECT_NEAR(length, 1.0, 1e-5);
    }
}

}  // namespace
}  // namespace kv
