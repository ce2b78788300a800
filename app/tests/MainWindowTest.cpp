// The main window without a creation: its start-up state and geometry, the
// lists and resolution boxes, Browse, About, the mouse on its surface.
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/FileFilters.h"
#include "app/GroupFrame.h"
#include "core/inputs/ElevationInput.h"
#include "core/platform/Paths.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpState();
    void listsAndResolutionBoxes();
    void browse();
    void longBitmapNames();
    void aboutBox();
    void mouseOnTheSurface();
};

void MainWindowTest::startUpState()
{
    WindowFixture f;
    MainWindow& w = f.w();
    QCOMPARE(w.windowTitle(), QString("Kelvane 2.0"));
    QCOMPARE(w.minimumSize(), QSize(606, 296));
    QCOMPARE(w.maximumSize(), QSize(606, 296));
    QCOMPARE(w.settings(), DefaultSettings(f.program.path()));

    const std::pair<Control, QStringList> lists[] = {
        {Control::BaseList, {"jagged rock", "smooth rock", "jagged strata", "smooth strata"}},
        {Control::Cover1List,
         {"none", "gritty", "patchy", "streaky", "blotchy", "gritty-patchy", "gritty-streaky", "gritty-blotchy"}},
        {Control::CloudsList, {"clear", "cloudy", "ominous", "puffy"}},
        {Control::OceanList, {"none", "flat", "calm", "rippled", "wavy"}},
    };
    for (const auto& [id, entries] : lists) {
        QStringList shown;
        for (const char* entry : ListEntries(id)) shown << entry;
        QCOMPARE(shown, entries);
    }
    QCOMPARE(ListEntries(Control::Cover2List).size(), ListEntries(Control::Cover1List).size());
    const std::pair<Control, const char*> shown[] = {
        {Control::BaseList, "jagged strata"},        {Control::Cover1List, "none"},
        {Control::Cover2List, "none"},               {Control::CloudsList, "puffy"},
        {Control::OceanList, "none"},                {Control::HeightfieldName, "height01.bmp"},
        {Control::PlacementName, "tree01.bmp"},      {Control::Stop, "Stop"},
        {Control::HiRes, "Hi Res"},
    };
    for (const auto& [id, text] : shown) QCOMPARE(ShownText(w, id), QString(text));
    QVERIFY(Checked(w, Control::LoRes) && !Checked(w, Control::MedRes) && !Checked(w, Control::HiRes));
    for (Control id : {Control::About, Control::Help, Control::Load, Control::Save, Control::Create,
                       Control::Preview, Control::HeightfieldBrowse, Control::PlacementBrowse}) {
        QVERIFY(w.control(id)->isEnabled());
    }
    QVERIFY(!w.control(Control::Stop)->isEnabled());
    QVERIFY(f.dialogs.messages.empty());

    // The dialog-unit layout agrees with the client-pixel geometry the
    // custom-drawn parts and the help areas use.
    QCOMPARE(w.control(Control::Stop)->geometry(), QRect(QPoint(521, 205), QPoint(595, 227)));
    for (int box = 0; box < kColourBoxCount; ++box)
        QCOMPARE(w.control(ColourFrameOf(box))->geometry().adjusted(1, 1, -1, -1), ColourBoxes()[box].fill);
    QVERIFY(w.control(Control::AtmospherePreviewFrame)->geometry().adjusted(1, 1, -1, -1)
                .contains(QRect(318, 155, 85, 118)));
    for (const ControlSpec& layoutEntry : Layout())
        QVERIFY2(w.rect().contains(w.control(layoutEntry.id)->geometry()), layoutEntry.caption);
    QCOMPARE(qobject_cast<GroupFrame*>(w.control(Control::TreesGroup))->title(), QString(" Trees && Rocks "));
}

