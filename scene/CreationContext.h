#pragma once
#include <cstdint>
#include <string>

#include "bitmap/HeightGrid.h"
#include "objects/ObjectKind.h"
#include "platform/FileSystem.h"
#include "scene/FrontEnd.h"
#include "scene/SceneWriter.h"
#include "scene/Session.h"
#include "settings/ProjectSettings.h"

namespace kv {

// Everything the stages of one creation share: the settings being read, the
// process-wide session, progress and stop, the open scene stream, the
// directories, the free-space query and what the stages hand on to later ones.
struct CreationContext {
    const ProjectSettings& settings;
    Session& session;
    JobControl& control;
    SceneWriter& writer;
    std::string programDirectory;
    std::string sceneDirectory;
    FreeSpaceQuery freeSpace = QueryFreeSpace;

    // Ids kept for later chunks.
    std::int32_t sceneId = 0;
    std::int32_t earthId = 0;
    std::int32_t rocksId = 0;
    std::int32_t treesId = 0;

    // Set by the placement stage: which kinds this creation wrote.
    KindsUsed kindsUsed{};

    // The heightfield of this creation (set by the terrain stage).
    HeightGrid heights{};
};

}  // namespace kv
