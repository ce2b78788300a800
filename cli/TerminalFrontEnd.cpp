#include "cli/TerminalFrontEnd.h"

#include <cstdio>

#include "cli/Signals.h"

#ifdef _WIN32
#include <io.h>
#define KV_ISATTY _isatty
#define KV_FILENO _fileno
#else
#include <unistd.h>
#define KV_ISATTY isatty
#define KV_FILENO fileno
#endif

namespace kv::cli {

TerminalFrontEnd::TerminalFrontEnd(SceneFileChoice scene, bool quiet)
    : scene_(std::move(scene)), quiet_(quiet), terminal_(KV_ISATTY(KV_FILENO(stderr)) != 0)
{
}

std::optional<SceneFileChoice> TerminalFrontEnd::AskSceneFile(const std::string&, const std::string&)
{
    // A second question means the first answer was refused: the command line
    // has no other answer to give.
    if (asked_) {
        refused_ = true;
        return std::nullopt;
    }
    asked_ = true;
    return scene_;
}

void TerminalFrontEnd::ShowMessage(const Message& message)
{
    EndProgressLine();
    if (message.icon == MessageIcon::Information) {
        if (!quiet_) std::fputs(message.text.c_str(), stdout);
        std::fflush(stdout);
        return;
    }
    PrintMessage(message);
}

void PrintMessage(const Message& message)
{
    std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
    if (!message.detail.empty()) std::fprintf(stderr, "  (%s)\n", message.detail.c_str());
}

void TerminalFrontEnd::SetProgress(int percent)
{
    if (quiet_ || !terminal_) return;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = 0;
    std::fprintf(stderr, "\rKV - %3d%% [%s]", percent, bar);
    std::fflush(stderr);
    progressShown_ = true;
}

void TerminalFrontEnd::EndProgressLine()
{
    if (progressShown_) {
        std::fputc('\n', stderr);
        progressShown_ = false;
    }
}

void TerminalFrontEnd::LeaveBusy() { EndProgressLine(); }

bool TerminalFrontEnd::StopRequested() { return StopSignalled(); }

void TerminalFrontEnd::ClearStopRequest()
{
    // The command exits after the job; keep what the user asked for visible
    // to the caller through the outcome, and accept a fresh Ctrl-C as a
    // first one again.
    ClearStopSignal();
}

}  // namespace kv::cli
