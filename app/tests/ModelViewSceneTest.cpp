// The 3D view's description of a scene a creation has just built, checked
// against the scene model itself: where objects stand, what they share, how
// pictures lie on the terrain, the lights and the camera.
#include <QtTest>

#include <set>

#include "AppTestSupport.h"
#include "tests/OneAnswerFrontEnd.h"
#include "app/ModelViewScene.h"
#include "core/inputs/ProjectSettings.h"
#include "core/job/CreationJob.h"
#include "core/model/SceneModel.h"
#include "core/textures/SceneImages.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;
using view::AlphaMode;
using view::ViewScene;

namespace {

// Answers the scene dialog once and keeps what the job hands over.
using KeepingFrontEnd = kv::test::OneAnswerFrontEnd;

QVector3D Q(const Vec3& v) { return {float(v.x), float(v.y), float(v.z)}; }

bool Close(const QVector3D& a, const QVector3D& b, float tolerance = 1e-4f) { return (a - b).length() <= tolerance; }

QMatrix4x4 WorldOf(const Node& node)
{
    QMatrix4x4 m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m(r, c) = float(node.frame.transform.m[std::size_t(r)][std::size_t(c)]);
    return m;
}

}  // namespace

class ModelViewSceneTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void objectsStandWhereTheModelPutsThem();
    void materialsFollowTheirKindOfSurface();
    void terrainPicturesLieAsInTheFile();
    void lightsAndCameraAreTheScenes();

private:
    ProgramDir program_;
    ScratchDir scenes_;
    std::shared_ptr<const Scene> model_;
    std::shared_ptr<const SceneImages> images_;
    std::shared_ptr<const ViewScene> view_;
};

void ModelViewSceneTest::initTestCase()
{
    Session session;
    KeepingFrontEnd ui(SceneFileChoice{scenes_.path(), "valley", true, {}}, true);
    // A stock landscape with its trees and rocks, under a rippled sea.
    ProjectSettings settings = DefaultSettings(program_.path());
    settings.basebmp = "height03.bmp";
    settings.treebmp = "tree03.bmp";
    settings.oceanindex = 3;
    CreationJob job(settings, session, ui, program_.path());
    QCOMPARE(job.Run(), JobOutcome::Finished);
    QVERIFY(ui.scene && ui.images);
    model_ = ui.scene;
    images_ = ui.images;
    view_ = ViewSceneOf(*model_, *images_);
}

void ModelViewSceneTest::objectsStandWhereTheModelPutsThem()
{
    // Every object of the model has instances placed by its own matrix: the
    // points of its mesh land where the model's matrix puts them.
    std::size_t placed = 0;
    std::set<int> placedMeshes;
    for (const Node& node : model_->nodes()) {
        if (node.kind != NodeKind::Object || !node.mesh) continue;
        const QMatrix4x4 world = WorldOf(node);
        int instances = 0;
        for (const view::ViewInstance& instance : view_->instances) {
            if (instance.world != world) continue;
            ++instances;
            if (node.placed) placedMeshes.insert(instance.mesh);
            // Each point of the instance's mesh is a point of the model's mesh.
            const view::ViewMesh& mesh = view_->meshes[static_cast<std::size_t>(instance.mesh)];
            for (std::size_t k = 0; k < mesh.positions.size(); k += 7) {
                bool known = false;
                for (const Vec3& v : node.mesh->vertices) {
                    if (!Close(mesh.positions[k], Q(v))) continue;
                    QVERIFY2(Close(instance.world.map(mesh.positions[k]), Q(node.frame.transform.Apply(v)), 1e-3f),
                             node.name.c_str());
                    known = true;
                    break;
                }
                QVERIFY2(known, node.name.c_str());
            }
        }
        QVERIFY2(instances > 0, node.name.c_str());
        if (node.placed) ++placed;
    }
    QVERIFY(placed > 20);
    // Placed trees and rocks share their kind's meshes: far fewer meshes than objects.
    QVERIFY2(placedMeshes.size() * 2 < placed, qPrintable(QString::number(placedMeshes.size())));
}

void ModelViewSceneTest::materialsFollowTheirKindOfSurface()
{
    auto materialOf = [this](const std::string& name) -> const view::ViewMaterial& {
        const QMatrix4x4 world = WorldOf(model_->node(model_->Find(name)));
        for (const view::ViewInstance& instance : view_->instances)
            if (instance.world == world)
                return view_->materials[static_cast<std::size_t>(view_->meshes[static_cast<std::size_t>(instance.mesh)].material)];
        qFatal("no instance of %s", name.c_str());
    };
    // The domes show their pictures unlit from inside; the fog blends.
    const view::ViewMaterial& sky = materialOf("atmos");
    QVERIFY(sky.unlit && sky.doubleSided && sky.alphaMode == AlphaMode::Opaque);
    QVERIFY(!sky.texture.isNull());
    const view::ViewMaterial& fog = materialOf("fog");
    QVERIFY(fog.unlit && fog.alphaMode == AlphaMode::Blend && fog.texture.hasAlphaChannel());
    // The ocean blends at the model's alpha.
    const view::ViewMaterial& ocean = materialOf("ocean");
    QCOMPARE(ocean.alphaMode, AlphaMode::Blend);
    QVERIFY(std::abs(ocean.baseColour.w() - 0.4f) < 1e-6f);
    QVERIFY(!ocean.unlit);
    // Leaves are cut at half alpha; no other lit material is.
    int masked = 0;
    for (const view::ViewMaterial& m : view_->materials) {
        if (m.alphaMode != AlphaMode::Mask) continue;
        ++masked;
        QVERIFY(m.texture.hasAlphaChannel() && m.doubleSided && m.alphaCutoff == 0.5f);
    }
    QVERIFY(masked > 0);
}

