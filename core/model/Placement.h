#pragma once
#include "core/basics/JobControl.h"
#include "core/basics/Random.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/ProjectSettings.h"
#include "core/model/ObjectKind.h"
#include "core/model/SceneModel.h"

namespace kv {

// The groups placed objects go under.
struct PlacementGroups {
    int trees = -1;
    int rocks = -1;
};

// Reads the placement map (treedir<sep>treebmp: a 24-bit BMP or an 8-bit
// colour PNG, told by its content), checks its declared size against the
// heightfield before any pixel is allocated, and adds one tree or rock to the
// scene per coded pixel, in scan order: rows from the top, each from its
// right end. Every object draws its yaw, jitter and size from `random`. Looks
// at the stop request after every row. Returns the kinds it placed (also kept
// by the scene). Throws JobFailure on a failed read or check.
KindsUsed PlaceObjects(Scene& scene, const ProjectSettings& settings, const HeightGrid& heights, Random& random,
                       PlacementGroups groups, JobControl& control);

// The kind a placement bitmap pixel (blue, green, red) codes, if any.
std::optional<ObjectKind> KindOfColour(const std::uint8_t* bgr);

}  // namespace kv
