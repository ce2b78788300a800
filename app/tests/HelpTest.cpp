// Help: right-click help over controls and over the window's surface (also
// while a creation runs), the help topics dialog and the step-by-step
// tutorial with its paging and its place beside the main window.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/ColourBoxControls.h"
#include "app/HelpWindows.h"
#include "app/MainWindow.h"
#include "app/SliderControls.h"
#include "app/TutorialPages.h"
#include "app/WindowPlacement.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::ProgramDir;
using kv::app::test::ScratchDir;
using kv::app::test::ScriptedDialogs;

namespace {

const QString kClosing = "\n\nFor more detailed help information, click the Help button.";

struct Fixture {
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow window{program.path(), dialogs};

    Fixture()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
    }
    // Releases the right button at a client point and returns the titles
    // of the messages it brought up.
    QStringList rightClick(QPoint point)
    {
        const std::size_t before = dialogs.messages.size();
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, point);
        QStringList titles;
        for (std::size_t i = before; i < dialogs.messages.size(); ++i)
            titles << QString::fromStdString(dialogs.messages[i].title);
        return titles;
    }
    QPoint centreOf(Control id) const { return window.control(id)->geometry().center(); }
    HelpWindows& help() { return HelpWindows::Of(&window); }
};

const char* const kPageTitles[kTutorialPageCount] = {
    "Step-by-Step Procedure Instructions",
    "Step #1 - The Heightfield Bitmap",
    "Step #2 - The Base Material",
    "Step #3 - The Preview Function",
    "Step #4 - Adding a Cover1 Material",
    "Step #5 - Saving and Loading KV Files",
    "Step #6 - Adding a Cover2 Material",
    "Step #7 - The Atmosphere",
    "Step #8 - The Ocean",
    "Step #9 - Adding Trees and Rocks",
    "Step #10 - Creating the Scene and Texture Files",
    "KV Object List and Heirarchy",
    "KV Texture and Bumpmap List",
};

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void stopAnswersWhileDisabledAndWhileBusy();
    void everyAreaOfTheSurface();
    void labelsAndEmptySurfaceHaveNoHelp();
    void everyStandardControl();
    void helpTopicsDialog();
    void stepByStepClosesTopicsBeforeTheTutorial();
    void tutorialPaging();
    void tutorialContent();
    void tutorialOpensBesideTheMainWindow();
};

void HelpTest::stopAnswersWhileDisabledAndWhileBusy()
{
    Fixture f;
    const QPoint stop = f.centreOf(Control::Stop);
    QVERIFY(!f.window.control(Control::Stop)->isEnabled());
    QCOMPARE(f.rightClick(stop), QStringList({"Stop Processing"}));
    QCOMPARE(QString::fromStdString(f.dialogs.messages.back().text),
             "Click on this button to stop processing." + kClosing);
    QCOMPARE(f.dialogs.messages.back().icon, MessageIcon::Information);

    // During a creation: Stop is enabled, the other inputs disabled, the left
    // button does nothing on the surface, right-click help still answers.
    ScratchDir scenes;
    auto* sliders = f.window.findChild<SliderControls*>();
    bool rgbDialogOpened = false;
    f.window.findChild<ColourBoxControls*>()->setRgbDialogRunner([&](RgbEditor&, QWidget*) {
        rgbDialogOpened = true;
        return false;
    });
    const ProjectSettings before = f.window.settings();
    QStringList stopHelp, boxHelp, listHelp;
    bool busy = false;
    QString densityLabel;
    f.dialogs.whileFileDialogOpen = [&](const ScriptedDialogs::FileDialog&) {
        busy = f.window.isBusy() && f.window.control(Control::Stop)->isEnabled();
        stopHelp = f.rightClick(stop);
        boxHelp = f.rightClick(ColourBoxes()[9].hit.center());
        listHelp = f.rightClick(f.centreOf(Control::CloudsList));
        QWindow* handle = f.window.windowHandle();
        // A slider marker and a colour drag and a double click: all ignored.
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(157, 262));
        QTest::mouseMove(handle, QPoint(187, 262));
        densityLabel = qobject_cast<QLabel*>(f.window.control(Control::Cover1DensityLabel))->text();
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(187, 262));
        QTest::mousePress(handle, Qt::LeftButton, {}, ColourBoxes()[9].hit.center());
        QTest::mouseRelease(handle, Qt::LeftButton, {}, ColourBoxes()[11].hit.center());
        QTest::mouseDClick(handle, Qt::LeftButton, {}, ColourBoxes()[12].hit.center());
    };
    QSignalSpy ended(&f.window, &MainWindow::creationEnded);
    f.dialogs.answers = {std::nullopt};  // the scene dialog is cancelled
    QTest::mouseClick(f.window.control(Control::Create), Qt::LeftButton);
    QVERIFY(ended.wait(60000));

    QVERIFY(busy);
    QCOMPARE(stopHelp, QStringList({"Stop Processing"}));
    QCOMPARE(boxHelp, QStringList({"Sky Color"}));
    QCOMPARE(listHelp, QStringList());  // a disabled list has no area of its own
    QCOMPARE(densityLabel, QString("Density"));
    QVERIFY(!rgbDialogOpened);
    QCOMPARE(f.window.settings(), before);
    QVERIFY(!sliders->model().draggedMarker());
    QVERIFY(!f.window.isBusy());
    QCOMPARE(f.rightClick(stop), QStringList({"Stop Processing"}));
}

