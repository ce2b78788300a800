#pragma once
// Writes a creation's JPEG files while the job goes on computing the next
// image: compression runs on the helper thread, or on the job's thread when
// the helper is already busy, so both cores compress at once. Files are still
// created strictly in the order the images were handed over, each only after
// the one before it was written completely, so the disk sees what a
// one-file-at-a-time writer would leave: a run of complete files, then at most
// the one that failed. The bytes of every file are those of EncodeJpegFile.
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "scene/Messages.h"
#include "texture/ImageOutput.h"
#include "texture/ImageRows.h"
#include "texture/WorkerThread.h"

namespace kv {

class OrderedJpegWriter {
public:
    // `poll` is the job thread's stop check (throws JobStopped); it is called
    // only on the thread that constructs the writer, between rows of a
    // compression running there and while waiting.
    OrderedJpegWriter(WorkerThread& worker, std::string sceneDirectory, FreeSpaceQuery freeSpace,
                      std::function<void()> poll);
    // Abandons what is not written yet: compressions stop before their next
    // row, a file being written is finished, later files are not created.
    ~OrderedJpegWriter();
    OrderedJpegWriter(const OrderedJpegWriter&) = delete;
    OrderedJpegWriter& operator=(const OrderedJpegWriter&) = delete;

    // Takes an image to be written at quality 100 to `path`. Returns at once
    // when the helper is free to compress it, else compresses it here first.
    void Submit(std::string path, std::unique_ptr<ImageRows> image);

    // Throws the failure of an earlier file (a JobFailure), if there was one.
    void ThrowIfFailed();

    // Returns when every image taken has been written; throws the first
    // failure, or the stop request seen while waiting.
    void Finish();

    // How many files have been written completely.
    std::size_t Written() const;

private:
    struct Item {
        std::string path;
        std::unique_ptr<ImageRows> image;
        JpegBytes bytes;
        JpegEncodeResult result = JpegEncodeResult::Cancelled;
        bool encoded = false;
    };

    void Encode(Item* item);
    bool Cancelled();  // the compression's row check
    void CommitReady();
    void RethrowInterruption();

    WorkerThread& worker_;
    const std::string sceneDirectory_;
    const FreeSpaceQuery freeSpace_;
    const std::function<void()> poll_;
    const std::thread::id jobThread_;

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Item>> items_;
    std::vector<WorkerThread::TaskPtr> tasks_;
    std::size_t next_ = 0;  // the next file to be written
    bool committing_ = false;
    std::optional<JobFailure> failure_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> cancel_{false};
    std::exception_ptr interruption_;  // the stop request seen inside a compression on the job thread
};

}  // namespace kv
