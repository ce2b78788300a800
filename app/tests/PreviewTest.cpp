// The previews: the sky preview drawn in the window from the "~" cloud
// bitmaps, and the terrain texture preview window.
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/MainWindow.h"
#include "app/TerrainPreviewWindow.h"
#include "platform/Paths.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::GrabClient;
using kv::app::test::ProgramDir;
using kv::app::test::ScriptedDialogs;
using kv::app::test::WriteFlatCloudPreview;

namespace {

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Pixel (x, y) of the sky preview as drawn in the window.
QColor PreviewPixel(MainWindow& w, int x, int y)
{
    return At(GrabClient(w), kAtmospherePreviewRect.x() + x, kAtmospherePreviewRect.y() + y);
}

void Pick(MainWindow& w, Control id, int index)
{
    auto* box = qobject_cast<QComboBox*>(w.control(id));
    box->setFocus();
    while (box->currentIndex() < index) QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > index) QTest::keyClick(box, Qt::Key_Up);
}

// A program directory whose four preview cloud bitmaps are each one flat
// density, so every cloud type gives a colour known from the sky rule.
class FlatCloudsProgramDir : public ProgramDir {
public:
    FlatCloudsProgramDir()
    {
        WriteFlatCloudPreview(file("~clear.bmp"), 0);
        WriteFlatCloudPreview(file("~cloudy.bmp"), 100);
        WriteFlatCloudPreview(file("~ominous.bmp"), 200);
        WriteFlatCloudPreview(file("~puff.bmp"), 255);
    }
};

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private slots:
    void skyPreviewFollowsTheCloudsList();
    void failedSkyPreviewLeavesItBlankAndTheProgramRunning();
    void missingSkyPreviewAtStartUpIsReportedOnce();
    void previewWindowClosesOnTheFirstLeftRelease();
    void terrainPreviewOpensClosesAndWritesNothing();
    void failedTerrainPreviewKeepsTheWindowUsable();
};

void PreviewTest::skyPreviewFollowsTheCloudsList()
{
    FlatCloudsProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // Defaults: sky (58, 80, 165), cloud white, fog (0, 255, 255).
    // "puffy", dense cloud (255): the cloud colour, fading into fog downwards;
    // the bottom row is 117/118 fog: trunc((117 * fog + cloud) / 118).
    QCOMPARE(PreviewPixel(w, 0, 0), QColor(255, 255, 255));
    QCOMPARE(PreviewPixel(w, 84, 0), QColor(255, 255, 255));
    QCOMPARE(PreviewPixel(w, 42, 117), QColor(2, 255, 255));
    // Nothing of the picture spills onto the frame around it.
    const QImage client = GrabClient(w);
    QCOMPARE(At(client, 317, 155), QColor(Qt::black));
    QCOMPARE(At(client, 403, 155), QColor(Qt::black));
    QCOMPARE(At(client, 318, 273), QColor(Qt::black));

    // "clear", no cloud: the sky colour at the top, half fog half sky at row 59.
    Pick(w, Control::CloudsList, 0);
    QCOMPARE(w.settings().atmosphereindex, 0);
    QCOMPARE(PreviewPixel(w, 0, 0), QColor(58, 80, 165));
    QCOMPARE(PreviewPixel(w, 30, 59), QColor(29, 167, 210));

    // "cloudy", density 100: (92/192) sky + (100/255) cloud.
    Pick(w, Control::CloudsList, 1);
    QCOMPARE(PreviewPixel(w, 10, 0), QColor(127, 138, 179));

    // "ominous", density 200: the cloud colour scaled by 200/255.
    Pick(w, Control::CloudsList, 2);
    QCOMPARE(PreviewPixel(w, 10, 0), QColor(200, 200, 200));

    Pick(w, Control::CloudsList, 3);
    QCOMPARE(PreviewPixel(w, 10, 0), QColor(255, 255, 255));
    QVERIFY(dialogs.messages.empty());
}

void PreviewTest::failedSkyPreviewLeavesItBlankAndTheProgramRunning()
{
    FlatCloudsProgramDir program;
    std::filesystem::remove(program.file("~clear.bmp"));
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QColor background = w.palette().color(QPalette::Window);
    QVERIFY(dialogs.messages.empty());

    Pick(w, Control::CloudsList, 0);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string("Error opening atmos preview bitmap."));
    QVERIFY(dialogs.messages[0].icon == MessageIcon::Error);
    QVERIFY(w.atmospherePreview().isNull());
    QCOMPARE(PreviewPixel(w, 0, 0), background);
    QCOMPARE(PreviewPixel(w, 84, 117), background);

    // The next recomputation simply tries again.
    Pick(w, Control::CloudsList, 3);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(PreviewPixel(w, 0, 0), QColor(255, 255, 255));
    Pick(w, Control::CloudsList, 0);
    QCOMPARE(dialogs.messages.size(), std::size_t(2));
    QCOMPARE(PreviewPixel(w, 0, 0), background);
}

