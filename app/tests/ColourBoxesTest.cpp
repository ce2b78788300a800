// The colour boxes: drag and drop between boxes, the double click that opens
// the RGB dialog, and the RGB dialog's bars, OK and Cancel.
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/ColourBoxControls.h"
#include "app/MainWindow.h"
#include "app/PreviewAdapters.h"
#include "app/RgbDialog.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::ProgramDir;
using kv::app::test::ScriptedDialogs;

namespace {

// A point inside each box, in box order.
QPoint BoxCentre(int box) { return ColourBoxes()[static_cast<std::size_t>(box)].hit.center(); }

enum Box { Base1, Base2, Base3, Cover1Colour1, Cover1Colour2, Cover1Colour3, Cover2Colour1, Cover2Colour2,
           Cover2Colour3, Sky, Cloud, Fog, Ocean };

struct Fixture {
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow window{program.path(), dialogs};
    ColourBoxControls* boxes = nullptr;
    QSignalSpy recomputed{&window, &MainWindow::atmospherePreviewRecomputed};

    Fixture()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
        boxes = window.findChild<ColourBoxControls*>();
        if (!boxes) qFatal("no colour box controls");
        recomputed.clear();
    }
    QWindow* handle() { return window.windowHandle(); }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(handle(), Qt::LeftButton, {}, from);
        QTest::mouseMove(handle(), (from + to) / 2);
        QTest::mouseMove(handle(), to);
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, to);
    }
    // True when the window shows the preview the record gives now (or the
    // build has no preview computation at all).
    bool previewMatchesRecord()
    {
        const PreviewImage fresh = ComputeAtmospherePreviewImage(program.path(), window.settings());
        return fresh.image == window.atmospherePreview();
    }
};

// Clicks through a shown RGB dialog the way a user would.
struct ShownDialog {
    RgbEditor& editor;
    RgbDialog dialog;
    explicit ShownDialog(RgbEditor& e, QWidget* owner = nullptr) : editor(e), dialog(e, owner)
    {
        dialog.setModal(false);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) qFatal("dialog not exposed");
    }
    void press(int x, int y) { QTest::mousePress(dialog.windowHandle(), Qt::LeftButton, {}, QPoint(x, y)); }
    void move(int x, int y) { QTest::mouseMove(dialog.windowHandle(), QPoint(x, y)); }
    void release(int x, int y) { QTest::mouseRelease(dialog.windowHandle(), Qt::LeftButton, {}, QPoint(x, y)); }
};

}  // namespace

class ColourBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void draggingSkyOntoFogCopiesItAndRecomputesThePreview();
    void draggingFogOntoCover1Colour2ChangesOnlyThatField();
    void dropsOutsideEveryBoxChangeNothing();
    void dragCursorCarriesTheColour();
    void rgbBarsSetTheirComponents();
    void rgbDialogPaintsBarsMarkersAndSwatch();
    void doubleClickOpensTheDialogOfTheBox();
    void okAppliesAndCancelChangesNothing();
};

void ColourBoxesTest::draggingSkyOntoFogCopiesItAndRecomputesThePreview()
{
    Fixture f;
    const ProjectSettings before = f.window.settings();
    const QImage previewBefore = f.window.atmospherePreview();
    f.drag(BoxCentre(Sky), BoxCentre(Fog));

    ProjectSettings expected = before;
    expected.fog = before.sky;
    QCOMPARE(f.window.settings(), expected);
    QCOMPARE(f.recomputed.count(), 1);
    QVERIFY(f.previewMatchesRecord());
    if (!previewBefore.isNull()) QVERIFY(f.window.atmospherePreview() != previewBefore);
    // The window shows the new fog colour in the fog box.
    const RgbColor fog = f.window.settings().fog;
    QCOMPARE(test::Grab(f.window).pixelColor(BoxCentre(Fog)), QColor(fog.r, fog.g, fog.b));

    // Dropping the cloud colour on the ocean box leaves the sky as it is.
    f.drag(BoxCentre(Cloud), BoxCentre(Ocean));
    QCOMPARE(f.window.settings().ocean, before.cloud);
    QCOMPARE(f.recomputed.count(), 1);
}

