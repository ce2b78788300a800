#pragma once
// The widget that shows a ViewScene and moves its camera with the mouse:
// left drag orbits about the terrain's centre, right or middle drag pans, the
// wheel moves nearer or farther; Home or Y returns to the scene camera, T
// looks down from above. It draws only when something has changed, and while
// the camera moves it draws at a reduced resolution, enlarged to fit; the
// frame that follows the last movement is drawn at full resolution.
#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>

#include <memory>

#include "app/view/OrbitCamera.h"
#include "app/view/ViewScene.h"

class QOpenGLFramebufferObject;

namespace kv::view {

class SceneRenderer;

class SceneView final : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit SceneView(std::shared_ptr<const ViewScene> scene, QWidget* parent = nullptr);
    ~SceneView() override;

    const ViewScene& scene() const { return *scene_; }
    const OrbitCamera& camera() const { return camera_; }

    // The camera commands of the keys and the toolbar.
    void returnToSceneCamera();
    void lookFromAbove();
    // Moves the camera as a left drag (degrees) or the wheel (notches,
    // positive: nearer) would, then redraws.
    void orbitBy(float yawDegrees, float pitchDegrees);
    void zoomBy(float steps);

    // While moving, frames are drawn at reduced resolution. Drags and the
    // wheel start and end a movement themselves; a scripted movement (a
    // benchmark) brackets its steps with these.
    void beginMovement();
    void endMovement();
    bool isMoving() const { return moving_; }

    // The edge lengths of a reduced frame, as a fraction of the full ones.
    static constexpr float kLargestReducedScale = 0.5f;
    static constexpr float kSmallestReducedScale = 0.25f;
    static constexpr double kMovingFrameBudgetMs = 40.0;
    float reducedScale() const { return reducedScale_; }

    // What the last frame was: its size in pixels (reduced or full) and how
    // many frames have been drawn.
    QSize lastFrameSize() const { return lastFrameSize_; }
    long long framesDrawn() const { return framesDrawn_; }
    long long lastFrameTriangles() const;
    int lastFrameDrawCalls() const;
    int textureCount() const;
    // Why nothing could be drawn (no usable OpenGL); empty when all is well.
    QString failure() const;

signals:
    // A frame has been drawn (not yet on the screen: see frameSwapped).
    void frameDrawn();

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Orbit, Pan };

    void releaseGraphics();
    void jumped();
    void frameShown();
    void drawReduced(const QSize& full);

    std::shared_ptr<const ViewScene> scene_;
    OrbitCamera camera_;
    std::unique_ptr<SceneRenderer> renderer_;
    std::unique_ptr<QOpenGLFramebufferObject> reducedTarget_;
    QString contextFailure_;

    Drag drag_ = Drag::None;
    QPoint lastPointer_;
    bool moving_ = false;
    QTimer wheelSettle_;  // ends a wheel movement when the wheel rests

    float reducedScale_ = kLargestReducedScale;
    QElapsedTimer frameClock_;  // from the start of painting a reduced frame to its showing
    bool timingReducedFrame_ = false;

    QSize lastFrameSize_;
    long long framesDrawn_ = 0;
};

}  // namespace kv::view
