#pragma once
// Tangents for primitives with a normal map. glTF's normal maps point +X along
// increasing u and +Y up the picture, the way v decreases; the TANGENT
// attribute carries the first direction and, in w, the hand of the second:
// bitangent = cross(normal, tangent.xyz) * w.
#include <cstdint>
#include <span>
#include <vector>

namespace kv::gltf {

// Per vertex (x, y, z, w), from triangles given by index: each triangle's
// direction of increasing u and of increasing v on the surface, from its edges
// and texture coordinates, summed at its corners; at each vertex the u
// direction is made perpendicular to the normal and unit, and w is +1 when
// cross(normal, tangent) points against the summed v direction, -1 when it
// points along it (a mirrored mapping). A vertex that no triangle with a
// usable mapping touches gets a unit tangent perpendicular to its normal and
// w = +1. Positions and normals have 3 floats a vertex, uvs 2; normals are
// unit. Same input, same bytes.
std::vector<float> ComputeTangents(std::span<const float> positions, std::span<const float> normals,
                                   std::span<const float> uvs, std::span<const std::uint32_t> triangles);

}  // namespace kv::gltf
