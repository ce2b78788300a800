#include "app/WindowFrontEnd.h"

#include <QMetaObject>
#include <QThread>
#include <QtGlobal>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>

#include "app/ModelViewScene.h"

namespace kv::app {

WindowFrontEnd::WindowFrontEnd(QObject& context, JobHost& host) : context_(context), host_(host) {}

// Once the user has asked the job to stop (or the window is closing) the job
// shows nothing more: it is on its way to its end routine.
bool WindowFrontEnd::Quiet() const { return stop_.load() || shuttingDown_.load(); }

template <typename Result, typename Ask>
Result WindowFrontEnd::AskOnWindowThread(Ask ask, Result cancelled)
{
    // A question asked on the window's own thread is answered directly: a
    // queued call to oneself would never be delivered while we wait for it.
    if (QThread::currentThread() == context_.thread()) return Quiet() ? cancelled : ask();

    struct Pending {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        std::optional<Result> result;
    };
    auto pending = std::make_shared<Pending>();
    QMetaObject::invokeMethod(
        &context_,
        [this, pending, ask, cancelled]() mutable {
            Result result = Quiet() ? cancelled : ask();
            const std::lock_guard<std::mutex> lock(pending->mutex);
            pending->result.emplace(std::move(result));
            pending->done = true;
            pending->answered.notify_one();
        },
        Qt::QueuedConnection);
    // The window keeps delivering posted events until this job has ended
    // (also while it closes), so the answer always comes.
    std::unique_lock<std::mutex> lock(pending->mutex);
    pending->answered.wait(lock, [&] { return pending->done; });
    return std::move(*pending->result);
}

template <typename Do>
void WindowFrontEnd::PostToWindowThread(Do action)
{
    if (QThread::currentThread() == context_.thread()) {
        action();
        return;
    }
    QMetaObject::invokeMethod(&context_, std::move(action), Qt::QueuedConnection);
}

std::optional<SceneFileChoice> WindowFrontEnd::AskSceneFile(const std::string& initialDirectory,
                                                            const std::string& initialName)
{
    return AskOnWindowThread<std::optional<SceneFileChoice>>(
        [this, initialDirectory, initialName] { return host_.askSceneFile(initialDirectory, initialName); },
        std::nullopt);
}

void WindowFrontEnd::ShowMessage(const Message& message)
{
    AskOnWindowThread<bool>(
        [this, message] {
            host_.showJobMessage(message);
            return true;
        },
        false);
}

void WindowFrontEnd::SetProgress(int percent)
{
    PostToWindowThread([this, percent] { host_.showProgress(percent); });
}

void WindowFrontEnd::EnterBusy()
{
    PostToWindowThread([this] { host_.enterBusy(); });
}

void WindowFrontEnd::LeaveBusy()
{
    PostToWindowThread([this] {
        // A Stop pressed between the job's end routine and this moment must
        // not carry over to the next creation.
        ClearStopRequest();
        host_.leaveBusy();
    });
}

void WindowFrontEnd::SceneCreated(std::shared_ptr<const Scene> scene, std::shared_ptr<const SceneImages> images)
{
    // The view's meshes and pictures are made here, on the job's thread; the
    // window only takes them. A scene too large to hold twice leaves the
    // view of the previous one: the creation itself has succeeded.
    std::shared_ptr<const view::ViewScene> viewed;
    try {
        viewed = ViewSceneOf(*scene, *images);
    } catch (const std::bad_alloc&) {
        qWarning("Not enough memory to prepare the 3D view of this scene.");
        return;
    }
    PostToWindowThread([this, viewed = std::move(viewed)]() mutable { host_.takeCreatedScene(std::move(viewed)); });
}

bool WindowFrontEnd::StopRequested() { return stop_.load(); }

void WindowFrontEnd::ClearStopRequest()
{
    // A window that is closing keeps its stop request: nothing may start again.
    if (!shuttingDown_.load()) stop_.store(false);
}

void WindowFrontEnd::RequestStop() { stop_.store(true); }

void WindowFrontEnd::BeginShutdown()
{
    shuttingDown_.store(true);
    stop_.store(true);
}

}  // namespace kv::app
