#pragma once
#include <string>

#include "core/platform/FileSystem.h"
#include "core/platform/TemporaryFileList.h"

namespace kv {

// Where a creation's files go: the directory, how to ask for its free space,
// and the list that holds every unfinished file while it is written.
struct OutputDirectory {
    std::string path;
    FreeSpaceQuery freeSpace = QueryFreeSpace;
    TemporaryFileList* temporaryFiles = nullptr;
};

}  // namespace kv
