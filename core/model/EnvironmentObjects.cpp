// The fixed outdoor objects of every scene: the sky and fog domes, the ocean,
// the lights, the sun, the camera and the earth, rocks and trees groups.
// Everything here is fixed text apart from the ocean's colour and ripple; the
// dome vertices come from the stored tables of SphereTable.
#include "core/model/EnvironmentObjects.h"

#include <initializer_list>
#include <string>

#include "core/model/SphereTable.h"
#include "core/platform/Paths.h"
#include "core/writers/scn/NumberFormat.h"

namespace kv {

namespace {

constexpr std::string_view kUnitCenter = "0 0 0";
constexpr std::string_view kUnitX = "1 0 0";
constexpr std::string_view kUnitY = "0 1 0";
constexpr std::string_view kUnitZ = "0 0 1";

// ----------------------------------------------------------------- the domes

// Which texture vertex a face corner uses. `segment` is the segment of the
// face (m); a corner is either a pole or the vertex of (band, cornerSegment).
struct DomeCorner {
    int world;
    int texture;
};

using CornerMapping = DomeCorner (*)(int faceSegment, int band, int cornerSegment);
using PoleMapping = DomeCorner (*)(int faceSegment, bool top);

// atmos: texture vertex i belongs to world vertex i.
DomeCorner AtmosCorner(int, int band, int cornerSegment)
{
    const int v = DomeVertex(band, cornerSegment);
    return {v, v};
}
DomeCorner AtmosPole(int, bool top) { return top ? DomeCorner{0, 0} : DomeCorner{1, 1}; }

// fog: faces of segment 15 close the wrap-around at the seam column, whose u
// is one step below 0; their segment-0 corners stay at u = 0, so every face
// spans one sixteenth in u. Each pole triangle has a pole point of its own.
DomeCorner FogCorner(int faceSegment, int band, int cornerSegment)
{
    const int v = DomeVertex(band, cornerSegment);
    if (faceSegment == 15 && cornerSegment == 15) return {v, FogSeamPoint(band)};
    return {v, v};
}
DomeCorner FogPole(int faceSegment, bool top)
{
    return top ? DomeCorner{0, FogTopPolePoint(faceSegment)} : DomeCorner{1, FogBottomPolePoint(faceSegment)};
}

void Face(SceneWriter& w, std::initializer_list<DomeCorner> corners)
{
    w.FaceLine(static_cast<int>(corners.size()), 0, 0);
    for (const DomeCorner& c : corners) {
        w.Pair(c.world, c.texture);
        w.Put(' ');
    }
    w.EndLine();
}

// The 256 faces: 16 triangles round the top pole, 224 quads band by band,
// 16 triangles round the bottom pole.
void DomeFaces(SceneWriter& w, CornerMapping corner, PoleMapping pole)
{
    w.Line("Faces 256");
    for (int m = 0; m < kDomeSegments; ++m) {
        const int next = (m + 1) % kDomeSegments;
        Face(w, {pole(m, true), corner(m, 1, next), corner(m, 1, m)});
    }
    for (int k = 1; k <= 14; ++k) {
        for (int m = 0; m < kDomeSegments; ++m) {
            const int next = (m + 1) % kDomeSegments;
            Face(w, {corner(m, k, m), corner(m, k, next), corner(m, k + 1, next), corner(m, k + 1, m)});
        }
    }
    for (int m = 0; m < kDomeSegments; ++m) {
        const int next = (m + 1) % kDomeSegments;
        Face(w, {corner(m, 15, m), corner(m, 15, next), pole(m, false)});
    }
}

template <std::size_t N>
void TableLines(SceneWriter& w, const char* heading, const std::array<std::string_view, N>& table)
{
    w.Put(heading);
    w.Int(static_cast<std::int64_t>(N));
    w.EndLine();
    for (std::string_view line : table) w.Line(line);
}

Material DomeMaterial(const std::string& texturePath, std::string_view mapping)
{
    Material m;
    m.number = 0;
    m.shader = "shader: flat  facet: smooth";
    m.rgb = "rgb 0,0,0";
    m.surface = "alpha 1  ka 0  ks 0  exp 0  ior 1";
    m.texturePath = texturePath;
    m.textureMapping = std::string(mapping);
    return m;
}

// ----------------------------------------------------------------- the lights

struct FixedLight {
    std::string_view name;
    std::string_view center, x, y, z;
    std::string_view row1, row2, row3;
    std::string_view type;
    std::string_view color;
};

constexpr FixedLight kInfiniteLights[4] = {
    {"InfLight,3", "0 0 0", "-7.35057e-014 -3.04471e-014 1", "-0.7071068 0.7071068 -3.04471e-014",
     "-0.7071068 -0.7071068 -7.35057e-014", "-7.35057e-014 -0.7071072 -0.7071073 0",
     "-3.04471e-014 0.7071066 -0.7071076 0", "1 -3.04471e-014 -7.35058e-014 0", "Infinite NoShadows",
     "color 0.3001569,0.3001569,0.3001569 cone angle 90.0001 inner angle 0 falloff 0"},
    {"InfLight,1", "0 0 0", "-0.4082481 0.4082484 0.8164967", "0.7071068 0.7071068 -2.34985e-007",
     "-0.5773503 0.5773503 -0.5773503", "-0.4082488 0.7071073 -0.5773513 0", "0.4082484 0.7071076 0.5773506 0",
     "0.8164967 7.35058e-014 -0.5773503 0", "Infinite NoShadows",
     "color 0.344,0.344,0.344 cone angle 90.0001 inner angle 0 falloff 0"},
    {"InfLight,2", "0 0 0", "-0.7071064 -4.665e-007 0.7071072", "2.87747e-007 -1 -3.71984e-007",
     "0.7071072 -5.95646e-008 0.7071064", "-0.7071078 5.62767e-007 0.7071078 0", "-1.1273e-007 -1 1.1273e-007 0",
     "0.7071068 -3.0447e-014 0.7071068 0", "Infinite NoShadows",
     "color 0.258,0.258,0.258 cone angle 90.0001 inner angle 0 falloff 0"},
    {"InfLight", "0 0 0", "-1.03953e-013 0 -1", "0 1 0", "1 0 -1.03953e-013", "-1.03953e-013 3.91856e-007 1 0",
     "-1.42302e-019 1 -1.90281e-007 0", "-1 -8.13921e-020 -1.03953e-013 0", "Infinite NoShadows",
     "color 0.3001569,0.3001569,0.3001569 cone angle 90.0001 inner angle 0 falloff 0"},
};

constexpr FixedLight kSun = {"sun",
                             "-13.2769 16.824 9.3313",
                             "1 0 0",
                             "0 -1 8.74228e-008",
                             "0 -8.74228e-008 -1",
                             "1 0 0 -13.2769",
                             "0 -1 -8.74228e-008 16.824",
                             "0 8.74228e-008 -1 9.3313",
                             "Local Shadows Raytraced",
                             "color 1.48,1.48,1.48 cone angle 90 inner angle 0 falloff 0"};

void WriteLight(SceneWriter& w, const FixedLight& light, std::int32_t id, std::int32_t parent)
{
    w.ChunkHeader("Lght", "V0.03", id, parent);
    w.NameLine(light.name);
    w.Axes(light.center, light.x, light.y, light.z);
    w.Transform(light.row1, light.row2, light.row3);
    w.Line(light.type);
    w.Line(light.color);
    w.Unit(id);
}

// A group with the unit frame (earth, rocks, trees); returns its id.
std::int32_t WritePlainGroup(SceneWriter& w, std::string_view name, std::int32_t parent)
{
    const std::int32_t id = w.NextId();
    w.ChunkHeader("Grou", "V0.01", id, parent);
    w.NameLine(name);
    w.Axes(kUnitCenter, kUnitX, kUnitY, kUnitZ);
    w.Transform("1 0 0 0", "0 1 0 0", "0 0 1 0");
    w.Unit(id);
    return id;
}

}  // namespace

void WriteAtmosObject(CreationContext& ctx)
{
    SceneWriter& w = ctx.writer;
    // The material's id is taken with the object's, before the Unit chunk's.
    const std::int32_t id = w.NextId();
    const std::int32_t materialId = w.NextId();
    w.ChunkHeader("PolH", "V0.02", id, ctx.sceneId);
    w.NameLine("atmos");
    w.Axes(kUnitCenter, kUnitX, kUnitY, kUnitZ);
    // A unit sphere stretched to radius 100 and height 10.
    w.Transform("100 0 0 0", "0 100 0 0", "0 0 10 0");
    TableLines(w, "World Vertices ", kDomeWorldVertices);
    TableLines(w, "Texture Vertices ", kAtmosTextureVertices);
    DomeFaces(w, AtmosCorner, AtmosPole);
    w.Unit(id);
    w.Mat1(materialId, id, DomeMaterial(JoinPath(ctx.sceneDirectory, "atmos.jpg"), "offset 0,0  repeats 2,2  flags 2"));
}

void WriteFogObject(CreationContext& ctx)
{
    SceneWriter& w = ctx.writer;
    const std::int32_t id = w.NextId();
    const std::int32_t materialId = w.NextId();
    w.ChunkHeader("PolH", "V0.02", id, ctx.sceneId);
    w.NameLine("fog");
    w.Axes("0 0 -1.5", kUnitX, kUnitY, kUnitZ);
    w.Transform("99.95 0 0 0", "0 99.95 0 0", "0 0 9.95 -1.5");
    TableLines(w, "World Vertices ", kDomeWorldVertices);
    TableLines(w, "Texture Vertices ", kFogTextureVertices);
    DomeFaces(w, FogCorner, FogPole);
    w.Unit(id);
    w.Mat1(materialId, id, DomeMaterial(JoinPath(ctx.sceneDirectory, "fog.tga"), "offset 0,0  repeats 1,2  flags 2"));
}

void WriteOceanObject(CreationContext& ctx)
{
    SceneWriter& w = ctx.writer;
    const std::int32_t id = w.NextId();
    w.ChunkHeader("PolH", "V0.02", id, ctx.sceneId);
    w.NameLine("ocean");
    w.Axes("0 0 0.2", kUnitX, kUnitY, kUnitZ);
    w.Transform("100 0 0 0", "0 100 0 0", "0 0 1 0.1");
    w.Lines("World Vertices 4\n"
            "-1.000000 -1.000000 0.000000\n"
            "-1.000000 1.000000 0.000000\n"
            "1.000000 -1.000000 0.000000\n"
            "1.000000 1.000000 0.000000\n"
            "Texture Vertices 8\n"
            "0.000000 0.000000\n"
            "0.000000 1.000000\n"
            "1.000000 0.000000\n"
            "1.000000 1.000000\n"
            "1.000000 1.000000\n"
            "1.000000 0.000000\n"
            "0.000000 1.000000\n"
            "0.000000 0.000000\n"
            "Faces 2\n"
            "Face verts 4 flags 16 mat 0\n"
            "<2,2> <0,0> <1,1> <3,3> \n"
            "Face verts 4 flags 16 mat 0\n"
            "<0,4> <2,6> <3,7> <1,5> \n");
    w.Unit(id);

    const RgbColor& c = ctx.settings.ocean;
    Material m;
    m.number = 0;
    m.shader = "shader: phong  facet: smooth";
    m.rgb = "rgb " + Fixed6(static_cast<float>(c.r) / 255.0f) + "," + Fixed6(static_cast<float>(c.g) / 255.0f) + "," +
            Fixed6(static_cast<float>(c.b) / 255.0f);
    m.surface = "alpha 0.4  ka 0  ks 1  exp 1  ior 1.33";
    // A bump map without a texture; the flat ocean (1) has none. The job
    // never calls this writer for 0, and settings never hold more than 4.
    const char* bumpMapping = nullptr;
    switch (ctx.settings.oceanindex) {
    case 2: bumpMapping = "offset 0,0  repeats 100,100  amp 0.01  flags 2"; break;
    case 3: bumpMapping = "offset 0,0  repeats 100,100  amp 0.05  flags 2"; break;
    case 4: bumpMapping = "offset 0,0  repeats 25,25  amp 0.1  flags 2"; break;
    default: break;
    }
    if (bumpMapping) {
        m.bumpPath = JoinPath(ctx.sceneDirectory, "ripple.jpg");
        m.bumpMapping = bumpMapping;
    }
    w.Mat1(w.NextId(), id, m);
}

void WriteLightsGroup(CreationContext& ctx)
{
    SceneWriter& w = ctx.writer;
    // The group's id and its four lights' ids are taken before any is written.
    const std::int32_t groupId = w.NextId();
    std::int32_t lightIds[4];
    for (std::int32_t& lightId : lightIds) lightId = w.NextId();

    w.ChunkHeader("Grou", "V0.01", groupId, ctx.sceneId);
    w.NameLine("lights");
    w.Axes(kUnitCenter, "-7.35057e-014 -3.04471e-014 1", "-0.7071068 0.7071068 -3.04471e-014",
           "-0.7071068 -0.7071068 -7.35057e-014");
    w.Transform("5.62767e-007 1 -7.35057e-014 0", "-1 2.18729e-007 -3.04471e-014 0", "-3.0447e-014 7.35057e-014 1 0");
    w.Unit(groupId);
    for (int i = 0; i < 4; ++i) WriteLight(w, kInfiniteLights[i], lightIds[i], groupId);
}

void WriteSunLight(CreationContext& ctx)
{
    SceneWriter& w = ctx.writer;
    WriteLight(w, kSun, w.NextId(), ctx.sceneId);
}

void WriteCamera(CreationContext& ctx)
{
    SceneWriter& w = ctx.writer;
    const std::int32_t id = w.NextId();
    w.ChunkHeader("Came", "V0.01", id, ctx.sceneId);
    w.NameLine("YOU");
    w.Axes("0 6 0.5", "1 -5.36538e-017 4.4042e-010", "-4.4042e-010 -1.03953e-013 1", "-5.36537e-017 -1 -1.03953e-013");
    w.Transform("0.2000005 -2.91411e-009 -2.31693e-008 -3.72529e-009", "7.58593e-008 4.74466e-009 -0.1000003 6",
                "-7.25715e-009 0.2000006 -1.01339e-010 0.4999998");
    w.Unit(id);
}

void WriteEarthGroup(CreationContext& ctx) { ctx.earthId = WritePlainGroup(ctx.writer, "earth", ctx.sceneId); }
void WriteRocksGroup(CreationContext& ctx) { ctx.rocksId = WritePlainGroup(ctx.writer, "rocks", ctx.earthId); }
void WriteTreesGroup(CreationContext& ctx) { ctx.treesId = WritePlainGroup(ctx.writer, "trees", ctx.earthId); }

}  // namespace kv
