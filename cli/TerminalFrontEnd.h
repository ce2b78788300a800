#pragma once
#include <atomic>
#include <optional>
#include <string>

#include "core/job/FrontEnd.h"

namespace kv::cli {

// The command line's side of a creation. The scene path given on the command
// line plays the file dialog's part; messages go to standard error as
// "Title: text" (the report to standard output); progress is one line updated
// in place when standard error is a terminal.
class TerminalFrontEnd final : public FrontEnd {
public:
    TerminalFrontEnd(SceneFileChoice scene, bool quiet);

    std::optional<SceneFileChoice> AskSceneFile(const std::string& initialDirectory,
                                                const std::string& initialName) override;
    void ShowMessage(const Message& message) override;
    void SetProgress(int percent) override;
    void EnterBusy() override {}
    void LeaveBusy() override;
    bool StopRequested() override;
    void ClearStopRequest() override;

    // True when the scene directory was refused (the program directory).
    bool SceneRefused() const { return refused_; }

private:
    void EndProgressLine();

    SceneFileChoice scene_;
    bool quiet_;
    bool asked_ = false;
    bool refused_ = false;
    bool progressShown_ = false;
    bool terminal_;
};

// Prints a message to standard error as "Title: text", followed by its
// detail (the system's reason, or the file concerned) on a line of its own.
void PrintMessage(const Message& message);

}  // namespace kv::cli
