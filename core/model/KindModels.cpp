#include "core/model/KindModels.h"

#include "core/model/KindMeshes.h"

namespace kv {

namespace {

constexpr PartLook kBark{Faceting::Smooth, "bark.jpg", {1, 3}};
constexpr PartLook kPalmTrunk{Faceting::Smooth, "palmtree.jpg", {3, 24}, "palmbark.jpg", {3, 24}, 0.5};
constexpr PartLook kPalmLeaf{Faceting::Smooth, "palmleaf.tga"};
constexpr PartLook kCactus{Faceting::Smooth, "cactus.jpg", {1, 1}, "cactbump.jpg", {1, 1}, 0.5};
constexpr PartLook kFern{Faceting::Angle32, "fern.tga"};
constexpr PartLook kRockLook{Faceting::Smooth, "rocktex.jpg", {1, 1}, "rockbump.jpg", {1, 1}, 0.05};

constexpr LocalMatrix kConiferGroup{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4704483f}}};
constexpr LocalMatrix kConiferTrunk{{{0.05f, 0, 0, 0}, {0, 0.05f, 0, 0}, {0, 0, 2, 1.52955f}}};
constexpr LocalMatrix kConiferBranches{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -0.4f}}};

constexpr KindPart kEvergreenParts[] = {
    {"trunk", "evergreen_trunk", kConiferTrunk, kBark},
    {"branches", "evergreen_branches", kConiferBranches, {Faceting::Smooth, "ever.tga"}},
};
constexpr KindPart kFirParts[] = {
    {"trunk", "evergreen_trunk", kConiferTrunk, kBark},
    {"branches", "evergreen_branches", kConiferBranches, {Faceting::Smooth, "fir.tga"}},
};

constexpr KindPart kDeadtree1Parts[] = {
    {"deadtree1", "deadtree1",
     {{{0.0552786f, 0, 0, 0.00966936f}, {0, 0.0525731f, 0, 0.000776291f}, {0, 0, 1, 0.817016f}}},
     kBark},
};

constexpr LocalMatrix kDeadtree2Local{{{1, 0, 0, -0.0105968f}, {0, 1, 0, -0.0251102f}, {0, 0, 1, -0.324968f}}};
constexpr KindPart kDeadtree2Parts[] = {
    {"deadtree2", "deadtree2", kDeadtree2Local, {Faceting::Smooth, "bark.jpg"}},
};
constexpr KindPart kBirchParts[] = {
    {"birch", "deadtree2", kDeadtree2Local, {Faceting::Smooth, "birch.jpg"}},
};

constexpr KindPart kPalmParts[] = {
    {"Trunk", "palm_trunk", {{{0.25f, 0, 0, -0.059657f}, {0, 0.25f, 0, -0.0187735f}, {0, 0, 2, 2}}}, kPalmTrunk},
    {"Leaf1", "palm_leaf",
     {{{0.997359f, -0.000851549f, -0.0848496f, 0.212479f},
       {0.00473772f, 0.925521f, 0.0660381f, -0.775562f},
       {0.0697979f, -0.0506568f, 1.207972f, 3.35645f}}},
     kPalmLeaf},
    {"Leaf2", "palm_leaf",
     {{{-0.446955f, -0.637681f, 0.0317475f, 0.77089f},
       {0.717749f, -0.393842f, -0.152084f, 0.275764f},
       {0.0852465f, -0.0274032f, 1.44698f, 3.39229f}}},
     kPalmLeaf},
    {"Leaf3", "palm_leaf",
     {{{-0.378181f, 0.941179f, 0.0242859f, -0.54911f},
       {-0.641355f, -0.549139f, 0.110808f, 0.46595f},
       {0.0889267f, 0.0420983f, 0.902456f, 3.20837f}}},
     kPalmLeaf},
};

