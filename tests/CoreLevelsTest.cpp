// The core library's folders are levels: a file includes only its own level
// and those below it, and no core file includes a front end or Qt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace kv {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kLevels = {"platform", "basics", "inputs", "model", "textures", "writers", "job"};

int LevelOf(const std::string& folder)
{
    for (std::size_t i = 0; i < kLevels.size(); ++i)
        if (kLevels[i] == folder) return static_cast<int>(i);
    return -1;
}

TEST(CoreLevels, EveryIncludeLooksDownward)
{
    const fs::path core = fs::path(KV_TEST_SOURCE_DIR) / "core";
    ASSERT_TRUE(fs::is_directory(core));
    const std::regex include(R"re(#include\s*[<"]([^">]+)[">])re");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(core)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp") continue;
        const std::string level = fs::relative(entry.path(), core).begin()->string();
        const int own = LevelOf(level);
        ASSERT_GE(own, 0) << entry.path() << " lies in no level";
        ++files;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), include); it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[1];
            EXPECT_NE(target.rfind("app/", 0), 0u) << entry.path() << " includes " << target;
            EXPECT_NE(target.rfind("cli/", 0), 0u) << entry.path() << " includes " << target;
            EXPECT_NE(target.rfind("Q", 0), 0u) << entry.path() << " includes " << target;
            if (target.rfind("core/", 0) != 0) continue;
            const std::string folder = target.substr(5, target.find('/', 5) - 5);
            EXPECT_LE(LevelOf(folder), own) << entry.path() << " includes " << target;
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
}  // namespace kv
