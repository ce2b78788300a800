#pragma once
// The mesh tables as C++ source for the program: the numbers of every mesh
// for the scene model, and how the scene file spells each mesh's lines.
#include <string>
#include <vector>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

// The model's data: points, texture coordinates and faces of every mesh,
// each number the value its table line states.
std::string ModelDataSource(const std::vector<Mesh>& meshes);

// The scene writer's spelling of every mesh: number style and the blanks at
// the ends of its lines.
std::string SpellingSource(const std::vector<Mesh>& meshes);

}  // namespace kv::meshgen
