#pragma once
#include <string>

namespace kv {

// The separator between a directory and a file name on this platform: a
// backslash on Windows, '/' elsewhere. Used in paths and in messages alike.
char PathSeparator();

// dir + separator + name ("%s\\%s" on Windows).
std::string JoinPath(const std::string& dir, const std::string& name);

// An absolute, normalised directory without a trailing separator (the root
// directory stays "/"), as the program holds its directories.
std::string NormaliseDirectory(const std::string& dir);

// Splits a file path into its directory (normalised as above) and file name.
void SplitPath(const std::string& path, std::string& directory, std::string& fileName);

}  // namespace kv
