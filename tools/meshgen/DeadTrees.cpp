// The two dead trees.
//
// deadtree1: a gnarled, kinked five-sided trunk standing on the table's
// five-sided foot, broken off at the top, with six three-sided branches that
// grow out of holes in its faces and three smaller ones growing out of
// branches; some branches end broken off, the others taper to points. Every
// face is two-sided.
//
// deadtree2 (also the birch): a tall, slender, crooked six-sided trunk that
// tapers to a point at the crown, two five-sided limbs growing out of it,
// each with a three-sided twig, and three branches set into the upper trunk.
// Side faces are one-sided, caps two-sided.
#include <cmath>

#include "tools/meshgen/Limbs.h"
#include "tools/meshgen/Models.h"

namespace kv::meshgen {

namespace {

// A branch's path: out of the face along its normal, then turning towards a
// direction `heading` degrees round from the normal's horizontal part and
// `elevation` degrees up, with a few crooks, over `length`.
std::vector<Vec3> BranchControls(const Vec3& start, const Vec3& normal, double heading, double elevation, double length,
                                 double crook, ShapeRandom& random)
{
    Vec3 out{normal.x, normal.y, 0};
    if (Length(out) < 1e-6) out = Perpendicular({0, 0, 1});
    out = Rotate(Normalized(out), {0, 0, 1}, heading * kPi / 180);
    const double el = elevation * kPi / 180;
    const Vec3 dir = Normalized(out * std::cos(el) + Vec3{0, 0, std::sin(el)});
    const Vec3 side = Normalized(Cross({0, 0, 1}, dir));
    const Vec3 up = Cross(dir, side);
    std::vector<Vec3> c;
    c.push_back(start);
    c.push_back(start + normal * (0.06 * length));
    const int n = 5;
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        // Branches droop a little towards their ends and wander sideways.
        Vec3 p = start + normal * (0.06 * length) + dir * (length * t) +
                 side * (crook * length * random.Range(-1, 1) * t) + up * (crook * length * random.Range(-1, 1) * t) -
                 Vec3{0, 0, 0.08 * length * t * t};
        c.push_back(p);
    }
    return c;
}

}  // namespace

