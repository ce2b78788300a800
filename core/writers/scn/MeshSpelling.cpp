#include "core/writers/scn/MeshSpelling.h"

namespace kv {

MeshSpelling SpellingOfMesh(std::string_view name)
{
    for (std::size_t i = 0; i < kKindMeshSpellingCount; ++i)
        if (name == kKindMeshSpellings[i].name) return kKindMeshSpellings[i].spelling;
    return MeshSpelling{};
}

}  // namespace kv
