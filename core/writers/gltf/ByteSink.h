#pragma once
// Where the bytes of a binary glTF file go: a buffer of large blocks in front
// of a destination (a file, memory). Writers and the producers of streamed
// buffer views copy into the buffer; full blocks are handed on whole.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace kv::gltf {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;

    // Appends `size` bytes.
    void Write(const void* data, std::size_t size)
    {
        if (size <= static_cast<std::size_t>(stop_ - next_)) {
            if (size) std::memcpy(next_, data, size);
            next_ += size;
            return;
        }
        WriteSlow(static_cast<const std::uint8_t*>(data), size);
    }
    // Appends `count` zero bytes.
    void WriteZeros(std::size_t count);

    // Bytes written so far, delivered or still buffered.
    std::uint64_t Position() const { return delivered_ + static_cast<std::uint64_t>(next_ - block_.get()); }

    // Hands the buffered bytes on to the destination.
    void Flush();

    // From now on, a write that would take Position() past `limit` throws
    // GltfError before a byte of it is taken; ClearLimit lifts it. The
    // check costs nothing on the fast path: the buffer is cut short at the
    // limit, so only the slow path ever sees it.
    void SetLimit(std::uint64_t limit);
    void ClearLimit();

protected:
    explicit ByteSink(std::size_t blockSize);
    // Takes a run of bytes; called with whole blocks except at a flush.
    virtual void Deliver(const std::uint8_t* data, std::size_t size) = 0;

private:
    void WriteSlow(const std::uint8_t* data, std::size_t size);
    void CheckLimit(std::size_t size) const;
    void SetStop();

    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t blockSize_;
    std::uint8_t* next_;
    std::uint8_t* stop_;       // end of the block, or the limit when it falls inside it
    std::uint64_t delivered_ = 0;
    bool limited_ = false;
    std::uint64_t limit_ = 0;
};

// Collects everything in memory (tests, small assets).
class MemorySink final : public ByteSink {
public:
    MemorySink() : ByteSink(64 * 1024) {}
    // The bytes written, after flushing.
    const std::vector<std::uint8_t>& Bytes();

private:
    void Deliver(const std::uint8_t* data, std::size_t size) override;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace kv::gltf
