#pragma once
// Reads a binary glTF file's header and chunks, independently of the writer,
// for the tests to check the layout byte by byte.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kv::test {

struct GlbChunks {
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::uint32_t declaredLength = 0;
    std::uint32_t jsonLength = 0;
    std::uint32_t jsonType = 0;
    std::string json;  // the chunk's bytes, padding included
    bool hasBin = false;
    std::uint32_t binLength = 0;
    std::uint32_t binType = 0;
    std::size_t binStart = 0;  // offset of the BIN chunk's data in the file
    std::vector<std::uint8_t> bin;
    std::size_t trailing = 0;  // bytes after the last chunk
};

inline std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Splits a file into its chunks; lengths that reach past the end are cut
// (and show up as mismatches in the tests).
inline GlbChunks SplitGlb(const std::vector<std::uint8_t>& file)
{
    GlbChunks glb;
    if (file.size() < 20) return glb;
    const std::uint8_t* p = file.data();
    glb.magic = ReadLe32(p);
    glb.version = ReadLe32(p + 4);
    glb.declaredLength = ReadLe32(p + 8);
    glb.jsonLength = ReadLe32(p + 12);
    glb.jsonType = ReadLe32(p + 16);
    std::size_t at = 20;
    const std::size_t jsonEnd = std::min(file.size(), at + glb.jsonLength);
    glb.json.assign(reinterpret_cast<const char*>(p + at), jsonEnd - at);
    at = jsonEnd;
    if (file.size() - at >= 8) {
        glb.hasBin = true;
        glb.binLength = ReadLe32(p + at);
        glb.binType = ReadLe32(p + at + 4);
        at += 8;
        glb.binStart = at;
        const std::size_t binEnd = std::min(file.size(), at + glb.binLength);
        glb.bin.assign(p + at, p + binEnd);
        at = binEnd;
    }
    glb.trailing = file.size() - at;
    return glb;
}

}  // namespace kv::test
