// The view on a virtual screen: what a frame shows from the scene camera and
// from above, the camera's mouse and key controls with the way back to the
// scene camera, reduced frames while moving, alpha-masked and blended
// materials, and drawing only when something changed.
#include <QAction>
#include <QDir>
#include <QtTest>

#include <cmath>

#include "SyntheticLandscape.h"
#include "app/view/SceneView.h"
#include "app/view/ViewWindow.h"

using namespace kv::view;
using namespace kv::view::test;

namespace {

constexpr int kTimeoutMs = 60000;

// Saves a frame for a person to look at when KV_VIEW_FRAMES names a directory.
void Keep(const QImage& frame, const QString& name)
{
    const QString directory = qEnvironmentVariable("KV_VIEW_FRAMES");
    if (!directory.isEmpty()) frame.save(QDir(directory).filePath(name + ".png"));
}

// A window showing `scene`, exposed, with its first frame drawn.
struct Shown {
    explicit Shown(std::shared_ptr<const ViewScene> scene) : window(new ViewWindow(std::move(scene), "test"))
    {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) qFatal("view window not exposed");
        if (!QTest::qWaitFor([this] { return view().framesDrawn() > 0; }, kTimeoutMs)) qFatal("no frame drawn");
    }
    SceneView& view() { return window->view(); }
    QImage frame() { return view().grabFramebuffer().convertToFormat(QImage::Format_RGB32); }
    std::unique_ptr<ViewWindow> window;
};

// The share of a region's pixels for which `test` holds.
template <typename Test>
double Share(const QImage& image, const QRect& region, Test test)
{
    int hits = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) hits += test(QColor(image.pixel(x, y))) ? 1 : 0;
    return static_cast<double>(hits) / (region.width() * region.height());
}

bool Near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A lit version of `colour`: the same colour scaled by one brightness.
bool LitVersionOf(const QColor& pixel, const QColor& colour)
{
    if (pixel.green() < 8) return false;
    const double scale = static_cast<double>(pixel.green()) / colour.green();
    return std::abs(pixel.red() - colour.red() * scale) <= 6 + 0.1 * pixel.red() &&
           std::abs(pixel.blue() - colour.blue() * scale) <= 6 + 0.1 * pixel.blue();
}

bool SameCamera(const ViewCamera& a, const ViewCamera& b)
{
    return (a.position - b.position).length() < 1e-4f && (a.forward - b.forward).length() < 1e-4f &&
           (a.up - b.up).length() < 1e-4f && a.verticalFovDegrees == b.verticalFovDegrees;
}

LandscapeRecipe PlainRecipe()
{
    LandscapeRecipe recipe;
    recipe.sceneLights = false;  // one white light straight down: flat ground is lit at full colour
    return recipe;
}

}  // namespace

class SceneViewTest : public QObject {
    Q_OBJECT

private slots:
    void skyAboveTheHorizonTerrainBelow();
    void fromAboveTheTerrainFillsTheMiddle();
    void mouseMovesTheCameraAndHomeReturnsToYou();
    void reducedFramesWhileMovingAndOnlyWhenSomethingChanged();
    void maskedLeavesAndBlendedWater();
    void materialsWearingOnePictureShareOneTexture();
};

void SceneViewTest::skyAboveTheHorizonTerrainBelow()
{
    const LandscapeRecipe recipe = PlainRecipe();
    Shown shown(MakeLandscape(recipe));
    QCOMPARE(shown.window->size(), QSize(960, 600));
    QVERIFY2(shown.view().failure().isEmpty(), qPrintable(shown.view().failure()));
    QVERIFY(SameCamera(shown.view().camera().camera(), SceneCameraYou()));
    const QImage frame = shown.frame();
    Keep(frame, "sky-and-terrain");
    const int w = frame.width(), h = frame.height();
    QCOMPARE(frame.size(), shown.view().size() * shown.view().devicePixelRatio());

    // YOU looks level from half a unit up: the horizon runs through the
    // middle, the hill rises above it in the middle only, up to the top.
    const QRect skyLeft(0, 0, w / 6, h / 6), skyRight(w - w / 6, 0, w / 6, h / 6);
    const QRect groundBand(0, h - h / 6, w, h / 6);
    const QRect besideTheHill(0, h / 2 - h / 4, w / 16, h / 10);
    const QRect hillTop(w / 2 - w / 20, h / 2 - h / 10, w / 10, h / 15);
    const auto sky = [&](const QColor& c) { return Near(c, recipe.skyColour, 2); };
    const auto ground = [&](const QColor& c) { return LitVersionOf(c, recipe.groundColour); };
    QVERIFY(Share(frame, skyLeft, sky) > 0.99);
    QVERIFY(Share(frame, skyRight, sky) > 0.99);
    QVERIFY(Share(frame, besideTheHill, sky) > 0.99);
    QVERIFY(Share(frame, groundBand, ground) > 0.99);
    QVERIFY(Share(frame, hillTop, ground) > 0.99);
    // Flat ground faces the light straight on: full colour.
    QVERIFY(Near(frame.pixel(w / 2, h - 2), recipe.groundColour, 4));
}

