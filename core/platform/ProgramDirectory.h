#pragma once
#include <string>

namespace kv {

// The program directory: the folder of stock files the program reads (sample
// bitmaps, patterns, clouds, stock textures). Looked up in this order:
//   1. `explicitDir` when not empty (the --program-dir option);
//   2. the environment variable KELVANE_HOME;
//   3. "kelvane-data" beside the running executable (the build tree);
//   4. "../share/kelvane" relative to the executable (the install tree).
// The result is normalised (absolute, no trailing separator). When nothing is
// found, the folder beside the executable is returned all the same, so the
// loaders report the missing files by name.
std::string LocateProgramDirectory(const std::string& explicitDir = {});

// Directory of the running executable.
std::string ExecutableDirectory();

}  // namespace kv
