// The command line's settings handling, run as a user would run it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "platform/Paths.h"

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
namespace kv {
namespace {

// Ctrl-C is the stop request: the creation ends at its next check through the
// end routine, the command exits with 130, and no scene file is left.
TEST(CommandLineCreate, InterruptStopsTheCreationCleanly)
{
    test::ScratchDir dir;
    // A large heightfield keeps the terrain stage busy long enough to be interrupted.
    test::WriteGreyBmp(dir.File("big.bmp"), 1536, 1536, [](int x, int y) { return (x * 3 + y * 5) % 256; });
    std::filesystem::create_directory(dir.File("scene"));
    const std::string command = std::string(KV_TEST_CLI) + " create --quiet --set resolution=2 --set basedir=" +
                                dir.path() + " --set basebmp=big.bmp " + dir.File("scene") + "/big.scn & pid=$!; " +
                                "sleep 0.3; kill -INT $pid; wait $pid; echo $? > " + dir.File("status.txt");
    ASSERT_EQ(std::system(("bash -c '" + command + "'").c_str()), 0);
    EXPECT_EQ(test::ReadFile(dir.File("status.txt")), "130\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("scene") + "/big.scn"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("scene")));
}

}  // namespace
}  // namespace kv
#endif
