#pragma once
#include <cstdint>

namespace kv {

// The program's pseudo-random generator: a 32-bit linear congruential
// generator, state 1 at start-up and never reseeded. Each draw sets
// state = state * 214013 + 2531011 (mod 2^32) and returns bits 16 to 30 of the
// new state (0 to 32767). Placement and texture noise draw from the one
// process-wide instance held by the Session, in creation order.
class Random {
public:
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }
    std::uint32_t State() const { return state_; }
    void SetState(std::uint32_t state) { state_ = state; }

private:
    std::uint32_t state_ = 1;
};

}  // namespace kv
