// JPEG compression into memory and the ordered writing of a creation's files.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "TextureTestSupport.h"
#include "core/platform/Paths.h"
#include "core/textures/ImageOutput.h"
#include "core/textures/OrderedJpegWriter.h"
#include "core/basics/WorkerThread.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

RgbImage Picture(int width, int height, int seed)
{
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.Row(y)[3 * x + c] = static_cast<std::uint8_t>(test::Hash(x + c, y / 2, seed) / 2 + x);
    return image;
}

Raster GreyPicture(int size, int seed)
{
    Raster grey(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) grey.Row(y)[x] = static_cast<std::uint8_t>(test::Hash(x, y, seed));
    return grey;
}

std::string FileBytes(const ImageRows& image)
{
    test::ScratchDir dir;
    EXPECT_EQ(EncodeJpegFile(dir.File("x.jpg"), image, 100), JpegStatus::Ok);
    return test::ReadFile(dir.File("x.jpg"));
}

TEST(JpegToMemory, GivesTheBytesOfTheFileWriter)
{
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{17, 9}, std::pair{300, 211}, std::pair{640, 480}}) {
        RgbRows image(Picture(w, h, w));
        JpegBytes bytes;
        ASSERT_EQ(EncodeJpegToMemory(image, 100, bytes), JpegEncodeResult::Done);
        EXPECT_TRUE(bytes.ToString() == FileBytes(image)) << w << "x" << h;
    }
    // A grey raster expanded row by row equals the same grey image held as RGB.
    const Raster grey = GreyPicture(700, 3);
    RgbImage expanded(700, 700);
    for (int y = 0; y < 700; ++y) ExpandGrey(grey.Row(y), 700, expanded.Row(y));
    JpegBytes a;
    ASSERT_EQ(EncodeJpegToMemory(GreyRows(grey), 100, a), JpegEncodeResult::Done);
    EXPECT_TRUE(a.ToString() == FileBytes(RgbRows(expanded)));
    EXPECT_GT(a.Size(), 256u * 1024u);  // spans several blocks
}

TEST(JpegToMemory, StopsBeforeTheNextRowWhenCancelled)
{
    RgbRows image(Picture(64, 64, 1));
    int asked = 0;
    JpegBytes bytes;
    EXPECT_EQ(EncodeJpegToMemory(image, 100, bytes, [&] { return ++asked > 10; }), JpegEncodeResult::Cancelled);
    EXPECT_EQ(asked, 11);
    EXPECT_EQ(bytes.Size(), 0u);
}

TEST(JpegWriteFailure, ChoosesTheWordingByFreeSpace)
{
    auto space = [](std::uint64_t bytes) {
        return [bytes](const std::string&) { return std::optional<std::uint64_t>(bytes); };
    };
    const JobFailure low = JpegWriteFailure(JpegStatus::LibraryError, "d/t.jpg", "d", space(kLowDiskSpace - 1));
    EXPECT_EQ(low.message.text, "Error writing d/t.jpg (make sure you have enough free disk space and then start the "
                                "creation process over again).");
    EXPECT_EQ(low.message.modality, Modality::SystemModal);
    const JobFailure plenty = JpegWriteFailure(JpegStatus::LibraryError, "d/t.jpg", "d", space(3000000000ull));
    EXPECT_EQ(plenty.message.text, "Error writing d/t.jpg.");
    EXPECT_EQ(plenty.message.title, "Kelvane Error Message");
    const JobFailure unknown = JpegWriteFailure(JpegStatus::LibraryError, "d/t.jpg", "d",
                                                [](const std::string&) { return std::optional<std::uint64_t>(); });
    EXPECT_EQ(unknown.message.text, "Error writing d/t.jpg.");
}

// ---------------------------------------------------------------- ordered writer