void ColourBoxesTest::draggingFogOntoCover1Colour2ChangesOnlyThatField()
{
    Fixture f;
    const ProjectSettings before = f.window.settings();
    f.drag(BoxCentre(Fog), BoxCentre(Cover1Colour2));
    ProjectSettings expected = before;
    expected.cover1color2 = before.fog;
    QCOMPARE(f.window.settings(), expected);
    QCOMPARE(f.recomputed.count(), 0);

    // The edges of the hit rectangles count; one pixel beyond does not.
    f.drag(QPoint(28, 32), QPoint(151, 113));  // base 1 onto cover 1 colour 3
    QCOMPARE(f.window.settings().cover1color3, before.basecolor1);
    f.drag(QPoint(52, 61), QPoint(152, 113));  // base 2 to just right of cover 1 colour 3
    QCOMPARE(f.window.settings().cover1color3, before.basecolor1);
    f.drag(QPoint(52, 113), QPoint(424, 34));  // base 3 onto the ocean's corner
    QCOMPARE(f.window.settings().ocean, before.basecolor3);
}

void ColourBoxesTest::dropsOutsideEveryBoxChangeNothing()
{
    Fixture f;
    const ProjectSettings before = f.window.settings();
    const QPoint overLabel = f.window.control(Control::BaseColour1Label)->geometry().center();
    const QPoint overList = f.window.control(Control::BaseList)->geometry().center();
    const QPoint overCloudsList = f.window.control(Control::CloudsList)->geometry().center();
    for (const QPoint& target : {overLabel, overList, overCloudsList, QPoint(5, 5), QPoint(-30, 400)}) {
        f.drag(BoxCentre(Sky), target);
        QCOMPARE(f.window.settings(), before);
        QVERIFY(!f.boxes->drag().active());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
    QCOMPARE(qobject_cast<QComboBox*>(f.window.control(Control::BaseList))->currentIndex(), before.baseindex);
    // A press and release on one box copies the colour onto itself.
    f.drag(BoxCentre(Sky), BoxCentre(Sky));
    QCOMPARE(f.window.settings(), before);
    QCOMPARE(f.recomputed.count(), 0);
}

void ColourBoxesTest::dragCursorCarriesTheColour()
{
    Fixture f;
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, BoxCentre(Ocean));
    QVERIFY(f.boxes->drag().active());
    const QCursor* cursor = QGuiApplication::overrideCursor();
    QVERIFY(cursor);
    QCOMPARE(cursor->hotSpot(), QPoint(6, 7));
    const QImage picture = cursor->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(32, 32));
    const RgbColor ocean = f.window.settings().ocean;
    // The swatch shows the dragged colour; the arrow's tip is at the hot spot.
    QCOMPARE(picture.pixelColor(3, 3), QColor(ocean.r, ocean.g, ocean.b));
    QCOMPARE(picture.pixelColor(6, 7), QColor(Qt::black));
    QCOMPARE(picture.pixelColor(7, 9), QColor(Qt::white));
    QCOMPARE(qAlpha(picture.pixel(31, 31)), 0);
    QTest::mouseRelease(f.handle(), Qt::LeftButton, {}, BoxCentre(Ocean));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void ColourBoxesTest::rgbBarsSetTheirComponents()
{
    RgbEditor editor(Sky, RgbColor{10, 20, 30});
    ShownDialog d(editor);
    QCOMPARE(d.dialog.size(), QSize(338, 107));

    d.press(11, 20);
    QCOMPARE(editor.colour(), (RgbColor{0, 20, 30}));
    d.release(11, 20);
    d.press(266, 20);
    QCOMPARE(editor.colour().r, 255);
    d.release(266, 20);

    // Dragging: the level follows only over the bar's columns.
    d.press(100, 40);
    QCOMPARE(editor.colour().g, 89);
    d.move(150, 90);  // rows do not matter while dragging
    QCOMPARE(editor.colour().g, 139);
    d.move(5, 40);
    QCOMPARE(editor.colour().g, 139);
    d.move(300, 40);
    QCOMPARE(editor.colour().g, 139);
    d.move(11, 40);
    QCOMPARE(editor.colour().g, 0);
    d.release(11, 40);
    d.move(200, 40);
    QCOMPARE(editor.colour().g, 0);

    // Presses outside the bars change nothing: left of them, on the first
    // row of a bar, between bars.
    d.press(10, 55);
    d.release(10, 55);
    d.press(120, 47);
    d.release(120, 47);
    d.press(120, 27);
    d.release(120, 27);
    QCOMPARE(editor.colour(), (RgbColor{255, 0, 30}));
    d.press(120, 48);
    QCOMPARE(editor.colour().b, 109);
    d.release(120, 48);
}

