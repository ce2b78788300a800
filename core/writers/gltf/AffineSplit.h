#pragma once
// glTF places a node by translation, rotation and scale (scale first, along
// the node's own axes). The scene's matrices may also shear: a placed tree is
// scaled along the scene's axes after it is turned, and some parts are
// sheared by their own matrices. Such a matrix is split into two nodes, the
// outer one turning, scaling and moving, the inner one only turning:
// M = T * U * S * V^T (a singular value decomposition of the linear part).
#include <array>
#include <vector>

#include "core/model/Geometry.h"

namespace kv::gltf {

struct TrsParts {
    std::array<double, 3> translation{0.0, 0.0, 0.0};
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};  // unit quaternion (x, y, z, w)
    std::array<double, 3> scale{1.0, 1.0, 1.0};
};

// One node's parts when `m` is a turn, a scale along the turned axes and a
// move (its columns are perpendicular); otherwise the outer and the inner
// node's. A negative determinant is carried by a negative scale.
std::vector<TrsParts> SplitAffine(const Matrix34& m);

// The matrix the parts make, outer first (for tests and readers).
Matrix34 ComposeTrs(const std::vector<TrsParts>& parts);

// The unit quaternion of a rotation matrix (rows of the 3 x 3 part).
std::array<double, 4> QuaternionOf(const double r[3][3]);

}  // namespace kv::gltf
