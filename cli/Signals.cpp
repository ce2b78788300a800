#include "cli/Signals.h"

#include <csignal>

#include <unistd.h>

namespace kv::cli {

namespace {

// A signal handler reaches nothing but what is stored for it: the count of
// Ctrl-C presses and the session's list of temporary files.
volatile std::sig_atomic_t gStopCount = 0;
const TemporaryFileList* gTemporaryFiles = nullptr;

[[noreturn]] void EndNow(int status)
{
    if (gTemporaryFiles) gTemporaryFiles->RemoveAll();
    _exit(status);
}

extern "C" void OnInterrupt(int)
{
    gStopCount = gStopCount + 1;
    if (gStopCount >= 2) EndNow(130);
}

extern "C" void OnTermination(int signal) { EndNow(128 + signal); }

void Handle(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Both handlers may run while the other is in progress; blocking the
    // other signals while one runs keeps RemoveAll from running twice at once.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallSignalHandlers(const TemporaryFileList& temporaryFiles)
{
    gTemporaryFiles = &temporaryFiles;
    Handle(SIGINT, OnInterrupt);
    Handle(SIGTERM, OnTermination);
    Handle(SIGHUP, OnTermination);
}

bool StopSignalled() { return gStopCount > 0; }
void ClearStopSignal() { gStopCount = 0; }

}  // namespace kv::cli
