// The main window's 3D View button: where it sits, its right-click help,
// disabled until a creation has finished with a scene and while busy, the
// report that offers the view, and the view it opens. Runs on a virtual X
// server, as the view needs OpenGL.
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "app/ProgramIcon.h"
#include "app/tests/AppTestSupport.h"
#include "SyntheticLandscape.h"
#include "app/view/SceneView.h"
#include "app/view/ViewWindow.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

namespace {

constexpr int kTimeoutMs = 300000;

std::shared_ptr<const view::ViewScene> SmallScene() { return view::test::MakeLandscape({}); }

// The mean red, green and blue of a picture, from 0 to 255.
QVector3D MeanColour(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QVector3D sum;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            sum += QVector3D(qRed(p), qGreen(p), qBlue(p));
        }
    return sum / float(std::max(1, rgb.width() * rgb.height()));
}

template <typename Which>
QImage PictureOf(const view::ViewScene& scene, Which which)
{
    for (const view::ViewMaterial& m : scene.materials)
        if (which(m) && !m.texture.isNull()) return m.texture;
    return {};
}

const view::ViewMesh& MeshNamed(const view::ViewScene& scene, const std::string& name)
{
    for (const view::ViewMesh& mesh : scene.meshes)
        if (mesh.name == name) return mesh;
    qFatal("no mesh %s", name.c_str());
}

QString Describe(const QVector3D& seen, const QVector3D& sky, const QVector3D& ground)
{
    const auto text = [](const QVector3D& c) { return QString("(%1 %2 %3)").arg(c.x()).arg(c.y()).arg(c.z()); };
    return "seen " + text(seen) + " sky " + text(sky) + " ground " + text(ground);
}

// Right-clicks the button's centre and returns the titles of the messages shown.
QStringList RightClickTitles(WindowFixture& f)
{
    const std::size_t before = f.dialogs.messages.size();
    QTest::mouseClick(f.w().windowHandle(), Qt::RightButton, {},
                      f.w().control(Control::View3D)->geometry().center());
    QStringList titles;
    for (std::size_t i = before; i < f.dialogs.messages.size(); ++i)
        titles << QString::fromStdString(f.dialogs.messages[i].title);
    return titles;
}

}  // namespace

class ViewButtonTest : public QObject {
    Q_OBJECT

private slots:
    // As the program does at start-up: every window gets its icon.
    void initTestCase() { SetProgramIcon(); }
    void placeAndHelp();
    void enabledOnceASceneIsThere();
    void reportOffersTheViewOfTheCreation();
    void unfinishedCreationKeepsThePreviousScene();
};

void ViewButtonTest::placeAndHelp()
{
    WindowFixture f;
    QWidget* button = f.w().control(Control::View3D);
    QCOMPARE(static_cast<QPushButton*>(button)->text(), QString("3D View"));
    // In the column's free space between Stop and Preview, as wide as they are.
    const QRect stop = f.w().control(Control::Stop)->geometry();
    const QRect preview = f.w().control(Control::Preview)->geometry();
    QCOMPARE(button->geometry().left(), stop.left());
    QCOMPARE(button->width(), stop.width());
    QVERIFY(button->geometry().top() > stop.bottom() && button->geometry().bottom() < preview.top());
    QVERIFY(button->fontMetrics().horizontalAdvance("3D View") + 8 <= button->width());

    // Disabled (nothing created yet), its help comes from the window's surface.
    QVERIFY(!button->isEnabled());
    QCOMPARE(RightClickTitles(f), QStringList({"3D View"}));
    QVERIFY(QString::fromStdString(f.dialogs.messages.back().text).contains("once a creation has finished"));
    // Enabled, the button answers itself.
    f.w().setCreatedScene(SmallScene());
    QVERIFY(button->isEnabled());
    QCOMPARE(RightClickTitles(f), QStringList({"3D View"}));
    const QString text = QString::fromStdString(f.dialogs.messages.back().text);
    QVERIFY(text.contains("left mouse button") && text.contains("Home") && text.contains("click the Help button"));
    QCOMPARE(f.dialogs.messages.back().icon, MessageIcon::Information);
}

void ViewButtonTest::enabledOnceASceneIsThere()
{
    WindowFixture f;
    QWidget* button = f.w().control(Control::View3D);
    f.w().showView();  // nothing to show yet: nothing happens
    QVERIFY(!f.w().viewWindow());

    const auto scene = SmallScene();
    f.w().setCreatedScene(scene);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QPointer<view::ViewWindow> first = f.w().viewWindow();
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QCOMPARE(&first->view().scene(), scene.get());
    QCOMPARE(first->size(), QSize(960, 600));
    QVERIFY(first->isWindow());
    QVERIFY(!first->windowIcon().isNull());
    QTRY_VERIFY_WITH_TIMEOUT(first->view().framesDrawn() > 0, kTimeoutMs);
    QVERIFY(first->view().failure().isEmpty());

    // Pressed again: the old view closes, a new one opens.
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(f.w().viewWindow());
    f.w().viewWindow()->close();
    QTRY_VERIFY(!f.w().viewWindow());
}

