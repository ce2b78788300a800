#pragma once
// A polygon mesh in its object's own space: points, texture coordinates and
// faces that join them. Faces may have holes cut out of them.
#include <string>
#include <vector>

#include "core/model/Geometry.h"

namespace kv {

// One corner of a face: a point and a texture coordinate, by index.
struct Corner {
    int vertex = 0;
    int texcoord = 0;
};

struct Face {
    // The corners in order; the face's front is the side from which they run
    // clockwise.
    std::vector<Corner> corners;
    // Which of its object's materials covers the face.
    int material = 0;
    // Seen from the front only (a card of leaves listed once from each side).
    bool oneSided = false;
    // Polygons cut out of the face, each running the other way round.
    std::vector<std::vector<Corner>> holes;
};

struct Mesh {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<Vec2> texcoords;
    std::vector<Face> faces;
};

}  // namespace kv
