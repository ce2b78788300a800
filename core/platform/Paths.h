#pragma once
#include <string>

namespace kv {

// The separator between a directory and a file name on this platform: a
// backslash on Windows, '/' elsewhere. Used in paths and in messages alike.
char PathSeparator();

// dir + separator + name ("%s\\%s" on Windows).
std::string JoinPath(const std::string& dir, const std::string& name);

// An absolute directory without a trailing separator (the root directory
// stays "/"), as the program holds its directories. Symbolic links and ".."
// are resolved as the operating system resolves them, as far as the path
// exists ("link/.." is the parent of the link's target, not the folder
// holding the link).
std::string NormaliseDirectory(const std::string& dir);

// Whether two paths name the same directory: the same file-system object,
// however each is spelled or reached (links, "..", bind mounts). Paths that
// do not exist are compared as normalised text.
bool SameDirectory(const std::string& a, const std::string& b);

// Whether the text holds a control character (line feed, carriage return,
// tab, any other below a blank, or DEL), which a line of scene text cannot carry.
bool HasControlCharacter(const std::string& text);

// Splits a file path into its directory (normalised as above) and file name.
void SplitPath(const std::string& path, std::string& directory, std::string& fileName);

}  // namespace kv