void ViewButtonTest::reportOffersTheViewOfTheCreation()
{
    // Low rolling ground, so that the camera sees over it to the sky.
    WindowFixture f([](ProgramDir& program) {
        WriteBmp(program.file("height01.bmp"), 24, 24, [](int x, int y) {
            return static_cast<std::uint32_t>((20 + (x * 7 + y * 5) % 12) * 0x010101);
        });
    });
    MainWindow& w = f.w();
    QWidget* button = w.control(Control::View3D);
    ScratchDir scenes;
    QSignalSpy ended(&w, &MainWindow::creationEnded);
    // The creation hands its scene over while it runs; the button stays
    // disabled until it has finished.
    bool enabledWhileBusy = false;
    f.dialogs.whileMessageOpen = [&](const Message&) { enabledWhileBusy = enabledWhileBusy || button->isEnabled(); };
    f.dialogs.answers = {scenes.qfile("valley")};
    f.dialogs.offerReplies = {true};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QCOMPARE(ended.at(0).first().value<JobOutcome>(), JobOutcome::Finished);
    QVERIFY(!enabledWhileBusy);

    // The report, with the view offered beside OK and taken: the view shows
    // the scene this creation built.
    QCOMPARE(f.dialogs.offers, std::vector<QString>({"3D View"}));
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    QVERIFY(f.dialogs.messages[0].icon == MessageIcon::Information);
    const auto created = w.createdScene();
    QVERIFY(created);
    QVERIFY(button->isEnabled());
    QVERIFY(w.viewWindow());
    QCOMPARE(&w.viewWindow()->view().scene(), created.get());
    QVERIFY(w.viewWindow()->windowTitle().contains("valley.scn"));

    // From YOU the sky is above the horizon and the terrain below: the top
    // rows of the frame look like the sky's picture, the bottom rows like
    // the terrain's.
    view::SceneView& view = w.viewWindow()->view();
    QVERIFY(QTest::qWaitForWindowExposed(w.viewWindow()));
    QTRY_VERIFY_WITH_TIMEOUT(view.framesDrawn() > 0, kTimeoutMs);
    const QImage frame = view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    const QVector3D sky = MeanColour(PictureOf(*created, [](const view::ViewMaterial& m) {
        return m.unlit && m.alphaMode == view::AlphaMode::Opaque;
    }));
    const QVector3D ground = MeanColour(PictureOf(*created, [&](const view::ViewMaterial& m) {
        return &m == &created->materials[static_cast<std::size_t>(MeshNamed(*created, "terrain").material)];
    }));
    const int band = frame.height() / 8;
    const QVector3D top = MeanColour(frame.copy(0, 0, frame.width(), band));
    const QVector3D bottom = MeanColour(frame.copy(0, frame.height() - band, frame.width(), band));
    QVERIFY2((top - sky).length() < (top - ground).length(), qPrintable(Describe(top, sky, ground)));
    QVERIFY2((bottom - ground).length() < (bottom - sky).length(), qPrintable(Describe(bottom, sky, ground)));
    w.viewWindow()->close();

    // Another creation whose report is answered OK: no view opens, the
    // button shows the newer scene.
    f.dialogs.answers = {scenes.qfile("second")};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kTimeoutMs);
    QCOMPARE(f.dialogs.offers.size(), std::size_t(2));
    QTRY_VERIFY(!w.viewWindow());
    QVERIFY(w.createdScene());
    QVERIFY(w.createdScene() != created);
}

void ViewButtonTest::unfinishedCreationKeepsThePreviousScene()
{
    WindowFixture f;
    MainWindow& w = f.w();
    QSignalSpy ended(&w, &MainWindow::creationEnded);
    const auto first = SmallScene();
    w.setCreatedScene(first);
    // A creation cancelled at its scene dialog, after handing over a scene:
    // no report, no offer, the button still shows the first scene.
    f.dialogs.whileFileDialogOpen = [&](const ScriptedDialogs::FileDialog&) {
        w.setCreatedScene(SmallScene());
        QVERIFY(!w.control(Control::View3D)->isEnabled());
    };
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QCOMPARE(ended.at(0).first().value<JobOutcome>(), JobOutcome::Cancelled);
    QVERIFY(f.dialogs.offers.empty());
    QCOMPARE(w.createdScene(), first);
    QVERIFY(w.control(Control::View3D)->isEnabled());
}

QTEST_MAIN(ViewButtonTest)
#include "ViewButtonTest.moc"
