#include "app/view/OrbitCamera.h"

#include <QQuaternion>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace kv::view {

namespace {

const QVector3D kWorldUp(0, 0, 1);
constexpr float kZoomFactorPerStep = 0.85f;
constexpr float kNearestDistance = 0.3f;
constexpr float kFarthestDistance = 400.0f;

// The elevation of a direction above the horizontal, in degrees.
float ElevationDegrees(const QVector3D& direction)
{
    // atan2 stays accurate near straight up and down, where asin does not.
    return qRadiansToDegrees(std::atan2(direction.z(), std::hypot(direction.x(), direction.y())));
}

// A camera whose forward and up are unit length and perpendicular.
ViewCamera Orthonormal(ViewCamera camera)
{
    QVector3D forward = camera.forward.lengthSquared() > 0 ? camera.forward.normalized() : QVector3D(0, -1, 0);
    QVector3D right = QVector3D::crossProduct(forward, camera.up);
    if (right.lengthSquared() < 1e-12f) right = QVector3D::crossProduct(forward, kWorldUp);
    if (right.lengthSquared() < 1e-12f) right = QVector3D(1, 0, 0);
    right.normalize();
    camera.forward = forward;
    camera.up = QVector3D::crossProduct(right, forward).normalized();
    camera.verticalFovDegrees = std::clamp(camera.verticalFovDegrees, 1.0f, 170.0f);
    return camera;
}

}  // namespace

OrbitCamera::OrbitCamera(const ViewCamera& home, const QVector3D& pivot, const QVector3D& extent)
    : home_(Orthonormal(home)), camera_(home_), pivot_(pivot), extent_(extent)
{
}

void OrbitCamera::returnHome() { camera_ = home_; }

void OrbitCamera::lookFromAbove()
{
    const float halfWidth = 0.5f * std::max({extent_.x(), extent_.y(), 1e-3f});
    const float halfFov = qDegreesToRadians(camera_.verticalFovDegrees) / 2.0f;
    // A margin round the terrain, and room for pictures wider than high.
    const float height = 1.1f * halfWidth / std::tan(halfFov);
    camera_.position = pivot_ + QVector3D(0, 0, 0.5f * extent_.z() + height);
    camera_.forward = QVector3D(0, 0, -1);
    camera_.up = QVector3D(0, 1, 0);
}

void OrbitCamera::orbit(float yawDegrees, float pitchDegrees)
{
    const QQuaternion yaw = QQuaternion::fromAxisAndAngle(kWorldUp, yawDegrees);
    camera_.position = pivot_ + yaw.rotatedVector(camera_.position - pivot_);
    camera_.forward = yaw.rotatedVector(camera_.forward);
    camera_.up = yaw.rotatedVector(camera_.up);

    // Pitch within straight up and straight down: the up vector never points
    // below the horizontal.
    const float elevation = ElevationDegrees(camera_.forward);
    const float wanted = std::clamp(elevation - pitchDegrees, -90.0f, 90.0f);
    const float turn = wanted - elevation;
    if (std::abs(turn) > 0.0f) {
        const QVector3D right = QVector3D::crossProduct(camera_.forward, camera_.up).normalized();
        const QQuaternion pitch = QQuaternion::fromAxisAndAngle(right, turn);
        camera_.position = pivot_ + pitch.rotatedVector(camera_.position - pivot_);
        camera_.forward = pitch.rotatedVector(camera_.forward);
        camera_.up = pitch.rotatedVector(camera_.up);
    }
    camera_ = Orthonormal(camera_);
}

float OrbitCamera::pivotDistance() const { return std::max((pivot_ - camera_.position).length(), kNearestDistance); }

void OrbitCamera::pan(float rightFraction, float upFraction)
{
    // The height of the picture at the pivot's distance, in scene units.
    const float pictureHeight =
        2.0f * pivotDistance() * std::tan(qDegreesToRadians(camera_.verticalFovDegrees) / 2.0f);
    const QVector3D right = QVector3D::crossProduct(camera_.forward, camera_.up).normalized();
    // The content follows the pointer, so the camera moves the other way.
    camera_.position -= (right * rightFraction + camera_.up * upFraction) * pictureHeight;
}

void OrbitCamera::zoom(float steps)
{
    const float distance = pivotDistance();
    const float wanted =
        std::clamp(distance * std::pow(kZoomFactorPerStep, steps), kNearestDistance, kFarthestDistance);
    camera_.position += camera_.forward * (distance - wanted);
}

QMatrix4x4 OrbitCamera::viewMatrix() const
{
    QMatrix4x4 view;
    view.lookAt(camera_.position, camera_.position + camera_.forward, camera_.up);
    return view;
}

QMatrix4x4 OrbitCamera::projectionMatrix(float aspect, float nearPlane, float farPlane) const
{
    QMatrix4x4 projection;
    projection.perspective(camera_.verticalFovDegrees, aspect, nearPlane, farPlane);
    return projection;
}

}  // namespace kv::view
