#include "app/view/Frustum.h"

namespace kv::view {

Frustum::Frustum(const QMatrix4x4& m)
{
    // Each plane is the last row of the matrix plus or minus one of the
    // first three (clip space: -w <= x, y, z <= w).
    const QVector4D w = m.row(3);
    for (int axis = 0; axis < 3; ++axis) {
        planes_[static_cast<std::size_t>(2 * axis)] = w + m.row(axis);
        planes_[static_cast<std::size_t>(2 * axis + 1)] = w - m.row(axis);
    }
}

bool Frustum::excludes(const QVector3D& boxMin, const QVector3D& boxMax) const
{
    for (const QVector4D& plane : planes_) {
        // The box's corner farthest along the plane's normal.
        const QVector3D corner(plane.x() >= 0 ? boxMax.x() : boxMin.x(), plane.y() >= 0 ? boxMax.y() : boxMin.y(),
                               plane.z() >= 0 ? boxMax.z() : boxMin.z());
        if (plane.x() * corner.x() + plane.y() * corner.y() + plane.z() * corner.z() + plane.w() < 0) return true;
    }
    return false;
}

}  // namespace kv::view
