#include "core/writers/gltf/FileSink.h"

#include <string>

namespace kv::gltf {

FileSinkFailure::FileSinkFailure(FileOutcome failed)
    : std::runtime_error("writing failed" + (failed.Reason().empty() ? std::string() : ": " + failed.Reason())),
      outcome(failed)
{
}

void ReplacementFileSink::Deliver(const std::uint8_t* data, std::size_t size)
{
    const FileOutcome outcome = file_.Write(data, size);
    if (!outcome.ok()) throw FileSinkFailure(outcome);
}

}  // namespace kv::gltf
