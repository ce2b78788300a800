#pragma once
// Writes a creation's JPEG files while the job goes on computing: compression
// runs on the helper thread while the job computes the next images, and on
// both threads once the job has handed over its last image. The files are still created strictly
// in their fixed order, each only after the one before it was written
// completely, whatever order the images arrive and are compressed in; so the
// disk sees what a one-file-at-a-time writer would leave: a run of complete
// files, then at most the one that failed. The bytes of every file are those
// of EncodeJpegFile at quality 100.
#include <atomic>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/FileSystem.h"
#include "core/basics/Messages.h"
#include "core/textures/ImageOutput.h"
#include "core/textures/ImageRows.h"
#include "core/textures/Raster.h"
#include "core/basics/WorkerThread.h"

namespace kv {

class OrderedJpegWriter {
public:
    // `paths` are the files in the order they are to be written. `poll` is
    // the job thread's stop check (throws JobStopped); it is called only on
    // the thread that constructs the writer, between rows of a compression
    // running there and while waiting.
    // Each file is written whole under a temporary name listed in `cleanup`.
    OrderedJpegWriter(WorkerThread& worker, std::vector<std::string> paths, std::string sceneDirectory,
                      FreeSpaceQuery freeSpace, std::function<void()> poll, TemporaryFileList* cleanup);
    // Abandons what is not written yet: compressions stop before their next
    // row, a file being written is finished, later files are not created.
    ~OrderedJpegWriter();
    OrderedJpegWriter(const OrderedJpegWriter&) = delete;
    OrderedJpegWriter& operator=(const OrderedJpegWriter&) = delete;

    // Whether the files are written (on by default), and whether each file's
    // bytes are kept for TakeKeptBytes (off by default). Set before Submit.
    void SetWriteFiles(bool write) { writeFiles_ = write; }
    void SetKeepBytes(bool keep) { keepBytes_ = keep; }

    // Work that also reads the image of `path` (a normal map of a bump map):
    // it runs as a task of its own when the image arrives, beside the
    // compression, on whichever thread is free. Its RowCheck throws when the
    // writer is abandoned. Set before Submit.
    using Derivation = std::function<void(const ImageRows& image, const RowCheck& check)>;
    void SetDerivation(const std::string& path, Derivation work);

    // Takes the image of one of the paths, in any order, and returns at once;
    // the helper thread compresses the images in the order they arrive.
    void Submit(const std::string& path, std::unique_ptr<ImageRows> image);

    // The bytes of every file written (by file name, after Finish), when
    // kept.
    std::map<std::string, std::vector<std::uint8_t>> TakeKeptBytes();

    // Throws the failure of an earlier file (a JobFailure), if there was one.
    void ThrowIfFailed();

    // Returns when every file has been written (each path must have had its
    // image), compressing waiting images on this thread beside the helper;
    // throws the first failure, or the stop request seen while waiting.
    void Finish();

    // Returns when every image handed over so far has been dealt with: the
    // files up to the first path still without an image are written. Throws
    // like Finish.
    void Drain();

    // How many files have been written completely.
    std::size_t Written() const;

private:
    struct Item {
        std::string path;
        std::shared_ptr<ImageRows> image;
        WorkerThread::TaskPtr task;
        Derivation derivation;
        WorkerThread::TaskPtr derivationTask;
        JpegBytes bytes;
        JpegEncodeResult result = JpegEncodeResult::Cancelled;
        bool encoded = false;
    };

    void Encode(Item* item);
    bool Cancelled();  // the compression's row check
    void CommitReady();
    void RethrowInterruption();
    void AwaitAll(bool requireEvery);

    WorkerThread& worker_;
    const std::string sceneDirectory_;
    const FreeSpaceQuery freeSpace_;
    const std::function<void()> poll_;
    TemporaryFileList* const cleanup_;
    const std::thread::id jobThread_;

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Item>> items_;  // in file order
    std::size_t next_ = 0;  // the next file to be written
    bool committing_ = false;
    std::optional<JobFailure> failure_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> cancel_{false};
    std::exception_ptr interruption_;  // the stop request seen inside a compression on the job thread
    bool writeFiles_ = true;
    bool keepBytes_ = false;
    std::map<std::string, std::vector<std::uint8_t>> kept_;
};

}  // namespace kv
