#include "core/model/RockModels.h"

#include <string_view>

#include "core/platform/Paths.h"

namespace kv {

namespace {

struct RockModel {
    std::string_view name;
    std::string_view mesh;
    LocalMatrix local;
    SizeRule size;
};

constexpr LocalMatrix kBoulderLocal{{{0.583404f, -0.694829f, -0.420541f, 0},
                                     {0.741656f, 0.244713f, 0.624547f, 0.0442457f},
                                     {-0.331041f, -0.676258f, 0.658093f, 0.874248f}}};

const RockModel& ModelOf(ObjectKind kind)
{
    static const RockModel kBoulder{"boulder", "boulder", kBoulderLocal, {320.0f, 2.0f, 0.2f, 3}};
    static const RockModel kFlatrock{
        "flatrock", "flatrock",
        {{{0.495982f, 0, 0, 0.190983f}, {0, 0.475247f, 0, 0}, {0, 0, 0.902029f, 0.0942619f}}},
        {320.0f, 2.0f, 0.2f, 3}};
    // The rock wears the boulder's mesh at half its size.
    static const RockModel kRock{"rock", "boulder", kBoulderLocal, {640.0f, 2.0f, 0.2f, 3}};
    static const RockModel kPebbles{"pebbles", "pebbles",
                                   {{{0.109865f, -0.0756392f, 0.0160006f, -0.0755284f},
                                     {0.0780411f, 0.132892f, 0.0109832f, 0.150514f},
                                     {-0.0115548f, 0.00445365f, 0.0958756f, 0.033203f}}},
                                   {160.0f, 0.0f, 0.0f, 3, true}};
    switch (kind) {
        case ObjectKind::Boulder: return kBoulder;
        case ObjectKind::Flatrock: return kFlatrock;
        case ObjectKind::Rock: return kRock;
        default: return kPebbles;  // ObjectKind::Pebbles; callers pass rock kinds only
    }
}

// Smooth base materials (smooth rock, smooth strata) get a gentler bump.
std::string_view BumpMapping(int baseindex)
{
    if (baseindex == 1 || baseindex == 3) return "offset 0,0  repeats 1,1  amp 0.01  flags 2";
    return "offset 0,0  repeats 1,1  amp 0.05  flags 2";
}

void WriteRockOf(CreationContext& ctx, ObjectKind kind, int x, int y)
{
    ctx.kindsUsed.Set(kind);
    const PlacementFrame frame = ComputePlacementFrame(ctx.session.random(), ctx.heights, x, y,
                                                       ctx.settings.rockssize, ModelOf(kind).size);
    WriteRockChunks(ctx, kind, frame);
}

}  // namespace

SizeRule RockSizeRule(ObjectKind kind) { return ModelOf(kind).size; }

void WriteRockChunks(CreationContext& ctx, ObjectKind kind, const PlacementFrame& frame)
{
    const RockModel& model = ModelOf(kind);
    SceneWriter& w = ctx.writer;
    const std::int32_t id = w.NextId();
    WritePlacedHeader(w, "PolH", "V0.04", id, ctx.rocksId, model.name, frame, model.local);
    WriteMeshTable(w, model.mesh);
    w.Unit(id);

    Material m;
    m.number = 0;
    m.shader = "shader: phong  facet: smooth";
    m.rgb = std::string(kModelRgb);
    m.surface = kModelSurface;
    m.texturePath = JoinPath(ctx.sceneDirectory, "rocktex.jpg");
    m.textureMapping = "offset 0,0  repeats 1,1  flags 2";
    m.bumpPath = JoinPath(ctx.sceneDirectory, "rockbump.jpg");
    m.bumpMapping = std::string(BumpMapping(ctx.settings.baseindex));
    m.blankAfterFileName = true;
    w.Mat1(w.NextId(), id, m);
}

void WriteBoulder(CreationContext& ctx, int x, int y) { WriteRockOf(ctx, ObjectKind::Boulder, x, y); }
void WriteFlatrock(CreationContext& ctx, int x, int y) { WriteRockOf(ctx, ObjectKind::Flatrock, x, y); }
void WriteRock(CreationContext& ctx, int x, int y) { WriteRockOf(ctx, ObjectKind::Rock, x, y); }
void WritePebbles(CreationContext& ctx, int x, int y) { WriteRockOf(ctx, ObjectKind::Pebbles, x, y); }

}  // namespace kv
