#pragma once
// The fixed outdoor objects of every scene: the sky and fog domes, the
// ocean, the lights, the sun, the camera, and the groups that hold the
// terrain, the rocks and the trees.
#include "core/inputs/ProjectSettings.h"
#include "core/model/SceneModel.h"

namespace kv {

// Each adds its node (and for the lights its four lights) under the root and
// returns the node's index.
int AddSkyDome(Scene& scene);                                    // "atmos", textured with atmos.jpg
int AddFogDome(Scene& scene);                                    // "fog", textured with fog.tga
int AddOcean(Scene& scene, const RgbColor& colour, int oceanindex);  // "ocean" (oceanindex 1 to 4)
int AddLights(Scene& scene);                                     // "lights" and its infinite lights
int AddSun(Scene& scene);                                        // "sun"
int AddCamera(Scene& scene);                                     // "YOU"

// A group with the unit frame ("earth" under the root; "rocks" and "trees"
// under the earth).
int AddPlainGroup(Scene& scene, const char* name, int parent);

}  // namespace kv
