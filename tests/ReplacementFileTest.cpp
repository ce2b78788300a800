// Files written whole: the temporary file beside the target, its short name,
// what a failed write leaves, links at the target, the list a signal cleans
// up, and reading only from regular files.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>

#include "TestSupport.h"
#include "core/platform/RegularFile.h"
#include "core/platform/ReplacementFile.h"
#include "core/platform/SystemReason.h"
#include "core/platform/TemporaryFileList.h"
#include "core/inputs/SettingsFile.h"
#include "core/textures/ImageOutput.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// Files may grow to `bytes` at most while it lives; larger writes fail as on
// a full disk (EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

TEST(ReplacementFile, TheTargetChangesOnlyWhenTheNewFileIsComplete)
{
    test::ScratchDir dir;
    const std::string target = dir.File("image.jpg");
    test::WriteFile(target, std::string("old contents"));
    TemporaryFileList list;
    ReplacementFile file(target, &list);
    ASSERT_TRUE(file.Create().ok());
    // The temporary file lies beside the target under a short name, and is listed.
    EXPECT_EQ(fs::path(file.temporaryPath()).parent_path(), fs::path(dir.path()));
    EXPECT_EQ(test::TemporaryFilesIn(dir.path()).size(), 1u);
    EXPECT_EQ(list.Count(), 1);
    ASSERT_TRUE(file.Write("new ", 4).ok());
    ASSERT_TRUE(file.Write("contents", 8).ok());
    ASSERT_TRUE(file.WriteAt(0, "NEW", 3).ok());
    EXPECT_EQ(test::ReadFile(target), "old contents");
    ASSERT_TRUE(file.PutInPlace().ok());
    EXPECT_EQ(test::ReadFile(target), "NEW contents");
    EXPECT_TRUE(test::TemporaryFilesIn(dir.path()).empty());
    EXPECT_EQ(list.Count(), 0);
}

TEST(ReplacementFile, AnUnfinishedFileIsRemovedAndTheOldOneStays)
{
    test::ScratchDir dir;
    const std::string target = dir.File("bump1.jpg");
    test::WriteFile(target, std::string(3000, 'o'));
    {
        // The disk "fills" at 2000 bytes.
        FileSizeLimit limit(2000);
        const std::string big(5000, 'n');
        const FileOutcome outcome = WriteFileWhole(target, big.data(), big.size(), nullptr);
        EXPECT_EQ(outcome.failed, FileStep::Write);
        EXPECT_EQ(outcome.Reason(), "File too large");
    }
    EXPECT_EQ(test::ReadFile(target), std::string(3000, 'o'));
    EXPECT_TRUE(test::TemporaryFilesIn(dir.path()).empty());

    // Abandoned without a failure: gone too.
    {
        ReplacementFile file(target, nullptr);
        ASSERT_TRUE(file.Create().ok());
        ASSERT_TRUE(file.Write("x", 1).ok());
    }
    EXPECT_TRUE(test::TemporaryFilesIn(dir.path()).empty());
    EXPECT_EQ(test::ReadFile(target), std::string(3000, 'o'));
}

TEST(ReplacementFile, NamesAtTheLimitOfTheFileSystemStillWork)
{
    test::ScratchDir dir;
    const std::string name(255, 'n');  // the longest name a directory entry takes here
    const FileOutcome outcome = WriteFileWhole(dir.File(name), "abc", 3, nullptr);
    ASSERT_TRUE(outcome.ok()) << outcome.Reason();
    EXPECT_EQ(test::ReadFile(dir.File(name)), "abc");
}

TEST(ReplacementFile, ALinkAtTheTargetIsReplacedNotWrittenThrough)
{
    test::ScratchDir dir;
    test::WriteFile(dir.File("victim"), std::string("untouched"));
    fs::create_symlink(dir.File("victim"), dir.File("out.tga"));
    ASSERT_TRUE(WriteFileWhole(dir.File("out.tga"), "tga", 3, nullptr).ok());
    EXPECT_EQ(test::ReadFile(dir.File("victim")), "untouched");
    EXPECT_FALSE(fs::is_symlink(dir.File("out.tga")));
    EXPECT_EQ(test::ReadFile(dir.File("out.tga")), "tga");
}

