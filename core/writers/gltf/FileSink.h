#pragma once
// A byte sink in front of a file written whole (see ReplacementFile): blocks of
// several megabytes go to the temporary file in single writes.
#include <cstddef>
#include <stdexcept>

#include "core/platform/ReplacementFile.h"
#include "core/writers/gltf/ByteSink.h"

namespace kv::gltf {

// Thrown out of a write when the file refused the bytes (a full disk).
class FileSinkFailure : public std::runtime_error {
public:
    explicit FileSinkFailure(FileOutcome outcome);
    FileOutcome outcome;
};

class ReplacementFileSink final : public ByteSink {
public:
    static constexpr std::size_t kBlockSize = 4 * 1024 * 1024;

    // `file` has been created and stays open while the sink is used.
    explicit ReplacementFileSink(ReplacementFile& file) : ByteSink(kBlockSize), file_(file) {}

private:
    void Deliver(const std::uint8_t* data, std::size_t size) override;
    ReplacementFile& file_;
};

}  // namespace kv::gltf
