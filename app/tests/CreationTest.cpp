// Creations started from the window: the worker thread, the busy state and
// its progress captions, Stop, the scene dialog's answers, closing the window
// while a creation runs.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <fstream>
#include <memory>

#include "AppTestSupport.h"
#include "app/MainWindow.h"
#include "platform/Paths.h"

using namespace kv;
using namespace kv::app;
using kv::app::test::ProgramDir;
using kv::app::test::ScratchDir;
using kv::app::test::ScriptedDialogs;

namespace {

constexpr int kCreationTimeoutMs = 300000;

// The inputs a creation disables.
const Control kInputs[] = {
    Control::About,      Control::Help,      Control::Load,       Control::Save,
    Control::Create,     Control::Preview,   Control::BaseList,   Control::Cover1List,
    Control::Cover2List, Control::CloudsList, Control::OceanList, Control::HeightfieldBrowse,
    Control::PlacementBrowse, Control::HeightfieldName, Control::PlacementName,
    Control::LoRes,      Control::MedRes,    Control::HiRes,
};

QString StopCaption(MainWindow& w) { return qobject_cast<QPushButton*>(w.control(Control::Stop))->text(); }

// What the window looked like at one moment.
struct Snapshot {
    bool busy = false;
    QStringList enabledInputs;
    bool stopEnabled = false;
    QString title;
    QString stopCaption;

    static Snapshot Of(MainWindow& w)
    {
        Snapshot s;
        s.busy = w.isBusy();
        for (Control id : kInputs)
            if (w.control(id)->isEnabled()) s.enabledInputs << QString::number(static_cast<int>(id));
        s.stopEnabled = w.control(Control::Stop)->isEnabled();
        s.title = w.windowTitle();
        s.stopCaption = StopCaption(w);
        return s;
    }
};

bool StartsWith(const std::string& path, const std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    std::string start(text.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    return in && start == text;
}

}  // namespace

class CreationTest : public QObject {
    Q_OBJECT

private slots:
    void fullCreationWritesTheSceneAndEndsIdle();
    void busyStateDuringACreation();
    void stopIsDisabledAtOnceAndEndsTheJob();
    void cancelledSceneDialogWritesNothing();
    void programDirectoryIsRefusedAndAskedAgain();
    void closingWhileTheJobWaitsForTheWindow();
    void closingWhileTheJobWrites();

private:
    // Idle: every input enabled, Stop disabled with its plain caption.
    static void VerifyIdle(MainWindow& w);
};

void CreationTest::VerifyIdle(MainWindow& w)
{
    const Snapshot s = Snapshot::Of(w);
    QVERIFY(!s.busy);
    QCOMPARE(s.enabledInputs.size(), qsizetype(std::size(kInputs)));
    QVERIFY(!s.stopEnabled);
    QCOMPARE(s.title, QString("Kelvane 2.0"));
    QCOMPARE(s.stopCaption, QString("Stop"));
    QVERIFY(!w.creationRunning());
}

void CreationTest::fullCreationWritesTheSceneAndEndsIdle()
{
    ProgramDir program;
    ScratchDir scenes;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QSignalSpy ended(&w, &MainWindow::creationEnded);

    dialogs.answers = {scenes.qpath() + "/Valley"};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kCreationTimeoutMs);
    QVERIFY2(!dialogs.messages.empty() && dialogs.messages[0].icon == MessageIcon::Information,
             dialogs.messages.empty() ? "no report" : dialogs.messages[0].text.c_str());
    QCOMPARE(ended.first().first().value<JobOutcome>(), JobOutcome::Finished);

    // The scene dialog as the job asked for it.
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    const FileDialogRequest& request = dialogs.fileDialogs[0].request;
    QVERIFY(dialogs.fileDialogs[0].save);
    QCOMPARE(request.title, QString("Choose A Filename For Your Scene . . . "));
    QCOMPARE(request.filter, QString("Scenes (*.SCN)"));
    QCOMPARE(ToStdString(request.directory), NormaliseDirectory(program.path()));
    QCOMPARE(request.fileName, QString());

