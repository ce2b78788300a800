#pragma once
#include <map>
#include <string>

#include "core/basics/JobControl.h"
#include "core/basics/Random.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/ProjectSettings.h"
#include "core/platform/OutputDirectory.h"
#include "core/textures/SceneImages.h"

namespace kv {

// What the stage does with its images besides writing the files.
struct TerrainImageUse {
    bool writeFiles = true;
    // When given: every image's JPEG bytes, and a normal map of each bump map
    // named in `normalMaps` (file name to bump amplitude), made beside the
    // JPEG encoding.
    SceneImages* keep = nullptr;
    std::map<std::string, double> normalMaps;
};

// The texture steps of a creation, after placement: height, slope, rc and em
// patterns (from the program directory), noise drawn from `random` (progress
// 8 to 16), then the synthesis that writes tex1, bump1, tex2, bump2 and, when
// `rocks` were placed, rocktex and rockbump into the output directory
// (progress 19 to 97).
void MakeTerrainTextures(const ProjectSettings& settings, const HeightGrid& heights, bool rocks, Random& random,
                         const std::string& programDirectory, const OutputDirectory& output, JobControl& control,
                         const TerrainImageUse& use = {});

}  // namespace kv
