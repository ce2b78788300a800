#pragma once
// How the scene file spells a mesh's lines: the form of its numbers and the
// blanks some lines end with. The tree and rock meshes each have their own
// (generated with their data by tools/meshgen); every other mesh is spelled
// with six decimals and a blank after each line of pairs.
#include <cstddef>
#include <string_view>

namespace kv {

enum class MeshNumberStyle {
    SixDecimals,        // "%.6f", a zero never signed
    UpToSevenDecimals,  // seven decimals with trailing zeros removed ("0.12309", "1")
};

struct MeshSpelling {
    MeshNumberStyle numbers = MeshNumberStyle::SixDecimals;
    const char* countTail = "";      // after the count lines and each texture line
    const char* firstFaceTail = "";  // after the first face line
    const char* firstPairTail = " ";  // after the first line of pairs
    const char* pairTail = " ";       // after every other line of pairs
};

struct NamedMeshSpelling {
    const char* name;
    MeshSpelling spelling;
};

extern const NamedMeshSpelling kKindMeshSpellings[];
extern const std::size_t kKindMeshSpellingCount;

// The spelling of the mesh of that name: its own, or the common one.
MeshSpelling SpellingOfMesh(std::string_view name);

}  // namespace kv