void HelpTest::everyAreaOfTheSurface()
{
    Fixture f;
    const std::pair<QPoint, const char*> areas[] = {
        {{40, 44}, "Base Color1"},        {{40, 73}, "Base Color2"},        {{40, 102}, "Base Color3"},
        {{139, 44}, "Cover1 Color1"},     {{139, 73}, "Cover1 Color2"},     {{139, 102}, "Cover1 Color3"},
        {{238, 44}, "Cover2 Color1"},     {{238, 73}, "Cover2 Color2"},     {{238, 102}, "Cover2 Color3"},
        {{337, 44}, "Sky Color"},         {{337, 73}, "Cloud Color"},       {{337, 102}, "Fog Color"},
        {{436, 46}, "Ocean Color"},       {{60, 170}, "Base Material"},     {{160, 170}, "Cover1 Altitude"},
        {{160, 210}, "Cover1 Slope"},     {{160, 250}, "Cover1 Density"},   {{260, 170}, "Cover2 Altitude"},
        {{260, 210}, "Cover2 Slope"},     {{260, 250}, "Cover2 Density"},   {{360, 200}, "Atmosphere Preview"},
        {{460, 135}, "Trees and Rocks"},  {{460, 205}, "Tree Size"},        {{460, 240}, "Rock Size"},
        {{550, 215}, "Stop Processing"},
        // Corners of the inclusive ranges.
        {{28, 32}, "Base Color1"},        {{52, 55}, "Base Color1"},        {{448, 57}, "Ocean Color"},
        {{22, 162}, "Base Material"},     {{98, 179}, "Base Material"},     {{401, 272}, "Atmosphere Preview"},
        {{116, 185}, "Cover1 Altitude"},  {{207, 161}, "Cover1 Altitude"},  {{306, 264}, "Cover2 Density"},
        {{505, 262}, "Rock Size"},        {{414, 196}, "Tree Size"},        {{596, 227}, "Stop Processing"},
        // Over the slider markers and labels, which take no mouse input.
        {{117, 181}, "Cover1 Altitude"},  {{470, 200}, "Tree Size"},
    };
    for (const auto& [point, title] : areas)
        QVERIFY2(f.rightClick(point) == QStringList({title}), title);

    const kv::Message& sky = f.dialogs.messages[9];
    QCOMPARE(QString::fromStdString(sky.text),
             "Double click on this color box to change the sky color by adjusting the sliders in the RGB Dialog "
             "that pops up (this value may be dragged and dropped to and from other color boxes)." +
                 kClosing);
    const kv::Message& cover2 = f.dialogs.messages[7];
    QVERIFY(QString::fromStdString(cover2.text).startsWith("Double click on this color box to change color2 of the "
                                                           "cover2 material by adjusting"));
    QCOMPARE(QString::fromStdString(f.dialogs.messages[18].text),
             "These sliders adjust the slope range for cover2." + kClosing);
}

void HelpTest::labelsAndEmptySurfaceHaveNoHelp()
{
    Fixture f;
    for (Control id : {Control::BaseColour1Label, Control::SkyLabel, Control::OceanLabel})
        QCOMPARE(f.rightClick(f.centreOf(id)), QStringList());
    // Group captions, the gaps beside the areas, just outside their edges.
    const QPoint empty[] = {{20, 5},   {300, 5},  {27, 32},  {53, 55},  {21, 162}, {402, 272},
                            {115, 185}, {208, 161}, {597, 227}, {413, 196}, {600, 290}};
    for (const QPoint& point : empty) QVERIFY2(f.rightClick(point).isEmpty(), qPrintable(QString::number(point.x())));
    QVERIFY(f.dialogs.messages.empty());
}

