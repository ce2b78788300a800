#include "core/inputs/ProjectSettings.h"

namespace kv {

ProjectSettings DefaultSettings(const std::string& programDirectory)
{
    ProjectSettings s;
    s.basebmp = kDefaultHeightfield;
    s.basedir = programDirectory;
    s.treebmp = kDefaultPlacement;
    s.treedir = programDirectory;
    return s;
}

int TextureSizeForResolution(int resolution)
{
    switch (resolution) {
    case 1: return 1152;
    case 2: return 2304;
    default: return 576;
    }
}

}  // namespace kv
