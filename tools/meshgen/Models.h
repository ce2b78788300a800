#pragma once
// The twelve model meshes and the placement of each part inside its model.
#include <string>
#include <vector>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

// Every table the program embeds, in file-name order of objects/meshes.
std::vector<Mesh> BuildAllMeshes();

Mesh BuildEvergreenTrunk();
Mesh BuildEvergreenBranches();
Mesh BuildFernLeaf();
Mesh BuildPalmLeaf();
Mesh BuildPalmTrunk();
Mesh BuildCactusTrunk();
Mesh BuildCactusArm();
Mesh BuildDeadtree1();
Mesh BuildDeadtree2();
Mesh BuildBoulder();
Mesh BuildFlatrock();
Mesh BuildPebbles();

// One part of an assembled model: the table it uses, its LocalMatrix and
// whether the material is two-sided foliage (for the previews).
struct Part {
    std::string mesh;
    Mat34 local;
    unsigned colour;  // 0xRRGGBB for the previews
};

struct Model {
    std::string name;
    std::vector<Part> parts;
};

// The models as the scene assembles them, each part with its LocalMatrix.
std::vector<Model> AssembledModels();

}  // namespace kv::meshgen
