// The fixed outdoor objects. Their frames and values are constants of their
// definition; only the ocean's colour and ripples follow the settings. The
// dome points come from the generated tables of SphereTable.h.
#include "core/model/EnvironmentBuilder.h"

#include <initializer_list>
#include <memory>

#include "core/model/SphereTable.h"

namespace kv {

namespace {

NodeFrame GivenFrame(Vec3 center, Vec3 x, Vec3 y, Vec3 z, std::array<double, 4> row1, std::array<double, 4> row2,
                     std::array<double, 4> row3)
{
    NodeFrame frame;
    frame.precision = Precision::Given;
    frame.center = center;
    frame.xAxis = x;
    frame.yAxis = y;
    frame.zAxis = z;
    frame.transform.m = {row1, row2, row3};
    return frame;
}

// A frame with the unit axes about `center` and the given transform rows.
NodeFrame UnitAxesFrame(Vec3 center, std::array<double, 4> row1, std::array<double, 4> row2,
                        std::array<double, 4> row3)
{
    return GivenFrame(center, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, row1, row2, row3);
}

// ----------------------------------------------------------------- the domes

// Which texture coordinate a face corner uses. A corner is either a pole or
// the point of (band, cornerSegment) on a face of segment faceSegment.
using CornerMapping = Corner (*)(int faceSegment, int band, int cornerSegment);
using PoleMapping = Corner (*)(int faceSegment, bool top);

// The sky: texture coordinate i belongs to point i.
Corner SkyCorner(int, int band, int cornerSegment)
{
    const int v = DomeVertex(band, cornerSegment);
    return {v, v};
}
Corner SkyPole(int, bool top) { return top ? Corner{0, 0} : Corner{1, 1}; }

// The fog: faces of segment 15 close the wrap-around at the seam column,
// whose u is one step below 0, so every face spans one sixteenth in u; each
// pole triangle has a pole point of its own.
Corner FogCorner(int faceSegment, int band, int cornerSegment)
{
    const int v = DomeVertex(band, cornerSegment);
    if (faceSegment == 15 && cornerSegment == 15) return {v, FogSeamPoint(band)};
    return {v, v};
}
Corner FogPole(int faceSegment, bool top)
{
    return top ? Corner{0, FogTopPolePoint(faceSegment)} : Corner{1, FogBottomPolePoint(faceSegment)};
}

void AddFace(Mesh& mesh, std::initializer_list<Corner> corners)
{
    Face face;
    face.corners = corners;
    mesh.faces.push_back(std::move(face));
}

// The 256 faces: 16 triangles round the top pole, 224 quads band by band,
// 16 triangles round the bottom pole.
void AddDomeFaces(Mesh& mesh, CornerMapping corner, PoleMapping pole)
{
    for (int m = 0; m < kDomeSegments; ++m) {
        const int next = (m + 1) % kDomeSegments;
        AddFace(mesh, {pole(m, true), corner(m, 1, next), corner(m, 1, m)});
    }
    for (int k = 1; k <= 14; ++k) {
        for (int m = 0; m < kDomeSegments; ++m) {
            const int next = (m + 1) % kDomeSegments;
            AddFace(mesh, {corner(m, k, m), corner(m, k, next), corner(m, k + 1, next), corner(m, k + 1, m)});
        }
    }
    for (int m = 0; m < kDomeSegments; ++m) {
        const int next = (m + 1) % kDomeSegments;
        AddFace(mesh, {corner(m, 15, m), corner(m, 15, next), pole(m, false)});
    }
}

template <std::size_t N>
std::vector<Vec2> Texcoords(const double (&table)[N][2])
{
    std::vector<Vec2> out;
    for (const auto& t : table) out.push_back({t[0], t[1]});
    return out;
}

std::shared_ptr<Mesh> DomeMesh(const char* name)
{
    auto mesh = std::make_shared<Mesh>();
    mesh->name = name;
    for (const auto& p : kDomeWorldVertices) mesh->vertices.push_back({p[0], p[1], p[2]});
    return mesh;
}

int AddDome(Scene& scene, const char* name, NodeFrame frame, std::shared_ptr<Mesh> mesh, const char* image,
            ImageSource source, Vec2 repeats)
{
    Material material;
    material.shading = Shading::Flat;
    material.colour = WholeColour{0, 0, 0};
    material.texture = ImageMap{scene.UseImage(image, source), {0, 0}, repeats, 0.0};
    Node node;
    node.name = name;
    node.kind = NodeKind::Object;
    node.frame = frame;
    node.mesh = std::move(mesh);
    node.materials = {scene.AddMaterial(material)};
    return scene.AddNode(std::move(node), scene.Root());
}

// ----------------------------------------------------------------- the lights

struct GivenLight {
    const char* name;
    Vec3 center, x, y, z;
    std::array<double, 4> row1, row2, row3;
    LightKind kind;
    bool shadows;
    Vec3 colour;
    double coneAngle;
};

constexpr GivenLight kInfiniteLights[4] = {
    {"InfLight,3", {0, 0, 0}, {-7.35057e-14, -3.04471e-14, 1}, {-0.7071068, 0.7071068, -3.04471e-14},
     {-0.7071068, -0.7071068, -7.35057e-14}, {-7.35057e-14, -0.7071072, -0.7071073, 0},
     {-3.04471e-14, 0.7071066, -0.7071076, 0}, {1, -3.04471e-14, -7.35058e-14, 0}, LightKind::Infinite, false,
     {0.3001569, 0.3001569, 0.3001569}, 90.0001},
    {"InfLight,1", {0, 0, 0}, {-0.4082481, 0.4082484, 0.8164967}, {0.7071068, 0.7071068, -2.34985e-7},
     {-0.5773503, 0.5773503, -0.5773503}, {-0.4082488, 0.7071073, -0.5773513, 0},
     {0.4082484, 0.7071076, 0.5773506, 0}, {0.8164967, 7.35058e-14, -0.5773503, 0}, LightKind::Infinite, false,
     {0.344, 0.344, 0.344}, 90.0001},
    {"InfLight,2", {0, 0, 0}, {-0.7071064, -4.665e-7, 0.7071072}, {2.87747e-7, -1, -3.71984e-7},
     {0.7071072, -5.95646e-8, 0.7071064}, {-0.7071078, 5.62767e-7, 0.7071078, 0}, {-1.1273e-7, -1, 1.1273e-7, 0},
     {0.7071068, -3.0447e-14, 0.7071068, 0}, LightKind::Infinite, false, {0.258, 0.258, 0.258}, 90.0001},
    {"InfLight", {0, 0, 0}, {-1.03953e-13, 0, -1}, {0, 1, 0}, {1, 0, -1.03953e-13},
     {-1.03953e-13, 3.91856e-7, 1, 0}, {-1.42302e-19, 1, -1.90281e-7, 0}, {-1, -8.13921e-20, -1.03953e-13, 0},
     LightKind::Infinite, false, {0.3001569, 0.3001569, 0.3001569}, 90.0001},
};

constexpr GivenLight kSun = {"sun",
                             {-13.2769, 16.824, 9.3313},
                             {1, 0, 0},
                             {0, -1, 8.74228e-8},
                             {0, -8.74228e-8, -1},
                             {1, 0, 0, -13.2769},
                             {0, -1, -8.74228e-8, 16.824},
                             {0, 8.74228e-8, -1, 9.3313},
                             LightKind::Local,
                             true,
                             {1.48, 1.48, 1.48},
                             90.0};

int AddLight(Scene& scene, const GivenLight& given, int parent)
{
    Node node;
    node.name = given.name;
    node.kind = NodeKind::Light;
    node.frame = GivenFrame(given.center, given.x, given.y, given.z, given.row1, given.row2, given.row3);
    Light light;
    light.kind = given.kind;
    light.castsShadows = given.shadows;
    light.colour = given.colour;
    light.coneAngle = given.coneAngle;
    node.light = light;
    return scene.AddNode(std::move(node), parent);
}

}  // namespace

int AddSkyDome(Scene& scene)
{
    auto mesh = DomeMesh("atmos");
    mesh->texcoords = Texcoords(kAtmosTextureVertices);
    AddDomeFaces(*mesh, SkyCorner, SkyPole);
    // A unit sphere stretched to radius 100 and height 10.
    return AddDome(scene, "atmos", UnitAxesFrame({0, 0, 0}, {100, 0, 0, 0}, {0, 100, 0, 0}, {0, 0, 10, 0}),
                   std::move(mesh), "atmos.jpg", ImageSource::Sky, {2, 2});
}

int AddFogDome(Scene& scene)
{
    auto mesh = DomeMesh("fog");
    mesh->texcoords = Texcoords(kFogTextureVertices);
    AddDomeFaces(*mesh, FogCorner, FogPole);
    return AddDome(scene, "fog",
                   UnitAxesFrame({0, 0, -1.5}, {99.95, 0, 0, 0}, {0, 99.95, 0, 0}, {0, 0, 9.95, -1.5}),
                   std::move(mesh), "fog.tga", ImageSource::Fog, {1, 2});
}

int AddOcean(Scene& scene, const RgbColor& colour, int oceanindex)
{
    auto mesh = std::make_shared<Mesh>();
    mesh->name = "ocean";
    mesh->vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, -1, 0}, {1, 1, 0}};
    mesh->texcoords = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 1}, {1, 0}, {0, 1}, {0, 0}};
    // Seen from above only; the second face is the first listed the other way.
    mesh->faces.push_back(Face{{{2, 2}, {0, 0}, {1, 1}, {3, 3}}, 0, true, {}});
    mesh->faces.push_back(Face{{{0, 4}, {2, 6}, {3, 7}, {1, 5}}, 0, true, {}});

    Material material;
    material.colour = FractionColour{static_cast<float>(colour.r) / 255.0f, static_cast<float>(colour.g) / 255.0f,
                                     static_cast<float>(colour.b) / 255.0f};
    material.surface = Surface{0.4, 0.0, 1.0, 1.0, 1.33};
    // The calm, rippled and wavy oceans carry a ripple bump; the flat one none.
    struct Ripples {
        double repeats, amplitude;
    };
    const Ripples ripples[3] = {{100, 0.01}, {100, 0.05}, {25, 0.1}};
    if (oceanindex >= 2 && oceanindex <= 4) {
        const Ripples& r = ripples[oceanindex - 2];
        material.bump = ImageMap{scene.UseImage("ripple.jpg", ImageSource::Stock), {0, 0}, {r.repeats, r.repeats},
                                 r.amplitude};
    }

    Node node;
    node.name = "ocean";
    node.kind = NodeKind::Object;
    node.frame = UnitAxesFrame({0, 0, 0.2}, {100, 0, 0, 0}, {0, 100, 0, 0}, {0, 0, 1, 0.1});
    node.mesh = std::move(mesh);
    node.materials = {scene.AddMaterial(material)};
    return scene.AddNode(std::move(node), scene.Root());
}