constexpr KindPart kCactusParts[] = {
    {"Trunk", "cactus_trunk",
     {{{0.900509f, 1.12878e-32f, 1.29984e-23f, 0},
       {0, 0.900509f, 2.84892e-09f, 0.0129713f},
       {-2.68549e-24f, 2.33902e-08f, 2.23856f, -0.46696f}}},
     kCactus},
    {"ARM", "cactus_arm",
     {{{0.749893f, 0.0012462f, 0.0275297f, 0.0447382f},
       {4.27013e-26f, 0.699703f, -0.0355947f, -1.53274f},
       {-0.0278512f, 0.0335538f, 0.741239f, 6.32819f}}},
     kCactus},
    {"arm", "cactus_arm",
     {{{-0.281319f, -0.648661f, 0.0221806f, 1.36935f},
       {0.695489f, -0.26143f, 0.0206698f, 0.608682f},
       {-0.0164646f, 0.0400522f, 0.49414f, 7.195f}}},
     kCactus},
    {"arm", "cactus_arm",
     {{{-0.682822f, 0.247147f, -0.0441683f, -0.642432f},
       {-0.310433f, -0.546115f, 0.0348332f, 1.19872f},
       {-0.0223768f, 0.0346299f, 0.864543f, 5.67714f}}},
     kCactus},
};

constexpr KindPart kFernParts[] = {
    {"leaf1", "fern_leaf",
     {{{-0.410475f, 1.93278f, 0.863662f, -1.6018f},
       {-0.799314f, -1.09789f, -0.350869f, 0.965886f},
       {0.0510441f, -1.64955f, 1.45083f, 2.2441f}}},
     kFern},
    {"leaf2", "fern_leaf",
     {{{-0.976884f, 0.319673f, 0.17215f, -0.253184f},
       {-0.213684f, -1.49776f, -0.76078f, 1.20459f},
       {0.00603482f, -1.28629f, 0.928638f, 1.66866f}}},
     kFern},
    {"leaf3", "fern_leaf",
     {{{-0.510316f, -1.38839f, -0.628643f, 1.14733f},
       {0.677351f, -1.12609f, -0.402845f, 0.973478f},
       {-0.0572232f, -0.947945f, 0.837756f, 1.29122f}}},
     kFern},
    {"leaf4", "fern_leaf",
     {{{0.997551f, 0.0923982f, -0.0766465f, -0.12385f},
       {0.00194144f, 1.56919f, 0.752776f, -1.2798f},
       {0.0699059f, -1.36209f, 1.07283f, 1.80286f}}},
     kFern},
    {"leaf5", "fern_leaf",
     {{{0.713893f, -1.02488f, -0.531737f, 0.819806f},
       {1.02167f, 0.853401f, 0.252927f, -0.758735f},
       {0.0951014f, -1.47461f, 1.27438f, 1.99706f}}},
     kFern},
    {"leaf6", "fern_leaf",
     {{{0.545072f, 1.1475f, 0.611718f, -0.911332f},
       {-0.893219f, 0.835054f, 0.261854f, -0.736664f},
       {-0.0869176f, -1.38538f, 1.14519f, 1.85534f}}},
     kFern},
};

constexpr LocalMatrix kBoulderLocal{{{0.583404f, -0.694829f, -0.420541f, 0},
                                     {0.741656f, 0.244713f, 0.624547f, 0.0442457f},
                                     {-0.331041f, -0.676258f, 0.658093f, 0.874248f}}};
constexpr KindPart kBoulderParts[] = {{"boulder", "boulder", kBoulderLocal, kRockLook}};
constexpr KindPart kFlatrockParts[] = {
    {"flatrock", "flatrock", {{{0.495982f, 0, 0, 0.190983f}, {0, 0.475247f, 0, 0}, {0, 0, 0.902029f, 0.0942619f}}},
     kRockLook}};
// The rock wears the boulder's mesh at half its size.
constexpr KindPart kRockParts[] = {{"rock", "boulder", kBoulderLocal, kRockLook}};
constexpr KindPart kPebblesParts[] = {{"pebbles", "pebbles",
                                       {{{0.109865f, -0.0756392f, 0.0160006f, -0.0755284f},
                                         {0.0780411f, 0.132892f, 0.0109832f, 0.150514f},
                                         {-0.0115548f, 0.00445365f, 0.0958756f, 0.033203f}}},
                                       kRockLook}};

