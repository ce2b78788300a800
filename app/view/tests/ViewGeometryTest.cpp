// The view's arithmetic without a screen: preparing meshes (merged vertices,
// smooth normals across texture seams), the camera's orbit, pan, zoom, view
// from above and way home, the drawing order and the picture's frustum, and
// the mipmap chains made on worker threads.
#include <QtTest>

#include <atomic>
#include <cmath>

#include "app/view/DrawOrder.h"
#include "app/view/Frustum.h"
#include "app/view/MeshPreparation.h"
#include "app/view/OrbitCamera.h"
#include "app/view/TextureLevels.h"

using namespace kv::view;

namespace {

bool Close(const QVector3D& a, const QVector3D& b, float tolerance = 1e-4f) { return (a - b).length() < tolerance; }

ViewCamera You()
{
    ViewCamera camera;
    camera.position = QVector3D(0, 6, 0.5f);
    camera.forward = QVector3D(0, -1, 0);
    camera.up = QVector3D(0, 0, 1);
    camera.verticalFovDegrees = 45;
    return camera;
}

QVector3D Vertex(const PreparedMesh& mesh, std::size_t i, int offset)
{
    const float* v = &mesh.vertices[i * kFloatsPerVertex + static_cast<std::size_t>(offset)];
    return QVector3D(v[0], v[1], v[2]);
}

}  // namespace

class ViewGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void meshPreparation();
    void orbitPanZoomAndTheWayHome();
    void drawingOrder();
    void frustumLeavesOutWhatIsNotSeen();
    void mipmapChains();
};

void ViewGeometryTest::meshPreparation()
{
    // Two triangles of a roof, every corner its own vertex as files often
    // have them; the ridge corners repeat with other texture coordinates (a
    // seam) on the second face.
    ViewMesh roof;
    roof.positions = {{0, 0, 0}, {1, 0, 1}, {0, 1, 0}, {1, 0, 1}, {2, 0, 0}, {1, 1, 1},
                      {0, 1, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 1}, {1, 0, 1}, {2, 0, 0}};
    roof.texCoords = {{0, 0}, {0.5f, 0}, {0, 1}, {0.5f, 0}, {1, 0}, {0.5f, 1},
                      {0, 1}, {0.5f, 0}, {0.5f, 1}, {0.6f, 1}, {0.6f, 0}, {1, 0}};
    roof.indices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 99};  // the last triangle is out of range
    roof.material = 4;
    const PreparedMesh prepared = PrepareMesh(roof);
    QCOMPARE(prepared.material, 4);
    QCOMPARE(prepared.indices.size(), std::size_t(12));  // the broken triangle dropped
    // Equal corners merged: (0,0,0) (1,0,1) (0,1,0) (2,0,0) (1,1,1) and the
    // seam's two corners with their other coordinates.
    QCOMPARE(prepared.vertexCount(), std::size_t(7));
    QCOMPARE(prepared.boundsMin, QVector3D(0, 0, 0));
    QCOMPARE(prepared.boundsMax, QVector3D(2, 1, 1));
    // Smooth normals: a ridge corner's normal sums the slopes' faces by
    // their areas, and the seam's copies of a ridge corner get the same
    // normal (no crease).
    for (std::size_t i = 0; i < prepared.vertexCount(); ++i) {
        const QVector3D p = Vertex(prepared, i, 0), n = Vertex(prepared, i, 3);
        QVERIFY(std::abs(n.length() - 1.0f) < 1e-5f);
        if (p == QVector3D(1, 0, 1)) QVERIFY2(Close(n, QVector3D(0, 0, 1)), "two faces on each side: straight up");
        if (p == QVector3D(1, 1, 1)) QVERIFY2(Close(n, QVector3D(1, 0, 3).normalized()), "one face left, two right");
        if (p.x() == 0.0f) QVERIFY(Close(n, QVector3D(-1, 0, 1).normalized()));
        if (p.x() == 2.0f) QVERIFY(Close(n, QVector3D(1, 0, 1).normalized()));
    }
    // Normals a mesh brings are kept (normalised); without texture
    // coordinates every vertex gets (0, 0).
    ViewMesh flat;
    flat.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    flat.normals = {{0, 0, 2}, {0, 0, 2}, {0, 2, 0}};
    flat.indices = {0, 1, 2};
    const PreparedMesh kept = PrepareMesh(flat);
    QCOMPARE(kept.vertexCount(), std::size_t(3));
    QVERIFY(Close(Vertex(kept, 2, 3), QVector3D(0, 1, 0)));
    QCOMPARE(kept.vertices[6], 0.0f);
    QCOMPARE(kept.vertices[7], 0.0f);
}