void MainWindowTest::listsAndResolutionBoxes()
{
    WindowFixture f;
    MainWindow& w = f.w();
    auto boxes = [&] {
        return QList<bool>{Checked(w, Control::LoRes), Checked(w, Control::MedRes), Checked(w, Control::HiRes)};
    };
    QTest::mouseClick(w.control(Control::HiRes), Qt::LeftButton);
    QCOMPARE(boxes(), QList<bool>({false, false, true}));
    QCOMPARE(w.settings().resolution, 2);
    // The checked box stays checked when clicked again.
    QTest::mouseClick(w.control(Control::HiRes), Qt::LeftButton);
    QCOMPARE(boxes(), QList<bool>({false, false, true}));
    QCOMPARE(w.settings().resolution, 2);
    QTest::mouseClick(w.control(Control::MedRes), Qt::LeftButton);
    QCOMPARE(boxes(), QList<bool>({false, true, false}));
    QCOMPARE(w.settings().resolution, 1);

    Pick(w, Control::BaseList, 0);
    Pick(w, Control::Cover1List, 7);
    Pick(w, Control::Cover2List, 4);
    Pick(w, Control::CloudsList, 1);
    Pick(w, Control::OceanList, 3);
    const ProjectSettings& s = w.settings();
    QCOMPARE(QList<int>({s.baseindex, s.cover1index, s.cover2index, s.atmosphereindex, s.oceanindex}),
             QList<int>({0, 7, 4, 1, 3}));
}

void MainWindowTest::browse()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir elsewhere;
    const ProjectSettings before = w.settings();

    // Cancelled: nothing changes.
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::PlacementBrowse), Qt::LeftButton);
    QCOMPARE(w.settings(), before);
    QCOMPARE(ShownText(w, Control::HeightfieldName), QString("height01.bmp"));
    QCOMPARE(ShownText(w, Control::PlacementName), QString("tree01.bmp"));
    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(2));
    const FileDialogRequest& height = f.dialogs.fileDialogs[0].request;
    QCOMPARE(height.title, QString("Open The Bitmap To Be Used For The Heightfield . . ."));
    // Every type the loaders read (the dialogs' own test lists what each shows).
    QCOMPARE(height.filter, HeightfieldFilter(ElevationInputAvailable()));
    QCOMPARE(ToStdString(height.directory), before.basedir);
    QCOMPARE(height.fileName, QString("height01.bmp"));
    const FileDialogRequest& trees = f.dialogs.fileDialogs[1].request;
    QCOMPARE(trees.title, QString("Open The Bitmap To Be Used For The Trees & Rocks . . ."));
    QCOMPARE(trees.fileName, QString("tree01.bmp"));
    QCOMPARE(trees.filter, PlacementFilter());

    // Accepted: the file is named, not opened (it does not even exist).
    f.dialogs.answers = {elsewhere.qfile("ridge.bmp"), elsewhere.qfile("forest.bmp")};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::PlacementBrowse), Qt::LeftButton);
    QCOMPARE(w.settings().basebmp, std::string("ridge.bmp"));
    QCOMPARE(w.settings().basedir, NormaliseDirectory(elsewhere.path()));
    QCOMPARE(w.settings().treebmp, std::string("forest.bmp"));
    QCOMPARE(w.settings().treedir, NormaliseDirectory(elsewhere.path()));
    QCOMPARE(ShownText(w, Control::HeightfieldName), QString("ridge.bmp"));
    QCOMPARE(ShownText(w, Control::PlacementName), QString("forest.bmp"));
    // Any other type the same way: the name fields show the file's name.
    f.dialogs.answers = {elsewhere.qfile("N45E006.hgt"), elsewhere.qfile("forest.png")};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::PlacementBrowse), Qt::LeftButton);
    QCOMPARE(w.settings().basebmp, std::string("N45E006.hgt"));
    QCOMPARE(ShownText(w, Control::HeightfieldName), QString("N45E006.hgt"));
    QCOMPARE(ShownText(w, Control::PlacementName), QString("forest.png"));
    QVERIFY(f.dialogs.messages.empty());
}

