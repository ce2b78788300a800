#pragma once
// One helper thread beside the job's own thread, for work that can overlap
// (pattern loading, noise, JPEG compression). The job thread waits for a task
// in short slices so that it keeps looking at its stop request, and runs a
// task itself when the helper has not started it yet.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kv {

// When the system refuses a second thread, tasks simply run on the thread
// that waits for them.
class WorkerThread {
public:
    // Thrown by work that stops early because its result is no longer wanted
    // (the stage it served has ended).
    struct Abandoned {};

    class Task {
    public:
        bool Done() const;

    private:
        friend class WorkerThread;
        enum class State { Pending, Running, Done };
        std::function<void()> work;
        State state = State::Pending;
        std::exception_ptr error;
        mutable std::mutex mutex;
        std::condition_variable finished;
        void Run();  // called with the task claimed
    };
    using TaskPtr = std::shared_ptr<Task>;

    WorkerThread();
    // Stops the helper after its running task and joins it; tasks not started
    // are dropped. Work that must end promptly polls a cancel flag of its own.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Queues work for the helper, which runs tasks in the order posted.
    TaskPtr Post(std::function<void()> work);

    // Runs the task on the calling thread if nobody has started it; true when it did.
    bool RunHere(const TaskPtr& task);

    // Whether the helper is running a task at this moment.
    bool Busy() const;

    // Waits until the task has finished: runs it here when not yet started,
    // otherwise waits, calling `poll` (which may throw) about every
    // millisecond. Rethrows the task's exception.
    void Await(const TaskPtr& task, const std::function<void()>& poll);

private:
    void Loop();
    bool Claim(const TaskPtr& task);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<TaskPtr> queue_;
    bool busy_ = false;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace kv