void SceneViewTest::fromAboveTheTerrainFillsTheMiddle()
{
    const LandscapeRecipe recipe = PlainRecipe();
    Shown shown(MakeLandscape(recipe));
    QTest::keyClick(&shown.view(), Qt::Key_T);
    const ViewCamera above = shown.view().camera().camera();
    QVERIFY((above.forward - QVector3D(0, 0, -1)).length() < 1e-5f);
    QVERIFY(above.position.z() > 10.0f);
    const QImage frame = shown.frame();
    Keep(frame, "from-above");
    // The whole picture is ground (terrain in the middle, surround round it):
    // no sky shows when looking straight down.
    const auto ground = [&](const QColor& c) { return LitVersionOf(c, recipe.groundColour); };
    QVERIFY(Share(frame, frame.rect(), ground) > 0.99);
    // The hill's flanks lean away from the light: darker than the flat rim.
    const QColor top = frame.pixel(frame.width() / 2, frame.height() / 2);
    const QColor flank = frame.pixel(frame.width() / 2 + frame.height() / 6, frame.height() / 2);
    QVERIFY(flank.green() < top.green() - 10);
}

void SceneViewTest::mouseMovesTheCameraAndHomeReturnsToYou()
{
    Shown shown(MakeLandscape(PlainRecipe()));
    SceneView& view = shown.view();
    const ViewCamera you = view.camera().camera();
    const QVector3D pivot = view.camera().pivot();
    const float distance = (you.position - pivot).length();

    // Left drag: orbits about the terrain's centre at the same distance.
    // Dragging down raises the camera, which then looks down more.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseMove(&view, QPoint(500, 340));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(500, 340));
    const ViewCamera orbited = view.camera().camera();
    QVERIFY(!SameCamera(orbited, you));
    QCOMPARE(qRound((orbited.position - pivot).length() * 1000), qRound(distance * 1000));
    QVERIFY(orbited.position.z() > you.position.z() + 0.5f);
    QVERIFY(orbited.forward.z() < -0.1f);
    QVERIFY(std::abs(orbited.up.z()) > 0.5f);  // still upright
    // Right drag: pans without turning.
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseMove(&view, QPoint(350, 320));
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(350, 320));
    const ViewCamera panned = view.camera().camera();
    QVERIFY((panned.position - orbited.position).length() > 0.01f);
    QVERIFY((panned.forward - orbited.forward).length() < 1e-5f);
    // Middle drag pans too.
    QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(400, 300));
    QTest::mouseMove(&view, QPoint(420, 300));
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(420, 300));
    QVERIFY((view.camera().camera().position - panned.position).length() > 0.001f);
    // The wheel moves along the view.
    const QVector3D beforeWheel = view.camera().camera().position;
    QWheelEvent wheel(QPointF(480, 300), view.mapToGlobal(QPointF(480, 300)), {}, QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &wheel);
    const QVector3D step = view.camera().camera().position - beforeWheel;
    QVERIFY(QVector3D::dotProduct(step, view.camera().camera().forward) > 0.01f);

    // Home, Y and the toolbar's button each return to YOU exactly.
    QTest::keyClick(&view, Qt::Key_Home);
    QVERIFY(SameCamera(view.camera().camera(), you));
    view.orbitBy(30, 10);
    QTest::keyClick(&view, Qt::Key_Y);
    QVERIFY(SameCamera(view.camera().camera(), you));
    view.orbitBy(-50, 5);
    QTest::keyClick(&view, Qt::Key_T);
    shown.window->returnAction().trigger();
    QVERIFY(SameCamera(view.camera().camera(), you));
    shown.window->aboveAction().trigger();
    QVERIFY((view.camera().camera().forward - QVector3D(0, 0, -1)).length() < 1e-5f);

    // Back at YOU the frame is the first frame again.
    shown.window->returnAction().trigger();
    Shown fresh(MakeLandscape(PlainRecipe()));
    QVERIFY(!view.isMoving());
    QCOMPARE(shown.frame(), fresh.frame());
}

