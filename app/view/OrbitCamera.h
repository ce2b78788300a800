#pragma once
// The view's camera and the ways the user moves it: it starts at the scene
// camera, orbits about a pivot (the terrain's centre) with the world's Z axis
// kept up, pans in the picture's plane, moves nearer or farther with the
// wheel, returns to the scene camera and looks straight down on the terrain.
#include <QMatrix4x4>
#include <QVector3D>

#include "app/view/ViewScene.h"

namespace kv::view {

class OrbitCamera {
public:
    // `home` is the scene camera; `pivot` and `extent` are the terrain's
    // centre and size.
    OrbitCamera(const ViewCamera& home, const QVector3D& pivot, const QVector3D& extent);

    const ViewCamera& camera() const { return camera_; }
    const ViewCamera& home() const { return home_; }
    const QVector3D& pivot() const { return pivot_; }

    // Back to the scene camera's position, direction and field of view.
    void returnHome();
    // Straight down on the terrain from a height at which all of it shows,
    // north (+y) up in the picture.
    void lookFromAbove();
    // Turns the camera about the pivot: yaw about the vertical through the
    // pivot (positive: counter-clockwise seen from above), pitch about the
    // camera's horizontal right axis (positive: the camera rises and looks
    // further down). The view never tips over the vertical.
    void orbit(float yawDegrees, float pitchDegrees);
    // Moves the camera in the picture's plane; the distances are fractions of
    // the picture's height at the pivot's distance, so that the ground under
    // the pointer follows it (positive: the picture's content moves right/up).
    void pan(float rightFraction, float upFraction);
    // Moves the camera along its view by a fraction of its distance to the
    // pivot for each step (positive: nearer), never closer than a small
    // distance nor farther than a large one.
    void zoom(float steps);

    // The world-to-camera matrix and the projection for a picture of the
    // given width over height.
    QMatrix4x4 viewMatrix() const;
    QMatrix4x4 projectionMatrix(float aspect, float nearPlane, float farPlane) const;

private:
    float pivotDistance() const;

    ViewCamera home_;
    ViewCamera camera_;
    QVector3D pivot_;
    QVector3D extent_;
};

}  // namespace kv::view
