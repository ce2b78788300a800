#pragma once
// Quality checks of a mesh table, run by the generator on what it wrote.
#include <string>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

struct CheckOptions {
    // Leaves and branch cards list every face from both sides; their
    // orientation is checked by pairs rather than by enclosed volume.
    bool doubleSided = false;
    // The part's placement, so the checks see the shape as it is rendered.
    Mat34 local;
};

// Appends findings and statistics to `report`; false when a fault was found.
bool CheckMesh(const Mesh& mesh, const CheckOptions& options, std::string& report);

}  // namespace kv::meshgen
