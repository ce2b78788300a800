#pragma once
// Watches the largest single allocation made through operator new while a
// watch is alive, for tests that bound what a bad input may cost.
#include <cstddef>

namespace kv::test {

class AllocationWatch {
public:
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    // The largest request seen since the watch began, in bytes.
    std::size_t Largest() const;
};

}  // namespace kv::test