    // The scene is there, under its lower-cased name, with the report.
    QVERIFY(StartsWith(scenes.file("valley.scn"), "Caligari V00.01ALH"));
    // The images beside it, as the report lists them.
    for (const char* image : {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg", "atmos.jpg", "rocktex.jpg",
                              "rockbump.jpg"}) {
        QVERIFY2(StartsWith(scenes.file(image), "\xFF\xD8"), image);
    }
    QVERIFY(QFileInfo(ToQString(scenes.file("fog.tga"))).size() > 18);
    QVERIFY(QFileInfo(ToQString(scenes.file("fern.tga"))).size() > 18);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    const Message& report = dialogs.messages[0];
    QCOMPARE(report.title, std::string("Kelvane Message"));
    QVERIFY(report.icon == MessageIcon::Information);
    QVERIFY(report.text.find("valley.scn (scenefile)") != std::string::npos);
    QVERIFY(report.text.find(NormaliseDirectory(scenes.path())) != std::string::npos);
    QVERIFY(report.text.find("rocktex.jpg") != std::string::npos);
    QVERIFY(report.text.find("fern.tga") != std::string::npos);

    VerifyIdle(w);
}

void CreationTest::busyStateDuringACreation()
{
    ProgramDir program;
    ScratchDir scenes;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy ended(&w, &MainWindow::creationEnded);
    QSignalSpy presses(&w, &MainWindow::surfaceLeftPress);
    QSignalSpy releases(&w, &MainWindow::surfaceLeftRelease);
    QSignalSpy doubles(&w, &MainWindow::surfaceLeftDoubleClick);
    QSignalSpy rights(&w, &MainWindow::surfaceRightRelease);
    QSignalSpy controlRights(&w, &MainWindow::controlRightRelease);
    QStringList titles;
    connect(&w, &QWidget::windowTitleChanged, this, [&](const QString& title) { titles << title; });

    // While the scene dialog is open the window is busy already; while the
    // report is open the progress has reached 100.
    Snapshot atDialog, atReport;
    dialogs.whileFileDialogOpen = [&](const ScriptedDialogs::FileDialog&) { atDialog = Snapshot::Of(w); };
    dialogs.whileMessageOpen = [&](const Message&) {
        atReport = Snapshot::Of(w);
        QWindow* window = w.windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(40, 40));       // a colour box
        QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(40, 70));      // another
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(150, 182));     // a slider row
        QTest::mouseClick(window, Qt::RightButton, {}, QPoint(340, 200));    // help still answers
        QTest::mouseClick(window, Qt::RightButton, {}, QPoint(530, 210));    // on the enabled Stop
        QTest::mouseClick(window, Qt::RightButton, {}, QPoint(530, 180));    // on the disabled Create
    };
    dialogs.answers = {scenes.qpath() + "/busy"};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kCreationTimeoutMs);

    for (const Snapshot& s : {atDialog, atReport}) {
        QVERIFY(s.busy);
        QVERIFY2(s.enabledInputs.isEmpty(), qPrintable(s.enabledInputs.join(",")));
        QVERIFY(s.stopEnabled);
    }
    QCOMPARE(atReport.title, QString("KV - 100%"));
    QCOMPARE(atReport.stopCaption, QString("Stop - 100%"));
    QCOMPARE(presses.count(), 0);
    QCOMPARE(releases.count(), 0);
    QCOMPARE(doubles.count(), 0);
    QCOMPARE(rights.count(), 2);
    QCOMPARE(rights.last().first().toPoint(), QPoint(530, 180));
    QCOMPARE(controlRights.count(), 1);
    QCOMPARE(controlRights.first().first().value<Control>(), Control::Stop);

    // The title went through the job's progress and back.
    QVERIFY(titles.contains("KV - 0%"));
    QVERIFY(titles.contains("KV - 3%"));
    QVERIFY(titles.indexOf("KV - 0%") < titles.indexOf("KV - 3%"));
    QCOMPARE(titles.last(), QString("Kelvane 2.0"));
    VerifyIdle(w);

    // Idle again: the left button reaches the window.
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(presses.count(), 1);
}

void CreationTest::stopIsDisabledAtOnceAndEndsTheJob()
{
    ProgramDir program;
    ScratchDir scenes;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QSignalSpy ended(&w, &MainWindow::creationEnded);

    // Stop is pressed while the job waits for the dialog's answer: the job
    // has not looked at the request yet.
    bool enabledBefore = false, enabledAfter = true, busyAfter = false;
    dialogs.whileFileDialogOpen = [&](const ScriptedDialogs::FileDialog&) {
        enabledBefore = w.control(Control::Stop)->isEnabled();
        QTest::mouseClick(w.control(Control::Stop), Qt::LeftButton);
        enabledAfter = w.control(Control::Stop)->isEnabled();
        busyAfter = w.isBusy();
    };
    dialogs.answers = {scenes.qpath() + "/stopped"};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kCreationTimeoutMs);

    QVERIFY(enabledBefore);
    QVERIFY(!enabledAfter);
    QVERIFY(busyAfter);
    QCOMPARE(ended.first().first().value<JobOutcome>(), JobOutcome::Stopped);
    QCOMPARE(scenes.files(), std::vector<std::string>{});
    QVERIFY(dialogs.messages.empty());
    VerifyIdle(w);

    // The request does not outlive its job: the next creation runs through.
    dialogs.whileFileDialogOpen = nullptr;
    dialogs.answers = {scenes.qpath() + "/after"};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kCreationTimeoutMs);
    QCOMPARE(ended.last().first().value<JobOutcome>(), JobOutcome::Finished);
    QVERIFY(QFileInfo::exists(ToQString(scenes.file("after.scn"))));
}

