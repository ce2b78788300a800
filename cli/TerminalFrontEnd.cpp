#include "cli/TerminalFrontEnd.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define KV_ISATTY _isatty
#define KV_FILENO _fileno
#define KV_EXIT _exit
#else
#include <unistd.h>
#define KV_ISATTY isatty
#define KV_FILENO fileno
#define KV_EXIT _exit
#endif

namespace kv::cli {

namespace {

volatile std::sig_atomic_t gStopCount = 0;

extern "C" void OnInterrupt(int)
{
    gStopCount = gStopCount + 1;
    if (gStopCount >= 2) KV_EXIT(130);
}

}  // namespace

void InstallStopSignal() { std::signal(SIGINT, OnInterrupt); }
bool StopSignalled() { return gStopCount > 0; }
void ClearStopSignal() { gStopCount = 0; }

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
    std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
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
