// The three meshes whose every line is fixed: the evergreen and fir trunk,
// the fern leaf and the palm leaf.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "tools/meshgen/Models.h"

namespace kv::meshgen {

namespace {

// Parses "<v,t> <v,t> ..." into corners.
std::vector<Corner> Pairs(const char* text)
{
    std::vector<Corner> corners;
    int v = 0, t = 0, used = 0;
    while (std::sscanf(text, " <%d,%d>%n", &v, &t, &used) == 2) {
        corners.push_back({v, t});
        text += used;
    }
    return corners;
}

}  // namespace

// An eight-sided prism of radius 1 from z = -1 to 0 that tapers to radius
// 0.05 at z = 1; bark wraps once around, three rows of texture vertices.
Mesh BuildEvergreenTrunk()
{
    Mesh mesh;
    mesh.name = "evergreen_trunk";
    const double radius[3] = {1.0, 1.0, 0.05};
    for (int ring = 0; ring < 3; ++ring)
        for (int m = 0; m < 8; ++m) {
            const double a = m * kPi / 4;
            mesh.AddVertex({radius[ring] * std::cos(a), radius[ring] * std::sin(a), ring - 1.0});
        }
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 9; ++i) mesh.AddTexture(i / 8.0, j / 2.0);
    static const char* const kQuads[] = {
        "<1,1> <0,0> <8,9> <9,10>",       "<9,10> <10,11> <2,2> <1,1>",     "<10,11> <11,12> <3,3> <2,2>",
        "<11,12> <12,13> <4,4> <3,3>",    "<12,13> <13,14> <5,5> <4,4>",    "<13,14> <14,15> <6,6> <5,5>",
        "<14,15> <15,16> <7,7> <6,6>",    "<0,8> <7,7> <15,16> <8,17>",     "<8,9> <16,18> <17,19> <9,10>",
        "<9,10> <17,19> <18,20> <10,11>", "<10,11> <18,20> <19,21> <11,12>", "<11,12> <19,21> <20,22> <12,13>",
        "<12,13> <20,22> <21,23> <13,14>", "<13,14> <21,23> <22,24> <14,15>", "<14,15> <22,24> <23,25> <15,16>",
        "<15,16> <23,25> <16,26> <8,17>",
    };
    for (const char* q : kQuads) mesh.faces.push_back({Pairs(q), 0, {}});
    mesh.faces.push_back({Pairs("<16,0> <23,0> <22,0> <21,0> <20,0> <19,0> <18,0> <17,0>"), 0, {}});
    mesh.faces.push_back({Pairs("<1,0> <2,0> <3,0> <4,0> <5,0> <6,0> <7,0> <0,0>"), 0, {}});
    return mesh;
}

// A blade of two rows of thirteen vertices across x = -1 and x = 1, arched
// in z; every strip is listed from both sides because its faces are
// one-sided.
Mesh BuildFernLeaf()
{
    static const double kArch[13] = {-1.649129, -1.059556, -0.623286, -0.319757, -0.128407, -0.028675, 0,
                                     -0.001602, -0.014066, -0.048883, -0.117541, -0.231531, -0.402342};
    Mesh mesh;
    mesh.name = "fern_leaf";
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < 13; ++j) mesh.AddVertex({side ? 1.0 : -1.0, -1.0 + j / 6.0, kArch[j]});
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < 13; ++j) mesh.AddTexture(side, j / 12.0);
    auto quad = [&](int a, int b, int c, int d) {
        mesh.faces.push_back({{{a, a}, {b, b}, {c, c}, {d, d}}, 16, {}});
    };
    for (int j = 0; j < 12; ++j) quad(14 + j, 13 + j, j, j + 1);
    for (int j = 0; j < 11; ++j) quad(j + 1, j, 13 + j, 14 + j);
    quad(24, 25, 12, 11);
    return mesh;
}

// The fern leaf with the ends of the blade slightly moved.
Mesh BuildPalmLeaf()
{
    Mesh mesh = BuildFernLeaf();
    mesh.name = "palm_leaf";
    mesh.fixedVertexText.assign(mesh.vertices.size(), std::string());
    const struct {
        int index;
        double x, y, z;
        const char* text;
    } kMoved[] = {
        {0, -1.000046, -1.000000, -1.649151, "-1.000046 -1.000000 -1.649151"},
        {11, -1.000379, 0.833333, -0.231531, "-1.000379 0.833333 -0.231531"},
        {12, -1.000416, 0.834025, -0.402373, "-1.000416 0.834025 -0.402373"},
        {13, 0.999954, -1.000033, -1.649105, "0.999954 -1.000033 -1.649105"},
        {24, 0.999621, 0.833333, -0.231531, "0.999621 0.833333 -0.231531"},
        {25, 0.999582, 0.833965, -0.402293, "0.999582 0.833965 -0.402293"},
    };
    for (const auto& m : kMoved) {
        mesh.vertices[m.index] = {m.x, m.y, m.z};
        mesh.fixedVertexText[m.index] = m.text;
    }
    return mesh;
}

}  // namespace kv::meshgen