void CreationTest::cancelledSceneDialogWritesNothing()
{
    ProgramDir program;
    ScratchDir scenes;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QSignalSpy ended(&w, &MainWindow::creationEnded);
    const std::vector<std::string> programFiles = program.files();

    dialogs.answers = {std::nullopt};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kCreationTimeoutMs);

    QCOMPARE(ended.first().first().value<JobOutcome>(), JobOutcome::Cancelled);
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    QVERIFY(dialogs.messages.empty());
    QCOMPARE(scenes.files(), std::vector<std::string>{});
    QCOMPARE(program.files(), programFiles);
    VerifyIdle(w);
}

void CreationTest::programDirectoryIsRefusedAndAskedAgain()
{
    ProgramDir program;
    ScriptedDialogs dialogs;
    MainWindow w(program.path(), dialogs);
    w.show();
    QSignalSpy ended(&w, &MainWindow::creationEnded);
    const std::vector<std::string> programFiles = program.files();

    dialogs.answers = {program.qpath() + "/here", program.qpath() + "/again", std::nullopt};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kCreationTimeoutMs);

    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(3));
    QCOMPARE(dialogs.messages.size(), std::size_t(2));
    for (const Message& m : dialogs.messages) {
        QCOMPARE(m.text, std::string("You must choose a directory other than the executable directory for your "
                                     "scene directory."));
        QCOMPARE(m.title, std::string("Kelvane Message"));
        QVERIFY(m.icon == MessageIcon::Error);
    }
    QCOMPARE(program.files(), programFiles);
    VerifyIdle(w);
}

void CreationTest::closingWhileTheJobWaitsForTheWindow()
{
    ProgramDir program;
    ScratchDir scenes;
    ScriptedDialogs dialogs;
    auto w = std::make_unique<MainWindow>(program.path(), dialogs);
    w->show();
    dialogs.answers = {scenes.qpath() + "/never"};

    // No event is processed between Create and the close: the job is waiting
    // for its scene dialog to be shown by the window.
    QTest::mouseClick(w->control(Control::Create), Qt::LeftButton);
    QVERIFY(w->creationRunning());
    QVERIFY(w->close());
    QVERIFY(!w->creationRunning());
    w.reset();

    // Closing answered the dialog as cancelled without showing it.
    QVERIFY(dialogs.fileDialogs.empty());
    QVERIFY(dialogs.messages.empty());
    QCOMPARE(scenes.files(), std::vector<std::string>{});
}

void CreationTest::closingWhileTheJobWrites()
{
    ProgramDir program;
    // A large heightfield keeps the job writing the terrain for a while.
    test::WriteBmp(program.file("height01.bmp"), 900, 900,
                   [](int x, int y) { return static_cast<std::uint32_t>((x * 7 + y * 3) % 256) * 0x010101u; });
    test::WriteBmp(program.file("tree01.bmp"), 900, 900, [](int, int) { return 0u; });
    ScratchDir scenes;
    ScriptedDialogs dialogs;
    auto w = std::make_unique<MainWindow>(program.path(), dialogs);
    w->show();
    QSignalSpy ended(w.get(), &MainWindow::creationEnded);
    bool writing = false;
    connect(w.get(), &QWidget::windowTitleChanged, this, [&](const QString& title) {
        if (title == "KV - 3%") writing = true;
    });

    // The window goes away (without a close event) while the job writes the
    // terrain: destruction stops the job and waits for its end routine.
    dialogs.answers = {scenes.qpath() + "/late"};
    QTest::mouseClick(w->control(Control::Create), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(writing, kCreationTimeoutMs);
    QVERIFY2(ended.isEmpty(), "the job ended before the window could be closed");
    QElapsedTimer clock;
    clock.start();
    w.reset();
    QVERIFY(clock.elapsed() < 10000);

    // The job stopped: nothing more was asked or reported, no scene was copied.
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    QVERIFY(dialogs.messages.empty());
    QCOMPARE(scenes.files(), std::vector<std::string>{});
}

QTEST_MAIN(CreationTest)
#include "CreationTest.moc"
