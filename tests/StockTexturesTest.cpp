// Installing the stock textures a scene uses: which files, in which order,
// and how a missing file or a full disk ends the job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/platform/Paths.h"
#include "core/basics/Messages.h"
#include "core/inputs/ProjectSettings.h"
#include "core/job/StockTextures.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

const char* const kStockFiles[] = {"ever.tga",   "fir.tga",  "bark.jpg",   "palmtree.jpg",
                                   "palmbark.jpg", "palmleaf.tga", "fern.tga", "cactus.jpg",
                                   "cactbump.jpg", "birch.jpg", "ripple.jpg"};

std::vector<std::string> Listing(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A program directory with small fake stock files (each holding its own
// name) and an empty scene directory. The free-space query records, before
// every copy, which files the scene directory already holds: that gives the
// order of installation. It answers nullopt (no check) unless told otherwise.
struct Installation {
    test::ScratchDir program, scene;
    ProjectSettings settings = DefaultSettings(program.path());
    KindsUsed kinds;
    OutputDirectory output{scene.path()};
    std::optional<std::uint64_t> freeBytes;
    std::vector<std::string> order;

    Installation()
    {
        for (const char* name : kStockFiles) test::WriteFile(program.File(name), std::string(name));
        settings.oceanindex = 0;
        output.freeSpace = [this](const std::string& dir) {
            EXPECT_EQ(dir, scene.path());
            std::vector<std::string> now = Listing(scene.path());
            for (const std::string& name : now)
                if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
            return freeBytes;
        };
    }
    // Installs and returns the files in the order they arrived.
    std::vector<std::string> Run()
    {
        InstallStockTextures(kinds, settings.oceanindex, program.path(), output);
        for (const std::string& name : Listing(scene.path()))
            if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
        return order;
    }
    JobFailure RunFailing()
    {
        try {
            Run();
        } catch (const JobFailure& failure) {
            return failure;
        }
        ADD_FAILURE() << "installation did not fail";
        return {};
    }
};

TEST(StockTexturesTest, InstallsWhatThePlacedKindsUseInOrder)
{
    const struct {
        std::vector<ObjectKind> kinds;
        int ocean;
        std::vector<std::string> files;
    } cases[] = {
        {{ObjectKind::Evergreen}, 0, {"ever.tga", "bark.jpg"}},
        {{ObjectKind::Fir, ObjectKind::Deadtree1, ObjectKind::Deadtree2}, 0, {"fir.tga", "bark.jpg"}},
        {{ObjectKind::Birch}, 0, {"birch.jpg"}},
        {{ObjectKind::Boulder, ObjectKind::Pebbles}, 1, {}},
        {{}, 2, {"ripple.jpg"}},
        {{ObjectKind::Palmtree, ObjectKind::Cactus, ObjectKind::Fern}, 0,
         {"palmtree.jpg", "palmbark.jpg", "palmleaf.tga", "fern.tga", "cactus.jpg", "cactbump.jpg"}},
        {{ObjectKind::Birch, ObjectKind::Cactus, ObjectKind::Fern, ObjectKind::Palmtree, ObjectKind::Deadtree2,
          ObjectKind::Fir, ObjectKind::Evergreen},
         4,
         {"ever.tga", "fir.tga", "bark.jpg", "palmtree.jpg", "palmbark.jpg", "palmleaf.tga", "fern.tga",
          "cactus.jpg", "cactbump.jpg", "birch.jpg", "ripple.jpg"}},
    };
    for (const auto& c : cases) {
        Installation install;
        for (ObjectKind k : c.kinds) install.kinds.Set(k);
        install.settings.oceanindex = c.ocean;
        EXPECT_EQ(install.Run(), c.files);
        for (const std::string& name : c.files)
            EXPECT_EQ(test::ReadFile(install.scene.File(name)), name);
    }
}

TEST(StockTexturesTest, ReadOnlyStockArrivesWritableAndReplacesOldFile)
{
    Installation install;
    install.kinds.Set(ObjectKind::Birch);
    fs::permissions(install.program.File("birch.jpg"), fs::perms::owner_read | fs::perms::group_read);
    test::WriteFile(install.scene.File("birch.jpg"), std::string("an older picture"));
    install.Run();
    EXPECT_EQ(test::ReadFile(install.scene.File("birch.jpg")), "birch.jpg");
    const fs::perms perms = fs::status(install.scene.File("birch.jpg")).permissions();
    EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none);
}

TEST(StockTexturesTest, MissingStockFileEndsTheJobAfterEarlierOnes)
{
    Installation install;
    install.kinds.Set(ObjectKind::Palmtree);
    install.kinds.Set(ObjectKind::Fern);
    fs::remove(install.program.File("palmbark.jpg"));
    const JobFailure failure = install.RunFailing();
    EXPECT_EQ(failure.message.text, "Error copying palmbark.jpg.");
    EXPECT_EQ(failure.message.title, "Kelvane Message");
    EXPECT_EQ(failure.message.modality, Modality::SystemModal);
    EXPECT_EQ(failure.message.icon, MessageIcon::Error);
    EXPECT_EQ(Listing(install.scene.path()), std::vector<std::string>{"palmtree.jpg"});
}

TEST(StockTexturesTest, MissingEverTgaNamesBothPaths)
{
    Installation install;
    install.kinds.Set(ObjectKind::Evergreen);
    fs::remove(install.program.File("ever.tga"));
    const JobFailure failure = install.RunFailing();
    EXPECT_EQ(failure.message.text, "Error copying ever.tga. (sourcefile=" + install.program.File("ever.tga") +
                                        ", destination file=" + install.scene.File("ever.tga") + ")");
    EXPECT_EQ(failure.message.title, "Kelvane Message");
}

TEST(StockTexturesTest, FreeSpaceIsCheckedAgainstEachFile)
{
    Installation install;
    install.kinds.Set(ObjectKind::Fir);  // fir.tga: 7 bytes, then bark.jpg: 8 bytes
    install.freeBytes = 7;
    const JobFailure failure = install.RunFailing();
    EXPECT_EQ(failure.message.text, "Not enough free disk space.");
    EXPECT_EQ(failure.message.title, "Kelvane Error Message");
    EXPECT_EQ(failure.message.modality, Modality::SystemModal);
    EXPECT_EQ(failure.message.icon, MessageIcon::Error);
    EXPECT_EQ(Listing(install.scene.path()), std::vector<std::string>{"fir.tga"});
}

}  // namespace
}  // namespace kv
