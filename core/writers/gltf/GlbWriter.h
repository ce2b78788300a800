#pragma once
// Binary glTF: a 12-byte header (magic "glTF", version 2, total length), the
// JSON chunk padded with spaces to a multiple of 4 bytes, then, when the
// document has binary data, the BIN chunk padded with zeros to a multiple of
// 4. Every number is little-endian; every buffer view starts at a 4-byte
// boundary of the BIN chunk, which itself starts at one of the file.
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/ReplacementFile.h"
#include "core/platform/TemporaryFileList.h"
#include "core/writers/gltf/ByteSink.h"
#include "core/writers/gltf/GltfDocument.h"

namespace kv::gltf {

inline constexpr std::uint32_t kGlbMagic = 0x46546C67;      // "glTF"
inline constexpr std::uint32_t kGlbJsonChunk = 0x4E4F534A;  // "JSON"
inline constexpr std::uint32_t kGlbBinChunk = 0x004E4942;   // "BIN\0"

// Writes the document into `sink` (not flushed). Throws GltfError when the
// document cannot be written (see GltfDocument) or exceeds 4 GiB, and passes
// on whatever a producer or the sink throws.
void WriteGlb(const GltfDocument& document, ByteSink& sink);

// The whole file in memory.
std::vector<std::uint8_t> GlbBytes(const GltfDocument& document);

// Writes the file whole (see ReplacementFile): the bytes go to a temporary
// file beside `path`, renamed over it once complete. A failed file operation
// is returned; a GltfError or a producer's exception (a stop request) passes
// through. Either way nothing is left at `path` or beside it.
FileOutcome WriteGlbFile(const GltfDocument& document, const std::string& path, TemporaryFileList* cleanup);

}  // namespace kv::gltf
