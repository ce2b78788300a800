// The eight sliders: hit tests, dragging within the allowed travel, the
// labels while dragging and after, the bands, and the markers following the
// record. Mouse input goes through the window system, as real input does.
#include <QLabel>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/MainWindow.h"
#include "app/SliderControls.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::ProgramDir;
using kv::app::test::ScriptedDialogs;

namespace {

// Marker indices, in the order of the settings file.
enum Marker { C1AltMin, C1AltMax, C1SlopeMin, C1SlopeMax, C1Density, C2AltMin, C2AltMax, C2SlopeMin, C2SlopeMax,
              C2Density, TreeSize, RockSize };

const Control kLabels[kSliderCount] = {Control::Cover1AltitudeLabel, Control::Cover1SlopeLabel,
                                       Control::Cover1DensityLabel, Control::Cover2AltitudeLabel,
                                       Control::Cover2SlopeLabel,   Control::Cover2DensityLabel,
                                       Control::TreeSizeLabel,      Control::RockSizeLabel};
const char* const kNames[kSliderCount] = {"Altitude", "Slope", "Density", "Altitude",
                                          "Slope",    "Density", "Tree Size", "Rock Size"};
const int kRows[kMarkerCount] = {179, 179, 218, 218, 259, 179, 179, 218, 218, 259, 213, 256};

struct Fixture {
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow window{program.path(), dialogs};
    SliderControls* sliders = nullptr;

    Fixture()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
        sliders = window.findChild<SliderControls*>();
        if (!sliders) qFatal("no slider controls");
    }
    QWindow* handle() { return window.windowHandle(); }
    QString label(Control id) { return qobject_cast<QLabel*>(window.control(id))->text(); }
    int x(int marker) { return sliders->model().markerX(marker); }
    // Presses the left button `offset` pixels right of a marker's left edge.
    void pressOn(int marker, int offset = 2)
    {
        QTest::mousePress(handle(), Qt::LeftButton, {}, QPoint(x(marker) + offset, kRows[marker] + 3));
    }
    void moveTo(int px, int py) { QTest::mouseMove(handle(), QPoint(px, py)); }
    void releaseAt(int px, int py) { QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(px, py)); }
    QStringList labels()
    {
        QStringList texts;
        for (Control id : kLabels) texts << label(id);
        return texts;
    }
};

QStringList Names()
{
    QStringList names;
    for (const char* name : kNames) names << name;
    return names;
}

}  // namespace

class SlidersTest : public QObject {
    Q_OBJECT

private slots:
    void pressingDefaultMarkersShowsTheirValues();
    void hitTestsOfRangeAndSingleMarkers();
    void leftMarkerStopsSixPixelsShortOfTheRightOne();
    void movesOutsideTheTravelLeaveTheMarker();
    void shownValueIsTruncated();
    void releaseAnywhereRestoresEveryLabel();
    void bandsFollowTheMarkers();
    void markersFollowTheRecordWhenShown();
    void scalesLineUpWithTheMarkers();
};

void SlidersTest::pressingDefaultMarkersShowsTheirValues()
{
    Fixture f;
    QCOMPARE(f.labels(), Names());

    for (int marker : {C1AltMin, C1AltMax, C2AltMin, C2SlopeMax}) {
        f.pressOn(marker);
        const int slider = Markers()[marker].slider;
        QCOMPARE(f.label(kLabels[slider]), QString("0 - 100"));
        f.releaseAt(f.x(marker) + 2, kRows[marker] + 3);
        QCOMPARE(f.labels(), Names());
    }
    for (int marker : {C1Density, C2Density, TreeSize, RockSize}) {
        f.pressOn(marker);
        QCOMPARE(f.label(kLabels[Markers()[marker].slider]), QString("50"));
        f.releaseAt(f.x(marker) + 2, kRows[marker] + 3);
    }
    // Pressing changes no position.
    QCOMPARE(f.window.settings(), DefaultSettings(f.program.path()));
}

void SlidersTest::hitTestsOfRangeAndSingleMarkers()
{
    Fixture f;
    // A range marker takes columns x to x + 5, a single marker x to x + 6;
    // both take rows row to row + 6.
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(f.x(C1AltMin) + 6, 182));
    QCOMPARE(f.label(Control::Cover1AltitudeLabel), QString("Altitude"));
    f.releaseAt(0, 0);
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(f.x(C1AltMin) + 5, 179 + 6));
    QCOMPARE(f.label(Control::Cover1AltitudeLabel), QString("0 - 100"));
    f.releaseAt(0, 0);
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(f.x(C1AltMin) + 2, 179 + 7));
    QCOMPARE(f.label(Control::Cover1AltitudeLabel), QString("Altitude"));
    f.releaseAt(0, 0);

    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(f.x(TreeSize) + 6, 213));
    QCOMPARE(f.label(Control::TreeSizeLabel), QString("50"));
    f.releaseAt(0, 0);
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(f.x(TreeSize) + 7, 213));
    QCOMPARE(f.label(Control::TreeSizeLabel), QString("Tree Size"));
    f.releaseAt(0, 0);

    // The right marker of a touching pair is hit on its own columns.
    f.window.settings().cover2slopemin = 250;
    f.window.settings().cover2slopemax = 256;
    f.window.showSettings();
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(256, 220));
    QVERIFY(f.sliders->model().draggedMarker() == C2SlopeMax);
    QCOMPARE(f.sliders->model().grabOffset(), 0);
    f.releaseAt(0, 0);
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(255, 220));
    QVERIFY(f.sliders->model().draggedMarker() == C2SlopeMin);
    QCOMPARE(f.sliders->model().grabOffset(), 5);
    f.releaseAt(0, 0);
}

