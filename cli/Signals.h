#pragma once
#include "core/platform/TemporaryFileList.h"

namespace kv::cli {

// The command line's signals. The first Ctrl-C (SIGINT) is a stop request:
// the creation ends at its next check and cleans up after itself (exit 130).
// A second Ctrl-C, SIGTERM and SIGHUP end the process at once, after removing
// every temporary file in `temporaryFiles`: exit 130 for Ctrl-C, 128 + the
// signal number otherwise. `temporaryFiles` must outlive the process's use of
// the handlers (the session's list, which lives until main returns).
void InstallSignalHandlers(const TemporaryFileList& temporaryFiles);

bool StopSignalled();
void ClearStopSignal();

}  // namespace kv::cli
