#pragma once
// Turns a scene mesh into the vertex and index arrays the view uploads:
// missing normals computed, missing texture coordinates zero, triangles with
// an index out of range dropped, and vertices that agree in position, normal
// and texture coordinate merged into one (meshes from files often repeat a
// vertex for every face that uses it).
#include <QVector3D>

#include <cstdint>
#include <vector>

#include "app/view/ViewScene.h"

namespace kv::view {

inline constexpr int kFloatsPerVertex = 8;  // position xyz, normal xyz, texture uv

struct PreparedMesh {
    std::vector<float> vertices;  // kFloatsPerVertex floats a vertex
    std::vector<std::uint32_t> indices;
    QVector3D boundsMin;  // the box of the positions the triangles use
    QVector3D boundsMax;
    int material = -1;

    std::size_t vertexCount() const { return vertices.size() / kFloatsPerVertex; }
};

PreparedMesh PrepareMesh(const ViewMesh& mesh);

// Smooth normals: every triangle adds its area-weighted normal to each corner,
// and corners at the same position share the sum, so a seam of the texture
// does not show as a crease. A position no triangle uses gets (0, 0, 1).
std::vector<QVector3D> SmoothNormals(const std::vector<QVector3D>& positions,
                                     const std::vector<std::uint32_t>& indices);

}  // namespace kv::view
