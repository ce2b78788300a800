// Creations started from the window: the worker thread, the busy state with
// its progress captions, Stop, the scene dialog's answers, and closing the
// window while a creation runs.
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "AppTestSupport.h"
#include "core/platform/Paths.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

namespace {

constexpr int kTimeoutMs = 300000;

const Control kInputs[] = {
    Control::About,      Control::Help,       Control::Load,       Control::Save,
    Control::Create,     Control::Preview,    Control::BaseList,   Control::Cover1List,
    Control::Cover2List, Control::CloudsList, Control::OceanList,  Control::HeightfieldBrowse,
    Control::PlacementBrowse, Control::HeightfieldName, Control::PlacementName,
    Control::LoRes,      Control::MedRes,     Control::HiRes,
};

// What the window looked like at one moment.
struct Snapshot {
    bool busy = false;
    int enabledInputs = 0;
    bool stopEnabled = false;
    QString title, stopCaption;

    static Snapshot Of(MainWindow& w)
    {
        Snapshot s{w.isBusy(), 0, w.control(Control::Stop)->isEnabled(), w.windowTitle(),
                   ShownText(w, Control::Stop)};
        for (Control id : kInputs) s.enabledInputs += w.control(id)->isEnabled() ? 1 : 0;
        return s;
    }
};

JobOutcome Outcome(const QSignalSpy& ended, int i) { return ended.at(i).first().value<JobOutcome>(); }

}  // namespace

class CreationTest : public QObject {
    Q_OBJECT

private slots:
    void fullCreation();
    void busyStateDuringACreation();
    void stopIsDisabledAtOnceAndEndsTheJob();
    void cancelledOrRefusedSceneDialog();
    void closingWhileTheJobWaitsForTheWindow();
    void closingWhileTheJobWrites();

private:
    // Idle: every input enabled, Stop disabled with its plain caption.
    static void VerifyIdle(MainWindow& w)
    {
        const Snapshot s = Snapshot::Of(w);
        QVERIFY(!s.busy && !s.stopEnabled && !w.creationRunning());
        QCOMPARE(s.enabledInputs, int(std::size(kInputs)));
        QCOMPARE(s.title, QString("Kelvane 2.0"));
        QCOMPARE(s.stopCaption, QString("Stop"));
    }
};

void CreationTest::fullCreation()
{
    WindowFixture f;
    ScratchDir scenes;
    QSignalSpy ended(f.window.get(), &MainWindow::creationEnded);
    f.dialogs.answers = {scenes.qfile("Valley")};
    QTest::mouseClick(f.w().control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QCOMPARE(Outcome(ended, 0), JobOutcome::Finished);

    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(1));
    const FileDialogRequest& request = f.dialogs.fileDialogs[0].request;
    QVERIFY(f.dialogs.fileDialogs[0].save);
    QCOMPARE(request.title, QString("Choose A Filename For Your Scene . . . "));
    QCOMPARE(request.filter, QString("Scenes (*.SCN);;glTF binary (*.glb)"));
    QCOMPARE(ToStdString(request.directory), NormaliseDirectory(f.program.path()));

    // The scene under its lower-cased name, its images, the report.
    QVERIFY(FileStartsWith(scenes.file("valley.scn"), "Caligari V00.01ALH"));
    for (const char* image : {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg", "atmos.jpg", "rocktex.jpg",
                              "rockbump.jpg"}) {
        QVERIFY2(FileStartsWith(scenes.file(image), "\xFF\xD8"), image);
    }
    QVERIFY(QFileInfo(scenes.qfile("fog.tga")).size() > 18);
    QVERIFY(QFileInfo(scenes.qfile("fern.tga")).size() > 18);
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    const Message& report = f.dialogs.messages[0];
    QCOMPARE(report.title, std::string("Kelvane Message"));
    QVERIFY(report.icon == MessageIcon::Information);
    QVERIFY(report.text.find(NormaliseDirectory(scenes.path()) + " directory:\nvalley.scn (scenefile)") !=
            std::string::npos);
    VerifyIdle(f.w());
}

void CreationTest::busyStateDuringACreation()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir scenes;
    QSignalSpy ended(&w, &MainWindow::creationEnded);
    QSignalSpy presses(&w, &MainWindow::surfaceLeftPress);
    QSignalSpy releases(&w, &MainWindow::surfaceLeftRelease);
    QSignalSpy doubles(&w, &MainWindow::surfaceLeftDoubleClick);
    QSignalSpy rights(&w, &MainWindow::surfaceRightRelease);
    QSignalSpy controlRights(&w, &MainWindow::controlRightRelease);
    QStringList titles;
    connect(&w, &QWidget::windowTitleChanged, this, [&](const QString& title) { titles << title; });

    // The window is busy while the scene dialog is open; while the report is
    // open the progress has reached 100 and the mouse is tried.
    Snapshot atDialog, atReport;
    f.dialogs.whileFileDialogOpen = [&](const ScriptedDialogs::FileDialog&) { atDialog = Snapshot::Of(w); };
    f.dialogs.whileMessageOpen = [&](const Message& message) {
        if (message.title != kMessageTitle) return;  // the right-click help boxes below
        atReport = Snapshot::Of(w);
        QWindow* window = w.windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(40, 40));    // a colour box
        QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(40, 70));   // another
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(150, 182));  // a slider row
        QTest::mouseClick(window, Qt::RightButton, {}, QPoint(340, 200)); // help still answers
        QTest::mouseClick(window, Qt::RightButton, {}, QPoint(530, 210)); // the enabled Stop
    };
    f.dialogs.answers = {scenes.qfile("busy")};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);

    for (const Snapshot& s : {atDialog, atReport}) {
        QVERIFY(s.busy && s.stopEnabled);
        QCOMPARE(s.enabledInputs, 0);
    }
    QCOMPARE(atReport.title, QString("KV - 100%"));
    QCOMPARE(atReport.stopCaption, QString("Stop - 100%"));
    QCOMPARE(presses.count() + releases.count() + doubles.count(), 0);
    QCOMPARE(rights.count(), 1);
    QCOMPARE(controlRights.count(), 1);
    // The title went through the job's progress and back.
    QVERIFY(titles.indexOf("KV - 0%") >= 0 && titles.indexOf("KV - 0%") < titles.indexOf("KV - 3%"));
    QCOMPARE(titles.last(), QString("Kelvane 2.0"));
    VerifyIdle(w);
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(presses.count(), 1);
}