void SlidersTest::leftMarkerStopsSixPixelsShortOfTheRightOne()
{
    Fixture f;
    f.pressOn(C1AltMin, 3);
    for (int px = 118; px <= 240; ++px) f.moveTo(px, 182);
    QCOMPARE(f.x(C1AltMin), 195);
    QCOMPARE(f.window.settings().cover1altitudemin, 195);
    QCOMPARE(f.window.settings().cover1altitudemax, 201);
    // The two pointers meet: equal values and an empty black band.
    QCOMPARE(f.label(Control::Cover1AltitudeLabel), QString("100 - 100"));
    for (const SliderBand& band : f.sliders->model().bands(0)) QVERIFY(!band.selected);
    QCOMPARE(f.sliders->markerWidget(C1AltMin)->geometry(), QRect(195, 179, 6, 6));

    // And the right marker stops 6 pixels right of the left one.
    f.releaseAt(240, 182);
    f.pressOn(C1AltMax, 1);
    for (int px = 202; px >= 100; --px) f.moveTo(px, 182);
    QCOMPARE(f.x(C1AltMax), 201);
    f.releaseAt(100, 182);
    f.window.settings().cover1altitudemin = 140;
    f.window.showSettings();
    f.pressOn(C1AltMax, 1);
    for (int px = 202; px >= 100; --px) f.moveTo(px, 182);
    QCOMPARE(f.x(C1AltMax), 146);
    QCOMPARE(f.label(Control::Cover1AltitudeLabel), QString("31 - 31"));
}

void SlidersTest::movesOutsideTheTravelLeaveTheMarker()
{
    Fixture f;
    f.pressOn(C2Density, 2);  // the marker at 254, grabbed 2 pixels in
    f.moveTo(280, 262);
    QCOMPARE(f.x(C2Density), 278);
    // A quick move past the end is refused, not clamped to the end (294).
    f.moveTo(330, 262);
    QCOMPARE(f.x(C2Density), 278);
    QCOMPARE(f.label(Control::Cover2DensityLabel), QString("80"));
    // Moving back within the travel picks the marker up again.
    f.moveTo(290, 262);
    QCOMPARE(f.x(C2Density), 288);
    QCOMPARE(f.label(Control::Cover2DensityLabel), QString("92"));
    // Left of the window the pointer's x is no position on the travel.
    f.moveTo(-20, 262);
    QCOMPARE(f.x(C2Density), 288);
    f.moveTo(216, 262);
    QCOMPARE(f.x(C2Density), 214);
    QCOMPARE(f.label(Control::Cover2DensityLabel), QString("0"));
    f.moveTo(215, 262);
    QCOMPARE(f.x(C2Density), 214);
    f.releaseAt(215, 262);
    QCOMPARE(f.window.settings().cover2density, 214);
}

void SlidersTest::shownValueIsTruncated()
{
    Fixture f;
    f.pressOn(TreeSize, 0);
    f.moveTo(415 + 4, 215);
    QCOMPARE(f.label(Control::TreeSizeLabel), QString("5"));
    f.moveTo(415 + 3, 215);
    QCOMPARE(f.label(Control::TreeSizeLabel), QString("3"));
    f.moveTo(415 + 80, 215);
    QCOMPARE(f.label(Control::TreeSizeLabel), QString("100"));
    f.moveTo(415 + 79, 215);
    QCOMPARE(f.label(Control::TreeSizeLabel), QString("98"));
    f.releaseAt(0, 0);

    // A right marker counts from its own origin, 6 pixels later.
    f.pressOn(C2AltMax, 0);
    f.moveTo(220 + 4, 180);
    QCOMPARE(f.label(Control::Cover2AltitudeLabel), QString("0 - 5"));
}

void SlidersTest::releaseAnywhereRestoresEveryLabel()
{
    Fixture f;
    f.pressOn(C1SlopeMax, 1);
    f.moveTo(170, 221);
    QCOMPARE(f.label(Control::Cover1SlopeLabel), QString("0 - 60"));
    // Released outside the window.
    f.releaseAt(-40, 500);
    QCOMPARE(f.labels(), Names());
    QVERIFY(!f.sliders->model().draggedMarker());
    // The drag is over: movement no longer moves the marker.
    f.moveTo(150, 221);
    QCOMPARE(f.x(C1SlopeMax), 169);

    // Released inside, far from any slider.
    f.pressOn(RockSize, 1);
    QCOMPARE(f.label(Control::RockSizeLabel), QString("50"));
    f.releaseAt(30, 30);
    QCOMPARE(f.labels(), Names());
}

