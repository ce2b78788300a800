#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace kv {

// Opens `path` for reading only if it is a regular file. The open itself
// never waits (a FIFO with no writer, a device): anything that is not a
// regular file is refused before a read could block. Returns the descriptor,
// or -1 with `error` set (EISDIR for a directory, kNotARegularFile for
// any other kind).
int OpenRegularFile(const std::string& path, int& error);

// The same as a buffered stream ("rb"); nullptr with `error` set. When `size`
// is given it receives the file's size.
std::FILE* OpenRegularFileStream(const std::string& path, int& error, std::uint64_t* size = nullptr);

}  // namespace kv