void PreviewTest::missingSkyPreviewAtStartUpIsReportedOnce()
{
    ProgramDir program;
    std::filesystem::remove(program.file("~puff.bmp"));
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string("Error opening atmos preview bitmap."));
    QVERIFY(w.atmospherePreview().isNull());
    // The window is usable.
    QVERIFY(w.control(Control::Create)->isEnabled());
    Pick(w, Control::CloudsList, 1);
    QVERIFY(!w.atmospherePreview().isNull());
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
}

void PreviewTest::previewWindowClosesOnTheFirstLeftRelease()
{
    QImage picture(288, 288, QImage::Format_RGB888);
    for (int y = 0; y < 288; ++y)
        for (int x = 0; x < 288; ++x) picture.setPixelColor(x, y, QColor(x % 256, y % 256, (x + y) % 256));
    QWidget owner;
    TerrainPreviewWindow window(picture, &owner);
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.isModal());
    QCOMPARE(window.size(), QSize(288, 288));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Unscaled, from its top-left corner.
    const QImage shown = GrabClient(window);
    QCOMPARE(shown.pixelColor(0, 0), picture.pixelColor(0, 0));
    QCOMPARE(shown.pixelColor(287, 100), picture.pixelColor(287, 100));
    QCOMPARE(shown.pixelColor(200, 287), picture.pixelColor(200, 287));

    // Neither the right button nor a left press closes it; the left release does.
    QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(window.isVisible());
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

void PreviewTest::terrainPreviewOpensClosesAndWritesNothing()
{
    ProgramDir program;
    test::ScratchDir workingDirectory;
    // The program runs in a directory of its own for this test.
    struct CurrentDirectory {
        QString previous = QDir::currentPath();
        explicit CurrentDirectory(const QString& path) { QDir::setCurrent(path); }
        ~CurrentDirectory() { QDir::setCurrent(previous); }
    } current(workingDirectory.qpath());
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const std::vector<std::string> programFiles = program.files();

    struct Seen {
        QSize size;
        bool frameless = false;
        bool modal = false;
        bool previewEnabled = true;
        bool waitCursor = false;
        qint64 paintedAfterMs = -1;
        QImage picture;
    };
    std::vector<Seen> seen;
    QElapsedTimer clock;
    connect(&w, &MainWindow::terrainPreviewOpened, this, [&](QWidget* window) {
        Seen s;
        s.size = window->size();
        s.frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
        s.modal = window->isModal();
        s.previewEnabled = w.control(Control::Preview)->isEnabled();
        s.waitCursor = QGuiApplication::overrideCursor() &&
                       QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        s.picture = static_cast<TerrainPreviewWindow*>(window)->picture();
        seen.push_back(s);
        // Once it is on screen, a left click over it closes it.
        QTimer::singleShot(0, window, [&, window] {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            seen.back().paintedAfterMs = clock.elapsed();
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(144, 144));
        });
    });
    QSignalSpy closed(&w, &MainWindow::terrainPreviewClosed);

    clock.start();
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);
    // Back here once the preview has closed.
    QCOMPARE(closed.count(), 1);
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);
    QCOMPARE(closed.count(), 2);

    QCOMPARE(seen.size(), std::size_t(2));
    for (const Seen& s : seen) {
        QCOMPARE(s.size, QSize(288, 288));
        QCOMPARE(s.picture.size(), QSize(288, 288));
        QVERIFY(s.frameless);
        QVERIFY(s.modal);
        QVERIFY(!s.previewEnabled);
        QVERIFY(s.waitCursor);
    }
    qInfo("terrain preview on screen %lld ms after the click", static_cast<long long>(seen[0].paintedAfterMs));
    QVERIFY(w.control(Control::Preview)->isEnabled());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(dialogs.messages.empty());
    // Nothing written: not beside the stock files, not in the working directory.
    QCOMPARE(program.files(), programFiles);
    QCOMPARE(workingDirectory.files(), std::vector<std::string>{});
}

void PreviewTest::failedTerrainPreviewKeepsTheWindowUsable()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QSignalSpy opened(&w, &MainWindow::terrainPreviewOpened);

    dialogs.answers = {program.qpath() + "/missing.bmp"};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);

    QCOMPARE(opened.count(), 0);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text,
             "Error getting handle to " + JoinPath(NormaliseDirectory(program.path()), "missing.bmp") + ".");
    QVERIFY(w.control(Control::Preview)->isEnabled());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(!w.isBusy());

    // With the heightfield back, the preview works again.
    dialogs.answers = {program.qpath() + "/height01.bmp"};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    connect(&w, &MainWindow::terrainPreviewOpened, this, [](QWidget* window) {
        QTimer::singleShot(0, window, [window] {
            QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(10, 10));
        });
    });
    QTest::mouseClick(w.control(Control::Preview), Qt::LeftButton);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
}

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
