// The previews: the sky preview drawn in the window from the "~" cloud
// bitmaps, and the terrain texture preview window.
#include <QDir>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/TerrainPreviewWindow.h"
#include "core/platform/Paths.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

namespace {

// Pixel (x, y) of the sky preview as drawn in the window.
QColor Sky(MainWindow& w, int x, int y) { return Grab(w).pixelColor(318 + x, 155 + y); }

// Each preview cloud bitmap one flat density, so that every cloud type gives
// a colour known from the sky rule.
void FlatClouds(ProgramDir& program)
{
    WriteFlatCloudPreview(program.file("~clear.bmp"), 0);
    WriteFlatCloudPreview(program.file("~cloudy.bmp"), 100);
    WriteFlatCloudPreview(program.file("~ominous.bmp"), 200);
    WriteFlatCloudPreview(program.file("~puff.bmp"), 255);
}

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private slots:
    void skyPreviewFollowsTheCloudsList();
    void failedSkyPreviewLeavesItBlank();
    void terrainPreviewOpensClosesAndWritesNothing();
    void failedTerrainPreviewKeepsTheWindowUsable();
    void terrainPreviewOfASixteenBitPngHeightfield();
};

void PreviewTest::skyPreviewFollowsTheCloudsList()
{
    WindowFixture f(FlatClouds);
    MainWindow& w = f.w();
    // Defaults: sky (58, 80, 165), cloud white, fog (0, 255, 255).
    // "puffy", dense cloud: the cloud colour, fading into fog downwards; the
    // bottom row is trunc((117 * fog + cloud) / 118).
    QCOMPARE(Sky(w, 0, 0), QColor(255, 255, 255));
    QCOMPARE(Sky(w, 84, 0), QColor(255, 255, 255));
    QCOMPARE(Sky(w, 42, 117), QColor(2, 255, 255));
    // The picture stays inside its frame.
    const QImage client = Grab(w);
    for (QPoint frame : {QPoint(317, 155), QPoint(403, 155), QPoint(318, 273)})
        QCOMPARE(client.pixelColor(frame), QColor(Qt::black));

    // "clear": the sky colour at the top, half fog half sky at row 59.
    Pick(w, Control::CloudsList, 0);
    QCOMPARE(w.settings().atmosphereindex, 0);
    QCOMPARE(Sky(w, 0, 0), QColor(58, 80, 165));
    QCOMPARE(Sky(w, 30, 59), QColor(29, 167, 210));
    // "cloudy", density 100: (92/192) sky + (100/255) cloud.
    Pick(w, Control::CloudsList, 1);
    QCOMPARE(Sky(w, 10, 0), QColor(127, 138, 179));
    // "ominous", density 200: the cloud colour scaled by 200/255.
    Pick(w, Control::CloudsList, 2);
    QCOMPARE(Sky(w, 10, 0), QColor(200, 200, 200));
    QVERIFY(f.dialogs.messages.empty());
}

void PreviewTest::failedSkyPreviewLeavesItBlank()
{
    // The preview of the start-up choice is missing: reported once.
    WindowFixture f([](ProgramDir& program) {
        FlatClouds(program);
        std::filesystem::remove(program.file("~puff.bmp"));
    });
    MainWindow& w = f.w();
    const QColor background = w.palette().color(QPalette::Window);
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(f.dialogs.messages[0].text, std::string("Error opening atmos preview bitmap."));
    QVERIFY(f.dialogs.messages[0].icon == MessageIcon::Error);
    QCOMPARE(Sky(w, 0, 0), background);
    QCOMPARE(Sky(w, 84, 117), background);

    // The program goes on; the next recomputation simply tries again.
    Pick(w, Control::CloudsList, 0);
    QCOMPARE(Sky(w, 0, 0), QColor(58, 80, 165));
    Pick(w, Control::CloudsList, 3);
    QCOMPARE(f.dialogs.messages.size(), std::size_t(2));
    QCOMPARE(Sky(w, 0, 0), background);
    QVERIFY(w.control(Control::Create)->isEnabled());
}

