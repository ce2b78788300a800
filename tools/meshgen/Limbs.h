#pragma once
// Trees made of limbs: tubes of a few sides whose side faces each span one
// section of several rings (a long face of 2 (m + 1) corners for m ring
// intervals), closed by caps, ending in a point, or growing out of a hole in
// a side face of their parent limb.
//
// Bark mapping: every side face carries the picture across its width (u 0 at
// its edge j, 1 at edge j + 1) and along the limb (v), where v is measured
// along each edge line on its own, so the outside of a bend is not stretched
// more than its inside. Every ring vertex thus has two texture vertices
// (u 0 and u 1). When v would pass 1, it starts again from 0 at the next
// section boundary (the picture repeats along long limbs); such a ring has
// both sets.
#include <functional>
#include <vector>

#include "tools/meshgen/Mesh.h"

namespace kv::meshgen {

enum class LimbBase {
    Cap,     // closed by a cap (a trunk standing on the ground)
    Hole,    // grows out of a hole in a side face of its host limb
    Buried,  // closed by a cap hidden inside another limb
};

enum class LimbTip {
    Cap,    // a broken-off end closed by a cap
    Point,  // tapers to a point
};

enum class CapTexture {
    Own,      // the picture's inscribed polygon
    Borrow,   // the texture vertices of the ring's own corners (u 0)
};

struct LimbPlan {
    int sides = 3;
    // Ring centres in model units from the base ring to the tip (the apex
    // when the tip is a point); for a hole limb the first centre is found on
    // the host and `path` gives the others from it (see below).
    std::vector<Vec3> axis;
    std::vector<double> radius;  // per ring (the apex's is ignored)
    std::vector<int> sections;   // ring intervals per section, summing to axis.size() - 1
    LimbBase base = LimbBase::Cap;
    LimbTip tip = LimbTip::Cap;
    CapTexture tipTexture = CapTexture::Own;
    CapTexture baseTexture = CapTexture::Own;
    int sideFlags = 0;
    int capFlags = 0;
    Vec3 e1{1, 0, 0};  // frame of the first ring (Cap and Buried bases)
    double theta0 = 0;  // angle of vertex 0 in the first ring
    // Hole base: the host limb, the section and side of the host face, the
    // position along that section (0..1), the hole's radius, and a function
    // that makes this limb's ring centres (after the first) from the hole's
    // centre and the host face's outward normal.
    int host = -1;
    int hostSection = 0;
    int hostSide = 0;
    double hostAlong = 0.5;
    double holeRadius = 0;
    std::function<void(const Vec3& centre, const Vec3& normal, LimbPlan& plan)> grow;
    // The first ring's points in model units, when they are given rather than
    // made (a trunk's foot fixed by its table).
    std::vector<Vec3> fixedFirstRing;
    // Radial irregularity of the ring vertices (fraction of the radius).
    double roughness = 0;
    unsigned seed = 1;
    // Write the rings from the tip down (the limb's tip ring comes first).
    bool listTipFirst = false;
};

// Builds the limbs into `mesh` (in table coordinates: `toTable` maps model
// units to the table's). Limbs are written in the order given; a hole
// limb's host must come before it. `vScale` is the model length of one
// texture height.
void BuildLimbs(Mesh& mesh, std::vector<LimbPlan> plans, const Mat34& toTable, double vScale);

// Helpers for plans: the sections as equal as possible, and a smooth path.
std::vector<int> SplitSections(int intervals, int sections);
std::vector<Vec3> SmoothPath(const std::vector<Vec3>& controls, int points);

}  // namespace kv::meshgen
