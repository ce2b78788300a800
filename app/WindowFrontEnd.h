#pragma once
// The window's side of a creation job. The job runs on a worker thread and
// never touches a widget: every request is carried over to the window's
// thread. Questions (the scene file dialog, messages) wait there for the
// answer; progress and the busy state are posted without waiting.
#include <QObject>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "app/view/ViewScene.h"
#include "core/job/FrontEnd.h"

namespace kv::app {

// What the window does for a job, always on the window's thread.
class JobHost {
public:
    virtual ~JobHost() = default;
    virtual std::optional<SceneFileChoice> askSceneFile(const std::string& initialDirectory,
                                                        const std::string& initialName) = 0;
    virtual void showJobMessage(const Message& message) = 0;
    virtual void showProgress(int percent) = 0;
    virtual void enterBusy() = 0;
    virtual void leaveBusy() = 0;
    // The scene the creation built, for the 3D view; arrives before the report.
    virtual void takeCreatedScene(std::shared_ptr<const view::ViewScene> scene) = 0;
};

class WindowFrontEnd final : public FrontEnd {
public:
    // `context` lives on the window's thread and outlives every job.
    WindowFrontEnd(QObject& context, JobHost& host);

    std::optional<SceneFileChoice> AskSceneFile(const std::string& initialDirectory,
                                                const std::string& initialName) override;
    void ShowMessage(const Message& message) override;
    void SetProgress(int percent) override;
    void EnterBusy() override;
    void LeaveBusy() override;
    bool StopRequested() override;
    void ClearStopRequest() override;
    bool WantsScene() const override { return true; }
    void SceneCreated(std::shared_ptr<const Scene> scene, std::shared_ptr<const SceneImages> images) override;

    // The window's Stop command.
    void RequestStop();
    // The window is closing: the job is to stop, and questions still on their
    // way are answered "cancel" without showing anything.
    void BeginShutdown();

private:
    template <typename Result, typename Ask>
    Result AskOnWindowThread(Ask ask, Result cancelled);
    template <typename Do>
    void PostToWindowThread(Do action);
    bool Quiet() const;

    QObject& context_;
    JobHost& host_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> shuttingDown_{false};
};

}  // namespace kv::app
