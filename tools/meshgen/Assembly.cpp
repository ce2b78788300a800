// The models as the scene assembles them from the tables: each part's
// LocalMatrix, so the tables can be designed and looked at in place.
#include "tools/meshgen/Models.h"

namespace kv::meshgen {

namespace {

constexpr unsigned kBark = 0x8a7560;
constexpr unsigned kGrey = 0xb8b2a8;
constexpr unsigned kNeedles = 0x3f6a3a;
constexpr unsigned kFrond = 0x5f8f3a;
constexpr unsigned kCactus = 0x5f8a4a;
constexpr unsigned kRock = 0x9a9088;

}  // namespace

std::vector<Model> AssembledModels()
{
    const Mat34 evergreenTrunk = Mat34::Rows(0.05, 0, 0, 0, 0, 0.05, 0, 0, 0, 0, 2, 1.52955);
    const Mat34 evergreenBranches = Mat34::Rows(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, -0.4);
    const Mat34 palmTrunk = Mat34::Rows(0.25, 0, 0, -0.059657, 0, 0.25, 0, -0.0187735, 0, 0, 2, 2);
    const Mat34 cactusTrunk =
        Mat34::Rows(0.900509, 1.12878e-32, 1.29984e-23, 0, 0, 0.900509, 2.84892e-09, 0.0129713, -2.68549e-24, 2.33902e-08,
          2.23856, -0.46696);
    std::vector<Model> models;
    models.push_back({"evergreen",
                      {{"evergreen_trunk", evergreenTrunk, kBark}, {"evergreen_branches", evergreenBranches, kNeedles}}});
    models.push_back({"fir",
                      {{"evergreen_trunk", evergreenTrunk, kBark}, {"evergreen_branches", evergreenBranches, 0x355a48}}});
    models.push_back({"deadtree1",
                      {{"deadtree1",
                        Mat34::Rows(0.0552786, 0, 0, 0.00966936, 0, 0.0525731, 0, 0.000776291, 0, 0, 1, 0.817016), kGrey}}});
    models.push_back(
        {"deadtree2", {{"deadtree2", Mat34::Rows(1, 0, 0, -0.0105968, 0, 1, 0, -0.0251102, 0, 0, 1, -0.324968), kGrey}}});
    models.push_back(
        {"birch", {{"deadtree2", Mat34::Rows(1, 0, 0, -0.0105968, 0, 1, 0, -0.0251102, 0, 0, 1, -0.324968), 0xe8e4dc}}});
    models.push_back({"palmtree",
                      {{"palm_trunk", palmTrunk, kBark},
                       {"palm_leaf",
                        Mat34::Rows(0.997359, -0.000851549, -0.0848496, 0.212479, 0.00473772, 0.925521, 0.0660381, -0.775562,
                          0.0697979, -0.0506568, 1.207972, 3.35645),
                        kFrond},
                       {"palm_leaf",
                        Mat34::Rows(-0.446955, -0.637681, 0.0317475, 0.77089, 0.717749, -0.393842, -0.152084, 0.275764,
                          0.0852465, -0.0274032, 1.44698, 3.39229),
                        kFrond},
                       {"palm_leaf",
                        Mat34::Rows(-0.378181, 0.941179, 0.0242859, -0.54911, -0.641355, -0.549139, 0.110808, 0.46595,
                          0.0889267, 0.0420983, 0.902456, 3.20837),
                        kFrond}}});
    models.push_back({"cactus",
                      {{"cactus_trunk", cactusTrunk, kCactus},
                       {"cactus_arm",
                        Mat34::Rows(0.749893, 0.0012462, 0.0275297, 0.0447382, 4.27013e-26, 0.699703, -0.0355947, -1.53274,
                          -0.0278512, 0.0335538, 0.741239, 6.32819),
                        kCactus},
                       {"cactus_arm",
                        Mat34::Rows(-0.281319, -0.648661, 0.0221806, 1.36935, 0.695489, -0.26143, 0.0206698, 0.608682,
                          -0.0164646, 0.0400522, 0.49414, 7.195),
                        kCactus},
                       {"cactus_arm",
                        Mat34::Rows(-0.682822, 0.247147, -0.0441683, -0.642432, -0.310433, -0.546115, 0.0348332, 1.19872,
                          -0.0223768, 0.0346299, 0.864543, 5.67714),
                        kCactus}}});
    const double fern[6][12] = {
        {-0.410475, 1.93278, 0.863662, -1.6018, -0.799314, -1.09789, -0.350869, 0.965886, 0.0510441, -1.64955, 1.45083,
         2.2441},
        {-0.976884, 0.319673, 0.17215, -0.253184, -0.213684, -1.49776, -0.76078, 1.20459, 0.00603482, -1.28629,
         0.928638, 1.66866},
        {-0.510316, -1.38839, -0.628643, 1.14733, 0.677351, -1.12609, -0.402845, 0.973478, -0.0572232, -0.947945,
         0.837756, 1.29122},
        {0.997551, 0.0923982, -0.0766465, -0.12385, 0.00194144, 1.56919, 0.752776, -1.2798, 0.0699059, -1.36209,
         1.07283, 1.80286},
        {0.713893, -1.02488, -0.531737, 0.819806, 1.02167, 0.853401, 0.252927, -0.758735, 0.0951014, -1.47461, 1.27438,
         1.99706},
        {0.545072, 1.1475, 0.611718, -0.911332, -0.893219, 0.835054, 0.261854, -0.736664, -0.0869176, -1.38538,
         1.14519, 1.85534},
    };
    Model fernModel{"fern", {}};
    for (const auto& r : fern)
        fernModel.parts.push_back(
            {"fern_leaf", Mat34::Rows(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10], r[11]), kFrond});
    models.push_back(fernModel);
    const Mat34 boulder = Mat34::Rows(0.583404, -0.694829, -0.420541, 0, 0.741656, 0.244713, 0.624547, 0.0442457, -0.331041,
                            -0.676258, 0.658093, 0.874248);
    models.push_back({"boulder", {{"boulder", boulder, kRock}}});
    models.push_back({"flatrock", {{"flatrock", Mat34::Rows(0.495982, 0, 0, 0.190983, 0, 0.475247, 0, 0, 0, 0, 0.902029, 0.0942619),
                                    kRock}}});
    // A rock is the boulder's mesh at half the boulder's size.
    Mat34 rock = boulder;
    for (auto& row : rock.m)
        for (double& v : row) v *= 0.5;
    models.push_back({"rock", {{"boulder", rock, kRock}}});
    models.push_back({"pebbles",
                      {{"pebbles",
                        Mat34::Rows(0.109865, -0.0756392, 0.0160006, -0.0755284, 0.0780411, 0.132892, 0.0109832, 0.150514,
                          -0.0115548, 0.00445365, 0.0958756, 0.033203),
                        kRock}}});
    return models;
}

std::vector<Mesh> BuildAllMeshes()
{
    std::vector<Mesh> all;
    all.push_back(BuildBoulder());
    all.push_back(BuildCactusArm());
    all.push_back(BuildCactusTrunk());
    all.push_back(BuildDeadtree1());
    all.push_back(BuildDeadtree2());
    all.push_back(BuildEvergreenBranches());
    all.push_back(BuildEvergreenTrunk());
    all.push_back(BuildFernLeaf());
    all.push_back(BuildFlatrock());
    all.push_back(BuildPalmLeaf());
    all.push_back(BuildPalmTrunk());
    all.push_back(BuildPebbles());
    return all;
}

}  // namespace kv::meshgen
