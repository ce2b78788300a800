// The creation job end to end through a scripted front end: dialogs, refusals,
// stops, full disks, failed copies, ids across creations, the report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>

#include "TestSupport.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/job/CreationJob.h"
#include "core/writers/scn/NumberFormat.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kv {
namespace {

namespace fs = std::filesystem;

// A front end that answers the scene dialog from a script and records
// everything the job tells it.
class ScriptedFrontEnd : public FrontEnd {
public:
    std::deque<std::optional<SceneFileChoice>> answers;
    std::vector<std::pair<std::string, std::string>> offered;  // directory, name offered by each dialog
    std::vector<Message> messages;
    std::vector<int> progress;
    int busyDepth = 0;
    int stopChecks = 0;
    int stopAfterChecks = -1;  // -1: never
    bool stopRequested = false;
    std::function<void(int)> onProgress;
    std::function<void()> onCheck;  // called at every stop check

    std::optional<SceneFileChoice> AskSceneFile(const std::string& dir, const std::string& name) override
    {
        offered.emplace_back(dir, name);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const Message& m) override { messages.push_back(m); }
    void SetProgress(int p) override
    {
        progress.push_back(p);
        if (onProgress) onProgress(p);
    }
    void EnterBusy() override { ++busyDepth; }
    void LeaveBusy() override { --busyDepth; }
    bool StopRequested() override
    {
        if (onCheck) onCheck();
        ++stopChecks;
        if (stopAfterChecks >= 0 && stopChecks > stopAfterChecks) stopRequested = true;
        return stopRequested;
    }
    bool StopPending() override { return stopRequested; }
    void ClearStopRequest() override
    {
        stopRequested = false;
        stopAfterChecks = -1;
    }
};

struct JobFixture : ::testing::Test {
    test::ScratchDir programDir;
    test::ScratchDir sceneDir;
    Session session;
    ScriptedFrontEnd ui;
    ProjectSettings settings;