Mesh BuildDeadtree1()
{
    Mesh mesh;
    mesh.name = "deadtree1";
    const Mat34 local = Mat34::Rows(0.0552786, 0, 0, 0.00966936, 0, 0.0525731, 0, 0.000776291, 0, 0, 1, 0.817016);
    const Mat34 toTable = local.Inverse();
    std::vector<LimbPlan> plans;

    // The trunk: ten straight sections with crooks between them.
    LimbPlan trunk;
    trunk.sides = 5;
    trunk.base = LimbBase::Cap;
    trunk.tip = LimbTip::Cap;
    trunk.roughness = 0.035;
    trunk.seed = 11;
    const Vec3 joints[11] = {{0.00966936, 0.000776291, -0.183}, {0.012, 0.003, 0.25},  {0.058, -0.020, 0.47},
                             {0.020, -0.068, 0.69},           {0.092, -0.046, 0.89}, {0.150, 0.020, 1.07},
                             {0.112, 0.084, 1.24},            {0.170, 0.098, 1.39},  {0.238, 0.060, 1.51},
                             {0.214, 0.118, 1.62},            {0.262, 0.140, 1.71}};
    const double jointRadius[11] = {0.054, 0.076, 0.066, 0.06, 0.055, 0.05, 0.046, 0.042, 0.038, 0.034, 0.031};
    trunk.sections = {9, 5, 4, 4, 3, 3, 3, 3, 2, 3};
    for (int sec = 0; sec < 10; ++sec) {
        const int m = trunk.sections[sec];
        for (int k = 0; k < m; ++k) {
            const double t = static_cast<double>(k) / m;
            trunk.axis.push_back(Lerp(joints[sec], joints[sec + 1], t));
            trunk.radius.push_back(jointRadius[sec] + (jointRadius[sec + 1] - jointRadius[sec]) * t);
        }
    }
    trunk.axis.push_back(joints[10]);
    trunk.radius.push_back(jointRadius[10]);
    // The foot is the table's regular pentagon of radius 1 at z = -1.
    for (int i = 0; i < 5; ++i)
        trunk.fixedFirstRing.push_back(local.Apply({std::cos(2 * kPi * i / 5), std::sin(2 * kPi * i / 5), -1}));
    plans.push_back(trunk);

    // Branches: host limb, host section and side, position, hole radius,
    // heading and elevation, length, rings, sections, tip.
    struct Branch {
        int host, section, side;
        double along, hole, heading, elevation, length;
        int rings, sectionCount;
        LimbTip tip;
        CapTexture cap;
        std::vector<int> sections;  // explicit sections (empty: split evenly)
    };
    const std::vector<Branch> branches = {
        {0, 1, 1, 0.5, 0.0207, 10, 25, 0.52, 22, 14, LimbTip::Cap, CapTexture::Own, {}},
        {0, 2, 3, 0.45, 0.0196, -15, 38, 0.78, 26, 17, LimbTip::Point, CapTexture::Own,
         {1, 2, 1, 2, 3, 2, 1, 2, 1, 2, 1, 2, 1, 1, 1, 2, 1}},
        {0, 4, 0, 0.5, 0.0184, 20, 30, 0.72, 25, 16, LimbTip::Point, CapTexture::Own,
         {1, 2, 1, 2, 1, 3, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1}},
        {0, 5, 2, 0.5, 0.0161, -10, 18, 0.6, 21, 14, LimbTip::Cap, CapTexture::Borrow, {}},
        {0, 6, 4, 0.5, 0.015, 15, 42, 0.66, 24, 16, LimbTip::Point, CapTexture::Own,
         {1, 2, 1, 2, 1, 2, 3, 1, 2, 1, 2, 1, 2, 1, 1, 1}},
        {0, 8, 1, 0.5, 0.0127, 0, 50, 0.5, 18, 12, LimbTip::Point, CapTexture::Own, {}},
        {2, 4, 0, 0.5, 0.0098, 30, 35, 0.3, 15, 10, LimbTip::Cap, CapTexture::Borrow, {}},
        {3, 5, 1, 0.5, 0.0087, -35, 40, 0.34, 16, 10, LimbTip::Point, CapTexture::Own, {}},
        {5, 6, 2, 0.5, 0.0067, 30, 20, 0.28, 14, 8, LimbTip::Cap, CapTexture::Borrow, {}},
    };
    ShapeRandom random(2718);
    unsigned seed = 100;
    for (const Branch& br : branches) {
        LimbPlan p;
        p.sides = 3;
        p.base = LimbBase::Hole;
        p.tip = br.tip;
        p.tipTexture = br.cap;
        p.host = br.host;
        p.hostSection = br.section;
        p.hostSide = br.side;
        p.hostAlong = br.along;
        p.holeRadius = br.hole;
        p.roughness = 0.05;
        p.seed = ++seed;
        const double crook = random.Range(0.05, 0.1);
        p.grow = [br, crook, &random](const Vec3& centre, const Vec3& normal, LimbPlan& plan) {
            const int points = br.rings + (br.tip == LimbTip::Point ? 1 : 0);
            plan.axis = SmoothPath(BranchControls(centre, normal, br.heading, br.elevation, br.length, crook, random),
                                   points);
            plan.radius.clear();
            for (int k = 0; k < points; ++k) {
                const double t = static_cast<double>(k) / (points - 1);
                const double end = br.tip == LimbTip::Point ? 0.3 : 0.7;
                plan.radius.push_back(br.hole * (1 - (1 - end) * t));
            }
            plan.sections = br.sections.empty() ? SplitSections(points - 1, br.sectionCount) : br.sections;
        };
        plans.push_back(p);
    }
    BuildLimbs(mesh, plans, toTable, 2.05);
    return mesh;
}

