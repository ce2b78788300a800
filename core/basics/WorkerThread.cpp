#include "core/basics/WorkerThread.h"

#include <chrono>
#include <system_error>

namespace kv {

bool WorkerThread::Task::Done() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return state == State::Done;
}

void WorkerThread::Task::Run()
{
    std::exception_ptr caught;
    try {
        work();
    } catch (...) {
        caught = std::current_exception();
    }
    work = nullptr;  // releases what the work held
    {
        std::lock_guard<std::mutex> lock(mutex);
        error = caught;
        state = State::Done;
    }
    finished.notify_all();
}

WorkerThread::WorkerThread()
{
    try {
        thread_ = std::thread([this] { Loop(); });
    } catch (const std::system_error&) {
        // No second thread to be had: every task then runs on the thread that
        // waits for it.
    }
}

WorkerThread::~WorkerThread()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

WorkerThread::TaskPtr WorkerThread::Post(std::function<void()> work)
{
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(task);
    }
    wake_.notify_all();
    return task;
}

bool WorkerThread::Claim(const TaskPtr& task)
{
    std::lock_guard<std::mutex> lock(task->mutex);
    if (task->state != Task::State::Pending) return false;
    task->state = Task::State::Running;
    return true;
}

bool WorkerThread::RunHere(const TaskPtr& task)
{
    if (!Claim(task)) return false;
    task->Run();
    return true;
}

bool WorkerThread::Busy() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return busy_;
}

void WorkerThread::Await(const TaskPtr& task, const std::function<void()>& poll)
{
    RunHere(task);
    {
        std::unique_lock<std::mutex> lock(task->mutex);
        while (task->state != Task::State::Done) {
            task->finished.wait_for(lock, std::chrono::milliseconds(1));
            if (task->state == Task::State::Done) break;
            lock.unlock();
            if (poll) poll();
            lock.lock();
        }
    }
    if (task->error) std::rethrow_exception(task->error);
}

void WorkerThread::Loop()
{
    for (;;) {
        TaskPtr task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            busy_ = false;
            wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (quit_) return;
            task = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
        }
        if (Claim(task)) task->Run();
    }
}

}  // namespace kv
