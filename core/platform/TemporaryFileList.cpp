#include "core/platform/TemporaryFileList.h"

#include <cstring>

#ifdef _WIN32
#include <io.h>
#define KV_UNLINK _unlink
#else
#include <unistd.h>
#define KV_UNLINK unlink
#endif

namespace kv {

TemporaryFileList::TemporaryFileList() : slots_(new Slot[kCapacity]) {}

int TemporaryFileList::Add(const std::string& path)
{
    if (path.size() >= kMaxPath) return -1;
    for (int i = 0; i < kCapacity; ++i) {
        int expected = kFree;
        if (!slots_[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots_[i].path, path.c_str(), path.size() + 1);
        slots_[i].state.store(kUsed, std::memory_order_release);
        return i;
    }
    return -1;
}

void TemporaryFileList::Remove(int slot)
{
    if (slot < 0 || slot >= kCapacity) return;
    slots_[slot].state.store(kFree, std::memory_order_release);
}

void TemporaryFileList::RemoveAll() const
{
    for (int i = 0; i < kCapacity; ++i)
        if (slots_[i].state.load(std::memory_order_acquire) == kUsed) KV_UNLINK(slots_[i].path);
}

int TemporaryFileList::Count() const
{
    int count = 0;
    for (int i = 0; i < kCapacity; ++i)
        if (slots_[i].state.load(std::memory_order_acquire) == kUsed) ++count;
    return count;
}

}  // namespace kv