Mesh BuildDeadtree2()
{
    Mesh mesh;
    mesh.name = "deadtree2";
    const Mat34 local = Mat34::Rows(1, 0, 0, -0.0105968, 0, 1, 0, -0.0251102, 0, 0, 1, -0.324968);
    const Mat34 toTable = local.Inverse();
    std::vector<LimbPlan> plans;
    ShapeRandom random(31415);

    // The trunk: from its foot (the table's origin) it leans and bends its
    // way up to the crown, where it ends in a point (the table's first
    // vertex). Rings every half unit or so; the last section is the tapering
    // spike.
    LimbPlan trunk;
    trunk.sides = 6;
    trunk.base = LimbBase::Cap;
    trunk.tip = LimbTip::Point;
    trunk.sideFlags = 16;
    trunk.roughness = 0.06;
    trunk.seed = 21;
    trunk.listTipFirst = true;
    trunk.baseTexture = CapTexture::Borrow;  // its foot is under the ground
    trunk.sections = {2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5};
    const Vec3 foot = local.Apply({0, 0, 0});
    const Vec3 crown = local.Apply({-0.699732, 0.543747, 11.171513});
    for (int k = 0; k <= 20; ++k) {
        const double t = k / 20.0;
        const double h = std::min(1.0, k / 15.0);  // the spike's base is at ring 15
        const double z = foot.z + (8.9 - foot.z) * h;
        Vec3 p{foot.x - 0.45 * h * h + 0.28 * std::sin(2.3 * kPi * h) * h,
               foot.y + 0.35 * h + 0.22 * std::sin(1.6 * kPi * h + 0.4) * h, z};
        if (k > 15) p = Lerp(p, crown, (t - 0.75) / 0.25);
        if (k == 20) p = crown;
        // Crooks: each ring of the upper trunk is pushed a little aside.
        if (k >= 3 && k <= 15) p += Vec3{random.Range(-0.07, 0.07), random.Range(-0.07, 0.07), 0};
        trunk.axis.push_back(p);
        trunk.radius.push_back(k == 0 ? 0.34 : 0.33 - 0.17 * h);
    }
    plans.push_back(trunk);

    auto hostBranch = [&](int host, int section, int side, double hole, double heading, double elevation,
                          double length, int rings, std::vector<int> sections, double endRadius) {
        LimbPlan p;
        p.sides = hole > 0.06 ? 5 : 3;
        p.base = LimbBase::Hole;
        p.tip = LimbTip::Cap;
        p.sideFlags = 16;
        p.host = host;
        p.hostSection = section;
        p.hostSide = side;
        p.holeRadius = hole;
        p.roughness = 0.06;
        p.seed = static_cast<unsigned>(40 + plans.size());
        const double crook = random.Range(0.06, 0.1);
        p.grow = [=, &random](const Vec3& centre, const Vec3& normal, LimbPlan& plan) {
            plan.axis = SmoothPath(BranchControls(centre, normal, heading, elevation, length, crook, random), rings);
            plan.radius.clear();
            for (int k = 0; k < rings; ++k)
                plan.radius.push_back(hole + (endRadius - hole) * static_cast<double>(k) / (rings - 1));
            plan.sections = sections;
        };
        plans.push_back(p);
    };
    // Two limbs out of the trunk, each with a twig.
    hostBranch(0, 6, 1, 0.1, 15, 34, 5.0, 7, {2, 2, 1, 1}, 0.066);
    hostBranch(0, 9, 4, 0.088, -20, 42, 3.9, 6, {2, 2, 1}, 0.06);
    hostBranch(1, 1, 2, 0.04, 35, 38, 2.5, 5, {1, 1, 1, 1}, 0.028);
    hostBranch(2, 1, 4, 0.035, -35, 34, 2.1, 4, {1, 1, 1}, 0.025);

    // Three branches set into the upper trunk, their feet hidden inside it.
    auto setBranch = [&](int ring, double heading, double elevation, double length, int rings, bool pointed,
                         CapTexture footTexture) {
        LimbPlan p;
        p.baseTexture = footTexture;
        p.sides = 3;
        p.base = LimbBase::Buried;
        p.tip = pointed ? LimbTip::Point : LimbTip::Cap;
        p.sideFlags = 16;
        p.roughness = 0.06;
        p.seed = static_cast<unsigned>(60 + plans.size());
        const Vec3 start = plans[0].axis[ring];
        const Vec3 out = Rotate({1, 0, 0}, {0, 0, 1}, heading * kPi / 180);
        const int points = rings + (pointed ? 1 : 0);
        p.axis = SmoothPath(BranchControls(start, out, 0, elevation, length, random.Range(0.05, 0.09), random), points);
        for (int k = 0; k < points; ++k) p.radius.push_back(0.08 - 0.045 * static_cast<double>(k) / (points - 1));
        p.sections.assign(points - 1, 1);
        p.e1 = Perpendicular(p.axis[1] - p.axis[0]);
        plans.push_back(p);
    };
    setBranch(12, 200, 34, 2.9, 4, false, CapTexture::Borrow);
    setBranch(13, 80, 40, 2.5, 4, false, CapTexture::Borrow);
    setBranch(14, 320, 50, 2.1, 3, true, CapTexture::Own);
    BuildLimbs(mesh, plans, toTable, 4.3);
    return mesh;
}

}  // namespace kv::meshgen
