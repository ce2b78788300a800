// The 3D view's speed and size with the scene of a Hi Res creation of the
// default settings (--creation), or with a synthetic scene as large: a
// 100 x 100 terrain grid with its surround, four
// 2304 x 2304 images, a 1024 x 1024 sky and fog, 170 trees (a trunk and 200
// alpha-masked leaf cards on a 256 x 256 image, 400 triangles) and 80 rocks
// of 1024 triangles. Made in memory, as the window holds a creation's scene.
//
//   kelvane_view_bench [--creation] [--seconds S] [--frames DIR] [--write-glb FILE]
//
// --creation measures the scene of a real Hi Res creation of the default
// settings instead, as the window's 3D View button shows it (the scene model
// and its pictures made into the view's meshes, no file read back).
//
// Prints: the time from asking for the view to its first frame on the screen;
// the frames a second over a scripted orbit of S seconds (5) in a 960 x 600
// window, with reduced frames as while dragging, and with full frames; the
// time of one still full frame; the process's peak memory. --frames saves the
// still frames from YOU, while orbiting and from above as PNG files;
// --write-glb writes the scene as a binary glTF file (for the app's --view)
// and ends. Run it on a display with OpenGL (xvfb-run for Mesa's software
// renderer): bench/view_speed.sh does that and measures the app too.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

#include <QTemporaryDir>

#include "GltfTestWriter.h"
#include "tests/OneAnswerFrontEnd.h"
#include "SyntheticLandscape.h"
#include "app/view/SceneView.h"
#include "app/ModelViewScene.h"
#include "app/view/ViewWindow.h"
#include "core/inputs/ProjectSettings.h"
#include "core/job/CreationJob.h"
#include "core/model/SceneModel.h"
#include "core/textures/SceneImages.h"

using namespace kv::view;