int AddLights(Scene& scene)
{
    Node group;
    group.name = "lights";
    group.kind = NodeKind::Group;
    group.frame = GivenFrame({0, 0, 0}, {-7.35057e-14, -3.04471e-14, 1}, {-0.7071068, 0.7071068, -3.04471e-14},
                             {-0.7071068, -0.7071068, -7.35057e-14}, {5.62767e-7, 1, -7.35057e-14, 0},
                             {-1, 2.18729e-7, -3.04471e-14, 0}, {-3.0447e-14, 7.35057e-14, 1, 0});
    const int index = scene.AddNode(std::move(group), scene.Root());
    for (const GivenLight& light : kInfiniteLights) AddLight(scene, light, index);
    return index;
}

int AddSun(Scene& scene) { return AddLight(scene, kSun, scene.Root()); }

int AddCamera(Scene& scene)
{
    Node node;
    node.name = "YOU";
    node.kind = NodeKind::Camera;
    node.frame = GivenFrame({0, 6, 0.5}, {1, -5.36538e-17, 4.4042e-10}, {-4.4042e-10, -1.03953e-13, 1},
                            {-5.36537e-17, -1, -1.03953e-13}, {0.2000005, -2.91411e-9, -2.31693e-8, -3.72529e-9},
                            {7.58593e-8, 4.74466e-9, -0.1000003, 6}, {-7.25715e-9, 0.2000006, -1.01339e-10, 0.4999998});
    return scene.AddNode(std::move(node), scene.Root());
}

int AddPlainGroup(Scene& scene, const char* name, int parent)
{
    Node node;
    node.name = name;
    node.kind = NodeKind::Group;
    node.frame = UnitAxesFrame({0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0});
    return scene.AddNode(std::move(node), parent);
}

}  // namespace kv
