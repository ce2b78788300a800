#pragma once
// The view's description of a scene a creation has just built, taken from
// the scene model and the pictures the creation kept in memory: no file is
// read back.
#include <memory>

#include "app/view/ViewScene.h"

namespace kv {
class Scene;
class SceneImages;
}  // namespace kv

namespace kv::app {

// Every object, the terrain with its surround, the lights and the camera of
// `scene`. Pictures that `images` lacks leave their materials untextured.
std::shared_ptr<view::ViewScene> ViewSceneOf(const kv::Scene& scene, const kv::SceneImages& images);

}  // namespace kv::app