void CreationTest::stopIsDisabledAtOnceAndEndsTheJob()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir scenes;
    QSignalSpy ended(&w, &MainWindow::creationEnded);

    // Stop is pressed while the job waits for the dialog's answer, before it
    // can have looked at the request.
    bool enabledBefore = false, enabledAfter = true;
    f.dialogs.whileFileDialogOpen = [&](const ScriptedDialogs::FileDialog&) {
        enabledBefore = w.control(Control::Stop)->isEnabled();
        QTest::mouseClick(w.control(Control::Stop), Qt::LeftButton);
        enabledAfter = w.control(Control::Stop)->isEnabled();
    };
    f.dialogs.answers = {scenes.qfile("stopped")};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QVERIFY(enabledBefore && !enabledAfter);
    QCOMPARE(Outcome(ended, 0), JobOutcome::Stopped);
    QCOMPARE(scenes.files(), std::vector<std::string>{});
    QVERIFY(f.dialogs.messages.empty());
    VerifyIdle(w);

    // The request does not outlive its job.
    f.dialogs.whileFileDialogOpen = nullptr;
    f.dialogs.answers = {scenes.qfile("after")};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kTimeoutMs);
    QCOMPARE(Outcome(ended, 1), JobOutcome::Finished);
}

void CreationTest::cancelledOrRefusedSceneDialog()
{
    WindowFixture f;
    QSignalSpy ended(f.window.get(), &MainWindow::creationEnded);
    const std::vector<std::string> programFiles = f.program.files();

    // Cancelled at once.
    QTest::mouseClick(f.w().control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QCOMPARE(Outcome(ended, 0), JobOutcome::Cancelled);
    QVERIFY(f.dialogs.messages.empty());
    VerifyIdle(f.w());

    // The program directory twice (refused, asked again), then cancelled.
    f.dialogs.answers = {f.program.qfile("here"), f.program.qfile("again"), std::nullopt};
    QTest::mouseClick(f.w().control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kTimeoutMs);
    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(4));
    QCOMPARE(f.dialogs.messages.size(), std::size_t(2));
    for (const Message& m : f.dialogs.messages) {
        QCOMPARE(m.text, std::string("You must choose a directory other than the executable directory for your "
                                     "scene directory."));
        QCOMPARE(m.title, std::string("Kelvane Message"));
        QVERIFY(m.icon == MessageIcon::Error);
    }
    QCOMPARE(f.program.files(), programFiles);
    VerifyIdle(f.w());
}

void CreationTest::closingWhileTheJobWaitsForTheWindow()
{
    WindowFixture f;
    ScratchDir scenes;
    f.dialogs.answers = {scenes.qfile("never")};
    // No event is processed between Create and the close: the job is waiting
    // for the window to show its scene dialog.
    QTest::mouseClick(f.w().control(Control::Create), Qt::LeftButton);
    QVERIFY(f.w().creationRunning());
    QVERIFY(f.w().close());
    QVERIFY(!f.w().creationRunning());
    // Closing answered the dialog as cancelled without showing it.
    QVERIFY(f.dialogs.fileDialogs.empty());
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(scenes.files(), std::vector<std::string>{});
}

void CreationTest::closingWhileTheJobWrites()
{
    // A large heightfield keeps the job writing the terrain for a while.
    WindowFixture f([](ProgramDir& program) {
        WriteBmp(program.file("height01.bmp"), 900, 900,
                 [](int x, int y) { return static_cast<std::uint32_t>((x * 7 + y * 3) % 256) * 0x010101u; });
        WriteBmp(program.file("tree01.bmp"), 900, 900, [](int, int) { return 0u; });
    });
    ScratchDir scenes;
    QSignalSpy ended(f.window.get(), &MainWindow::creationEnded);
    bool writing = false;
    connect(f.window.get(), &QWidget::windowTitleChanged, this,
            [&](const QString& title) { writing = writing || title == "KV - 3%"; });
    f.dialogs.answers = {scenes.qfile("late")};
    // Hi Res textures, since Lo Res ones are smaller than this heightfield.
    QTest::mouseClick(f.w().control(Control::HiRes), Qt::LeftButton);
    QTest::mouseClick(f.w().control(Control::Create), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(writing, kTimeoutMs);
    QVERIFY2(ended.isEmpty(), "the job ended before the window went away");

    // Destroyed without a close event: the job is stopped and its end
    // routine awaited; nothing more is asked, no scene is copied.
    QElapsedTimer clock;
    clock.start();
    f.window.reset();
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(1));
    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(scenes.files(), std::vector<std::string>{});
}

QTEST_MAIN(CreationTest)
#include "CreationTest.moc"
