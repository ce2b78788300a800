#include "core/model/SceneBuilder.h"

#include "core/model/EnvironmentBuilder.h"
#include "core/model/Placement.h"
#include "core/model/TerrainBuilder.h"

namespace kv {

Scene BuildScene(const ProjectSettings& settings, std::shared_ptr<const HeightGrid> heights, Random& random,
                 JobControl& control)
{
    Scene scene;
    AddSkyDome(scene);
    AddFogDome(scene);
    if (settings.oceanindex != 0) AddOcean(scene, settings.ocean, settings.oceanindex);
    AddLights(scene);
    AddSun(scene);
    AddCamera(scene);
    const int earth = AddPlainGroup(scene, "earth", scene.Root());
    const HeightGrid& grid = *heights;
    AddTerrain(scene, std::move(heights), earth);
    PlacementGroups groups;
    groups.rocks = AddPlainGroup(scene, "rocks", earth);
    groups.trees = AddPlainGroup(scene, "trees", earth);
    PlaceObjects(scene, settings, grid, random, groups, control);
    return scene;
}

}  // namespace kv
