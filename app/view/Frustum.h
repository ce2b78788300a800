#pragma once
// The six planes of what a camera sees, for leaving out the instances that
// lie wholly outside the picture.
#include <QMatrix4x4>
#include <QVector3D>
#include <QVector4D>

#include <array>

namespace kv::view {

class Frustum {
public:
    // From the projection times the view matrix.
    explicit Frustum(const QMatrix4x4& viewProjection);

    // True when the box lies wholly outside at least one plane; a box that
    // only touches the picture counts as inside.
    bool excludes(const QVector3D& boxMin, const QVector3D& boxMax) const;

private:
    std::array<QVector4D, 6> planes_;  // (normal, distance); inside where the sum is positive
};

}  // namespace kv::view
