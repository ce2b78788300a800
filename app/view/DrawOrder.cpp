#include "app/view/DrawOrder.h"

#include <algorithm>
#include <tuple>

namespace kv::view {

namespace {

bool Encloses(const DrawCandidate& c, const QVector3D& eye)
{
    for (int axis = 0; axis < 3; ++axis)
        if (eye[axis] < c.boxMin[axis] || eye[axis] > c.boxMax[axis]) return false;
    return true;
}

// Distance from the eye to the nearest point of the box (0 inside it).
float NearestDistance(const DrawCandidate& c, const QVector3D& eye)
{
    QVector3D gap;
    for (int axis = 0; axis < 3; ++axis)
        gap[axis] = std::max({c.boxMin[axis] - eye[axis], 0.0f, eye[axis] - c.boxMax[axis]});
    return gap.length();
}

float CentreDistance(const DrawCandidate& c, const QVector3D& eye) { return ((c.boxMin + c.boxMax) / 2 - eye).length(); }

float Size(const DrawCandidate& c) { return (c.boxMax - c.boxMin).length(); }

}  // namespace

std::vector<int> DrawOrder(const std::vector<DrawCandidate>& candidates, const QVector3D& eye)
{
    // Sort keys: (pass, distance or size, index); the index keeps ties stable.
    struct Keyed {
        int pass;
        float key;
        int index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const DrawCandidate& c = candidates[i];
        const bool encloses = Encloses(c, eye);
        const int index = static_cast<int>(i);
        if (c.dome && !encloses) continue;
        if (!c.blended) {
            keyed.push_back({encloses ? 1 : 0, NearestDistance(c, eye), index});
        } else if (encloses) {
            keyed.push_back({2, -Size(c), index});
        } else {
            keyed.push_back({3, -CentreDistance(c, eye), index});
        }
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return std::tie(a.pass, a.key, a.index) < std::tie(b.pass, b.key, b.index);
    });
    std::vector<int> order;
    order.reserve(keyed.size());
    for (const Keyed& k : keyed) order.push_back(k.index);
    return order;
}

}  // namespace kv::view