namespace {

test::LandscapeRecipe HiResRecipe()
{
    test::LandscapeRecipe recipe;
    recipe.gridSize = 100;
    recipe.patterned = true;
    recipe.groundColour = QColor(128, 112, 82);
    recipe.groundTextureSize = 2304;
    recipe.rockTextureSize = 2304;
    recipe.barkTextureSize = 2304;
    recipe.skyTextureSize = 1024;
    recipe.fog = true;
    recipe.water = true;
    recipe.trees = 170;
    recipe.treeLeafCards = 200;
    recipe.leafTextureSize = 256;
    recipe.rocks = 80;
    recipe.rockBands = 16;
    return recipe;
}

// Runs `step` and waits until the view's next frame is on the screen.
void StepAndWaitForFrame(SceneView& view, const std::function<void()>& step)
{
    QEventLoop loop;
    const auto connection = QObject::connect(&view, &QOpenGLWidget::frameSwapped, &loop, &QEventLoop::quit);
    step();
    view.update();
    loop.exec();
    QObject::disconnect(connection);
}

// Frames a second over `seconds` of orbiting by one degree a frame.
double OrbitRate(SceneView& view, double seconds, bool reduced)
{
    if (reduced) view.beginMovement();
    QElapsedTimer clock;
    clock.start();
    long long frames = 0;
    while (clock.nsecsElapsed() < static_cast<qint64>(seconds * 1e9)) {
        StepAndWaitForFrame(view, [&] { view.orbitBy(1.0f, frames % 40 < 20 ? 0.3f : -0.3f); });
        ++frames;
    }
    const double rate = static_cast<double>(frames) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
    if (reduced) StepAndWaitForFrame(view, [&] { view.endMovement(); });
    return rate;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

// The view of a Hi Res creation of the default settings, made as the window
// makes it; null when the creation fails.
std::shared_ptr<const ViewScene> CreatedHiResScene()
{
    QTemporaryDir scenes;
    kv::Session session;
    kv::test::OneAnswerFrontEnd ui(kv::SceneFileChoice{scenes.path().toStdString(), "valley", true, {}}, true);
    kv::ProjectSettings settings = kv::DefaultSettings(KV_BENCH_PROGRAM_DIR);
    settings.resolution = 2;
    kv::CreationJob job(settings, session, ui, KV_BENCH_PROGRAM_DIR);
    if (job.Run() != kv::JobOutcome::Finished || !ui.scene) return nullptr;
    return kv::app::ViewSceneOf(*ui.scene, *ui.images);
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    double seconds = 5.0;
    QString framesDirectory, glbPath;
    bool creation = false;
    test::LandscapeRecipe recipe = HiResRecipe();
    const QStringList arguments = QApplication::arguments();
    creation = arguments.contains("--creation");
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--seconds") seconds = arguments[i + 1].toDouble();
        if (arguments[i] == "--trees") recipe.trees = arguments[i + 1].toInt();
        if (arguments[i] == "--leaf-cards") recipe.treeLeafCards = arguments[i + 1].toInt();
        if (arguments[i] == "--rocks") recipe.rocks = arguments[i + 1].toInt();
        if (arguments[i] == "--texture-size") recipe.groundTextureSize = recipe.rockTextureSize = recipe.barkTextureSize = arguments[i + 1].toInt();
        if (arguments[i] == "--fog") recipe.fog = arguments[i + 1].toInt() != 0;
        if (arguments[i] == "--frames") framesDirectory = arguments[i + 1];
        if (arguments[i] == "--write-glb") glbPath = arguments[i + 1];
    }

    QElapsedTimer making;
    making.start();
    const std::shared_ptr<const ViewScene> scene = creation ? CreatedHiResScene() : test::MakeLandscape(recipe);
    if (!scene) {
        std::fprintf(stderr, "the creation failed\n");
        return 1;
    }
    std::printf("%s %.2f s (not part of the view's figures)\n",
                creation ? "Hi Res creation and its view:  " : "scene made in memory:          ",
                static_cast<double>(making.elapsed()) / 1000.0);
    if (!glbPath.isEmpty()) {
        const QString failure = test::WriteGltf(*scene, glbPath);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
        std::printf("written: %s\n", qPrintable(glbPath));
        return 0;
    }

    // From the request to the first frame on the screen.
    QElapsedTimer clock;
    clock.start();
    auto* window = new ViewWindow(scene, "benchmark");
    SceneView& view = window->view();
    {
        QEventLoop loop;
        QObject::connect(&view, &QOpenGLWidget::frameSwapped, &loop, &QEventLoop::quit);
        window->show();
        loop.exec();
    }
    const double firstFrame = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (!view.failure().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(view.failure()));
        return 1;
    }
    std::printf("window %dx%d, view %dx%d\n", window->width(), window->height(), view.width(), view.height());
    std::printf("request to first frame:         %.3f s  (target at most 1.5 s)\n", firstFrame);

    const auto keep = [&](const QString& name) {
        if (!framesDirectory.isEmpty()) view.grabFramebuffer().save(QDir(framesDirectory).filePath(name));
    };
    keep("view-you.png");

    QElapsedTimer still;
    still.start();
    constexpr int kStillFrames = 10;
    for (int i = 0; i < kStillFrames; ++i) StepAndWaitForFrame(view, [] {});
    std::printf("still full frame:               %.1f ms, %lld triangles, %d draw calls\n",
                static_cast<double>(still.nsecsElapsed()) / 1e6 / kStillFrames, view.lastFrameTriangles(),
                view.lastFrameDrawCalls());

    const double reducedRate = OrbitRate(view, seconds, true);
    std::printf("orbit, reduced while moving:    %.1f frames/s over %.0f s  (target at least 20)\n", reducedRate,
                seconds);
    keep("view-orbited.png");
    const double fullRate = OrbitRate(view, seconds, false);
    std::printf("orbit, full frames throughout:  %.1f frames/s\n", fullRate);
    StepAndWaitForFrame(view, [&] { view.lookFromAbove(); });
    keep("view-above.png");
    StepAndWaitForFrame(view, [&] { view.returnToSceneCamera(); view.orbitBy(-35, 12); view.zoomBy(-2); });
    keep("view-around.png");
    std::printf("peak memory of this process:    %.0f MB  (target at most 400 MB)\n", PeakMegabytes());
    delete window;
    return 0;
}