void HelpTest::everyStandardControl()
{
    Fixture f;
    const std::pair<Control, const char*> controls[] = {
        {Control::HeightfieldBrowse, "Heightfield Bitmap Browse"},
        {Control::BaseList, "Base Material"},
        {Control::LoRes, "Low Resolution"},
        {Control::MedRes, "Medium Resolution"},
        {Control::HiRes, "High Resolution"},
        {Control::Cover1List, "Cover1 Material"},
        {Control::Cover2List, "Cover2 Material"},
        {Control::CloudsList, "Clouds"},
        {Control::OceanList, "Ocean"},
        {Control::PlacementBrowse, "Trees and Rocks"},
        {Control::Create, "Create"},
        {Control::About, "About Kelvane"},
        {Control::Help, "Help"},
        {Control::Load, "Load"},
        {Control::Save, "Save"},
        {Control::Preview, "Preview"},
    };
    const ProjectSettings before = f.window.settings();
    for (const auto& [id, title] : controls) {
        QCOMPARE(f.rightClick(f.centreOf(id)), QStringList({title}));
        const kv::Message& shown = f.dialogs.messages.back();
        QCOMPARE(shown.icon, MessageIcon::Information);
        // Every text but About's and Help's ends with the pointer to Help.
        const bool closing = id != Control::About && id != Control::Help;
        QCOMPARE(QString::fromStdString(shown.text).endsWith(kClosing), closing);
    }
    QCOMPARE(QString::fromStdString(f.dialogs.messages[8].text),
             "Select the type of waves from the choices in this dropdown listbox." + kClosing);
    QCOMPARE(QString::fromStdString(f.dialogs.messages[11].text),
             QString("Click on this button to view information about Kelvane."));
    // The right button clicks nothing: no file dialog, no change.
    QVERIFY(f.dialogs.fileDialogs.empty());
    QCOMPARE(f.window.settings(), before);
    QVERIFY(!f.window.isBusy());
}