void ModelViewSceneTest::terrainPicturesLieAsInTheFile()
{
    const Node& terrain = model_->node(model_->Find("terrain"));
    const Material& detail = model_->materials()[static_cast<std::size_t>(terrain.materials.at(0))];
    const TerrainSurface& s = *model_->terrain();
    const int n = s.Size();
    // The first two meshes of the terrain: the grid, then the surround.
    const view::ViewMesh* grid = nullptr;
    for (const view::ViewMesh& m : view_->meshes)
        if (m.name == "terrain") grid = &m;
    QVERIFY(grid);
    QCOMPARE(grid->positions.size(), std::size_t(n) * std::size_t(n));
    QCOMPARE(grid->indices.size(), std::size_t(n - 1) * std::size_t(n - 1) * 6);
    const view::ViewMaterial& m = view_->materials[static_cast<std::size_t>(grid->material)];
    QCOMPARE(m.texture.size(), QImage(QString::fromStdString(scenes_.file("tex1.jpg"))).size());
    // The picture's pixel (column, row) the model's mapping gives a grid point
    // is the one the view samples: u across, v up from the bottom row.
    for (const auto& [j, y] : {std::pair{0, 0}, std::pair{n - 1, 0}, std::pair{n / 3, n / 2}, std::pair{n - 1, n - 1}}) {
        const Point2f t = s.PlanarTexcoord(j, y);
        const double u = t.u * detail.texture->repeats.u + detail.texture->offset.u;
        const double vUp = t.v * detail.texture->repeats.v + detail.texture->offset.v;
        const QVector2D shown = grid->texCoords[static_cast<std::size_t>(y * n + j)] * m.textureScale + m.textureOffset;
        QVERIFY(std::abs(shown.x() - u) < 1e-3);
        // v down from the top row is 1 - v up, in whole repeats.
        const double down = shown.y(), up = vUp;
        QVERIFY2(std::abs(std::remainder(down + up - 1.0, 1.0)) < 1e-3, qPrintable(QString("%1 %2").arg(down).arg(up)));
        QVERIFY(Close(grid->positions[static_cast<std::size_t>(y * n + j)], QVector3D(s.Vertex(j, y).x, s.Vertex(j, y).y, s.Vertex(j, y).z)));
    }
    // Lit from above: every normal points up.
    for (const QVector3D& normal : grid->normals) QVERIFY(normal.z() > 0.0f && std::abs(normal.length() - 1.0f) < 1e-4f);
    // The orbit's pivot is the terrain's centre; it spans the ten units.
    QVERIFY(Close(view_->terrainCentre * QVector3D(1, 1, 0), QVector3D(0, 0, 0)));
    QVERIFY(Close(view_->terrainSize * QVector3D(1, 1, 0), QVector3D(10, 10, 0)));
}

void ModelViewSceneTest::lightsAndCameraAreTheScenes()
{
    const Node& you = model_->node(model_->Find("YOU"));
    qInfo() << view_->terrainCentre << view_->terrainSize << view_->camera.position << view_->camera.forward;
    { const Node& t = model_->node(model_->Find("terrain")); for (auto& r : t.frame.transform.m) qInfo("%g %g %g %g", r[0], r[1], r[2], r[3]); }
    QVERIFY(Close(view_->camera.position, Q(you.frame.center)));
    QVERIFY(Close(view_->camera.forward, Q(you.frame.zAxis).normalized()));
    QVERIFY(Close(view_->camera.up, Q(you.frame.yAxis).normalized()));
    // The camera looks at the land in front of it, not at the sky or away.
    QVERIFY(QVector3D::dotProduct(view_->terrainCentre - view_->camera.position, view_->camera.forward) > 0.0f);
    // Four infinite lights and the sun, each with the model's colour.
    QCOMPARE(view_->directionalLights.size(), std::size_t(4));
    QCOMPARE(view_->pointLights.size(), std::size_t(1));
    const Node& sun = model_->node(model_->Find("sun"));
    QVERIFY(Close(view_->pointLights[0].position, Q(sun.frame.center)));
    QVERIFY(Close(view_->pointLights[0].colour, Q(sun.light->colour)));
    for (const view::ViewDirectionalLight& light : view_->directionalLights)
        QVERIFY(std::abs(light.direction.length() - 1.0f) < 1e-5f);
}

QTEST_MAIN(ModelViewSceneTest)
#include "ModelViewSceneTest.moc"
