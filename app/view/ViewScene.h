#pragma once
// What the 3D view draws, independent of any file format: meshes with their
// materials and images, the placed instances of those meshes, the lights, the
// scene camera and where the terrain lies.
//
// Conventions
// - Axes: right-handed with Z up, the landscape's own axes (x east, y north).
//   A Y-up source (a glTF file) is turned into these axes when it is read.
// - Units: scene units. A landscape's terrain spans -5..5 in x and y with
//   heights from 0 to about 3.33; the sky and fog domes have radius 100.
// - Triangles are wound counter-clockwise seen from their front.
// - Texture coordinates: u runs to the right and v down from the image's top
//   row (row 0 of the QImage), as in glTF. A material's scale and offset are
//   applied first (uv * scale + offset) and the texture repeats outside 0..1.
// - Colours are display values from 0 to 1, the same encoding as the texture
//   pixels; the view lights them without any conversion and clamps at 1.
#include <QImage>
#include <QMatrix4x4>
#include <QVector2D>
#include <QVector3D>
#include <QVector4D>

#include <cstdint>
#include <string>
#include <vector>

namespace kv::view {

enum class AlphaMode {
    Opaque,  // alpha ignored
    Mask,    // fragments with alpha below the cut-off are dropped (leaves)
    Blend,   // blended over what lies behind (fog, water), drawn last
};

struct ViewMaterial {
    std::string name;
    QVector4D baseColour{1, 1, 1, 1};  // multiplies the texture, alpha included
    QImage texture;                    // null: the base colour alone; RGB or RGBA
    QVector2D textureScale{1, 1};      // uv * scale + offset (a surround's 20 x 20 repeats)
    QVector2D textureOffset{0, 0};
    AlphaMode alphaMode = AlphaMode::Opaque;
    float alphaCutoff = 0.5f;  // for AlphaMode::Mask
    bool doubleSided = false;  // back faces drawn and lit from their own side
    bool unlit = false;        // drawn at its own colour, no lighting (domes)
};

struct ViewMesh {
    std::string name;
    std::vector<QVector3D> positions;
    std::vector<QVector3D> normals;      // one per position, or empty: smooth normals are computed
    std::vector<QVector2D> texCoords;    // one per position, or empty
    std::vector<std::uint32_t> indices;  // three per triangle
    int material = -1;                   // index into ViewScene::materials; -1 draws plain grey
};

// One placed copy of a mesh. Trees and rocks of one kind share one mesh.
struct ViewInstance {
    int mesh = 0;      // index into ViewScene::meshes
    QMatrix4x4 world;  // the mesh's coordinates to the scene's
};

// A light infinitely far away, like the scene's four infinite lights.
struct ViewDirectionalLight {
    QVector3D direction{0, 0, -1};  // the way the light travels
    QVector3D colour{1, 1, 1};      // colour times intensity
};

// A light at a point that lights in every direction without falloff (the sun).
struct ViewPointLight {
    QVector3D position;
    QVector3D colour{1, 1, 1};
};

struct ViewCamera {
    QVector3D position;
    QVector3D forward{0, -1, 0};  // unit direction of view
    QVector3D up{0, 0, 1};        // unit, perpendicular to forward
    float verticalFovDegrees = 45.0f;
};

struct ViewScene {
    std::vector<ViewMesh> meshes;
    std::vector<ViewMaterial> materials;
    std::vector<ViewInstance> instances;
    std::vector<ViewDirectionalLight> directionalLights;
    std::vector<ViewPointLight> pointLights;
    QVector3D ambient{0.15f, 0.15f, 0.15f};  // light every lit surface receives
    ViewCamera camera;                       // the scene camera the view starts at
    // The terrain's bounding box (without its flat surround): its centre is
    // the pivot of the orbit, its size frames the view from above.
    QVector3D terrainCentre{0, 0, 0};
    QVector3D terrainSize{10, 10, 0};
};

}  // namespace kv::view
