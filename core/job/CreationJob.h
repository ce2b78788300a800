#pragma once
#include <string>

#include "core/model/ObjectKind.h"
#include "core/platform/FileSystem.h"
#include "core/job/FrontEnd.h"
#include "core/basics/Session.h"
#include "core/inputs/ProjectSettings.h"

namespace kv {

// How a creation ended.
enum class JobOutcome {
    Finished,   // the report was shown
    Cancelled,  // the user cancelled the scene file dialog
    Stopped,    // the user asked the job to stop
    Failed,     // a failure message was shown
};

// The scene file name for a file title: lower case, with ".scn" appended
// unless the lower-cased title already ends in ".scn" and is longer than four
// characters ("Valley" -> "valley.scn", "PEAK.SCN" -> "peak.scn",
// ".scn" -> ".scn.scn").
std::string SceneFileNameFor(const std::string& title);

// Whether a file name asks for a binary glTF file: it ends in ".glb", in any
// case, after at least one other character.
bool IsGlbFileName(const std::string& name);

// One creation: asks for the scene file, writes the whole scene to a
// temporary file beside it, produces the images and stock textures, puts the
// scene in place last and reports what was written. Every file is written
// whole under a temporary name and renamed over its target. Runs on the calling
// thread (the front end decides which thread that is) and speaks to the user
// only through `frontEnd`. Every way it ends goes through one end routine that
// closes the files, removes the temporary file, releases the buffers, clears
// the stop request and leaves the busy state.
class CreationJob {
public:
    CreationJob(ProjectSettings settings, Session& session, FrontEnd& frontEnd, std::string programDirectory);

    // Replaces the free-space query (tests simulate a nearly full disk).
    void SetFreeSpaceQuery(FreeSpaceQuery query) { freeSpace_ = std::move(query); }

    JobOutcome Run();

    // The final report's text (public for the tests of its conditional
    // lines): the scene file and its images when `sceneFileName` is given, and
    // the glTF file when `glbName` is.
    static std::string ReportText(const std::string& sceneDirectory, const std::string& sceneFileName,
                                  const ProjectSettings& settings, const KindsUsed& kinds,
                                  const std::string& glbName = {});

private:
    bool AskForSceneFile();
    void WriteScene();

    // What this creation writes, from the file dialog's answer.
    bool writeTrueSpace_ = true;
    std::string glbDirectory_, glbName_;

    ProjectSettings settings_;
    Session& session_;
    FrontEnd& frontEnd_;
    std::string programDirectory_;
    FreeSpaceQuery freeSpace_ = QueryFreeSpace;
};

}  // namespace kv