std::vector<std::unique_ptr<ImageRows>> Images(int count)
{
    std::vector<std::unique_ptr<ImageRows>> images;
    for (int i = 0; i < count; ++i) {
        if (i % 2)
            images.push_back(std::make_unique<GreyRows>(GreyPicture(320, i)));
        else
            images.push_back(std::make_unique<RgbRows>(Picture(320, 320, i)));
    }
    return images;
}

std::vector<std::string> Paths(const test::ScratchDir& dir, int count)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) paths.push_back(dir.File("f" + std::to_string(i) + ".jpg"));
    return paths;
}

TEST(OrderedJpegWriter, WritesEveryImageAsTheFileWriterWouldInAnyArrivalOrder)
{
    test::ScratchDir dir;
    auto images = Images(6);
    std::vector<std::string> expected;
    for (const auto& image : images) expected.push_back(FileBytes(*image));
    const std::vector<std::string> paths = Paths(dir, 6);
    WorkerThread worker;
    OrderedJpegWriter writer(worker, paths, dir.path(), QueryFreeSpace, {}, nullptr);
    for (int i : {5, 0, 1, 3, 2, 4})
        writer.Submit(paths[static_cast<std::size_t>(i)], std::move(images[static_cast<std::size_t>(i)]));
    writer.Finish();
    EXPECT_EQ(writer.Written(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(test::ReadFile(paths[static_cast<std::size_t>(i)]) == expected[static_cast<std::size_t>(i)]) << i;
}

TEST(OrderedJpegWriter, StopsAtTheFirstFailingFileInOrder)
{
    test::ScratchDir dir;
    auto images = Images(5);
    std::vector<std::string> paths = Paths(dir, 5);
    const std::string bad = JoinPath(dir.File("missing"), "f1.jpg");
    paths[1] = bad;
    WorkerThread worker;
    OrderedJpegWriter writer(worker, paths, dir.path(), QueryFreeSpace, {}, nullptr);
    testing::internal::CaptureStderr();
    try {
        // The later files arrive first; none may be created after the failure.
        for (int i : {4, 3, 2, 0, 1})
            writer.Submit(paths[static_cast<std::size_t>(i)], std::move(images[static_cast<std::size_t>(i)]));
        writer.Finish();
        FAIL() << "no failure";
    } catch (const JobFailure& failure) {
        EXPECT_EQ(failure.message.text, "Error writing " + bad + ".");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "can't open " + bad + "\n");
    EXPECT_TRUE(fs::exists(paths[0]));
    for (int i = 2; i < 5; ++i) EXPECT_FALSE(fs::exists(paths[static_cast<std::size_t>(i)])) << i;
    EXPECT_EQ(writer.Written(), 1u);
}

TEST(OrderedJpegWriter, FinishCompressesOnTheJobThreadAndHonoursStop)
{
    test::ScratchDir dir;
    auto images = Images(3);
    const std::vector<std::string> paths = Paths(dir, 3);
    WorkerThread worker;
    int polls = 0;
    bool stop = false;
    {
        OrderedJpegWriter writer(worker, paths, dir.path(), QueryFreeSpace, [&] {
            ++polls;
            if (stop && polls > 400) throw JobStopped{};
        }, nullptr);
        // Keep the helper busy so that the images wait for the job thread.
        auto blocker = worker.Post([] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); });
        while (!worker.Busy()) std::this_thread::yield();
        for (int i = 0; i < 3; ++i)
            writer.Submit(paths[static_cast<std::size_t>(i)], std::move(images[static_cast<std::size_t>(i)]));
        EXPECT_EQ(polls, 0);  // handing over returns at once
        stop = true;
        // f0 is compressed here (a look at the stop before each of its 320
        // rows) and written; the stop is seen on the 81st row of f1.
        EXPECT_THROW(writer.Finish(), JobStopped);
        EXPECT_EQ(polls, 401);
        worker.Await(blocker, {});
    }
    EXPECT_TRUE(fs::exists(paths[0]));
    EXPECT_FALSE(fs::exists(paths[1]));
    EXPECT_FALSE(fs::exists(paths[2]));
}

}  // namespace
}  // namespace kv