void PreviewTest::terrainPreviewOpensClosesAndWritesNothing()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir workingDirectory;
    struct CurrentDirectory {
        QString previous = QDir::currentPath();
        ~CurrentDirectory() { QDir::setCurrent(previous); }
    } restore;
    QDir::setCurrent(workingDirectory.qpath());
    const std::vector<std::string> programFiles = f.program.files();

    struct Seen {
        bool frameless = false, modal = false, previewEnabled = true, waitCursor = false, stillOpen = false;
        QImage picture, shown;
    };
    std::vector<Seen> seen;
    connect(&w, &MainWindow::terrainPreviewOpened, this, [&](QWidget* window) {
        Seen s;
        s.frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
        s.modal = window->isModal();
        s.previewEnabled = w.control(Control::Preview)->isEnabled();
        s.waitCursor = QGuiApplication::overrideCursor() &&
                       QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        s.picture = static_cast<TerrainPreviewWindow*>(window)->picture();
        seen.push_back(s);
        // Once on screen: the right button and a left press leave it open,
        // the left release over it closes it.
        QTimer::singleShot(0, window, [&seen, window] {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            seen.back().shown = Grab(*window);
            QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, QPoint(100, 100));
            QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, QPoint(144, 144));
            seen.back().stillOpen = window->isVisible();
            QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, QPoint(144, 144));
        });
    });
    QSignalSpy closed(&w, &MainWindow::terrainPreviewClosed);
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);  // back here once the preview has closed
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);
    QCOMPARE(closed.count(), 2);

    QCOMPARE(seen.size(), std::size_t(2));
    for (const Seen& s : seen) {
        QCOMPARE(s.picture.size(), QSize(288, 288));
        QCOMPARE(s.shown.size(), QSize(288, 288));
        // Unscaled, from the window's top-left corner.
        for (QPoint p : {QPoint(0, 0), QPoint(287, 40), QPoint(100, 287)})
            QCOMPARE(s.shown.pixelColor(p), s.picture.pixelColor(p));
        QVERIFY(s.frameless && s.modal && s.waitCursor && s.stillOpen);
        QVERIFY(!s.previewEnabled);
    }
    QVERIFY(w.control(Control::Preview)->isEnabled());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(f.dialogs.messages.empty());
    // Nothing written: not beside the stock files, not in the working directory.
    QCOMPARE(f.program.files(), programFiles);
    QCOMPARE(workingDirectory.files(), std::vector<std::string>{});
}

void PreviewTest::failedTerrainPreviewKeepsTheWindowUsable()
{
    WindowFixture f;
    MainWindow& w = f.w();
    QSignalSpy opened(&w, &MainWindow::terrainPreviewOpened);
    f.dialogs.answers = {f.program.qfile("missing.bmp")};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);

    QCOMPARE(opened.count(), 0);
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    QCOMPARE(f.dialogs.messages[0].text,
             "Error getting handle to " + JoinPath(NormaliseDirectory(f.program.path()), "missing.bmp") + ".");
    QVERIFY(w.control(Control::Preview)->isEnabled());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(!w.isBusy());
}

void PreviewTest::terrainPreviewOfASixteenBitPngHeightfield()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir elsewhere;
    // A 16-bit grey picture larger than the preview, under a name that does
    // not say what it is.
    QImage picture(320, 320, QImage::Format_Grayscale16);
    for (int y = 0; y < 320; ++y) {
        auto* row = reinterpret_cast<quint16*>(picture.scanLine(y));
        for (int x = 0; x < 320; ++x) row[x] = static_cast<quint16>(20000 + 90 * x + 40 * y);
    }
    QVERIFY(picture.save(elsewhere.qfile("land.dat"), "PNG"));
    f.dialogs.answers = {elsewhere.qfile("land.dat")};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);

    QImage shown;
    connect(&w, &MainWindow::terrainPreviewOpened, this, [&](QWidget* window) {
        shown = static_cast<TerrainPreviewWindow*>(window)->picture();
        QTimer::singleShot(0, window, [window] {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(144, 144));
        });
    });
    QSignalSpy closed(&w, &MainWindow::terrainPreviewClosed);
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);  // back here once the preview has closed
    QVERIFY2(f.dialogs.messages.empty(), f.dialogs.messages.empty() ? "" : f.dialogs.messages[0].text.c_str());
    QCOMPARE(shown.size(), QSize(288, 288));
    QVERIFY(w.control(Control::Preview)->isEnabled());
}

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
