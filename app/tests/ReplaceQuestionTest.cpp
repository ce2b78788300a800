// The window never replaces a file without asking: the question is asked about
// the file that Save or a creation will really write, whose name may differ
// from the name typed in the dialog.
#include <QSignalSpy>
#include <QtTest>

#include <fstream>

#include "AppTestSupport.h"
#include "core/platform/Paths.h"
#include "core/inputs/SettingsFile.h"

using namespace kv;
using namespace kv::app;
using namespace kv::app::test;

namespace {

constexpr int kTimeoutMs = 300000;

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Question(const std::string& path) { return path + " already exists.\nDo you want to replace it?"; }

}  // namespace

class ReplaceQuestionTest : public QObject {
    Q_OBJECT

private slots:
    void saveAsksAboutTheNameWithItsExtension();
    void sceneDialogAsksAboutTheLowerCasedName();
    void aGlbChosenInTheSceneDialogIsWrittenAloneUnderItsName();
};

void ReplaceQuestionTest::saveAsksAboutTheNameWithItsExtension()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir dir;
    WriteText(dir.file("up.KV.kv"), "older settings");
    // A file under the name as typed is not what Save writes: no question.
    WriteText(dir.file("up.KV"), "something else");

    // No: the dialog opens again at the name typed; cancelled there, nothing
    // is written.
    f.dialogs.answers = {dir.qfile("up.KV"), std::nullopt};
    f.dialogs.replies = {false};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(1));
    const Message& question = f.dialogs.questions[0];
    QCOMPARE(question.text, Question(dir.file("up.KV.kv")));
    QCOMPARE(question.title, std::string("Kelvane Message"));
    QVERIFY(question.icon == MessageIcon::Warning);
    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(2));
    const FileDialogRequest& again = f.dialogs.fileDialogs[1].request;
    QCOMPARE(again.title, QString("Save KV File . . ."));
    QCOMPARE(again.filter, QString("KV Files (*.KV)"));
    QCOMPARE(again.directory, dir.qpath());
    QCOMPARE(again.fileName, QString("up.KV"));
    QCOMPARE(ReadText(dir.file("up.KV.kv")), std::string("older settings"));
    QCOMPARE(ReadText(dir.file("up.KV")), std::string("something else"));

    // No, then another name in the dialog that follows: that one is written.
    f.dialogs.answers = {dir.qfile("up.KV"), dir.qfile("down")};
    f.dialogs.replies = {false};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(2));
    QCOMPARE(ReadText(dir.file("up.KV.kv")), std::string("older settings"));
    QCOMPARE(ReadText(dir.file("down.kv")), FormatSettingsFile(w.settings()));

    // Yes: replaced.
    f.dialogs.answers = {dir.qfile("up.KV")};
    f.dialogs.replies = {true};
    QTest::mouseClick(w.control(Control::Save), Qt::LeftButton);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(3));
    QCOMPARE(ReadText(dir.file("up.KV.kv")), FormatSettingsFile(w.settings()));
    QCOMPARE(ReadText(dir.file("up.KV")), std::string("something else"));
    QVERIFY(f.dialogs.messages.empty());
}

void ReplaceQuestionTest::sceneDialogAsksAboutTheLowerCasedName()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir scenes;
    WriteText(scenes.file("peak.scn"), "an older scene");
    QSignalSpy ended(&w, &MainWindow::creationEnded);

    // No, then cancel: the creation ends without writing anything.
    f.dialogs.answers = {scenes.qfile("PEAK.SCN"), std::nullopt};
    f.dialogs.replies = {false};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QCOMPARE(ended.at(0).first().value<JobOutcome>(), JobOutcome::Cancelled);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(1));
    QCOMPARE(f.dialogs.questions[0].text, Question(scenes.file("peak.scn")));
    QCOMPARE(f.dialogs.fileDialogs.size(), std::size_t(2));
    const FileDialogRequest& again = f.dialogs.fileDialogs[1].request;
    QCOMPARE(again.title, QString("Choose A Filename For Your Scene . . . "));
    QCOMPARE(again.filter, QString("Scenes (*.SCN);;glTF binary (*.glb)"));
    QCOMPARE(again.fileName, QString("PEAK.SCN"));
    QCOMPARE(scenes.files(), std::vector<std::string>{"peak.scn"});
    QCOMPARE(ReadText(scenes.file("peak.scn")), std::string("an older scene"));

    // A name whose scene does not exist yet is not asked about.
    f.dialogs.answers = {scenes.qfile("Ridge")};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kTimeoutMs);
    QCOMPARE(ended.at(1).first().value<JobOutcome>(), JobOutcome::Finished);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(1));
    QVERIFY(FileStartsWith(scenes.file("ridge.scn"), "Caligari V00.01ALH"));

    // Yes: the creation replaces the scene.
    f.dialogs.answers = {scenes.qfile("PEAK.SCN")};
    f.dialogs.replies = {true};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, kTimeoutMs);
    QCOMPARE(ended.at(2).first().value<JobOutcome>(), JobOutcome::Finished);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(2));
    QVERIFY(FileStartsWith(scenes.file("peak.scn"), "Caligari V00.01ALH"));
}

void ReplaceQuestionTest::aGlbChosenInTheSceneDialogIsWrittenAloneUnderItsName()
{
    WindowFixture f;
    MainWindow& w = f.w();
    ScratchDir scenes;
    QSignalSpy ended(&w, &MainWindow::creationEnded);

    f.dialogs.answers = {scenes.qfile("Valley.GLB")};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kTimeoutMs);
    QCOMPARE(ended.at(0).first().value<JobOutcome>(), JobOutcome::Finished);
    const FileDialogRequest& request = f.dialogs.fileDialogs[0].request;
    QCOMPARE(request.suffixes, QStringList({"scn", "glb"}));
    // Everything is inside the one file: no scene text, no loose images.
    QCOMPARE(scenes.files(), std::vector<std::string>{"Valley.GLB"});
    QVERIFY(FileStartsWith(scenes.file("Valley.GLB"), "glTF"));
    QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
    const std::string& report = f.dialogs.messages[0].text;
    QVERIFY2(report.find("Valley.GLB (glTF binary scene with its images)") != std::string::npos, report.c_str());
    QVERIFY(report.find(".scn") == std::string::npos);
    QVERIFY(f.dialogs.questions.empty());

    // The same name again asks about the glTF file as typed; No then cancel keeps it.
    const std::string before = ReadText(scenes.file("Valley.GLB"));
    f.dialogs.answers = {scenes.qfile("Valley.GLB"), std::nullopt};
    f.dialogs.replies = {false};
    QTest::mouseClick(w.control(Control::Create), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kTimeoutMs);
    QCOMPARE(ended.at(1).first().value<JobOutcome>(), JobOutcome::Cancelled);
    QCOMPARE(f.dialogs.questions.size(), std::size_t(1));
    QCOMPARE(f.dialogs.questions[0].text, Question(scenes.file("Valley.GLB")));
    QVERIFY(ReadText(scenes.file("Valley.GLB")) == before);
}

QTEST_MAIN(ReplaceQuestionTest)
#include "ReplaceQuestionTest.moc"
