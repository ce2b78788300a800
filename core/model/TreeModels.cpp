#include "core/model/TreeModels.h"

#include <span>
#include <string_view>

#include "core/platform/Paths.h"

namespace kv {

namespace {

constexpr std::string_view kSmooth = "shader: phong  facet: smooth";
constexpr std::string_view kAuto32 = "shader: phong  facet: auto32";
constexpr std::string_view kRepeats11 = "offset 0,0  repeats 1,1  flags 2";
constexpr std::string_view kRepeats13 = "offset 0,0  repeats 1,3  flags 2";

// One part's material: shader, texture and optional bump map (file names in
// the scene directory).
struct PartMaterial {
    std::string_view shader;
    std::string_view texture;
    std::string_view textureMapping;
    std::string_view bump = {};
    std::string_view bumpMapping = {};
};

// One PolH chunk of a tree.
struct PartModel {
    std::string_view name;
    std::string_view mesh;
    LocalMatrix local;
    PartMaterial material;
};

// A tree kind: a single PolH (no group name) or a group of parts.
struct TreeModel {
    std::string_view groupName;
    LocalMatrix groupLocal;
    std::span<const PartModel> parts;
    SizeRule size;
};

constexpr PartMaterial kBarkMaterial{kSmooth, "bark.jpg", kRepeats13};
constexpr PartMaterial kPalmTrunkMaterial{kSmooth, "palmtree.jpg", "offset 0,0  repeats 3,24  flags 2",
                                          "palmbark.jpg", "offset 0,0  repeats 3,24  amp 0.5  flags 2"};
constexpr PartMaterial kPalmLeafMaterial{kSmooth, "palmleaf.tga", kRepeats11};
constexpr PartMaterial kCactusMaterial{kSmooth, "cactus.jpg", kRepeats11, "cactbump.jpg",
                                       "offset 0,0  repeats 1,1  amp 0.5  flags 2"};
constexpr PartMaterial kFernMaterial{kAuto32, "fern.tga", kRepeats11};

constexpr LocalMatrix kConiferGroup{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4704483f}}};
constexpr LocalMatrix kConiferTrunk{{{0.05f, 0, 0, 0}, {0, 0.05f, 0, 0}, {0, 0, 2, 1.52955f}}};
constexpr LocalMatrix kConiferBranches{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4f}}};

constexpr PartModel kEvergreenParts[] = {
    {"trunk", "evergreen_trunk", kConiferTrunk, kBarkMaterial},
    {"branches", "evergreen_branches", kConiferBranches, {kSmooth, "ever.tga", kRepeats11}},
};
constexpr PartModel kFirParts[] = {
    {"trunk", "evergreen_trunk", kConiferTrunk, kBarkMaterial},
    {"branches", "evergreen_branches", kConiferBranches, {kSmooth, "fir.tga", kRepeats11}},
};

constexpr PartModel kDeadtree1Parts[] = {
    {"deadtree1", "deadtree1",
     {{{0.0552786f, 0, 0, 0.00966936f}, {0, 0.0525731f, 0, 0.000776291f}, {0, 0, 1, 0.817016f}}},
     kBarkMaterial},
};

constexpr LocalMatrix kDeadtree2Local{{{1, 0, 0, -0.0105968f}, {0, 1, 0, -0.0251102f}, {0, 0, 1, -0.324968f}}};
constexpr PartModel kDeadtree2Parts[] = {
    {"deadtree2", "deadtree2", kDeadtree2Local, {kSmooth, "bark.jpg", kRepeats11}},
};
constexpr PartModel kBirchParts[] = {
    {"birch", "deadtree2", kDeadtree2Local, {kSmooth, "birch.jpg", kRepeats11}},
};

