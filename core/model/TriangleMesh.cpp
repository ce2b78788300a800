#include "core/model/TriangleMesh.h"

#include <cmath>
#include <map>
#include <tuple>

#include "core/model/PolygonTriangulation.h"

namespace kv {

namespace {

Vec3 Add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }

// The normals meeting at one point, gathered into clusters of faces that
// meet at a small enough angle.
struct PointNormals {
    std::vector<Vec3> sums;       // area-weighted sum per cluster
    std::vector<Vec3> directions; // the first face's unit normal per cluster
};

}  // namespace

TriangleMesh MakeTriangleMesh(const Mesh& mesh, Faceting faceting)
{
    const double threshold = std::cos((faceting == Faceting::Angle32 ? 32.0 : 89.9) * 3.14159265358979323846 / 180.0);

    // Each face's front normal (against Newell's vector: fronts are the
    // clockwise side), weighted by its area.
    std::vector<std::vector<int>> faceClusters(mesh.faces.size());
    std::vector<PointNormals> points(mesh.vertices.size());
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        const Face& face = mesh.faces[f];
        std::vector<Vec3> corners;
        for (const Corner& c : face.corners) corners.push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
        const Vec3 newell = NewellVector(corners);
        const Vec3 front{-newell.x, -newell.y, -newell.z};
        const double length = Length(front);
        const Vec3 unit = length > 0 ? Vec3{front.x / length, front.y / length, front.z / length} : Vec3{0, 0, 1};
        auto cluster = [&](int vertex) {
            PointNormals& pn = points[static_cast<std::size_t>(vertex)];
            for (std::size_t k = 0; k < pn.directions.size(); ++k) {
                if (Dot(pn.directions[k], unit) >= threshold) {
                    pn.sums[k] = Add(pn.sums[k], front);
                    return static_cast<int>(k);
                }
            }
            pn.directions.push_back(unit);
            pn.sums.push_back(front);
            return static_cast<int>(pn.directions.size()) - 1;
        };
        for (const Corner& c : face.corners) faceClusters[f].push_back(cluster(c.vertex));
        for (const auto& hole : face.holes)
            for (const Corner& c : hole) faceClusters[f].push_back(cluster(c.vertex));
    }

    TriangleMesh out;
    std::map<std::tuple<int, int, int>, std::uint32_t> emitted;  // point, texture coordinate, cluster
    auto point = [&](const Corner& c, int cluster) {
        const auto key = std::make_tuple(c.vertex, c.texcoord, cluster);
        if (const auto found = emitted.find(key); found != emitted.end()) return found->second;
        const auto index = static_cast<std::uint32_t>(out.PointCount());
        const Vec3& p = mesh.vertices[static_cast<std::size_t>(c.vertex)];
        out.positions.insert(out.positions.end(), {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
        Vec3 n = points[static_cast<std::size_t>(c.vertex)].sums[static_cast<std::size_t>(cluster)];
        const double length = Length(n);
        if (length > 0) n = {n.x / length, n.y / length, n.z / length};
        else n = {0, 0, 1};
        out.normals.insert(out.normals.end(), {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)});
        const Vec2 t = c.texcoord >= 0 && static_cast<std::size_t>(c.texcoord) < mesh.texcoords.size()
                           ? mesh.texcoords[static_cast<std::size_t>(c.texcoord)]
                           : Vec2{};
        out.texcoords.insert(out.texcoords.end(), {static_cast<float>(t.u), static_cast<float>(t.v)});
        emitted.emplace(key, index);
        return index;
    };

    std::map<int, std::size_t> groupOf;
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        const Face& face = mesh.faces[f];
        std::vector<Corner> all(face.corners);
        std::vector<Vec3> outer;
        for (const Corner& c : face.corners) outer.push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
        std::vector<std::vector<Vec3>> holes;
        for (const auto& hole : face.holes) {
            holes.emplace_back();
            for (const Corner& c : hole) {
                holes.back().push_back(mesh.vertices[static_cast<std::size_t>(c.vertex)]);
                all.push_back(c);
            }
        }
        auto [slot, added] = groupOf.emplace(face.material, out.groups.size());
        if (added) out.groups.push_back({face.material, {}});
        std::vector<std::uint32_t>& indices = out.groups[slot->second].indices;
        // The triangles keep the face's clockwise front; listing them the
        // other way round makes their fronts counterclockwise.
        for (const auto& t : TriangulatePolygon(outer, holes)) {
            for (int k : {0, 2, 1}) {
                const int corner = t[static_cast<std::size_t>(k)];
                indices.push_back(point(all[static_cast<std::size_t>(corner)],
                                        faceClusters[f][static_cast<std::size_t>(corner)]));
            }
        }
    }
    return out;
}

}  // namespace kv