void ColourBoxesTest::rgbDialogPaintsBarsMarkersAndSwatch()
{
    for (int component = 0; component < 3; ++component) {
        const QImage bar = GradientBar(component);
        QCOMPARE(bar.size(), QSize(256, 16));
        for (int x : {0, 1, 128, 255}) {
            const QColor expected =
                component == 0 ? QColor(x, 0, 0) : component == 1 ? QColor(0, x, 0) : QColor(0, 0, x);
            QCOMPARE(bar.pixelColor(x, 15), expected);
        }
    }
    RgbEditor editor(Base2, RgbColor{40, 200, 0});
    ShownDialog d(editor);
    const QImage shown = d.dialog.grab().toImage();
    QCOMPARE(shown.pixelColor(11 + 40, 11), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(11 + 40, 26), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(11 + 41, 20), QColor(41, 0, 0));
    QCOMPARE(shown.pixelColor(11 + 200, 35), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(11, 50), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(266, 50), QColor(0, 0, 255));
    QCOMPARE(shown.pixelColor(300, 40), QColor(40, 200, 0));
    QCOMPARE(shown.pixelColor(276, 12), QColor(40, 200, 0));
    QCOMPARE(shown.pixelColor(326, 61), QColor(40, 200, 0));
    QCOMPARE(d.dialog.windowTitle(), QString("Base Material Color 2 . . ."));
}

void ColourBoxesTest::doubleClickOpensTheDialogOfTheBox()
{
    Fixture f;
    QStringList titles;
    QList<QWidget*> owners;
    RgbColor shown;
    f.boxes->setRgbDialogRunner([&](RgbEditor& editor, QWidget* owner) {
        titles << editor.title();
        owners << owner;
        shown = editor.colour();
        return false;
    });
    QTest::mouseDClick(f.handle(), Qt::LeftButton, {}, BoxCentre(Ocean));
    QCOMPARE(titles, QStringList({"Ocean Color . . ."}));
    QCOMPARE(owners.front(), &f.window);
    QCOMPARE(shown, f.window.settings().ocean);

    titles.clear();
    for (int box = 0; box < kColourBoxCount; ++box) {
        QTest::mouseDClick(f.handle(), Qt::LeftButton, {}, BoxCentre(box));
        QCOMPARE(titles.size(), box + 1);
    }
    // One title per box.
    QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), kColourBoxCount);
    QCOMPARE(titles[Base1], QString("Base Material Color 1 . . ."));
    QCOMPARE(titles[Cover2Colour3], QString("Cover 2 Color 3 . . ."));
    QCOMPARE(titles[Fog], QString("Atmosphere Fog Color . . ."));
    // A double click beside the boxes opens nothing.
    QTest::mouseDClick(f.handle(), Qt::LeftButton, {}, QPoint(60, 45));
    QCOMPARE(titles.size(), kColourBoxCount);
}

void ColourBoxesTest::okAppliesAndCancelChangesNothing()
{
    Fixture f;
    const ProjectSettings before = f.window.settings();
    // The real dialog, shown without a modal loop: change all three
    // components, then Cancel.
    bool accepted = true;
    f.boxes->setRgbDialogRunner([&](RgbEditor& editor, QWidget* owner) {
        ShownDialog d(editor, owner);
        d.press(20, 20);
        d.release(20, 20);
        d.press(30, 40);
        d.release(30, 40);
        d.press(40, 60);
        d.release(40, 60);
        QTest::mouseClick(accepted ? d.dialog.okButton() : d.dialog.cancelButton(), Qt::LeftButton);
        return d.dialog.result() == QDialog::Accepted;
    });
    accepted = false;
    QTest::mouseDClick(f.handle(), Qt::LeftButton, {}, BoxCentre(Fog));
    QCOMPARE(f.window.settings(), before);
    QCOMPARE(f.recomputed.count(), 0);

    accepted = true;
    QTest::mouseDClick(f.handle(), Qt::LeftButton, {}, BoxCentre(Fog));
    ProjectSettings expected = before;
    expected.fog = RgbColor{9, 19, 29};
    QCOMPARE(f.window.settings(), expected);
    QCOMPARE(f.recomputed.count(), 1);
    QVERIFY(f.previewMatchesRecord());

    // OK on a colour outside the atmosphere leaves the preview alone.
    QTest::mouseDClick(f.handle(), Qt::LeftButton, {}, BoxCentre(Base3));
    expected.basecolor3 = RgbColor{9, 19, 29};
    QCOMPARE(f.window.settings(), expected);
    QCOMPARE(f.recomputed.count(), 1);
    QCOMPARE(test::Grab(f.window).pixelColor(BoxCentre(Base3)), QColor(9, 19, 29));
}

QTEST_MAIN(ColourBoxesTest)
#include "ColourBoxesTest.moc"
