#pragma once
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace kv {

// The temporary files this process has open at a given moment, so that a
// signal that ends the process can remove them. Entries are added and removed
// from any thread; RemoveAll only unlinks paths and so may run inside a
// signal handler.
class TemporaryFileList {
public:
    static constexpr int kCapacity = 32;
    static constexpr std::size_t kMaxPath = 4096;

    TemporaryFileList();
    TemporaryFileList(const TemporaryFileList&) = delete;
    TemporaryFileList& operator=(const TemporaryFileList&) = delete;

    // Records a path; returns its slot, or -1 when the path is too long or the
    // list is full (the file is then simply not removed by a signal).
    int Add(const std::string& path);
    // Forgets a slot returned by Add (-1 is ignored).
    void Remove(int slot);
    // Unlinks every recorded path. Async-signal-safe.
    void RemoveAll() const;
    // How many paths are recorded (tests).
    int Count() const;

private:
    enum State : int { kFree = 0, kFilling = 1, kUsed = 2 };
    struct Slot {
        std::atomic<int> state{kFree};
        char path[kMaxPath];
    };
    std::unique_ptr<Slot[]> slots_;
};

}  // namespace kv
