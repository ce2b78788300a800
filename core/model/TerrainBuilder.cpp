#include "core/model/TerrainBuilder.h"

namespace kv {

namespace {

// The detail and the surround textures are both laid 20 times across the
// whole 200 x 200 object; the half offset puts one whole picture on the grid.
Material TexturedGround(Scene& scene, const char* texture, const char* bump)
{
    Material m;
    m.colour = WholeColour{0, 0, 0};
    m.texture = ImageMap{scene.UseImage(texture, ImageSource::TerrainSynthesis), {0.5, 0.5}, {20, 20}, 0.0};
    m.bump = ImageMap{scene.UseImage(bump, ImageSource::TerrainSynthesis), {0.5, 0.5}, {20, 20}, 0.02};
    return m;
}

}  // namespace

int AddTerrain(Scene& scene, std::shared_ptr<const HeightGrid> grid, int parent)
{
    scene.SetTerrain(TerrainSurface(std::move(grid)));
    Node node;
    node.name = "terrain";
    node.kind = NodeKind::Terrain;
    node.frame.precision = Precision::Given;
    node.frame.transform.m = {{{1, 0, 0, -100}, {0, 1, 0, -100}, {0, 0, 1, 0}}};
    const int detail = scene.AddMaterial(TexturedGround(scene, "tex1.jpg", "bump1.jpg"));
    Material grey;
    grey.colour = WholeColour{64, 64, 64};
    const int unused = scene.AddMaterial(grey);
    const int surround = scene.AddMaterial(TexturedGround(scene, "tex2.jpg", "bump2.jpg"));
    node.materials = {detail, unused, surround};
    return scene.AddNode(std::move(node), parent);
}

}  // namespace kv
