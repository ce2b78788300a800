// The previews: the sky preview drawn in the window from the "~" cloud
// bitmaps, and the terrain texture preview window.
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/MainWindow.h"

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

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
