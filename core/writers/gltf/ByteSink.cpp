#include "core/writers/gltf/ByteSink.h"

#include <algorithm>
#include <string>

#include "core/writers/gltf/GltfError.h"

namespace kv::gltf {

ByteSink::ByteSink(std::size_t blockSize)
    : block_(new std::uint8_t[blockSize]), blockSize_(blockSize), next_(block_.get()), stop_(block_.get() + blockSize)
{
}

void ByteSink::SetStop()
{
    std::uint8_t* end = block_.get() + blockSize_;
    stop_ = end;
    if (!limited_) return;
    const std::uint64_t position = Position();
    const std::uint64_t room = limit_ > position ? limit_ - position : 0;
    if (room < static_cast<std::uint64_t>(end - next_)) stop_ = next_ + room;
}

void ByteSink::SetLimit(std::uint64_t limit)
{
    limited_ = true;
    limit_ = limit;
    SetStop();
}

void ByteSink::ClearLimit()
{
    limited_ = false;
    SetStop();
}

void ByteSink::CheckLimit(std::size_t size) const
{
    if (limited_ && Position() + size > limit_)
        throw GltfError("a producer wrote past the end of its buffer view: " + std::to_string(Position() + size) +
                        " bytes where the limit is " + std::to_string(limit_));
}

void ByteSink::Flush()
{
    const std::size_t used = static_cast<std::size_t>(next_ - block_.get());
    if (used) Deliver(block_.get(), used);
    delivered_ += used;
    next_ = block_.get();
    SetStop();
}

void ByteSink::WriteSlow(const std::uint8_t* data, std::size_t size)
{
    CheckLimit(size);
    std::uint8_t* const end = block_.get() + blockSize_;
    while (size) {
        if (next_ == end) Flush();
        // A run of whole blocks goes straight to the destination.
        if (next_ == block_.get() && size >= blockSize_) {
            const std::size_t run = size - size % blockSize_;
            Deliver(data, run);
            delivered_ += run;
            data += run;
            size -= run;
            continue;
        }
        const std::size_t part = std::min(size, static_cast<std::size_t>(end - next_));
        std::memcpy(next_, data, part);
        next_ += part;
        data += part;
        size -= part;
    }
    SetStop();
}

void ByteSink::WriteZeros(std::size_t count)
{
    static constexpr std::uint8_t kZeros[256] = {};
    while (count) {
        const std::size_t part = std::min(count, sizeof kZeros);
        Write(kZeros, part);
        count -= part;
    }
}

const std::vector<std::uint8_t>& MemorySink::Bytes()
{
    Flush();
    return bytes_;
}

void MemorySink::Deliver(const std::uint8_t* data, std::size_t size)
{
    bytes_.insert(bytes_.end(), data, data + size);
}

}  // namespace kv::gltf
