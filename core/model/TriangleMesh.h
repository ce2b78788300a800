#pragma once
// A polygon mesh as triangles for formats and renderers that draw only
// triangles: points with normals and texture coordinates, one list of
// triangles per material. Faces are cut into triangles (holes kept), and a
// point is repeated where its faces need different normals or texture
// coordinates. Triangles run counterclockwise seen from their front (the
// side from which the mesh's own faces run clockwise).
#include <cstdint>
#include <vector>

#include "core/model/Material.h"
#include "core/model/Mesh.h"

namespace kv {

struct TriangleMesh {
    std::vector<float> positions;  // x, y, z per point
    std::vector<float> normals;    // unit, per point
    std::vector<float> texcoords;  // u, v per point, as the mesh gives them (v up)
    struct Group {
        int material = 0;  // the faces' material number
        std::vector<std::uint32_t> indices;  // three per triangle
    };
    std::vector<Group> groups;  // by material number, those with faces only

    std::size_t PointCount() const { return positions.size() / 3; }
};

// Normals are smooth across faces that meet at less than 90 degrees, or at
// less than 32 degrees where the faceting says so; the two sides of a card
// listed once from each side keep their own.
TriangleMesh MakeTriangleMesh(const Mesh& mesh, Faceting faceting);

}  // namespace kv