constexpr PartModel kPalmParts[] = {
    {"Trunk", "palm_trunk", {{{0.25f, 0, 0, -0.059657f}, {0, 0.25f, 0, -0.0187735f}, {0, 0, 2, 2}}},
     kPalmTrunkMaterial},
    {"Leaf1", "palm_leaf",
     {{{0.997359f, -0.000851549f, -0.0848496f, 0.212479f},
       {0.00473772f, 0.925521f, 0.0660381f, -0.775562f},
       {0.0697979f, -0.0506568f, 1.207972f, 3.35645f}}},
     kPalmLeafMaterial},
    {"Leaf2", "palm_leaf",
     {{{-0.446955f, -0.637681f, 0.0317475f, 0.77089f},
       {0.717749f, -0.393842f, -0.152084f, 0.275764f},
       {0.0852465f, -0.0274032f, 1.44698f, 3.39229f}}},
     kPalmLeafMaterial},
    {"Leaf3", "palm_leaf",
     {{{-0.378181f, 0.941179f, 0.0242859f, -0.54911f},
       {-0.641355f, -0.549139f, 0.110808f, 0.46595f},
       {0.0889267f, 0.0420983f, 0.902456f, 3.20837f}}},
     kPalmLeafMaterial},
};

constexpr PartModel kCactusParts[] = {
    {"Trunk", "cactus_trunk",
     {{{0.900509f, 1.12878e-32f, 1.29984e-23f, 0},
       {0, 0.900509f, 2.84892e-09f, 0.0129713f},
       {-2.68549e-24f, 2.33902e-08f, 2.23856f, -0.46696f}}},
     kCactusMaterial},
    {"ARM", "cactus_arm",
     {{{0.749893f, 0.0012462f, 0.0275297f, 0.0447382f},
       {4.27013e-26f, 0.699703f, -0.0355947f, -1.53274f},
       {-0.0278512f, 0.0335538f, 0.741239f, 6.32819f}}},
     kCactusMaterial},
    {"arm", "cactus_arm",
     {{{-0.281319f, -0.648661f, 0.0221806f, 1.36935f},
       {0.695489f, -0.26143f, 0.0206698f, 0.608682f},
       {-0.0164646f, 0.0400522f, 0.49414f, 7.195f}}},
     kCactusMaterial},
    {"arm", "cactus_arm",
     {{{-0.682822f, 0.247147f, -0.0441683f, -0.642432f},
       {-0.310433f, -0.546115f, 0.0348332f, 1.19872f},
       {-0.0223768f, 0.0346299f, 0.864543f, 5.67714f}}},
     kCactusMaterial},
};

constexpr PartModel kFernParts[] = {
    {"leaf1", "fern_leaf",
     {{{-0.410475f, 1.93278f, 0.863662f, -1.6018f},
       {-0.799314f, -1.09789f, -0.350869f, 0.965886f},
       {0.0510441f, -1.64955f, 1.45083f, 2.2441f}}},
     kFernMaterial},
    {"leaf2", "fern_leaf",
     {{{-0.976884f, 0.319673f, 0.17215f, -0.253184f},
       {-0.213684f, -1.49776f, -0.76078f, 1.20459f},
       {0.00603482f, -1.28629f, 0.928638f, 1.66866f}}},
     kFernMaterial},
    {"leaf3", "fern_leaf",
     {{{-0.510316f, -1.38839f, -0.628643f, 1.14733f},
       {0.677351f, -1.12609f, -0.402845f, 0.973478f},
       {-0.0572232f, -0.947945f, 0.837756f, 1.29122f}}},
     kFernMaterial},
    {"leaf4", "fern_leaf",
     {{{0.997551f, 0.0923982f, -0.0766465f, -0.12385f},
       {0.00194144f, 1.56919f, 0.752776f, -1.2798f},
       {0.0699059f, -1.36209f, 1.07283f, 1.80286f}}},
     kFernMaterial},
    {"leaf5", "fern_leaf",
     {{{0.713893f, -1.02488f, -0.531737f, 0.819806f},
       {1.02167f, 0.853401f, 0.252927f, -0.758735f},
       {0.0951014f, -1.47461f, 1.27438f, 1.99706f}}},
     kFernMaterial},
    {"leaf6", "fern_leaf",
     {{{0.545072f, 1.1475f, 0.611718f, -0.911332f},
       {-0.893219f, 0.835054f, 0.261854f, -0.736664f},
       {-0.0869176f, -1.38538f, 1.14519f, 1.85534f}}},
     kFernMaterial},
};