void SceneViewTest::reducedFramesWhileMovingAndOnlyWhenSomethingChanged()
{
    Shown shown(MakeLandscape(PlainRecipe()));
    SceneView& view = shown.view();
    const QSize full = view.size() * view.devicePixelRatio();
    QTRY_COMPARE_WITH_TIMEOUT(view.lastFrameSize(), full, kTimeoutMs);

    // Nothing changes: nothing is drawn.
    const long long still = view.framesDrawn();
    QTest::qWait(400);
    QCOMPARE(view.framesDrawn(), still);

    // While the drag lasts, frames are reduced; the frame after it is full.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(&view, QPoint(340, 300));
    QTRY_VERIFY_WITH_TIMEOUT(view.framesDrawn() > still, kTimeoutMs);
    QVERIFY(view.isMoving());
    const QSize reduced = view.lastFrameSize();
    QVERIFY(reduced.width() <= std::ceil(full.width() * SceneView::kLargestReducedScale));
    QVERIFY(reduced.width() >= std::floor(full.width() * SceneView::kSmallestReducedScale));
    QVERIFY(reduced.height() <= std::ceil(full.height() * SceneView::kLargestReducedScale));
    QVERIFY(reduced.height() >= std::floor(full.height() * SceneView::kSmallestReducedScale));
    const QImage moving = view.grabFramebuffer();
    QCOMPARE(moving.size(), full);  // enlarged to the whole view
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(340, 300));
    QVERIFY(!view.isMoving());
    QTRY_COMPARE_WITH_TIMEOUT(view.lastFrameSize(), full, kTimeoutMs);

    // A wheel turn is a short movement that ends by itself.
    QWheelEvent wheel(QPointF(480, 300), view.mapToGlobal(QPointF(480, 300)), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &wheel);
    QVERIFY(view.isMoving());
    QTRY_VERIFY_WITH_TIMEOUT(!view.isMoving(), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(view.lastFrameSize(), full, kTimeoutMs);
}

void SceneViewTest::materialsWearingOnePictureShareOneTexture()
{
    const auto plain = MakeLandscape(PlainRecipe());
    const int before = Shown(plain).view().textureCount();
    // Three rock-like materials on one picture, and a fourth picture of the
    // same pixels but its own data: two more textures, not four.
    const auto scene = MakeLandscape(PlainRecipe());
    QImage stone(64, 64, QImage::Format_RGB32);
    stone.fill(qRgb(120, 110, 100));
    QImage twin(64, 64, QImage::Format_RGB32);
    twin.fill(qRgb(120, 110, 100));
    for (const QImage& picture : {stone, stone, stone, twin}) {
        ViewMaterial m;
        m.texture = picture;
        scene->materials.push_back(m);
        ViewMesh quad;
        quad.material = static_cast<int>(scene->materials.size()) - 1;
        quad.positions = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}};
        quad.texCoords = {{0, 1}, {1, 1}, {1, 0}};
        quad.indices = {0, 1, 2};
        scene->meshes.push_back(quad);
        scene->instances.push_back({static_cast<int>(scene->meshes.size()) - 1, QMatrix4x4()});
    }
    Shown shown(scene);
    QCOMPARE(shown.view().textureCount(), before + 2);
}

void SceneViewTest::maskedLeavesAndBlendedWater()
{
    // From above: the water's 40% colour over the ground; a leaf card lying
    // flat in front of the camera shows its disc and lets the ground show
    // through outside it.
    LandscapeRecipe recipe = PlainRecipe();
    recipe.water = true;
    recipe.waterColour = QColor(0, 0, 255);
    const auto scene = MakeLandscape(recipe);
    ViewMaterial leaf;
    leaf.texture = QImage(8, 8, QImage::Format_ARGB32);
    leaf.texture.fill(qRgba(255, 0, 0, 0));
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) leaf.texture.setPixel(x, y, qRgba(255, 0, 0, 255));
    leaf.alphaMode = AlphaMode::Mask;
    leaf.unlit = true;
    scene->materials.push_back(leaf);
    ViewMesh card;
    card.material = static_cast<int>(scene->materials.size()) - 1;
    card.positions = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    card.texCoords = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    card.indices = {0, 1, 2, 0, 2, 3};
    scene->meshes.push_back(card);
    QMatrix4x4 place;
    place.translate(0, 0, 12);  // between the camera from above and the hill
    scene->instances.push_back({static_cast<int>(scene->meshes.size()) - 1, place});

    Shown shown(scene);
    shown.view().lookFromAbove();
    const QImage frame = shown.frame();
    Keep(frame, "leaf-and-water");
    const QPoint centre(frame.width() / 2, frame.height() / 2);
    QVERIFY(Near(frame.pixel(centre), QColor(255, 0, 0), 2));  // the leaf's opaque middle, unlit
    // Just outside the disc but still on the card: the hill shows through.
    const int cardHalf = std::abs(frame.height() / 2 - centre.y());
    Q_UNUSED(cardHalf);
    QColor outside;
    for (int x = centre.x(); x < frame.width(); ++x) {
        if (!Near(frame.pixel(x, centre.y()), QColor(255, 0, 0), 2)) {
            outside = frame.pixel(x + 2, centre.y());
            break;
        }
    }
    QVERIFY(outside.isValid() && outside.red() < 60);
    // The surround under the water, at the picture's corner: 60% ground, 40% blue.
    const QColor ground = recipe.groundColour.darker(104);
    const QColor corner = frame.pixel(3, 3);
    QVERIFY(std::abs(corner.green() - qRound(0.6 * ground.green())) <= 4);
    QVERIFY(std::abs(corner.blue() - qRound(0.6 * ground.blue() + 0.4 * 255)) <= 4);
}

QTEST_MAIN(SceneViewTest)
#include "SceneViewTest.moc"