void MainWindowTest::longBitmapNames()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir elsewhere;
    const QString longName = "a-very-long-heightfield-name-from-the-survey.bmp";
    f.dialogs.answers = {elsewhere.qfile(longName), elsewhere.qfile("forest.bmp")};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QTest::mouseClick(w.control(Control::PlacementBrowse), Qt::LeftButton);
    const QString heightfieldPath = ToQString(JoinPath(NormaliseDirectory(elsewhere.path()), ToStdString(longName)));
    const QString placementPath = ToQString(JoinPath(NormaliseDirectory(elsewhere.path()), "forest.bmp"));

    // Shortened in the middle: its start and its extension stay, and it fits
    // the field, which keeps its size.
    auto* field = qobject_cast<QLabel*>(w.control(Control::HeightfieldName));
    const QString shown = field->text();
    QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
    QVERIFY(shown.startsWith("a-v"));
    QVERIFY(shown.endsWith(".bmp"));
    QVERIFY(field->fontMetrics().horizontalAdvance(shown) + field->indent() <= field->contentsRect().width());
    QCOMPARE(field->geometry(), DluToPixels(SpecOf(Control::HeightfieldName).dialogUnits));
    QCOMPARE(w.settings().basebmp, ToStdString(longName));
    // A name that fits is shown whole; both fields carry the full path.
    QCOMPARE(ShownText(w, Control::PlacementName), QString("forest.bmp"));
    QCOMPARE(field->toolTip(), heightfieldPath);
    QCOMPARE(w.control(Control::PlacementName)->toolTip(), placementPath);

    // The fields take no mouse input; hovering them shows the tooltip all the same.
    for (const auto& [id, path] : {std::pair{Control::HeightfieldName, heightfieldPath},
                                   std::pair{Control::PlacementName, placementPath}}) {
        const QPoint over = w.control(id)->geometry().center();
        QHelpEvent hover(QEvent::ToolTip, over, w.mapToGlobal(over));
        QApplication::sendEvent(&w, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), path);
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
    }
    // Elsewhere on the window: no tooltip.
    QHelpEvent away(QEvent::ToolTip, QPoint(5, 5), w.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&w, &away);
    QVERIFY(!QToolTip::isVisible());

    // The same after a font change, and a shorter name is shown whole again.
    QFont smaller = w.font();
    smaller.setPixelSize(smaller.pixelSize() - 2);
    w.setFont(smaller);
    QVERIFY(field->fontMetrics().horizontalAdvance(field->text()) + field->indent() <= field->contentsRect().width());
    f.dialogs.answers = {elsewhere.qfile("ridge.bmp")};
    QTest::mouseClick(w.control(Control::HeightfieldBrowse), Qt::LeftButton);
    QCOMPARE(ShownText(w, Control::HeightfieldName), QString("ridge.bmp"));
}

void MainWindowTest::aboutBox()
{
    WindowFixture f;
    QStringList texts;
    bool modal = false;
    QWidget* owner = nullptr;
    OnNextModal([&](QWidget* box) {
        modal = box->isModal();
        owner = box->parentWidget();
        for (QLabel* line : box->findChildren<QLabel*>()) texts << line->text();
        QPushButton* ok = box->findChild<QPushButton*>();
        QCOMPARE(ok->text(), QString("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseClick(f.w().control(Control::About), Qt::LeftButton);
    // Back here only once OK has closed the box.
    QVERIFY(modal);
    QCOMPARE(owner, f.window.get());
    QCOMPARE(texts, QStringList({"Kelvane v2.0", "Special thanks to IJG for the JPEG coding."}));
}

void MainWindowTest::mouseOnTheSurface()
{
    WindowFixture f;
    MainWindow& w = f.w();
    QSignalSpy presses(&w, &MainWindow::surfaceLeftPress);
    QSignalSpy doubles(&w, &MainWindow::surfaceLeftDoubleClick);
    QSignalSpy rights(&w, &MainWindow::surfaceRightRelease);
    QSignalSpy controlRights(&w, &MainWindow::controlRightRelease);

    // Through the window system, as real input arrives: over a colour box and
    // over a label, both reach the window itself.
    QWindow* window = w.windowHandle();
    const QPoint overLabel = w.control(Control::BaseColour1Label)->geometry().topLeft() + QPoint(3, 3);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseClick(window, Qt::LeftButton, {}, overLabel);
    QCOMPARE(presses.count(), 2);
    QCOMPARE(presses.at(1).first().toPoint(), overLabel);
    // Beside the colour boxes (a double click on one opens its RGB dialog).
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(60, 70));
    QCOMPARE(doubles.count(), 1);
    QCOMPARE(doubles.first().first().toPoint(), QPoint(60, 70));

    // Right button: the surface by position, also over the disabled Stop
    // button; an enabled control by name.
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(360, 200));
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(530, 210));
    QCOMPARE(rights.count(), 2);
    QCOMPARE(rights.at(1).first().toPoint(), QPoint(530, 210));
    QTest::mouseClick(window, Qt::RightButton, {}, w.control(Control::Create)->geometry().center());
    QCOMPARE(rights.count(), 2);
    QCOMPARE(controlRights.count(), 1);
    QCOMPARE(controlRights.first().first().value<Control>(), Control::Create);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
