#include "app/view/SceneView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "app/view/SceneRenderer.h"

namespace kv::view {

namespace {

constexpr float kOrbitDegreesPerPixel = 0.4f;
constexpr int kWheelSettleMs = 250;
// One notch of an ordinary wheel.
constexpr float kWheelDeltaPerStep = 120.0f;

}  // namespace

SceneView::SceneView(std::shared_ptr<const ViewScene> scene, QWidget* parent)
    : QOpenGLWidget(parent),
      scene_(std::move(scene)),
      camera_(scene_->camera, scene_->terrainCentre, scene_->terrainSize)
{
    QSurfaceFormat surface = format();
    surface.setDepthBufferSize(24);
    surface.setSamples(0);
    setFormat(surface);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    wheelSettle_.setSingleShot(true);
    wheelSettle_.setInterval(kWheelSettleMs);
    connect(&wheelSettle_, &QTimer::timeout, this, &SceneView::endMovement);
    connect(this, &QOpenGLWidget::frameSwapped, this, &SceneView::frameShown);
}

SceneView::~SceneView()
{
    // The context outlives this part of the object: it must not call back into it.
    if (QOpenGLContext* current = context()) disconnect(current, nullptr, this, nullptr);
    releaseGraphics();
}

void SceneView::releaseGraphics()
{
    if (!renderer_ && !reducedTarget_) return;
    makeCurrent();
    renderer_.reset();
    reducedTarget_.reset();
    doneCurrent();
}

QString SceneView::failure() const
{
    if (!contextFailure_.isEmpty()) return contextFailure_;
    return renderer_ ? renderer_->failure() : QString();
}

void SceneView::initializeGL()
{
    // A context lost with a change of top-level window takes its resources along.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &SceneView::releaseGraphics,
            Qt::UniqueConnection);
    renderer_.reset();
    reducedTarget_.reset();
    if (!context()->isValid()) {
        contextFailure_ = "No OpenGL context could be made for the 3D view.";
        return;
    }
    renderer_ = std::make_unique<SceneRenderer>(scene_);
    if (!renderer_->isValid()) qWarning("%s", qPrintable(renderer_->failure()));
}

void SceneView::paintGL()
{
    const QSize full = size() * devicePixelRatio();
    if (!renderer_ || !renderer_->isValid()) {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, failure());
        return;
    }
    timingReducedFrame_ = moving_ && QOpenGLFramebufferObject::hasOpenGLFramebufferBlit();
    frameClock_.start();
    if (timingReducedFrame_) {
        drawReduced(full);
    } else {
        renderer_->draw(camera_, full);
        lastFrameSize_ = full;
    }
    ++framesDrawn_;
    emit frameDrawn();
}

void SceneView::drawReduced(const QSize& full)
{
    const QSize reduced(std::max(1, static_cast<int>(std::ceil(full.width() * reducedScale_))),
                        std::max(1, static_cast<int>(std::ceil(full.height() * reducedScale_))));
    if (!reducedTarget_ || reducedTarget_->size() != reduced)
        reducedTarget_ =
            std::make_unique<QOpenGLFramebufferObject>(reduced, QOpenGLFramebufferObject::CombinedDepthStencil);
    reducedTarget_->bind();
    renderer_->draw(camera_, reduced);
    reducedTarget_->release();
    // Enlarged into the widget's own framebuffer (the context's default one
    // while painting), smoothly.
    QOpenGLFramebufferObject::blitFramebuffer(nullptr, QRect(QPoint(0, 0), full), reducedTarget_.get(),
                                              QRect(QPoint(0, 0), reduced), GL_COLOR_BUFFER_BIT, GL_LINEAR);
    lastFrameSize_ = reduced;
}

void SceneView::frameShown()
{
    if (!timingReducedFrame_) return;
    timingReducedFrame_ = false;
    // The picture's cost grows with its area: the scale that would have met
    // the budget, approached halfway so that one slow frame does not jolt it.
    const double spent = std::max(1.0, static_cast<double>(frameClock_.nsecsElapsed()) / 1e6);
    const double fitting = reducedScale_ * std::sqrt(kMovingFrameBudgetMs / spent);
    reducedScale_ = static_cast<float>(std::clamp((reducedScale_ + fitting) / 2.0,
                                                  static_cast<double>(kSmallestReducedScale),
                                                  static_cast<double>(kLargestReducedScale)));
}

void SceneView::returnToSceneCamera()
{
    camera_.returnHome();
    jumped();
}

void SceneView::lookFromAbove()
{
    camera_.lookFromAbove();
    jumped();
}

void SceneView::jumped()
{
    // A jump is drawn still, at full resolution, unless a drag goes on.
    if (drag_ == Drag::None && moving_) {
        endMovement();
    } else {
        update();
    }
}

void SceneView::orbitBy(float yawDegrees, float pitchDegrees)
{
    camera_.orbit(yawDegrees, pitchDegrees);
    update();
}

void SceneView::zoomBy(float steps)
{
    camera_.zoom(steps);
    update();
}

long long SceneView::lastFrameTriangles() const { return renderer_ ? renderer_->lastFrame().triangles : 0; }

int SceneView::lastFrameDrawCalls() const { return renderer_ ? renderer_->lastFrame().drawCalls : 0; }

int SceneView::textureCount() const { return renderer_ ? renderer_->textureCount() : 0; }

void SceneView::beginMovement() { moving_ = true; }

void SceneView::endMovement()
{
    if (!moving_) return;
    moving_ = false;
    wheelSettle_.stop();
    // The still picture, at full resolution.
    update();
}

void SceneView::mousePressEvent(QMouseEvent* event)
{
    if (drag_ != Drag::None) return;
    if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Orbit;
    } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        drag_ = Drag::Pan;
    } else {
        return;
    }
    lastPointer_ = event->position().toPoint();
    beginMovement();
    event->accept();
}

void SceneView::mouseMoveEvent(QMouseEvent* event)
{
    if (drag_ == Drag::None) return;
    const QPoint pointer = event->position().toPoint();
    const QPoint delta = pointer - lastPointer_;
    lastPointer_ = pointer;
    if (delta.isNull()) return;
    if (drag_ == Drag::Orbit) {
        // The landscape turns with the pointer; dragging down raises the camera.
        camera_.orbit(-delta.x() * kOrbitDegreesPerPixel, delta.y() * kOrbitDegreesPerPixel);
    } else {
        const float height = static_cast<float>(std::max(1, this->height()));
        camera_.pan(delta.x() / height, -delta.y() / height);
    }
    update();
}

void SceneView::mouseReleaseEvent(QMouseEvent* event)
{
    const bool ends = (drag_ == Drag::Orbit && event->button() == Qt::LeftButton) ||
                      (drag_ == Drag::Pan && (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton));
    if (!ends) return;
    drag_ = Drag::None;
    endMovement();
}

void SceneView::wheelEvent(QWheelEvent* event)
{
    const float steps = static_cast<float>(event->angleDelta().y()) / kWheelDeltaPerStep;
    if (steps == 0.0f) return;
    camera_.zoom(steps);
    if (drag_ == Drag::None) {
        beginMovement();
        wheelSettle_.start();
    }
    update();
    event->accept();
}

void SceneView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_Y: returnToSceneCamera(); break;
    case Qt::Key_T: lookFromAbove(); break;
    default: QOpenGLWidget::keyPressEvent(event); return;
    }
    event->accept();
}

}  // namespace kv::view
