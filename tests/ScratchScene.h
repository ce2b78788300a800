#pragma once
// A scene model with a rocks and a trees group, on a scratch directory, for
// the tests of the placed trees and rocks: the settings, the session, a
// control that never stops, a heightfield, and the scene-file lines of the
// nodes added after the groups. The groups themselves are not written; their
// ids are set (30 and 40 unless changed), and new ids start at 2.
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/basics/JobControl.h"
#include "core/basics/Session.h"
#include "core/inputs/HeightGrid.h"
#include "core/inputs/ProjectSettings.h"
#include "core/model/KindModels.h"
#include "core/model/Placement.h"
#include "core/model/SceneModel.h"

namespace kv::test {

struct ScratchScene {
    ScratchDir dir;
    Session session;
    SilentControl control;
    ProjectSettings settings = DefaultSettings(dir.path());
    Scene scene;
    HeightGrid heights;
    int rocks = -1, trees = -1;
    std::int32_t rocksId = 30, treesId = 40;
    KindsUsed kinds;

    ScratchScene();
    PlacementGroups Groups() const { return {trees, rocks}; }
    // Places from the settings' placement bitmap on `heights`.
    void Place();
    // One object of a kind with a given frame, under its group.
    void Add(ObjectKind kind, const PlacementFrame& frame);
    // The scene-file lines (CR LF removed) of every node after the groups.
    std::vector<std::string> WrittenLines();
};

}  // namespace kv::test
