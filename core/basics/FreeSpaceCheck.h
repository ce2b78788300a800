#pragma once
#include <cstdint>

#include "core/platform/OutputDirectory.h"

namespace kv {

// The check made before a file goes into the output directory: when the
// directory's free space can be asked for and is smaller than `bytes`, the
// job ends with "Not enough free disk space." (title "Kelvane Error
// Message"). A failed query lets the file go ahead unchecked.
void RequireFreeSpace(const OutputDirectory& output, std::uint64_t bytes);

}  // namespace kv