constexpr SizeRule kConiferSize{160.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kDeadtree1Size{80.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kDeadtree2Size{320.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kCactusSize{640.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kPalmSize{160.0f, 0.4f, 0.8f, 3};
constexpr SizeRule kFernSize{320.0f, 0.4f, 0.8f, 3};

const TreeModel& ModelOf(ObjectKind kind)
{
    static const TreeModel kPalmtree{"palmtree", {{{1, 0, 0, 0.231195f}, {0, 1, 0, -0.0187735f}, {0, 0, 1, 3.00831f}}},
                                    kPalmParts, kPalmSize};
    static const TreeModel kBirch{{}, kIdentityLocal, kBirchParts, kDeadtree2Size};
    static const TreeModel kDeadtree1{{}, kIdentityLocal, kDeadtree1Parts, kDeadtree1Size};
    static const TreeModel kDeadtree2{{}, kIdentityLocal, kDeadtree2Parts, kDeadtree2Size};
    static const TreeModel kFern{"fern", kIdentityLocal, kFernParts, kFernSize};
    static const TreeModel kCactus{"cactus", kIdentityLocal, kCactusParts, kCactusSize};
    static const TreeModel kEvergreen{"evergreen", kConiferGroup, kEvergreenParts, kConiferSize};
    static const TreeModel kFir{"fir", kConiferGroup, kFirParts, kConiferSize};
    switch (kind) {
        case ObjectKind::Palmtree: return kPalmtree;
        case ObjectKind::Birch: return kBirch;
        case ObjectKind::Deadtree1: return kDeadtree1;
        case ObjectKind::Deadtree2: return kDeadtree2;
        case ObjectKind::Fern: return kFern;
        case ObjectKind::Cactus: return kCactus;
        case ObjectKind::Evergreen: return kEvergreen;
        default: return kFir;  // ObjectKind::Fir; callers pass tree kinds only
    }
}

// A PolH part: header, mesh, Unit chunk and its one material.
void WritePart(CreationContext& ctx, const PartModel& part, std::int32_t parent, const PlacementFrame& frame)
{
    SceneWriter& w = ctx.writer;
    const std::int32_t id = w.NextId();
    WritePlacedHeader(w, "PolH", "V0.04", id, parent, part.name, frame, part.local);
    WriteMeshTable(w, part.mesh);
    w.Unit(id);

    Material m;
    m.number = 0;
    m.shader = part.material.shader;
    m.rgb = std::string(kModelRgb);
    m.surface = kModelSurface;
    m.texturePath = JoinPath(ctx.sceneDirectory, std::string(part.material.texture));
    m.textureMapping = std::string(part.material.textureMapping);
    if (!part.material.bump.empty()) {
        m.bumpPath = JoinPath(ctx.sceneDirectory, std::string(part.material.bump));
        m.bumpMapping = std::string(part.material.bumpMapping);
    }
    m.blankAfterFileName = true;
    w.Mat1(w.NextId(), id, m);
}

void WriteTree(CreationContext& ctx, ObjectKind kind, int x, int y)
{
    ctx.kindsUsed.Set(kind);
    const PlacementFrame frame = ComputePlacementFrame(ctx.session.random(), ctx.heights, x, y,
                                                       ctx.settings.treessize, ModelOf(kind).size);
    WriteTreeChunks(ctx, kind, frame);
}

}  // namespace

SizeRule TreeSizeRule(ObjectKind kind) { return ModelOf(kind).size; }

void WriteTreeChunks(CreationContext& ctx, ObjectKind kind, const PlacementFrame& frame)
{
    const TreeModel& model = ModelOf(kind);
    if (model.groupName.empty()) {
        for (const PartModel& part : model.parts) WritePart(ctx, part, ctx.treesId, frame);
        return;
    }
    SceneWriter& w = ctx.writer;
    const std::int32_t groupId = w.NextId();
    WritePlacedHeader(w, "Grou", "V0.01", groupId, ctx.treesId, model.groupName, frame, model.groupLocal);
    w.Unit(groupId);
    for (const PartModel& part : model.parts) WritePart(ctx, part, groupId, frame);
}

void WritePalmtree(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Palmtree, x, y); }
void WriteBirch(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Birch, x, y); }
void WriteDeadtree1(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Deadtree1, x, y); }
void WriteDeadtree2(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Deadtree2, x, y); }
void WriteFern(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Fern, x, y); }
void WriteCactus(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Cactus, x, y); }
void WriteEvergreen(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Evergreen, x, y); }
void WriteFir(CreationContext& ctx, int x, int y) { WriteTree(ctx, ObjectKind::Fir, x, y); }

}  // namespace kv