void ViewGeometryTest::orbitPanZoomAndTheWayHome()
{
    const QVector3D pivot(0, 0, 1.5f);
    OrbitCamera camera(You(), pivot, QVector3D(10, 10, 3));
    const float distance = (You().position - pivot).length();

    // A quarter turn counter-clockwise seen from above: from the north side
    // (+y) to the west side (-x), still looking the same way at the pivot.
    camera.orbit(90, 0);
    QVERIFY(Close(camera.camera().position, QVector3D(-6, 0, 0.5f)));
    QVERIFY(Close(camera.camera().forward, QVector3D(1, 0, 0)));
    QVERIFY(Close(camera.camera().up, QVector3D(0, 0, 1)));
    // Pitch raises the camera about the pivot, never over the top.
    camera.orbit(0, 30);
    QCOMPARE(qRound((camera.camera().position - pivot).length() * 1e4f), qRound(distance * 1e4f));
    QVERIFY(camera.camera().position.z() > 2.0f);
    QVERIFY(std::abs(std::asin(-camera.camera().forward.z()) * 180 / M_PI - 30) < 1e-3);
    camera.orbit(0, 200);
    QVERIFY(Close(camera.camera().forward, QVector3D(0, 0, -1)));
    QVERIFY(camera.camera().up.z() >= -1e-6f);
    camera.orbit(0, -300);
    QVERIFY(Close(camera.camera().forward, QVector3D(0, 0, 1)));

    // Pan: the direction of view stays, the camera moves in the picture's
    // plane, the picture's content the way the pointer went.
    camera.returnHome();
    camera.pan(0.5f, 0);
    const ViewCamera panned = camera.camera();
    QVERIFY(Close(panned.forward, You().forward));
    // Content to the right: the camera went to its left, which for a camera
    // looking along -y is +x.
    QVERIFY(panned.position.x() > 0.5f);
    QVERIFY(std::abs(panned.position.y() - 6) < 1e-4f && std::abs(panned.position.z() - 0.5f) < 1e-4f);

    // Zoom moves along the view, nearer for positive steps, within limits.
    camera.returnHome();
    camera.zoom(1);
    QVERIFY(Close(camera.camera().forward, You().forward));
    QVERIFY(camera.camera().position.y() < 6 && camera.camera().position.y() > 4);
    camera.zoom(-1000);
    QVERIFY((camera.camera().position - pivot).length() < 401);
    QVERIFY((camera.camera().position - pivot).length() > 300);

    // From above: straight down over the pivot, north up, high enough for
    // the whole 10 x 10 terrain to show in the height of the picture.
    camera.lookFromAbove();
    const ViewCamera above = camera.camera();
    QVERIFY(Close(above.forward, QVector3D(0, 0, -1)));
    QVERIFY(Close(above.up, QVector3D(0, 1, 0)));
    QVERIFY(Close(above.position * QVector3D(1, 1, 0), QVector3D(0, 0, 0)));
    const float reach = (above.position.z() - 3) * std::tan(22.5f * static_cast<float>(M_PI) / 180);
    QVERIFY(reach >= 5.0f && reach < 6.0f);

    // Home is the scene camera exactly, whatever happened before.
    camera.returnHome();
    QCOMPARE(camera.camera().position, You().position);
    QCOMPARE(camera.camera().forward, You().forward);
    QCOMPARE(camera.camera().up, You().up);
    QCOMPARE(camera.camera().verticalFovDegrees, 45.0f);
    // A scene camera given with a slanted up vector is made upright to its view.
    ViewCamera slanted = You();
    slanted.up = QVector3D(0, -0.5f, 1);
    OrbitCamera straightened(slanted, pivot, QVector3D(10, 10, 3));
    QVERIFY(Close(straightened.camera().up, QVector3D(0, 0, 1)));
}

void ViewGeometryTest::drawingOrder()
{
    const QVector3D eye(0, 6, 0.5f);
    const auto box = [](QVector3D lo, QVector3D hi, bool blended, bool dome = false) {
        return DrawCandidate{lo, hi, blended, dome};
    };
    const std::vector<DrawCandidate> candidates = {
        box({-100, -100, -10}, {100, 100, 10}, false, true),  // 0 sky dome round the eye
        box({-100, -100, 0.1f}, {100, 100, 0.1f}, true),    // 1 water below the eye
        box({-1, 3, 0}, {1, 4, 1}, false),                  // 2 near tree
        box({-99, -99, -11.4f}, {99, 99, 8.4f}, true, true),  // 3 fog dome round the eye
        box({-5, -5, 0}, {5, 5, 3.3f}, false),              // 4 terrain
        box({-1, -4, 0}, {1, -3, 1}, false),                // 5 far tree
        box({-1, -2, 0}, {1, -1, 1}, true),                 // 6 a blended thing in front of the water's centre
    };
    // Opaque near to far, then the enclosing sky; blended: the fog dome
    // (enclosing) first, then the others farthest first.
    QCOMPARE(DrawOrder(candidates, eye), (std::vector<int>{4, 2, 5, 0, 3, 6, 1}));
    // From high above both domes they are left out: they would hide the land.
    QCOMPARE(DrawOrder(candidates, QVector3D(0, 0, 15)), (std::vector<int>{4, 2, 5, 1, 6}));
}

