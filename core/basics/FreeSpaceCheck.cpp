#include "core/basics/FreeSpaceCheck.h"

#include <optional>

#include "core/basics/MessageTexts.h"
#include "core/basics/Messages.h"

namespace kv {

void RequireFreeSpace(const OutputDirectory& output, std::uint64_t bytes)
{
    if (!output.freeSpace) return;
    const std::optional<std::uint64_t> available = output.freeSpace(output.path);
    if (available && *available < bytes) throw Failure(text::kNotEnoughDiskSpace, kErrorTitle);
}

}  // namespace kv
