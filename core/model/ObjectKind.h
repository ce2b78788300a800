#pragma once
#include <array>

namespace kv {

// The twelve placeable kinds, in the order their colour codes are tested.
enum class ObjectKind {
    Palmtree, Birch, Deadtree1, Deadtree2, Fern, Cactus, Evergreen, Fir,
    Boulder, Flatrock, Rock, Pebbles,
};
inline constexpr int kObjectKindCount = 12;

// One flag per kind: whether the current creation wrote an object of it.
struct KindsUsed {
    std::array<bool, kObjectKindCount> flags{};
    bool operator[](ObjectKind k) const { return flags[static_cast<int>(k)]; }
    void Set(ObjectKind k) { flags[static_cast<int>(k)] = true; }
    void Clear() { flags.fill(false); }
    bool AnyRock() const
    {
        return (*this)[ObjectKind::Boulder] || (*this)[ObjectKind::Flatrock] || (*this)[ObjectKind::Rock] ||
               (*this)[ObjectKind::Pebbles];
    }
    bool AnyBarkTree() const
    {
        return (*this)[ObjectKind::Deadtree1] || (*this)[ObjectKind::Deadtree2] ||
               (*this)[ObjectKind::Evergreen] || (*this)[ObjectKind::Fir];
    }
};

}  // namespace kv
