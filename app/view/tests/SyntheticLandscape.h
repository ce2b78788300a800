#pragma once
// Landscapes made in memory for the view's tests and benchmark: a terrain
// grid with a hill, its flat surround, the sky dome, and on request the fog
// dome, the water, lights and placed trees and rocks, laid out as a creation
// lays out its scene (terrain -5..5, domes of radius 100, camera YOU at
// (0, 6, 0.5) looking along -y).
#include <QColor>

#include <memory>

#include "app/view/ViewScene.h"

namespace kv::view::test {

struct LandscapeRecipe {
    int gridSize = 33;              // vertices along one side of the terrain
    QColor groundColour{51, 178, 51};  // the terrain's and the surround's colour
    QColor skyColour{90, 140, 242};
    // Edge of the terrain and surround images; they are plain groundColour
    // with a faint pattern unless patterned is false.
    int groundTextureSize = 64;
    bool patterned = false;
    int skyTextureSize = 64;
    bool fog = false;          // its image is skyTextureSize wide
    bool water = false;
    QColor waterColour{20, 70, 120};
    int rockTextureSize = 64;
    int barkTextureSize = 0;   // 0: bark has a plain colour
    int trees = 0;             // placed trees (a trunk and alpha-masked leaf cards)
    int treeLeafCards = 12;    // leaf cards a tree (two triangles each)
    int leafTextureSize = 64;
    int rocks = 0;             // placed rocks (a lumpy ball)
    int rockBands = 12;        // bands of the rock's sphere (4 x bands² triangles)
    bool sceneLights = true;   // the four infinite lights and the sun; else one light straight down
};

std::shared_ptr<ViewScene> MakeLandscape(const LandscapeRecipe& recipe);

// The terrain's height at (x, y) in -5..5: a hill of 3.33 at the centre.
float HillHeight(float x, float y);

// The scene camera every landscape has.
ViewCamera SceneCameraYou();

}  // namespace kv::view::test
