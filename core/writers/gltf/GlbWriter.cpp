#include "core/writers/gltf/GlbWriter.h"

#include <limits>

#include "core/writers/gltf/FileSink.h"
#include "core/writers/gltf/GltfError.h"

namespace kv::gltf {

namespace {

void WriteUint32(ByteSink& sink, std::uint32_t value)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    sink.Write(bytes, sizeof bytes);
}

std::uint64_t PaddedTo4(std::uint64_t length) { return (length + 3) / 4 * 4; }

}  // namespace

void WriteGlb(const GltfDocument& document, ByteSink& sink)
{
    std::string json = document.JsonText();
    json.append(static_cast<std::size_t>(PaddedTo4(json.size()) - json.size()), ' ');
    const std::uint64_t binLength = document.BinaryLength();
    const std::uint64_t binChunk = PaddedTo4(binLength);
    const std::uint64_t total = 12 + 8 + json.size() + (binLength ? 8 + binChunk : 0);
    if (total > std::numeric_limits<std::uint32_t>::max())
        throw GltfError("the asset takes " + std::to_string(total) + " bytes, more than a binary glTF file can hold");

    const std::uint64_t start = sink.Position();
    WriteUint32(sink, kGlbMagic);
    WriteUint32(sink, 2);
    WriteUint32(sink, static_cast<std::uint32_t>(total));
    WriteUint32(sink, static_cast<std::uint32_t>(json.size()));
    WriteUint32(sink, kGlbJsonChunk);
    sink.Write(json.data(), json.size());
    if (binLength) {
        WriteUint32(sink, static_cast<std::uint32_t>(binChunk));
        WriteUint32(sink, kGlbBinChunk);
        document.WriteBinary(sink);
        sink.WriteZeros(static_cast<std::size_t>(binChunk - binLength));
    }
    if (sink.Position() - start != total) throw GltfError("the binary glTF file came out at the wrong length");
}

std::vector<std::uint8_t> GlbBytes(const GltfDocument& document)
{
    MemorySink sink;
    WriteGlb(document, sink);
    return sink.Bytes();
}

FileOutcome WriteGlbFile(const GltfDocument& document, const std::string& path, TemporaryFileList* cleanup)
{
    ReplacementFile file(path, cleanup);
    if (FileOutcome created = file.Create(); !created.ok()) return created;
    try {
        ReplacementFileSink sink(file);
        WriteGlb(document, sink);
        sink.Flush();
    } catch (const FileSinkFailure& failure) {
        file.Discard();
        return failure.outcome;
    }
    return file.PutInPlace();
}

}  // namespace kv::gltf
