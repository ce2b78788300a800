// The command line's settings handling, run as a user would run it.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

#include "TestSupport.h"
#include "core/platform/Paths.h"

#ifndef _WIN32
#include <sys/wait.h>

namespace kv {
namespace {

int RunCli(const std::string& arguments)
{
    const int status = std::system((std::string(KV_TEST_CLI) + " " + arguments).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CommandLineSettings, WrittenFileLoadsBackAndSetsApplyAfterIt)
{
    test::ScratchDir dir;
    ASSERT_EQ(RunCli("settings --set oceanindex=3 --set skyR=300 --write " + dir.File("island") + " 2>/dev/null"), 0);
    // ".kv" is appended; the colour keeps its low 8 bits like a loaded one.
    const std::string written = test::ReadFile(dir.File("island.kv"));
    EXPECT_NE(written.find("\r\noceanindex=3\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\nskyR=44\r\n"), std::string::npos);

    ASSERT_EQ(RunCli("settings --settings " + dir.File("island.kv") + " --set resolution=2 > " + dir.File("out.txt")), 0);
    const std::string printed = test::ReadFile(dir.File("out.txt"));
    EXPECT_NE(printed.find("\r\noceanindex=3\r\n"), std::string::npos);
    EXPECT_NE(printed.find("\r\nresolution=2\r\n"), std::string::npos);
    EXPECT_EQ(printed.rfind("KVVersion=2.0\r\n", 0), 0u);
}

TEST(CommandLineSettings, RefusedValuesAndFilesAreReported)
{
    test::ScratchDir dir;
    EXPECT_EQ(RunCli("settings --set oceanindex=5 >/dev/null 2>" + dir.File("err.txt")), 2);
    EXPECT_NE(test::ReadFile(dir.File("err.txt")).find("oceanindex"), std::string::npos);
    test::WriteFile(dir.File("old.kv"), std::string("KVVersion=1.0\r\n"));
    EXPECT_EQ(RunCli("settings --settings " + dir.File("old.kv") + " >/dev/null 2>" + dir.File("err.txt")), 1);
    EXPECT_NE(test::ReadFile(dir.File("err.txt")).find("Invalid Version in the .kv file you loaded"),
              std::string::npos);
}

TEST(CommandLineCreate, OptionsReachTheScene)
{
    test::ScratchDir dir;
    const std::string program = test::ProgramDir();
    if (!std::filesystem::exists(JoinPath(program, "height02.bmp"))) GTEST_SKIP() << "no stock heightfield";
    // Every creation reads a placement bitmap of the heightfield's size (50 by 50); this one places nothing.
    test::WriteGreyBmp(dir.File("t.bmp"), 50, 50, [](int, int) { return 0; });
    ASSERT_EQ(RunCli("create --quiet --set basebmp=height02.bmp --set treedir=" + dir.path() +
                     " --set treebmp=t.bmp --set oceanindex=4 --set oceanR=0 " + dir.File("Sea.SCN")),
              0);
    const std::string scene = test::ReadFile(dir.File("sea.scn"));
    EXPECT_NE(scene.find("World Vertices 2504\r\n"), std::string::npos);  // 50 x 50 + 4
    EXPECT_NE(scene.find("Name ocean\r\n"), std::string::npos);
    EXPECT_NE(scene.find("rgb 0.000000,0.827451,1.000000\r\n"), std::string::npos);
    EXPECT_NE(scene.find("offset 0,0  repeats 25,25  amp 0.1  flags 2"), std::string::npos);
}

}  // namespace
}  // namespace kv
#endif

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace kv {
namespace {

namespace fs = std::filesystem;

// The command line started as a child process, its output in files.
pid_t StartCli(const std::vector<std::string>& arguments, const std::string& output)
{
    std::vector<std::string> words{KV_TEST_CLI};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (output + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int ExitStatusOf(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

// Waits until the child has an unfinished file in `directory`; false when it
// ended first or ten seconds passed.
bool AwaitTemporaryFile(pid_t pid, const std::string& directory)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!test::TemporaryFilesIn(directory).empty()) return true;
        if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

// A heightfield whose scene text takes long enough to write (about a tenth
// of a gigabyte) that a signal arrives while the scene is unfinished.
struct LongCreation {
    test::ScratchDir dir;
    LongCreation()
    {
        test::WriteGreyBmp(dir.File("big.bmp"), 1024, 1024, [](int x, int y) { return (x * 3 + y * 5) % 256; });
        fs::create_directory(dir.File("scene"));
    }
    std::vector<std::string> Arguments() const
    {
        return {"create", "--quiet", "--set", "resolution=1", "--set", "basedir=" + dir.path(), "--set",
                "basebmp=big.bmp", "--set", "treedir=" + dir.path(), "--set", "treebmp=big.bmp",
                dir.File("scene") + "/big.scn"};
    }
};

TEST(CommandLineSignals, TerminationRemovesEveryUnfinishedFile)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        LongCreation creation;
        const pid_t pid = StartCli(creation.Arguments(), creation.dir.File("out.txt"));
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(AwaitTemporaryFile(pid, creation.dir.File("scene"))) << signal;
        kill(pid, signal);
        EXPECT_EQ(ExitStatusOf(pid), 128 + signal);
        EXPECT_TRUE(test::TemporaryFilesIn(creation.dir.File("scene")).empty()) << signal;
        EXPECT_FALSE(fs::exists(creation.dir.File("scene") + "/big.scn"));
    }
}

TEST(CommandLineSignals, InterruptsStopCleanlyOnceAndAtOnceTwice)
{
    for (const int presses : {1, 2}) {
        LongCreation creation;
        const pid_t pid = StartCli(creation.Arguments(), creation.dir.File("out.txt"));
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(AwaitTemporaryFile(pid, creation.dir.File("scene")));
        for (int i = 0; i < presses; ++i) kill(pid, SIGINT);
        EXPECT_EQ(ExitStatusOf(pid), 130) << presses;
        // Nothing is left: no scene, no unfinished file (and, stopped during
        // the scene text, no image either).
        EXPECT_TRUE(fs::is_empty(creation.dir.File("scene"))) << presses;
    }
}

// Creations that differ in what they put into every file, so that a file
// mixed from two of them cannot equal the file of either.
std::vector<std::string> Variant(const test::ScratchDir& work, int which, const std::string& scene)
{
    const std::string colour = std::to_string(40 + 150 * which);
    return {"create",      "--quiet",           "--set", "basedir=" + work.path(), "--set",
            "basebmp=h.bmp", "--set",           "treedir=" + work.path(), "--set", "treebmp=t.bmp",
            "--set",       "skyR=" + colour,    "--set", "fogG=" + colour,        "--set",
            "basecolor1B=" + colour, "--set", "cover1color2R=" + colour, "--set", "oceanindex=" + std::to_string(2 + which),
            scene};
}

TEST(CommandLineCreate, CreationsAtOnceIntoOneDirectoryLeaveWholeFiles)
{
    test::ScratchDir work;
    test::WriteGreyBmp(work.File("h.bmp"), 200, 200, [](int x, int y) { return (x * x + y * 7) % 256; });
    test::WriteGreyBmp(work.File("t.bmp"), 200, 200, [](int, int) { return 0; });
    for (const char* d : {"a", "b", "both"}) fs::create_directory(work.File(d));
    for (int which : {0, 1}) {
        const pid_t pid = StartCli(Variant(work, which, work.File(which ? "b" : "a") + "/s.scn"), work.File("o"));
        ASSERT_EQ(ExitStatusOf(pid), 0);
    }
    for (int round = 0; round < 3; ++round) {
        const pid_t first = StartCli(Variant(work, 0, work.File("both") + "/s.scn"), work.File("o0"));
        const pid_t second = StartCli(Variant(work, 1, work.File("both") + "/s.scn"), work.File("o1"));
        ASSERT_EQ(ExitStatusOf(first), 0);
        ASSERT_EQ(ExitStatusOf(second), 0);
        for (const auto& entry : fs::directory_iterator(work.File("both"))) {
            const std::string name = entry.path().filename().string();
            auto read = [&](const char* d) {
                std::string text = test::ReadFile(work.File(d) + "/" + name);
                const std::string dir = work.File(d);
                for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "DIR");
                return text;
            };
            const std::string together = read("both");
            EXPECT_TRUE(together == read("a") || together == read("b")) << name << " in round " << round;
        }
        EXPECT_TRUE(test::TemporaryFilesIn(work.File("both")).empty());
    }
}

TEST(CommandLineCreate, ALongSceneNameThatIsValidWorks)
{
    test::ScratchDir dir;
    test::WriteGreyBmp(dir.File("h.bmp"), 20, 20, [](int x, int y) { return x * y % 256; });
    test::WriteGreyBmp(dir.File("t.bmp"), 20, 20, [](int, int) { return 0; });
    const std::string name = std::string(247, 'v') + ".scn";  // 251 characters; the limit is 255
    const pid_t pid = StartCli({"create", "--quiet", "--set", "basedir=" + dir.path(), "--set", "basebmp=h.bmp",
                                "--set", "treedir=" + dir.path(), "--set", "treebmp=t.bmp", dir.File(name)},
                               dir.File("out.txt"));
    EXPECT_EQ(ExitStatusOf(pid), 0) << test::ReadFile(dir.File("out.txt.err"));
    EXPECT_TRUE(fs::is_regular_file(dir.File(name)));
}

TEST(CommandLineCreate, ASceneThatCannotTakeItsNameExitsOneUnreported)
{
    test::ScratchDir dir;
    fs::create_directories(dir.File("v.scn") + "/inside");
    EXPECT_EQ(RunCli("create " + dir.File("v.scn") + " >" + dir.File("out.txt") + " 2>" + dir.File("err.txt")), 1);
    EXPECT_NE(test::ReadFile(dir.File("err.txt")).find("Kelvane Message: Error copying scene file from temp directory.\n  ("),
              std::string::npos);
    EXPECT_EQ(test::ReadFile(dir.File("out.txt")), "");  // no report
    EXPECT_TRUE(test::TemporaryFilesIn(dir.path()).empty());
}

TEST(CommandLineCreate, ControlCharactersInThePathAreAUsageError)
{
    test::ScratchDir dir;
    fs::create_directory(dir.File("a\nb"));
    const pid_t pid = StartCli({"create", dir.File("a\nb") + "/x.scn"}, dir.File("out.txt"));
    EXPECT_EQ(ExitStatusOf(pid), 2);
    EXPECT_NE(test::ReadFile(dir.File("out.txt.err")).find("must not contain control characters"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir.File("a\nb")));
}

TEST(CommandLineCreate, TheProgramDirectoryThroughALinkIsRefused)
{
    test::ScratchDir dir;
    fs::create_directory_symlink(test::ProgramDir(), dir.File("data"));
    const std::vector<std::string> variants[] = {
        {"create", "--program-dir", dir.File("data"), test::ProgramDir() + "/x.scn"},
        {"create", "--program-dir", test::ProgramDir(), dir.File("data") + "/x.scn"},
    };
    for (const auto& arguments : variants) {
        const pid_t pid = StartCli(arguments, dir.File("out.txt"));
        EXPECT_EQ(ExitStatusOf(pid), 2);
        EXPECT_NE(test::ReadFile(dir.File("out.txt.err")).find("other than the executable directory"),
                  std::string::npos);
    }
    setenv("KELVANE_HOME", dir.File("data").c_str(), 1);
    const pid_t pid = StartCli({"create", test::ProgramDir() + "/x.scn"}, dir.File("out.txt"));
    unsetenv("KELVANE_HOME");
    EXPECT_EQ(ExitStatusOf(pid), 2);
    EXPECT_FALSE(fs::exists(test::ProgramDir() + "/x.scn"));
    EXPECT_TRUE(test::TemporaryFilesIn(test::ProgramDir()).empty());
}

TEST(CommandLineSettings, ValuesThatAreNotWholeNumbersAreUsageErrors)
{
    test::ScratchDir dir;
    for (const std::string pair : {"resolution=abc", "skyR=red", "treessize=1.5", "oceanindex=", "cover1index=2x"}) {
        EXPECT_EQ(RunCli("settings --set " + pair + " >/dev/null 2>" + dir.File("err.txt")), 2) << pair;
        const std::string key = pair.substr(0, pair.find('='));
        EXPECT_NE(test::ReadFile(dir.File("err.txt")).find("Invalid value for " + key), std::string::npos) << pair;
    }
    EXPECT_EQ(RunCli("settings --set resolution=+2 --set skyR=-1 >/dev/null"), 0);
    // A text key takes any text.
    EXPECT_EQ(RunCli("settings --set basebmp=12abc >/dev/null"), 0);
}

TEST(CommandLineOutput, AFullStandardOutputIsAFailure)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(RunCli("settings >/dev/full 2>/dev/null"), 1);
    EXPECT_EQ(RunCli("--help >/dev/full 2>/dev/null"), 1);
    test::ScratchDir dir;
    test::WriteGreyBmp(dir.File("h.bmp"), 12, 12, [](int x, int) { return x; });
    test::WriteGreyBmp(dir.File("t.bmp"), 12, 12, [](int, int) { return 0; });
    const std::string create = "create --set basedir=" + dir.path() + " --set basebmp=h.bmp --set treedir=" +
                               dir.path() + " --set treebmp=t.bmp " + dir.File("s.scn");
    EXPECT_EQ(RunCli(create + " >/dev/full 2>/dev/null"), 1);  // the report cannot be printed
    EXPECT_EQ(RunCli(create + " --quiet >/dev/full 2>/dev/null"), 0);  // nothing to print
    EXPECT_EQ(RunCli("create --set basebmp=none.bmp " + dir.File("s.scn") + " 2>/dev/full"), 1);
}

TEST(CommandLineOutput, FailedFileOperationsGiveTheSystemsReason)
{
    test::ScratchDir dir;
    EXPECT_EQ(RunCli("create --set basedir=" + dir.path() + " --set basebmp=none.bmp " + dir.File("s.scn") + " 2>" +
                     dir.File("err.txt")),
              1);
    EXPECT_EQ(test::ReadFile(dir.File("err.txt")),
              "Kelvane Message: Error getting handle to " + dir.File("none.bmp") + ".\n  (No such file or directory)\n");
    // A settings file of the wrong version is named.
    test::WriteFile(dir.File("old.kv"), std::string("KVVersion=1.0\r\n"));
    EXPECT_EQ(RunCli("settings --settings " + dir.File("old.kv") + " >/dev/null 2>" + dir.File("err.txt")), 1);
    EXPECT_EQ(test::ReadFile(dir.File("err.txt")), "Kelvane Error Message: Invalid Version in the .kv file you loaded\n  (" +
                                                       dir.File("old.kv") + ")\n");
    if (geteuid() != 0) {
        fs::create_directory(dir.File("locked"));
        fs::permissions(dir.File("locked"), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(RunCli("settings --write " + dir.File("locked") + "/x.kv 2>" + dir.File("err.txt")), 1);
        EXPECT_NE(test::ReadFile(dir.File("err.txt")).find("\n  (Permission denied)\n"), std::string::npos);
    }
}

// A small file system that fills up: a failed creation leaves the complete
// files of the creation before it exactly as they were.
TEST(CommandLineCreate, AFullDiskKeepsTheEarlierFilesWhole)
{
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    test::ScratchDir dir;
    fs::create_directory(dir.File("disk"));
    if (mount("tmpfs", dir.File("disk").c_str(), "tmpfs", 0, "size=6m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::string path;
        ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{dir.File("disk")};
    test::WriteGreyBmp(dir.File("h.bmp"), 64, 64, [](int x, int y) { return (x * 7 + y * 3) % 256; });
    test::WriteGreyBmp(dir.File("t.bmp"), 64, 64, [](int, int) { return 0; });
    auto create = [&](const std::string& resolution) {
        return StartCli({"create", "--quiet", "--set", "basedir=" + dir.path(), "--set", "basebmp=h.bmp", "--set",
                         "treedir=" + dir.path(), "--set", "treebmp=t.bmp", "--set", "resolution=" + resolution,
                         dir.File("disk") + "/s.scn"},
                        dir.File("out.txt"));
    };
    ASSERT_EQ(ExitStatusOf(create("0")), 0) << test::ReadFile(dir.File("out.txt.err"));
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::directory_iterator(dir.File("disk")))
        before[entry.path().filename().string()] = test::ReadFile(entry.path().string());
    // Hi Res images are several times larger: the disk fills during the second creation.
    EXPECT_EQ(ExitStatusOf(create("2")), 1);
    EXPECT_NE(test::ReadFile(dir.File("out.txt.err")).find("No space left on device"), std::string::npos)
        << test::ReadFile(dir.File("out.txt.err"));
    for (const auto& [name, bytes] : before) EXPECT_TRUE(test::ReadFile(dir.File("disk") + "/" + name) == bytes) << name;
    EXPECT_TRUE(test::TemporaryFilesIn(dir.File("disk")).empty());
}

}  // namespace
}  // namespace kv
#endif