TEST(ReplacementFile, CopiesAnyRegularFileEmptyOnesIncluded)
{
    test::ScratchDir dir;
    test::WriteFile(dir.File("empty.jpg"), std::string());
    ASSERT_TRUE(CopyFileWhole(dir.File("empty.jpg"), dir.File("copy.jpg"), nullptr).ok());
    EXPECT_TRUE(fs::is_regular_file(dir.File("copy.jpg")));
    EXPECT_EQ(fs::file_size(dir.File("copy.jpg")), 0u);

    std::string large(3 << 20, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
    test::WriteFile(dir.File("large.bin"), large);
    fs::permissions(dir.File("large.bin"), fs::perms::owner_read);
    ASSERT_TRUE(CopyFileWhole(dir.File("large.bin"), dir.File("large.copy"), nullptr).ok());
    EXPECT_TRUE(test::ReadFile(dir.File("large.copy")) == large);
    // The copy is the user's to change, whatever the stock file's permissions.
    EXPECT_NE(fs::status(dir.File("large.copy")).permissions() & fs::perms::owner_write, fs::perms::none);

    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    const FileOutcome fromPipe = CopyFileWhole(dir.File("pipe"), dir.File("never"), nullptr);
    EXPECT_EQ(fromPipe.failed, FileStep::Read);
    EXPECT_EQ(fromPipe.Reason(), "Not a regular file");
    EXPECT_FALSE(fs::exists(dir.File("never")));
}

TEST(TemporaryFileList, RemoveAllUnlinksWhatIsListedAndOnlyThat)
{
    test::ScratchDir dir;
    TemporaryFileList list;
    for (const char* name : {"a", "b", "c"}) test::WriteFile(dir.File(name), std::string("x"));
    const int a = list.Add(dir.File("a"));
    const int b = list.Add(dir.File("b"));
    list.Remove(a);
    EXPECT_GE(b, 0);
    EXPECT_EQ(list.Count(), 1);
    list.RemoveAll();
    EXPECT_TRUE(fs::exists(dir.File("a")));
    EXPECT_FALSE(fs::exists(dir.File("b")));
    EXPECT_TRUE(fs::exists(dir.File("c")));
    // A full list refuses politely; paths beyond the limit are not taken.
    TemporaryFileList full;
    for (int i = 0; i < TemporaryFileList::kCapacity; ++i) EXPECT_GE(full.Add("p" + std::to_string(i)), 0);
    EXPECT_EQ(full.Add("one more"), -1);
    EXPECT_EQ(list.Add(std::string(TemporaryFileList::kMaxPath, 'p')), -1);
}

TEST(RegularFiles, SettingsFilesThatAreNotFilesAreRefusedAtOnce)
{
    test::ScratchDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe.kv").c_str(), 0600), 0);
    std::vector<Message> shown;
    ProjectSettings settings = DefaultSettings(dir.path());
    const SettingsLoadHooks hooks{[&](const Message& m) { shown.push_back(m); }, {}};
    EXPECT_FALSE(LoadSettingsFile(dir.path(), "pipe.kv", dir.path(), settings, hooks));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error opening " + dir.File("pipe.kv") + ".");
    EXPECT_EQ(shown[0].detail, "Not a regular file");
    int error = 0;
    EXPECT_LT(OpenRegularFile("/dev/null", error), 0);
    EXPECT_EQ(SystemReason(error), "Not a regular file");
}

TEST(MemoryFailures, RunningOutOfMemoryIsReportedAsSuch)
{
    const JobFailure failure = JpegWriteFailure(JpegStatus::OutOfMemory, "d/tex1.jpg", "d", {});
    EXPECT_EQ(failure.message.text, "Not enough memory to create the scene.");
    EXPECT_EQ(failure.message.title, kErrorTitle);
}

}  // namespace
}  // namespace kv