void HelpTest::helpTopicsDialog()
{
    Fixture f;
    QTest::mouseClick(f.window.control(Control::Help), Qt::LeftButton);
    HelpTopicsDialog* topics = f.help().topics();
    QVERIFY(topics);
    QVERIFY(topics->isVisible());
    QCOMPARE(topics->windowTitle(), QString("Kelvane Help Topics"));
    QVERIFY(!(topics->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(topics->parentWidget(), nullptr);
    QCOMPARE(topics->size(), QSize(471, 241));
    QCOMPARE(topics->rightClickButton()->text(), QString("Right Click"));
    QCOMPARE(topics->stepByStepButton()->text(), QString("Step by Step"));
    QCOMPARE(topics->exitButton()->text(), QString("Exit Help"));
    QCOMPARE(topics->rightClickButton()->geometry(), QRect(11, 11, 75, 72));
    QStringList texts;
    for (QLabel* label : topics->findChildren<QLabel*>()) texts << label->text();
    QCOMPARE(texts.size(), 3);
    QVERIFY(texts.contains("Click the button to the left to exit help."));
    QVERIFY(texts.contains("KV pops open help dialogs whenever you right click on any of the input parameters. "
                           "Click on the button to the left to exit help and right click on an input parameter."));
    // The main window stays usable: nothing is modal, Help brings the same dialog up.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QTest::mouseClick(f.window.control(Control::Help), Qt::LeftButton);
    QCOMPARE(f.help().topics(), topics);

    QTest::mouseClick(topics->rightClickButton(), Qt::LeftButton);
    QVERIFY(!topics->isVisible());
    QTest::mouseClick(f.window.control(Control::Help), Qt::LeftButton);
    QVERIFY(f.help().topics()->isVisible());
    QTest::mouseClick(f.help().topics()->exitButton(), Qt::LeftButton);
    QVERIFY(!f.help().topics()->isVisible());
    QVERIFY(!f.help().tutorial());
}

void HelpTest::stepByStepClosesTopicsBeforeTheTutorial()
{
    Fixture f;
    QTest::mouseClick(f.window.control(Control::Help), Qt::LeftButton);
    HelpTopicsDialog* topics = f.help().topics();
    bool topicsVisibleAtTutorial = true;
    connect(&f.help(), &HelpWindows::tutorialShown, this,
            [&] { topicsVisibleAtTutorial = topics->isVisible(); });
    QTest::mouseClick(topics->stepByStepButton(), Qt::LeftButton);
    QVERIFY(!topicsVisibleAtTutorial);
    TutorialWindow* tutorial = f.help().tutorial();
    QVERIFY(tutorial && tutorial->isVisible());
    QCOMPARE(tutorial->page(), 0);
    QCOMPARE(tutorial->windowTitle(), QString(kPageTitles[0]));
    QCOMPARE(tutorial->parentWidget(), nullptr);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(f.window.isEnabled());

    // Closing the main window closes the help with it.
    QTest::mouseClick(f.window.control(Control::Help), Qt::LeftButton);
    QVERIFY(f.help().topics()->isVisible());
    f.window.close();
    QVERIFY(!tutorial->isVisible());
    QVERIFY(!f.help().topics()->isVisible());
}

void HelpTest::tutorialPaging()
{
    Fixture f;
    f.help().showTutorial();
    TutorialWindow* t = f.help().tutorial();
    QCOMPARE(t->size(), QSize(617, 336));
    QCOMPARE(t->backButton()->text(), QString("<< Back  "));
    QCOMPARE(t->nextButton()->text(), QString("  Next >>"));
    QCOMPARE(t->exitButton()->text(), QString("Exit"));
    QVERIFY(t->textBox()->isReadOnly());
    QCOMPARE(t->textBox()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QCOMPARE(t->page(), 0);
    QVERIFY(!t->backButton()->isEnabled());
    QVERIFY(t->nextButton()->isEnabled());
    for (int page = 1; page <= 12; ++page) {
        QTest::mouseClick(t->nextButton(), Qt::LeftButton);
        QCOMPARE(t->page(), page);
        QCOMPARE(t->windowTitle(), QString(kPageTitles[page]));
        QCOMPARE(t->textBox()->toPlainText(), QString::fromStdString(TutorialPages()[page].text));
        QVERIFY(t->backButton()->isEnabled());
    }
    QVERIFY(!t->nextButton()->isEnabled());
    QTest::mouseClick(t->nextButton(), Qt::LeftButton);
    QCOMPARE(t->page(), 12);

    QTest::mouseClick(t->backButton(), Qt::LeftButton);
    QCOMPARE(t->page(), 11);
    QVERIFY(t->nextButton()->isEnabled());
    for (int page = 10; page >= 0; --page) {
        QTest::mouseClick(t->backButton(), Qt::LeftButton);
        QCOMPARE(t->page(), page);
        QCOMPARE(t->windowTitle(), QString(kPageTitles[page]));
    }
    QVERIFY(!t->backButton()->isEnabled());
    QVERIFY(t->nextButton()->isEnabled());

    // Exit closes it; opened again it starts at page 0.
    QTest::mouseClick(t->nextButton(), Qt::LeftButton);
    QTest::mouseClick(t->nextButton(), Qt::LeftButton);
    QTest::mouseClick(t->exitButton(), Qt::LeftButton);
    QVERIFY(!t->isVisible());
    f.help().showTutorial();
    QCOMPARE(f.help().tutorial()->page(), 0);
    QVERIFY(!f.help().tutorial()->backButton()->isEnabled());
}

void HelpTest::tutorialContent()
{
    auto text = [](int page) { return QString::fromStdString(TutorialPages()[page].text); };
    for (int page = 0; page < kTutorialPageCount; ++page) {
        QCOMPARE(QString(TutorialPages()[page].title), QString(kPageTitles[page]));
        QVERIFY(!text(page).contains("\n\n\n"));
    }
    for (const char* sample : {"sample1.kv", "sample2.kv", "sample3.kv"}) QVERIFY(text(0).contains(sample));
    QVERIFY(text(1).contains("4807") && text(1).contains("19,607"));

    // Page 9: every object with its marker colour and files.
    const char* const markers[] = {
        "Boulder - (255,0,0) - rocktex.jpg, rockbump.jpg", "Flatrock - (196,0,0) - rocktex.jpg, rockbump.jpg",
        "Rock - (128,0,0) - rocktex.jpg, rockbump.jpg",    "Pebbles - (64,0,0) - rocktex.jpg, rockbump.jpg",
        "Fern - (0,255,0) - fern.tga",                     "Cactus - (0,196,0) - cactus.jpg, cactbump.jpg",
        "Evergreen - (0,128,0) - ever.tga, bark.jpg",      "Fir - (0,64,0) - fir.tga, bark.jpg",
        "Palmtree - (0,0,255) - palmtree.jpg, palmbark.jpg, palmleaf.tga",
        "Birch - (0,0,196) - birch.jpg",                   "Deadtree1 - (0,0,128) - bark.jpg",
        "Deadtree2 - (0,0,64) - bark.jpg",
    };
    for (const char* line : markers) QVERIFY2(text(9).contains(line), line);

    // Page 11: the hierarchy as an indented tree.
    const QStringList lines = text(11).split('\n');
    auto indentOf = [&](const QString& name) -> qsizetype {
        for (const QString& line : lines)
            if (line.trimmed() == name || line.trimmed().startsWith(name + " (")) return line.indexOf(name);
        return -1;
    };
    QCOMPARE(indentOf("scene"), 0);
    for (const char* child : {"atmos", "fog", "ocean", "lights", "sun", "YOU", "earth"}) QCOMPARE(indentOf(child), 4);
    for (const char* child : {"terrain", "rocks", "trees"}) QCOMPARE(indentOf(child), 8);
    for (const char* leaf : {"boulder", "flatrock", "rock", "pebbles", "fern", "cactus", "evergreen", "fir",
                             "palmtree", "birch", "deadtree1", "deadtree2"})
        QCOMPARE(indentOf(leaf), 12);
    QVERIFY(text(11).endsWith("Click Next to continue on to the next step in this procedure."));

    // Page 12: every image file, then the two closing lines.
    for (const char* file : {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg", "atmos.jpg", "fog.tga", "ripple.jpg",
                             "rocktex.jpg", "rockbump.jpg", "palmtree.jpg", "palmbark.jpg", "palmleaf.tga",
                             "fern.tga", "ever.tga", "fir.tga", "bark.jpg", "birch.jpg", "cactus.jpg",
                             "cactbump.jpg"})
        QVERIFY2(text(12).contains(QString("- ") + file + " - "), file);
    QVERIFY(text(12).endsWith("Congratulations - you've made it! This tutorial is finally over!\n\n"
                              "The rest is up to you . . ."));
}

void HelpTest::tutorialOpensBesideTheMainWindow()
{
    const QSize tutorial(620, 360);
    const QRect screen(0, 0, 1920, 1080);
    // Room on the right: beside it there, tops level, a small gap between.
    QCOMPARE(PlaceBeside(QRect(600, 300, 610, 320), tutorial, screen), QPoint(1218, 300));
    // Room on the right for the window but not for the gap: flush.
    QCOMPARE(PlaceBeside(QRect(600, 300, 700, 320), tutorial, screen), QPoint(1300, 300));
    // No room on the right: on the left.
    QCOMPARE(PlaceBeside(QRect(1000, 300, 610, 320), tutorial, screen), QPoint(372, 300));
    QCOMPARE(PlaceBeside(QRect(625, 300, 700, 320), tutorial, screen), QPoint(0, 300));
    // Room on neither side: against the edge with more room.
    const QRect narrow(0, 0, 1366, 768);
    QCOMPARE(PlaceBeside(QRect(370, 200, 610, 320), tutorial, narrow), QPoint(746, 200));
    QCOMPARE(PlaceBeside(QRect(400, 200, 610, 320), tutorial, narrow), QPoint(0, 200));
    // Kept on the screen vertically; a screen that does not start at 0.
    QCOMPARE(PlaceBeside(QRect(100, 900, 610, 320), tutorial, screen), QPoint(718, 720));
    QCOMPARE(PlaceBeside(QRect(2000, -50, 610, 320), tutorial, QRect(1920, 0, 1920, 1080)), QPoint(2618, 0));
    // Wider than the screen: its left edge on the screen.
    QCOMPARE(PlaceBeside(QRect(100, 100, 300, 200), QSize(900, 300), QRect(0, 0, 800, 600)), QPoint(0, 100));

    // The window's tutorial, on this platform's screen.
    Fixture f;
    f.help().showTutorial();
    TutorialWindow* t = f.help().tutorial();
    QVERIFY(QTest::qWaitForWindowExposed(t));
    const QRect area = f.window.screen()->availableGeometry();
    const QRect main = f.window.frameGeometry();
    const QRect shown = t->frameGeometry();
    QVERIFY(area.contains(shown));
    if (area.right() - main.right() >= shown.width()) {
        QVERIFY(shown.left() > main.right());
    } else if (main.left() - area.left() >= shown.width()) {
        QVERIFY(shown.right() < main.left());
    } else {
        QVERIFY(shown.left() == area.left() || shown.right() == area.right());
    }
    QVERIFY(shown.top() == main.top() || shown.bottom() == area.bottom());
}

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
