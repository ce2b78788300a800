#pragma once
// A creation context over a scene stream in a scratch directory, for the
// tests of the object writers: the settings, the session, a control that
// never stops, and the directory serving as program and scene directory.
#include "TestSupport.h"
#include "core/job/CreationContext.h"

namespace kv::test {

struct ScratchScene {
    ScratchDir dir;
    Session session;
    SilentControl control;
    ProjectSettings settings = DefaultSettings(dir.path());
    SceneWriter writer{session};
    CreationContext ctx{.settings = settings,
                        .session = session,
                        .control = control,
                        .writer = writer,
                        .programDirectory = dir.path(),
                        .sceneDirectory = dir.path()};
};

}  // namespace kv::test
