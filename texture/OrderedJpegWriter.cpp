#include "texture/OrderedJpegWriter.h"

namespace kv {

OrderedJpegWriter::OrderedJpegWriter(WorkerThread& worker, std::string sceneDirectory, FreeSpaceQuery freeSpace,
                                     std::function<void()> poll)
    : worker_(worker),
      sceneDirectory_(std::move(sceneDirectory)),
      freeSpace_(std::move(freeSpace)),
      poll_(std::move(poll)),
      jobThread_(std::this_thread::get_id())
{
}

OrderedJpegWriter::~OrderedJpegWriter()
{
    cancel_ = true;
    std::vector<WorkerThread::TaskPtr> tasks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks = tasks_;
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
    if (cancel_) {
        std::lock_guard<std::mutex> lock(mutex_);
        item->image.reset();
        item->encoded = true;
        return;
    }
    JpegBytes bytes;
    const JpegEncodeResult result = EncodeJpegToMemory(*item->image, 100, bytes, [this] { return Cancelled(); });
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
        const JpegStatus status = item->result == JpegEncodeResult::Done ? WriteJpegBytes(item->path, item->bytes)
                                                                          : JpegStatus::LibraryError;
        item->bytes.Clear();
        std::optional<JobFailure> failure;
        if (status != JpegStatus::Ok) failure = JpegWriteFailure(status, item->path, sceneDirectory_, freeSpace_);
        lock.lock();
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

void OrderedJpegWriter::Submit(std::string path, std::unique_ptr<ImageRows> image)
{
    ThrowIfFailed();
    auto item = std::make_unique<Item>();
    item->path = std::move(path);
    item->image = std::move(image);
    Item* raw = item.get();
    WorkerThread::TaskPtr task;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(std::move(item));
        task = worker_.Post([this, raw] { Encode(raw); });
        tasks_.push_back(task);
    }
    // With the helper compressing an earlier image, this one is compressed
    // here; otherwise the helper takes it and the job computes on.
    if (worker_.Busy()) worker_.RunHere(task);
    RethrowInterruption();
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

void OrderedJpegWriter::Finish()
{
    std::vector<WorkerThread::TaskPtr> tasks;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks = tasks_;
    }
    for (const WorkerThread::TaskPtr& task : tasks) {
        worker_.Await(task, poll_);
        RethrowInterruption();
        ThrowIfFailed();
    }
}

std::size_t OrderedJpegWriter::Written() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return next_;
}

}  // namespace kv
