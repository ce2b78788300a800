#pragma once
// Helpers shared by the tests: scratch directories, files, small pictures.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

// A fresh directory under the system's temporary directory, removed at the
// end of the test.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The build tree's program directory (stock files).
std::string ProgramDir();

// The names of unfinished files in a directory: the temporary files (".kv"
// and six characters) under which files are written before they take their
// names.
std::vector<std::string> TemporaryFilesIn(const std::string& directory);

// Writes a grey picture whose pixel (x, y) has all three components
// value(x, y), as a 24-bit BMP.
template <typename F>
void WriteGreyBmp(const std::string& path, int width, int height, F value);

}  // namespace kv::test

#include "core/inputs/Bitmap24.h"

namespace kv::test {

template <typename F>
void WriteGreyBmp(const std::string& path, int width, int height, F value)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c] = static_cast<std::uint8_t>(value(x, y));
    WriteBmp24(path, width, height, rgb.data());
}

}  // namespace kv::test
