#include "core/textures/OrderedJpegWriter.h"

#include <stdexcept>

namespace kv {

OrderedJpegWriter::OrderedJpegWriter(WorkerThread& worker, std::vector<std::string> paths,
                                     std::string sceneDirectory, FreeSpaceQuery freeSpace,
                                     std::function<void()> poll, TemporaryFileList* cleanup)
    : worker_(worker),
      sceneDirectory_(std::move(sceneDirectory)),
      freeSpace_(std::move(freeSpace)),
      poll_(std::move(poll)),
      cleanup_(cleanup),
      jobThread_(std::this_thread::get_id())
{
    for (std::string& path : paths) {
        auto item = std::make_unique<Item>();
        item->path = std::move(path);
        items_.push_back(std::move(item));
    }
}

OrderedJpegWriter::~OrderedJpegWriter()
{
    cancel_ = true;
    std::vector<WorkerThread::TaskPtr> tasks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& item : items_) {
            if (item->task) tasks.push_back(item->task);
            if (item->derivationTask) tasks.push_back(item->derivationTask);
        }
    }
    // A task not started yet is claimed here and ends at once; one running on
    // the helper stops before its next row.
    for (const WorkerThread::TaskPtr& task : tasks) {
        try {
            worker_.Await(task, {});
        } catch (...) {
        }
    }
}

bool OrderedJpegWriter::Cancelled()
{
    if (cancel_.load(std::memory_order_relaxed)) return true;
    if (poll_ && std::this_thread::get_id() == jobThread_) {
        try {
            poll_();
        } catch (...) {
            interruption_ = std::current_exception();
            cancel_ = true;
            return true;
        }
    }
    return false;
}

void OrderedJpegWriter::Encode(Item* item)
{
    JpegBytes bytes;
    JpegEncodeResult result = JpegEncodeResult::Cancelled;
    if (!cancel_) result = EncodeJpegToMemory(*item->image, 100, bytes, [this] { return Cancelled(); });
    {
        std::lock_guard<std::mutex> lock(mutex_);
        item->image.reset();  // the pixels are no longer needed
        item->bytes = std::move(bytes);
        item->result = result;
        item->encoded = true;
    }
    CommitReady();
}

void OrderedJpegWriter::CommitReady()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (committing_) return;  // the thread writing files will see this item too
    committing_ = true;
    while (!failed_ && !cancel_ && next_ < items_.size() && items_[next_]->encoded) {
        Item* item = items_[next_].get();
        if (item->result == JpegEncodeResult::Cancelled) break;
        lock.unlock();
        int error = 0;
        JpegStatus status = JpegStatus::LibraryError;
        if (item->result == JpegEncodeResult::Done)
            status = writeFiles_ ? WriteJpegBytes(item->path, item->bytes, cleanup_, &error) : JpegStatus::Ok;
        else if (item->result == JpegEncodeResult::OutOfMemory)
            status = JpegStatus::OutOfMemory;
        std::vector<std::uint8_t> keep;
        if (status == JpegStatus::Ok && keepBytes_) {
            keep.reserve(item->bytes.Size());
            item->bytes.ForEachBlock([&](const std::uint8_t* data, std::size_t size) {
                keep.insert(keep.end(), data, data + size);
                return true;
            });
        }
        item->bytes.Clear();
        std::optional<JobFailure> failure;
        if (status != JpegStatus::Ok)
            failure = JpegWriteFailure(status, item->path, sceneDirectory_, freeSpace_, error);
        lock.lock();
        if (keepBytes_ && !failure) {
            const std::size_t slash = item->path.find_last_of("/\\");
            kept_[slash == std::string::npos ? item->path : item->path.substr(slash + 1)] = std::move(keep);
        }
        if (failure) {
            failure_ = std::move(failure);
            failed_ = true;
            cancel_ = true;  // no later file is written
            break;
        }
        ++next_;
    }
    committing_ = false;
}

void OrderedJpegWriter::Submit(const std::string& path, std::unique_ptr<ImageRows> image)
{
    ThrowIfFailed();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Item* item = nullptr;
        for (const auto& candidate : items_)
            if (candidate->path == path && !candidate->task) item = candidate.get();
        if (!item) throw std::logic_error("no file " + path + " waits for an image");
        item->image = std::shared_ptr<ImageRows>(std::move(image));
        item->task = worker_.Post([this, item] { Encode(item); });
        if (item->derivation) {
            std::shared_ptr<const ImageRows> shared = item->image;
            item->derivationTask = worker_.Post([this, item, shared] {
                const RowCheck check = [this] {
                    if (cancel_.load(std::memory_order_relaxed)) throw WorkerThread::Abandoned{};
                };
                try {
                    item->derivation(*shared, check);
                } catch (const WorkerThread::Abandoned&) {
                }
            });
        }
    }
    ThrowIfFailed();
}

void OrderedJpegWriter::RethrowInterruption()
{
    if (interruption_) {
        std::exception_ptr interruption = interruption_;
        interruption_ = nullptr;
        std::rethrow_exception(interruption);
    }
}

void OrderedJpegWriter::ThrowIfFailed()
{
    if (!failed_.load()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    throw *failure_;
}

void OrderedJpegWriter::Finish() { AwaitAll(true); }

void OrderedJpegWriter::Drain() { AwaitAll(false); }

void OrderedJpegWriter::AwaitAll(bool requireEvery)
{
    std::vector<WorkerThread::TaskPtr> tasks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& item : items_) {
            if (item->task)
                tasks.push_back(item->task);
            else if (requireEvery)
                throw std::logic_error("no image for " + item->path);
            if (item->derivationTask) tasks.push_back(item->derivationTask);
        }
    }
    // Every task still waiting is compressed here, in file order, beside the
    // helper; then whatever the helper is still doing is waited for.
    for (const WorkerThread::TaskPtr& task : tasks) {
        worker_.RunHere(task);
        RethrowInterruption();
        ThrowIfFailed();
    }
    for (const WorkerThread::TaskPtr& task : tasks) {
        worker_.Await(task, poll_);
        RethrowInterruption();
        ThrowIfFailed();
    }
}

void OrderedJpegWriter::SetDerivation(const std::string& path, Derivation work)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& item : items_)
        if (item->path == path) item->derivation = std::move(work);
}

std::map<std::string, std::vector<std::uint8_t>> OrderedJpegWriter::TakeKeptBytes()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::move(kept_);
}

std::size_t OrderedJpegWriter::Written() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return next_;
}

}  // namespace kv