void ViewGeometryTest::frustumLeavesOutWhatIsNotSeen()
{
    OrbitCamera camera(You(), QVector3D(0, 0, 1.5f), QVector3D(10, 10, 3));
    const Frustum frustum(camera.projectionMatrix(1.6f, 0.05f, 200.0f) * camera.viewMatrix());
    QVERIFY(!frustum.excludes({-1, -1, 0}, {1, 1, 1}));         // in front
    QVERIFY(frustum.excludes({-1, 8, 0}, {1, 9, 1}));           // behind the camera
    QVERIFY(frustum.excludes({-1, -300, 0}, {1, -250, 1}));     // beyond the far plane
    QVERIFY(frustum.excludes({30, -5, 0}, {31, -4, 1}));        // far off to the side
    QVERIFY(!frustum.excludes({-100, -100, -10}, {100, 100, 10}));  // round the camera
    QVERIFY(!frustum.excludes({-0.1f, 5.9f, 0.4f}, {0.1f, 6.5f, 0.6f}));  // round the eye, reaching into the picture
    QVERIFY(frustum.excludes({-0.1f, 5.9f, -0.1f}, {0.1f, 6.5f, 0.1f}));  // just under the eye, out of the picture
}

void ViewGeometryTest::mipmapChains()
{
    // 5 x 3: levels 2 x 1 and 1 x 1; the odd last column and row fold in.
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgba(x * 50, y * 100, 0, x < 2 ? 0 : 255));
    const TextureLevels bgra = MakeTextureLevels(image, 4096, true);
    QCOMPARE(bgra.order, PixelOrder::Bgra);
    QVERIFY(bgra.alpha);
    QCOMPARE(bgra.levels.size(), std::size_t(3));
    QCOMPARE(bgra.levels[1].size(), QSize(2, 1));
    QCOMPARE(bgra.levels[2].size(), QSize(1, 1));
    // Level 1, left pixel: columns 0-1, rows 0-2 (the odd row folded in).
    const QRgb left = bgra.levels[1].pixel(0, 0);
    QCOMPARE(qRed(left), 25);
    QCOMPARE(qGreen(left), 100);
    QCOMPARE(qAlpha(left), 0);
    // Right pixel: columns 2-4 and rows 0-2, alpha all opaque.
    QCOMPARE(qRed(bgra.levels[1].pixel(1, 0)), 150);
    QCOMPARE(qAlpha(bgra.levels[1].pixel(1, 0)), 255);
    // Without BGRA the same chain in RGBA byte order.
    const TextureLevels rgba = MakeTextureLevels(image, 4096, false);
    QCOMPARE(rgba.order, PixelOrder::Rgba);
    QCOMPARE(rgba.levels[1].pixel(1, 0), bgra.levels[1].pixel(1, 0));
    // Larger than the renderer takes: scaled down first.
    QImage opaque(64, 32, QImage::Format_RGB888);
    opaque.fill(QColor(10, 20, 30));
    const TextureLevels small = MakeTextureLevels(opaque, 16, true);
    QVERIFY(!small.alpha);
    QCOMPARE(small.levels[0].size(), QSize(16, 16));
    QCOMPARE(small.levels.size(), std::size_t(5));
    QCOMPARE(small.levels.back().pixel(0, 0), qRgb(10, 20, 30));

    // Prepared on workers, consumed in order on this thread, never more
    // than a few ahead.
    std::vector<int> consumed;
    std::atomic<int> prepared{0};
    int mostAhead = 0;
    PrepareInOrder(
        12, 2, [&](int) { ++prepared; },
        [&](int i) {
            mostAhead = std::max(mostAhead, prepared.load() - i);
            consumed.push_back(i);
        });
    QCOMPARE(consumed, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    QVERIFY(mostAhead <= 3);
}

QTEST_MAIN(ViewGeometryTest)
#include "ViewGeometryTest.moc"
