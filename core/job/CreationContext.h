#pragma once
#include <cstdint>
#include <string>

#include "core/inputs/HeightGrid.h"
#include "core/model/ObjectKind.h"
#include "core/platform/FileSystem.h"
#include "core/basics/JobControl.h"
#include "core/basics/Messages.h"
#include "core/writers/scn/SceneWriter.h"
#include "core/basics/Session.h"
#include "core/inputs/ProjectSettings.h"

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