constexpr SizeRule kConiferSize{160.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kDeadtree1Size{80.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kDeadtree2Size{320.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kCactusSize{640.0f, 1.0f, 0.4f, 1};
constexpr SizeRule kPalmSize{160.0f, 0.4f, 0.8f, 3};
constexpr SizeRule kFernSize{320.0f, 0.4f, 0.8f, 3};
constexpr SizeRule kLargeRockSize{320.0f, 2.0f, 0.2f, 3};
constexpr SizeRule kSmallRockSize{640.0f, 2.0f, 0.2f, 3};
constexpr SizeRule kPebblesSize{160.0f, 0.0f, 0.0f, 3, true};

constexpr LocalMatrix kPalmGroup{{{1, 0, 0, 0.231195f}, {0, 1, 0, -0.0187735f}, {0, 0, 1, 3.00831f}}};

const KindModel kModels[kObjectKindCount] = {
    {"palmtree", kPalmGroup, kPalmParts, kPalmSize, false},
    {nullptr, kIdentityLocal, kBirchParts, kDeadtree2Size, false},
    {nullptr, kIdentityLocal, kDeadtree1Parts, kDeadtree1Size, false},
    {nullptr, kIdentityLocal, kDeadtree2Parts, kDeadtree2Size, false},
    {"fern", kIdentityLocal, kFernParts, kFernSize, false},
    {"cactus", kIdentityLocal, kCactusParts, kCactusSize, false},
    {"evergreen", kConiferGroup, kEvergreenParts, kConiferSize, false},
    {"fir", kConiferGroup, kFirParts, kConiferSize, false},
    {nullptr, kIdentityLocal, kBoulderParts, kLargeRockSize, true},
    {nullptr, kIdentityLocal, kFlatrockParts, kLargeRockSize, true},
    {nullptr, kIdentityLocal, kRockParts, kSmallRockSize, true},
    {nullptr, kIdentityLocal, kPebblesParts, kPebblesSize, true},
};

// The colour every tree and rock material carries: a pale brown.
constexpr FractionColour kModelColour{186.0f / 255.0f, 170.0f / 255.0f, 124.0f / 255.0f};

}  // namespace

const KindModel& ModelOfKind(ObjectKind kind) { return kModels[static_cast<int>(kind)]; }

PlacedObjectBuilder::PlacedObjectBuilder(Scene& scene, int baseindex) : scene_(scene), baseindex_(baseindex) {}

int PlacedObjectBuilder::MaterialOf(ObjectKind kind, std::size_t part)
{
    const auto key = std::make_pair(static_cast<int>(kind), part);
    if (const auto found = materials_.find(key); found != materials_.end()) return found->second;
    const KindModel& model = ModelOfKind(kind);
    const PartLook& look = model.parts[part].look;
    Material m;
    m.faceting = look.faceting;
    m.colour = kModelColour;
    const ImageSource source = model.rock ? ImageSource::TerrainSynthesis : ImageSource::Stock;
    m.texture = ImageMap{scene_.UseImage(look.texture, source), {0, 0}, look.textureRepeats, 0.0};
    if (look.bump) {
        double amplitude = look.bumpAmplitude;
        // Smooth base materials (smooth rock, smooth strata) give the rocks a gentler bump.
        if (model.rock && (baseindex_ == 1 || baseindex_ == 3)) amplitude = 0.01;
        m.bump = ImageMap{scene_.UseImage(look.bump, source), {0, 0}, look.bumpRepeats, amplitude};
    }
    const int index = scene_.AddMaterial(m);
    materials_.emplace(key, index);
    return index;
}

int PlacedObjectBuilder::Add(ObjectKind kind, const PlacementFrame& frame, int parent)
{
    const KindModel& model = ModelOfKind(kind);
    int partParent = parent;
    int top = -1;
    if (model.groupName) {
        Node group;
        group.name = model.groupName;
        group.kind = NodeKind::Group;
        group.placed = true;
        group.frame = PlacedNodeFrame(frame, model.groupLocal);
        top = partParent = scene_.AddNode(std::move(group), parent);
    }
    for (std::size_t i = 0; i < model.parts.size(); ++i) {
        const KindPart& part = model.parts[i];
        Node node;
        node.name = part.name;
        node.kind = NodeKind::Object;
        node.placed = true;
        node.frame = PlacedNodeFrame(frame, part.local);
        node.mesh = KindMesh(part.mesh);
        node.materials = {MaterialOf(kind, i)};
        const int index = scene_.AddNode(std::move(node), partParent);
        if (top < 0) top = index;
    }
    return top;
}

}  // namespace kv
