#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kv {

// Free bytes available on the file system holding `directory`; nullopt when
// the query fails (the callers then skip their free-space check).
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& directory)>;

// The real query (std::filesystem::space).
std::optional<std::uint64_t> QueryFreeSpace(const std::string& directory);

// Size of a file in bytes; nullopt if it cannot be read.
std::optional<std::uint64_t> FileSize(const std::string& path);

// The system's temporary directory, normalised.
std::string TemporaryDirectory();

// Creates a new, empty file with a unique name in the temporary directory
// (the name starts with `stem`) and returns its path; empty on failure.
// Two processes never receive the same name.
std::string CreateUniqueTemporaryFile(const std::string& stem);

}  // namespace kv
