#pragma once
#include <string>

namespace kv {

// Error number for a path that names something other than a regular file (a
// directory has its own number, EISDIR). Outside the range of errno values.
inline constexpr int kNotARegularFile = 0x10000;

// The system's wording of an error number ("Permission denied"); "" for 0.
std::string SystemReason(int error);

}  // namespace kv