    void SetUp() override
    {
        test::WriteGreyBmp(programDir.File("height01.bmp"), 12, 12, [](int x, int y) { return (x * 19 + y * 7) % 256; });
        // atmos.jpg is coloured from the stock cloud bitmap of the default clouds.
        fs::copy_file(JoinPath(test::ProgramDir(), "puff.bmp"), programDir.File("puff.bmp"));
        // The terrain textures read the Lo Res pattern bitmaps.
        for (const char* pattern : {"rc1.bmp", "em1.bmp", "ra1.bmp"})
            fs::copy_file(JoinPath(test::ProgramDir(), pattern), programDir.File(pattern));
        // A creation always reads the placement bitmap; this one places nothing.
        test::WriteGreyBmp(programDir.File("tree01.bmp"), 12, 12, [](int, int) { return 0; });
        settings = DefaultSettings(programDir.path());
    }
    JobOutcome Run(const std::string& title = "Valley")
    {
        ui.answers.push_back(SceneFileChoice{sceneDir.path(), title, true, {}});
        CreationJob job(settings, session, ui, programDir.path());
        return job.Run();
    }
    std::vector<std::string> SceneDirFiles() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(sceneDir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Unfinished files of this process: beside the scene, and (from older
    // ways of writing) in the system's temporary directory.
    std::vector<std::string> OurTemporaryFiles() const
    {
        std::vector<std::string> names = test::TemporaryFilesIn(sceneDir.path());
#ifndef _WIN32
        const std::string prefix = "kv-" + std::to_string(getpid()) + "-";
        for (const auto& e : fs::directory_iterator(TemporaryDirectory())) {
            const std::string n = e.path().filename().string();
            if (n.rfind(prefix, 0) == 0) names.push_back(n);
        }
#endif
        return names;
    }
};

TEST(SceneFileName, TitleRules)
{
    EXPECT_EQ(SceneFileNameFor("Valley"), "valley.scn");
    EXPECT_EQ(SceneFileNameFor("PEAK.SCN"), "peak.scn");
    EXPECT_EQ(SceneFileNameFor(".scn"), ".scn.scn");
    EXPECT_EQ(SceneFileNameFor("terrain.SCN"), "terrain.scn");
    EXPECT_EQ(SceneFileNameFor("terrain.scn.txt"), "terrain.scn.txt.scn");
}

TEST_F(JobFixture, FinishedCreationWritesTheSceneAndReports)
{
    EXPECT_EQ(Run(), JobOutcome::Finished);
    const std::string scene = test::ReadFile(sceneDir.File("valley.scn"));
    EXPECT_EQ(scene.rfind("Caligari V00.01ALH", 0), 0u);
    EXPECT_EQ(scene.substr(scene.size() - 30), "END V1.00 Id 0 Parent 0 Size 0");
    ASSERT_FALSE(ui.messages.empty());
    const Message& report = ui.messages.back();
    EXPECT_EQ(report.title, "Kelvane Message");
    EXPECT_EQ(report.icon, MessageIcon::Information);
    EXPECT_EQ(report.text.rfind("The following files have been written in the " + sceneDir.path() +
                                    " directory:\nvalley.scn (scenefile)\ntex1.jpg (texture map for terrain object detail)\n",
                                0),
              0u);
    // Progress: 0 after the dialog, 3 before the terrain, 6 after it, 100 last.
    ASSERT_GE(ui.progress.size(), 4u);
    EXPECT_EQ(ui.progress[0], 0);
    EXPECT_EQ(ui.progress[1], 3);
    EXPECT_EQ(ui.progress[2], 6);
    EXPECT_EQ(ui.progress.back(), 100);
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(OurTemporaryFiles().empty());
}

TEST_F(JobFixture, CancellingTheDialogWritesNothing)
{
    CreationJob job(settings, session, ui, programDir.path());
    EXPECT_EQ(job.Run(), JobOutcome::Cancelled);
    EXPECT_TRUE(SceneDirFiles().empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.busyDepth, 0);
    // The first dialog offers the program directory and no name.
    ASSERT_EQ(ui.offered.size(), 1u);
    EXPECT_EQ(ui.offered[0], std::make_pair(programDir.path(), std::string()));
}

TEST_F(JobFixture, TheProgramDirectoryIsRefusedAndAskedAgain)
{
    ui.answers.push_back(SceneFileChoice{programDir.path() + "/", "x", true, {}});
    ui.answers.push_back(SceneFileChoice{programDir.path(), "x", true, {}});
    EXPECT_EQ(Run(), JobOutcome::Finished);
    ASSERT_EQ(ui.offered.size(), 3u);
    ASSERT_GE(ui.messages.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ui.messages[i].text,
                  "You must choose a directory other than the executable directory for your scene directory.");
        EXPECT_EQ(ui.messages[i].icon, MessageIcon::Error);
    }
    EXPECT_TRUE(fs::exists(sceneDir.File("valley.scn")));
    EXPECT_FALSE(fs::exists(programDir.File("x.scn")));
}

TEST_F(JobFixture, SecondCreationOffersTheLastChoiceAndContinuesTheIds)
{
    EXPECT_EQ(Run("First"), JobOutcome::Finished);
    const std::int32_t lastId = session.LastId();
    EXPECT_EQ(Run("Second"), JobOutcome::Finished);
    ASSERT_EQ(ui.offered.size(), 2u);
    EXPECT_EQ(ui.offered[1], std::make_pair(sceneDir.path(), std::string("first.scn")));
    const std::string second = test::ReadFile(sceneDir.File("second.scn"));
    EXPECT_NE(second.find("Scen V0.04 Id " + Id7(lastId + 1) + " Parent 0"), std::string::npos);
}

// What a stop at a check would leave: where the progress stands, whether the
// scene text is complete in its temporary file, and which of the files made
// after the scene text (on the job's own thread, so at fixed checks) exist.
struct CheckSnapshot {
    int progress = -1;
    bool sceneTextComplete = false;
    std::vector<std::string> laterFiles;
    bool operator==(const CheckSnapshot&) const = default;
};

TEST_F(JobFixture, AStopAtEveryStageLeavesNoSceneAndOnlyWholeFiles)
{
    settings.oceanindex = 2;  // ripple.jpg is installed after the scene text
    test::WriteFile(programDir.File("ripple.jpg"), std::string("ripples"));
    const std::vector<std::string> later = {"ripple.jpg", "fog.tga", "atmos.jpg"};
    auto take = [&] {
        CheckSnapshot shot;
        shot.progress = ui.progress.empty() ? -1 : ui.progress.back();
        for (const std::string& name : test::TemporaryFilesIn(sceneDir.path())) {
            const std::string text = test::ReadFile(sceneDir.File(name));
            if (text.size() >= 30 && text.substr(text.size() - 30) == "END V1.00 Id 0 Parent 0 Size 0")
                shot.sceneTextComplete = true;
        }
        for (const std::string& name : later)
            if (fs::exists(sceneDir.File(name))) shot.laterFiles.push_back(name);
        return shot;
    };

    // A whole run records every check.
    std::vector<CheckSnapshot> shots;
    ui.onCheck = [&] { shots.push_back(take()); };
    EXPECT_EQ(Run("count"), JobOutcome::Finished);
    ui.onCheck = {};
    for (const std::string& name : SceneDirFiles()) fs::remove(sceneDir.File(name));

    // There is a check between every two stages that leave something behind:
    // once the scene text is complete and nothing after it is made, after
    // the stock texture, after fog.tga and after atmos.jpg.
    auto seen = [&](bool complete, std::vector<std::string> files) {
        return std::any_of(shots.begin(), shots.end(), [&](const CheckSnapshot& s) {
            return s.sceneTextComplete == complete && s.laterFiles == files;
        });
    };
    EXPECT_TRUE(seen(false, {}));
    EXPECT_TRUE(seen(true, {}));
    EXPECT_TRUE(seen(true, {"ripple.jpg"}));
    EXPECT_TRUE(seen(true, {"ripple.jpg", "fog.tga"}));
    EXPECT_TRUE(seen(true, {"ripple.jpg", "fog.tga", "atmos.jpg"}));

    // Stop at the first check of every stage (wherever what a stop would
    // leave changes) and at the last check.
    std::vector<int> stops;
    for (std::size_t i = 0; i < shots.size(); ++i)
        if (i == 0 || !(shots[i] == shots[i - 1])) stops.push_back(static_cast<int>(i));
    stops.push_back(static_cast<int>(shots.size()) - 1);
    EXPECT_GT(stops.size(), 30u);
    for (int at : stops) {
        ui.stopChecks = 0;
        ui.stopAfterChecks = at;
        ui.messages.clear();
        EXPECT_EQ(Run("stopped"), JobOutcome::Stopped) << at;
        EXPECT_FALSE(fs::exists(sceneDir.File("stopped.scn"))) << at;
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(ui.stopRequested) << "the end routine clears the request";
        EXPECT_EQ(ui.busyDepth, 0);
        EXPECT_TRUE(OurTemporaryFiles().empty()) << at;
        std::vector<std::string> present;
        for (const std::string& name : later)
            if (fs::exists(sceneDir.File(name))) present.push_back(name);
        EXPECT_EQ(present, shots[static_cast<std::size_t>(at)].laterFiles) << at;
        for (const std::string& name : SceneDirFiles()) fs::remove(sceneDir.File(name));
    }
}

TEST_F(JobFixture, ANearlyFullDiskEndsTheJobBeforeTheSceneTakesItsName)
{
    ui.answers.push_back(SceneFileChoice{sceneDir.path(), "full", true, {}});
    CreationJob job(settings, session, ui, programDir.path());
    job.SetFreeSpaceQuery([](const std::string&) { return std::optional<std::uint64_t>(100); });
    EXPECT_EQ(job.Run(), JobOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Not enough free disk space.");
    EXPECT_EQ(ui.messages[0].title, "Kelvane Error Message");
    EXPECT_EQ(ui.messages[0].modality, Modality::SystemModal);
    EXPECT_FALSE(fs::exists(sceneDir.File("full.scn")));
    EXPECT_TRUE(OurTemporaryFiles().empty());
}

TEST_F(JobFixture, AFailedQueryOfTheFreeSpaceSkipsTheCheck)
{
    ui.answers.push_back(SceneFileChoice{sceneDir.path(), "unknown", true, {}});
    CreationJob job(settings, session, ui, programDir.path());
    job.SetFreeSpaceQuery([](const std::string&) { return std::optional<std::uint64_t>(); });
    EXPECT_EQ(job.Run(), JobOutcome::Finished);
    EXPECT_TRUE(fs::exists(sceneDir.File("unknown.scn")));
}

TEST_F(JobFixture, ASceneThatCannotTakeItsNameIsAFailureAndNotReported)
{
    // A directory in the way of the scene file.
    fs::create_directory(sceneDir.File("blocked.scn"));
    fs::create_directory(sceneDir.File("blocked.scn") + "/inside");
    EXPECT_EQ(Run("blocked"), JobOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error copying scene file from temp directory.");
    EXPECT_EQ(ui.messages[0].title, "Kelvane Message");
    EXPECT_EQ(ui.messages[0].modality, Modality::SystemModal);
    EXPECT_FALSE(ui.messages[0].detail.empty());
    EXPECT_NE(ui.progress.back(), 100);
    EXPECT_TRUE(fs::is_directory(sceneDir.File("blocked.scn")));
    // The images it would have named were written before it; nothing unfinished is left.
    EXPECT_TRUE(fs::exists(sceneDir.File("atmos.jpg")));
    EXPECT_TRUE(OurTemporaryFiles().empty());
}

TEST_F(JobFixture, AGlbFileThatCannotBeWrittenEndsTheJobNamingIt)
{
    const std::string glb = sceneDir.File("no such folder/valley.glb");
    ui.answers.push_back(SceneFileChoice{sceneDir.path(), "valley", true, glb});
    CreationJob job(settings, session, ui, programDir.path());
    EXPECT_EQ(job.Run(), JobOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error opening " + glb + ".");
    EXPECT_FALSE(ui.messages[0].detail.empty());
    // The scene, which comes after it, is not put in place; nothing is left half-written.
    EXPECT_FALSE(fs::exists(sceneDir.File("valley.scn")));
    EXPECT_TRUE(OurTemporaryFiles().empty());
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(JobFixture, AStopWhileTheGlbFileIsWrittenLeavesNoPartOfIt)
{
    // Alone, the glTF file is the only file a creation writes: a temporary
    // file beside it means it is being written.
    const std::string glb = sceneDir.File("valley.glb");
    std::vector<bool> writing;
    ui.onCheck = [&] { writing.push_back(!test::TemporaryFilesIn(sceneDir.path()).empty()); };
    ui.answers.push_back(SceneFileChoice{sceneDir.path(), "", false, glb});
    {
        CreationJob job(settings, session, ui, programDir.path());
        ASSERT_EQ(job.Run(), JobOutcome::Finished);
    }
    ui.onCheck = {};
    EXPECT_EQ(SceneDirFiles(), std::vector<std::string>{"valley.glb"});
    const std::string whole = test::ReadFile(glb);
    int stops = 0;
    for (std::size_t at = 0; at < writing.size(); ++at) {
        if (!writing[at]) continue;
        ++stops;
        ui.stopChecks = 0;
        ui.stopAfterChecks = static_cast<int>(at);
        ui.messages.clear();
        ui.answers.push_back(SceneFileChoice{sceneDir.path(), "", false, glb});
        CreationJob job(settings, session, ui, programDir.path());
        EXPECT_EQ(job.Run(), JobOutcome::Stopped) << at;
        EXPECT_TRUE(ui.messages.empty()) << at;
        EXPECT_TRUE(OurTemporaryFiles().empty()) << at;
        // The file of the earlier creation is untouched.
        EXPECT_EQ(test::ReadFile(glb), whole) << at;
    }
    EXPECT_GT(stops, 10);
}

TEST_F(JobFixture, TheSceneTakesItsNameOnlyAfterEveryImage)
{
    // Each image is complete and in place when the scene file appears.
    std::vector<std::string> seen;
    ui.onProgress = [&](int percent) {
        if (percent == 100) seen = SceneDirFiles();
    };
    EXPECT_EQ(Run("order"), JobOutcome::Finished);
    for (const char* image : {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg", "fog.tga", "atmos.jpg", "order.scn"})
        EXPECT_NE(std::find(seen.begin(), seen.end(), image), seen.end()) << image;
    // A scene that existed before is replaced by the complete new one.
    const std::string first = test::ReadFile(sceneDir.File("order.scn"));
    settings.oceanindex = 0;
    EXPECT_EQ(Run("order"), JobOutcome::Finished);
    const std::string second = test::ReadFile(sceneDir.File("order.scn"));
    EXPECT_NE(second, first);
    EXPECT_EQ(second.substr(second.size() - 30), "END V1.00 Id 0 Parent 0 Size 0");
}

TEST_F(JobFixture, ALinkAtAnOutputNameIsReplacedNotFollowed)
{
#ifndef _WIN32
    test::ScratchDir elsewhere;
    test::WriteFile(elsewhere.File("precious.txt"), std::string("keep me"));
    test::WriteFile(elsewhere.File("old.scn"), std::string("old scene"));
    fs::create_symlink(elsewhere.File("precious.txt"), sceneDir.File("tex1.jpg"));
    fs::create_symlink(elsewhere.File("old.scn"), sceneDir.File("valley.scn"));
    fs::create_symlink(elsewhere.File("missing.txt"), sceneDir.File("fog.tga"));  // a dangling one too
    EXPECT_EQ(Run(), JobOutcome::Finished);
    EXPECT_EQ(test::ReadFile(elsewhere.File("precious.txt")), "keep me");
    EXPECT_EQ(test::ReadFile(elsewhere.File("old.scn")), "old scene");
    EXPECT_FALSE(fs::exists(elsewhere.File("missing.txt")));
    for (const char* name : {"tex1.jpg", "valley.scn", "fog.tga"}) {
        EXPECT_FALSE(fs::is_symlink(sceneDir.File(name))) << name;
        EXPECT_TRUE(fs::is_regular_file(sceneDir.File(name))) << name;
    }
#endif
}

TEST_F(JobFixture, TheProgramDirectoryIsKnownHoweverItIsReached)
{
#ifndef _WIN32
    test::ScratchDir links;
    fs::create_directory_symlink(programDir.path(), links.File("program"));
    fs::create_directory(links.File("sub"));
    // A link to it, a path through "..", and a link followed by "..": the
    // last is the parent of the link's target, not the folder of the link.
    fs::create_directory_symlink(programDir.path() + "/inner", links.File("inner"));
    fs::create_directory(programDir.File("inner"));
    for (const std::string& spelling :
         {links.File("program"), links.File("sub") + "/../program", links.File("inner") + "/.."}) {
        ui.answers.push_back(SceneFileChoice{spelling, "x", true, {}});
    }
    ui.answers.push_back(SceneFileChoice{links.File("sub"), "x", true, {}});
    CreationJob job(settings, session, ui, programDir.path());
    EXPECT_EQ(job.Run(), JobOutcome::Finished);
    ASSERT_GE(ui.messages.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ui.messages[i].text,
                  "You must choose a directory other than the executable directory for your scene directory.")
            << i;
    EXPECT_TRUE(fs::exists(links.File("sub") + "/x.scn"));
    for (const auto& entry : fs::directory_iterator(programDir.path()))
        EXPECT_NE(entry.path().extension(), ".scn") << entry.path();
#endif
}

TEST_F(JobFixture, ControlCharactersInTheSceneNameOrDirectoryAreRefused)
{
    fs::create_directory(sceneDir.File("two\nlines"));
    ui.answers.push_back(SceneFileChoice{sceneDir.File("two\nlines"), "valley", true, {}});
    ui.answers.push_back(SceneFileChoice{sceneDir.path(), "val\rley", true, {}});
    ui.answers.push_back(SceneFileChoice{sceneDir.path(), "tab\tbed", true, {}});
    CreationJob job(settings, session, ui, programDir.path());
    EXPECT_EQ(job.Run(), JobOutcome::Cancelled);
    ASSERT_EQ(ui.messages.size(), 3u);
    for (const Message& m : ui.messages)
        EXPECT_EQ(m.text, "The scene directory and file name must not contain control characters.");
    EXPECT_TRUE(fs::is_empty(sceneDir.File("two\nlines")));
    EXPECT_EQ(SceneDirFiles(), std::vector<std::string>{"two\nlines"});
}

TEST_F(JobFixture, AMissingHeightfieldEndsTheJobWithItsMessage)
{
    settings.basebmp = "missing.bmp";
    EXPECT_EQ(Run(), JobOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error getting handle to " + JoinPath(programDir.path(), "missing.bmp") + ".");
    EXPECT_EQ(ui.messages[0].title, "Kelvane Message");
    EXPECT_FALSE(fs::exists(sceneDir.File("valley.scn")));
}

TEST(CreationReport, ConditionalLinesFollowTheKindsAndTheOcean)
{
    ProjectSettings settings;
    KindsUsed kinds;
    const std::string plain = CreationJob::ReportText("/s", "a.scn", settings, kinds);
    EXPECT_EQ(plain.substr(plain.size() - 37), "fog.tga (texture map for fog object)\n");
    settings.oceanindex = 1;
    EXPECT_EQ(CreationJob::ReportText("/s", "a.scn", settings, kinds), plain);
    settings.oceanindex = 2;
    kinds.Set(ObjectKind::Fir);
    kinds.Set(ObjectKind::Pebbles);
    kinds.Set(ObjectKind::Birch);
    const std::string full = CreationJob::ReportText("/s", "a.scn", settings, kinds);
    EXPECT_EQ(full.substr(plain.size()),
              "ripple.jpg (bump map for ocean object)\n"
              "fir.tga (texture map for fir leaves)\n"
              "birch.jpg (texture map for birchtrees)\n"
              "bark.jpg (texture map for deadtree1, deadtree2, evergreen & fir)\n"
              "rocktex.jpg (texture map for flatrocks, boulders, pebbles & rocks)\n"
              "rockbump.jpg (bump map for flatrocks, boulders, pebbles & rocks)\n");
}

#ifndef _WIN32
// Two command-line creations started together must not share a temporary
// file: each writes exactly what it writes when run alone.
TEST(CommandLine, TwoCreationsAtOnceWriteWhatEachWritesAlone)
{
    test::ScratchDir work;
    test::WriteGreyBmp(work.File("h.bmp"), 40, 40, [](int x, int y) { return (x * x + y * 3) % 256; });
    test::WriteGreyBmp(work.File("t.bmp"), 40, 40, [](int, int) { return 0; });
    for (const char* d : {"a", "b", "alone"}) fs::create_directory(work.File(d));
    const std::string base = std::string(KV_TEST_CLI) + " create --quiet --set basedir=" + work.path() +
                             " --set basebmp=h.bmp --set treedir=" + work.path() + " --set treebmp=t.bmp ";
    const std::string together = base + work.File("a") + "/s.scn & " + base + work.File("b") + "/s.scn & wait";
    ASSERT_EQ(std::system(together.c_str()), 0);
    ASSERT_EQ(std::system((base + work.File("alone") + "/s.scn").c_str()), 0);
    auto normalised = [&](const char* d) {
        std::string text = test::ReadFile(work.File(d) + "/s.scn");
        const std::string dir = work.File(d);
        for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "DIR");
        return text;
    };
    const std::string alone = normalised("alone");
    EXPECT_GT(alone.size(), 10000u);
    EXPECT_EQ(normalised("a"), alone);
    EXPECT_EQ(normalised("b"), alone);
}

TEST(CommandLine, ExitStatusesAndTheProgramDirectoryRefusal)
{
    const std::string cli = KV_TEST_CLI;
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " --version >/dev/null").c_str())), 0);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " frobnicate 2>/dev/null").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " create 2>/dev/null").c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " create --set nosuchkey=1 x.scn 2>/dev/null").c_str())), 2);
    test::ScratchDir program;
    const std::string refused = cli + " create --program-dir " + program.path() + " " + program.File("x.scn") +
                                " 2>" + program.File("err.txt");
    EXPECT_EQ(WEXITSTATUS(std::system(refused.c_str())), 2);
    EXPECT_NE(test::ReadFile(program.File("err.txt"))
                  .find("Kelvane Message: You must choose a directory other than the executable directory"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(program.File("x.scn")));
    test::ScratchDir scenes;
    const std::string missing = cli + " create --quiet --set basebmp=none.bmp " + scenes.File("x.scn") + " 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(missing.c_str())), 1);
}
#endif

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST_F(JobFixture, AHeightfieldLargerThanTheTexturesIsRefusedBeforeTheTerrain)
{
    test::WriteGreyBmp(programDir.File("huge.bmp"), 600, 600, [](int, int) { return 10; });
    settings.basebmp = "huge.bmp";  // 600 pixels a side; Lo Res textures are 576
    EXPECT_EQ(Run(), JobOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The heightfield bitmap " + JoinPath(programDir.path(), "huge.bmp") +
                                       " is larger than the texture resolution; choose a higher resolution.");
    EXPECT_EQ(ui.progress, (std::vector<int>{0, 3}));
    EXPECT_FALSE(fs::exists(sceneDir.File("valley.scn")));
}

}  // namespace
}  // namespace kv
