#pragma once
// The tree and rock meshes as compiled-in numbers, generated at build time
// by tools/meshgen. KindMesh builds the scene model's meshes from them.
#include <cstddef>

namespace kv {

struct KindMeshData {
    const char* name;
    const double* vertices;  // x, y, z per point
    std::size_t vertexCount;
    const double* texcoords;  // u, v per texture coordinate
    std::size_t texcoordCount;
    // Per face: corner count, one-sided (0 or 1), hole count, the corners as
    // point and texture index pairs, then each hole's count and corners.
    const int* faces;
    std::size_t faceWords;
    std::size_t faceCount;
};

extern const KindMeshData kKindMeshData[];
extern const std::size_t kKindMeshCount;

}  // namespace kv
