#pragma once
// A front end for tests and benchmarks that run a whole creation: it answers
// the scene dialog once with a given choice (cancel after that), records the
// messages, and, when asked to, keeps the scene model and pictures the job
// hands over (as the window does; the command line does not ask for them).
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/job/FrontEnd.h"

namespace kv::test {

class OneAnswerFrontEnd final : public FrontEnd {
public:
    explicit OneAnswerFrontEnd(SceneFileChoice choice, bool keepScene = false)
        : choice_(std::move(choice)), keepScene_(keepScene)
    {
    }
    std::optional<SceneFileChoice> AskSceneFile(const std::string&, const std::string&) override
    {
        if (std::exchange(asked_, true)) return std::nullopt;
        return choice_;
    }
    void ShowMessage(const Message& m) override { messages.push_back(m); }
    void SetProgress(int) override {}
    void EnterBusy() override {}
    void LeaveBusy() override {}
    bool StopRequested() override { return false; }
    void ClearStopRequest() override {}
    bool WantsScene() const override { return keepScene_; }
    void SceneCreated(std::shared_ptr<const Scene> s, std::shared_ptr<const SceneImages> i) override
    {
        scene = std::move(s);
        images = std::move(i);
    }

    std::vector<Message> messages;
    std::shared_ptr<const Scene> scene;
    std::shared_ptr<const SceneImages> images;

private:
    SceneFileChoice choice_;
    bool keepScene_ = false;
    bool asked_ = false;
};

}  // namespace kv::test
