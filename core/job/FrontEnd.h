#pragma once
#include <memory>
#include <optional>
#include <string>

#include "core/basics/Messages.h"

namespace kv {

class Scene;
class SceneImages;

// The files the user chose for the scene: the directory and the file title
// of the trueSpace scene (the name part as typed; the job lower-cases it and
// adds ".scn"), and a binary glTF file, either or both. The trueSpace scene
// brings its images as files beside it; the glTF file holds its own. Without
// a trueSpace scene, `directory` is the glTF file's.
struct SceneFileChoice {
    std::string directory;
    std::string title;
    bool trueSpaceScene = true;
    std::string glbPath;  // empty: no glTF file
};

// How a creation job talks to the program's front end (command line or
// desktop window). The job knows nothing else of its front end.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Asks for the scene file, offering the last directory and file name.
    // nullopt when the user cancels.
    virtual std::optional<SceneFileChoice> AskSceneFile(const std::string& initialDirectory,
                                                        const std::string& initialName) = 0;
    // Shows a message and returns when the user has seen it.
    virtual void ShowMessage(const Message& message) = 0;
    // Progress in percent ("Stop - %d%%", "KV - %d%%" in the window).
    virtual void SetProgress(int percent) = 0;
    // Busy state: inputs disabled, Stop enabled.
    virtual void EnterBusy() = 0;
    virtual void LeaveBusy() = 0;
    // Whether the front end shows the scene it made (a 3D view): the job then
    // hands it over, with its pictures, before the final report.
    virtual bool WantsScene() const { return false; }
    virtual void SceneCreated(std::shared_ptr<const Scene> /*scene*/, std::shared_ptr<const SceneImages> /*images*/) {}
    // The stop request set by the user; cleared by the job's end routine.
    // Asked at each of the job's stop checks, which come in a fixed order.
    virtual bool StopRequested() = 0;
    // The same request, asked while the job waits or works on what could as
    // well run on its helper thread: how often that happens depends on the
    // timing of the two threads, so it is no stop check of its own.
    virtual bool StopPending() { return StopRequested(); }
    virtual void ClearStopRequest() = 0;
};

}  // namespace kv