void SlidersTest::bandsFollowTheMarkers()
{
    Fixture f;
    const QColor black(Qt::black);
    auto pixel = [&](int px, int py) { return test::Grab(f.window).pixelColor(px, py); };
    // The default range: black from the left pointer (121) to the right marker.
    QCOMPARE(pixel(130, 181), black);
    QCOMPARE(pixel(200, 184), black);
    QVERIFY(pixel(130, 186) != black);  // below the marker rows

    f.pressOn(C1AltMin, 0);
    f.moveTo(147, 181);
    f.releaseAt(147, 181);
    QVERIFY(pixel(130, 181) != black);
    QCOMPARE(pixel(160, 181), black);
    const std::vector<SliderBand> bands = f.sliders->model().bands(0);
    QCOMPARE(bands.size(), std::size_t(2));
    QCOMPARE(bands[0].rect, QRect(153, 179, 201 - 153, 6));
    QVERIFY(bands[0].selected);
    QCOMPARE(bands[1].rect, QRect(115, 179, 147 - 115, 6));
    QVERIFY(!bands[1].selected);

    // Single sliders paint no band.
    QVERIFY(f.sliders->model().bands(2).empty());
    QVERIFY(f.sliders->model().bands(6).empty());
}

void SlidersTest::markersFollowTheRecordWhenShown()
{
    Fixture f;
    for (int marker = 0; marker < kMarkerCount; ++marker)
        QCOMPARE(f.sliders->markerWidget(marker)->geometry(), QRect(f.x(marker), kRows[marker], 6, 6));

    ProjectSettings& s = f.window.settings();
    s.cover1slopemin = 131;
    s.cover1slopemax = 180;
    s.cover2density = 290;
    s.rockssize = 420;
    f.window.showSettings();
    QCOMPARE(f.sliders->markerWidget(C1SlopeMin)->geometry(), QRect(131, 218, 6, 6));
    QCOMPARE(f.sliders->markerWidget(C1SlopeMax)->geometry(), QRect(180, 218, 6, 6));
    QCOMPARE(f.sliders->markerWidget(C2Density)->geometry(), QRect(290, 259, 6, 6));
    QCOMPARE(f.sliders->markerWidget(RockSize)->geometry(), QRect(420, 256, 6, 6));
    // Showing the record keeps the labels' names.
    QCOMPARE(f.labels(), Names());
    // A press now finds the markers where they are shown.
    QTest::mousePress(f.handle(), Qt::LeftButton, {}, QPoint(421, 258));
    QCOMPARE(f.label(Control::RockSizeLabel), QString("6"));
    f.releaseAt(421, 258);
}

void SlidersTest::scalesLineUpWithTheMarkers()
{
    Fixture f;
    const QImage left = MarkerPicture(MarkerImage::Left);
    const QImage right = MarkerPicture(MarkerImage::Right);
    // The pointer sides: the left image's right column, the right image's left column.
    for (int y = 0; y < 6; ++y) {
        QCOMPARE(qAlpha(left.pixel(5, y)), 255);
        QCOMPARE(qAlpha(right.pixel(0, y)), 255);
    }
    QCOMPARE(qAlpha(left.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(right.pixel(5, 0)), 0);
    for (int x = 0; x < 6; ++x) QCOMPARE(qAlpha(left.pixel(x, 5)), 255);

    for (int slider = 0; slider < kSliderCount; ++slider) {
        const SliderLayout& layout = Sliders()[slider];
        const std::array<QWidget*, 3> pieces = f.sliders->scalePieces(slider);
        const int lineRow = pieces[0]->y() + kScalePieceSize - 1;
        // The markers sit two pixels below the scale line.
        QCOMPARE(layout.row, lineRow + 2);
        for (QWidget* piece : pieces) QCOMPARE(piece->y() + kScalePieceSize - 1, lineRow);
        // The line ends under the last pointer position and covers the first.
        const int lastPointer = layout.isRange() ? layout.lastRight : layout.lastLeft + 6;
        QCOMPARE(pieces[2]->x() + kScalePieceSize - 1, lastPointer);
        QVERIFY(pieces[0]->x() <= layout.start + 6);
        QVERIFY(pieces[1]->x() <= pieces[0]->x() + kScalePieceSize);
        QVERIFY(pieces[2]->x() <= pieces[1]->x() + kScalePieceSize);
        // The "0" stands over the first pointer position.
        const QImage start = static_cast<PictureWidget*>(pieces[0])->picture();
        QCOMPARE(qAlpha(start.pixel(layout.start + 6 - pieces[0]->x(), kScalePieceSize - 3)), 255);
    }
}

QTEST_MAIN(SlidersTest)
#include "SlidersTest.moc"
