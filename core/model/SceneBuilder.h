#pragma once
#include <memory>

#include "core/basics/JobControl.h"
#include "core/basics/Random.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/ProjectSettings.h"
#include "core/model/SceneModel.h"

namespace kv {

// The scene model of a creation, in the order its objects are made: the sky
// and fog domes, the ocean (unless oceanindex is 0), the lights, the sun, the
// camera, the earth group with the terrain on `heights`, the rocks and trees
// groups, and the trees and rocks of the settings' placement bitmap (drawing
// from `random`; JobFailure when the bitmap is refused).
Scene BuildScene(const ProjectSettings& settings, std::shared_ptr<const HeightGrid> heights, Random& random,
                 JobControl& control);

}  // namespace kv
