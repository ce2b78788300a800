#pragma once
// The meshes of the tree and rock kinds, built once from the compiled-in
// data and shared by every placed object that wears them.
#include <memory>
#include <string_view>
#include <vector>

#include "core/model/Mesh.h"

namespace kv {

// The mesh of that name ("boulder", "evergreen_trunk", ...); throws
// std::out_of_range for an unknown name.
std::shared_ptr<const Mesh> KindMesh(std::string_view name);

// The names of every kind mesh, in the order of the data.
std::vector<std::string_view> KindMeshNames();

}  // namespace kv
