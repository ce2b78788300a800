#include "core/job/CreationJob.h"

#include "core/basics/MessageTexts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/inputs/HeightGrid.h"
#include "core/inputs/HeightSource.h"
#include "core/model/SceneBuilder.h"
#include "core/platform/Paths.h"
#include "core/platform/ReplacementFile.h"
#include "core/job/StockTextures.h"
#include "core/textures/PngEncoder.h"
#include "core/textures/SceneImages.h"
#include "core/writers/gltf/SceneGltf.h"
#include "core/writers/scn/ScnSceneWriter.h"
#include "core/textures/AtmosphereTextures.h"
#include "core/textures/HeightTexture.h"
#include "core/textures/ImageOutput.h"
#include "core/textures/TerrainTextures.h"

namespace kv {

namespace {

// Progress and the stop request as the stages see them.
class FrontEndControl final : public JobControl {
public:
    explicit FrontEndControl(FrontEnd& frontEnd) : frontEnd_(frontEnd) {}
    void SetProgress(int percent) override { frontEnd_.SetProgress(percent); }
    void CheckStop() override
    {
        if (frontEnd_.StopRequested()) throw JobStopped{};
    }
    void PollStop() override
    {
        if (frontEnd_.StopPending()) throw JobStopped{};
    }

private:
    FrontEnd& frontEnd_;
};

}  // namespace

std::string SceneFileNameFor(const std::string& title)
{
    std::string name = title;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool hasExtension = name.size() > 4 && name.compare(name.size() - 4, 4, ".scn") == 0;
    if (!hasExtension) name += ".scn";
    return name;
}

bool IsGlbFileName(const std::string& name)
{
    if (name.size() < 5) return false;
    std::string ending = name.substr(name.size() - 4);
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".glb";
}

CreationJob::CreationJob(ProjectSettings settings, Session& session, FrontEnd& frontEnd, std::string programDirectory)
    : settings_(std::move(settings)),
      session_(session),
      frontEnd_(frontEnd),
      programDirectory_(NormaliseDirectory(programDirectory))
{
}

bool CreationJob::AskForSceneFile()
{
    if (session_.sceneDirectory.empty()) session_.sceneDirectory = programDirectory_;
    for (;;) {
        const std::optional<SceneFileChoice> choice =
            frontEnd_.AskSceneFile(session_.sceneDirectory, session_.sceneFileName);
        if (!choice) return false;
        const std::string directory = NormaliseDirectory(choice->directory);
        // A line break or another control character would break the scene
        // text, whose texture lines name the scene directory.
        std::string glbDirectory, glbName;
        if (!choice->glbPath.empty()) SplitPath(choice->glbPath, glbDirectory, glbName);
        if (HasControlCharacter(directory) || HasControlCharacter(choice->title) ||
            HasControlCharacter(choice->glbPath)) {
            frontEnd_.ShowMessage(Message{text::kControlCharacterInSceneName,
                                          kMessageTitle, MessageIcon::Error, Modality::Modal});
            continue;
        }
        // Compared as file-system objects: a link to the program directory,
        // or a path through "..", is the program directory all the same.
        if (SameDirectory(directory, programDirectory_) ||
            (!glbDirectory.empty() && SameDirectory(glbDirectory, programDirectory_))) {
            frontEnd_.ShowMessage(Message{
                text::kProgramDirectoryChosen,
                kMessageTitle, MessageIcon::Error, Modality::Modal});
            continue;
        }
        session_.sceneDirectory = directory;
        writeTrueSpace_ = choice->trueSpaceScene;
        glbDirectory_ = glbDirectory;
        glbName_ = glbName;
        if (writeTrueSpace_) session_.sceneFileName = SceneFileNameFor(choice->title);
        return true;
    }
}

void CreationJob::WriteScene()
{
    FrontEndControl control(frontEnd_);
    const std::string& sceneDirectory = session_.sceneDirectory;
    const OutputDirectory output{sceneDirectory, freeSpace_, &session_.temporaryFiles()};
    const bool trueSpace = writeTrueSpace_;
    const bool glb = !glbName_.empty();
    // The pictures in memory: for a glTF file, which carries them, and for a
    // front end that shows the scene.
    const bool keepPictures = glb || frontEnd_.WantsScene();

    // The scene file is written straight into a temporary file beside it; it
    // takes its name only when every file it refers to is written.
    SceneWriter writer(session_);
    const std::string scenePath = JoinPath(sceneDirectory, session_.sceneFileName);
    if (trueSpace) {
        if (const FileOutcome opened = writer.OpenReplacing(scenePath, output.temporaryFiles); !opened.ok())
            throw FailureBecause(FormatMessage(text::kErrorOpening, {scenePath}), opened.Reason());
    }

    control.SetProgress(3);
    // The heightfield is loaded and checked once, by the reader its content
    // calls for; a picture with more pixels a side than the textures is
    // refused before its pixels are read, an elevation raster resampled to fit.
    auto heights = std::make_shared<const HeightGrid>(BuildHeightGrid(LoadHeightSource(
        settings_.basedir, settings_.basebmp,
        HeightSourceOptionsFor(settings_, TextureSizeForResolution(settings_.resolution)))));
    control.CheckStop();
    // The scene model: the fixed objects, the terrain, the trees and rocks.
    auto scene = std::make_shared<const Scene>(BuildScene(settings_, heights, session_.random(), control));
    const KindsUsed& kinds = scene->kindsUsed();

    // The scene file's text, then the images its terrain and rocks wear.
    if (trueSpace) {
        WriteScnScene(*scene, sceneDirectory, writer, control, [&](const Node& node) {
            if (node.kind == NodeKind::Terrain) control.SetProgress(6);
        });
    } else {
        control.SetProgress(6);
    }
    auto pictures = std::make_shared<SceneImages>();
    TerrainImageUse use;
    use.writeFiles = trueSpace;
    if (keepPictures) {
        use.keep = pictures.get();
        use.normalMaps = BumpAmplitudes(*scene);
    }
    MakeTerrainTextures(settings_, *heights, kinds.AnyRock(), session_.random(), programDirectory_, output, control,
                        use);
    if (trueSpace) writer.Close();
    control.CheckStop();

    // The post-scene stage.
    if (trueSpace) InstallStockTextures(kinds, settings_.oceanindex, programDirectory_, output);
    control.CheckStop();
    control.CheckStop();
    const std::vector<std::uint8_t> fog = WriteFogTga(settings_.fog, trueSpace ? &output : nullptr);
    control.CheckStop();
    control.CheckStop();
    std::vector<std::uint8_t> sky = WriteAtmosJpeg(settings_, programDirectory_, trueSpace ? &output : nullptr);
    control.CheckStop();

    if (keepPictures) {
        pictures->AddPicture("fog.tga", {ImageEncoding::Png, TgaToPng(fog.data(), fog.size())});
        pictures->AddPicture("atmos.jpg", {ImageEncoding::Jpeg, std::move(sky)});
        AddStockImages(*scene, programDirectory_, *pictures);
        control.CheckStop();
    }
    // The glTF file, whole, with everything inside.
    if (glb) {
        const std::string glbPath = JoinPath(glbDirectory_, glbName_);
        const FileOutcome written = gltf::WriteSceneGlb(*scene, *pictures, glbPath, output.temporaryFiles, control);
        if (!written.ok()) {
            const char* pattern = written.failed == FileStep::Open ? text::kErrorOpening : text::kErrorWriting;
            throw FailureBecause(FormatMessage(pattern, {glbPath}), written.Reason());
        }
    }

    // The scene last, so that a scene never names an image that is not there.
    if (trueSpace) {
        if (const FileOutcome placed = writer.PutInPlace(); !placed.ok())
            throw FailureBecause(text::kSceneNotInPlace, placed.Reason());
    }

    control.SetProgress(100);
    if (frontEnd_.WantsScene()) frontEnd_.SceneCreated(scene, pictures);
    // The glTF file by its name where it lies beside the scene, else by its path.
    const std::string glbShown =
        glbName_.empty() || SameDirectory(glbDirectory_, sceneDirectory) ? glbName_ : JoinPath(glbDirectory_, glbName_);
    frontEnd_.ShowMessage(Message{ReportText(sceneDirectory, trueSpace ? session_.sceneFileName : std::string(),
                                             settings_, kinds, glbShown),
                                  kMessageTitle, MessageIcon::Information, Modality::Modal});
}

JobOutcome CreationJob::Run()
{
    frontEnd_.EnterBusy();
    JobOutcome outcome = JobOutcome::Finished;
    try {
        if (!AskForSceneFile()) {
            outcome = JobOutcome::Cancelled;
        } else {
            frontEnd_.SetProgress(0);
            WriteScene();
        }
    } catch (const JobStopped&) {
        outcome = JobOutcome::Stopped;
    } catch (const JobFailure& failure) {
        frontEnd_.ShowMessage(failure.message);
        outcome = JobOutcome::Failed;
    } catch (const std::bad_alloc&) {
        frontEnd_.ShowMessage(OutOfMemoryFailure().message);
        outcome = JobOutcome::Failed;
    }
    // End routine: the writer with its temporary file, every other temporary
    // file and every buffer of the creation are gone with the stack frames
    // above; restore the front end.
    frontEnd_.ClearStopRequest();
    frontEnd_.LeaveBusy();
    return outcome;
}

std::string CreationJob::ReportText(const std::string& sceneDirectory, const std::string& sceneFileName,
                                    const ProjectSettings& settings, const KindsUsed& kinds, const std::string& glbName)
{
    const std::string glbLine = glbName.empty() ? std::string() : glbName + " (glTF binary scene with its images)\n";
    if (sceneFileName.empty())
        return "The following file has been written in the " + sceneDirectory + " directory:\n" + glbLine;
    std::string text = "The following files have been written in the " + sceneDirectory + " directory:\n" +
                       sceneFileName +
                       " (scenefile)\n"
                       "tex1.jpg (texture map for terrain object detail)\n"
                       "bump1.jpg (bump map for terrain object detail)\n"
                       "tex2.jpg (texture map for terrain object surround)\n"
                       "bump2.jpg (bump map for terrain object surround)\n"
                       "atmos.jpg (texture map for atmos object)\n"
                       "fog.tga (texture map for fog object)\n";
    if (settings.oceanindex > 1) text += "ripple.jpg (bump map for ocean object)\n";
    if (kinds[ObjectKind::Palmtree])
        text += "palmtree.jpg (texture map for palmtree trunks)\npalmbark.jpg (bumpmap for palmtree trunks)\n"
                "palmleaf.tga (texture map for palmtree leaves)\n";
    if (kinds[ObjectKind::Fern]) text += "fern.tga (texture map for fern leaves)\n";
    if (kinds[ObjectKind::Evergreen]) text += "ever.tga (texture map for evergreen leaves)\n";
    if (kinds[ObjectKind::Fir]) text += "fir.tga (texture map for fir leaves)\n";
    if (kinds[ObjectKind::Birch]) text += "birch.jpg (texture map for birchtrees)\n";
    if (kinds[ObjectKind::Cactus])
        text += "cactus.jpg (texture map for cactus)\ncactbump.jpg (bump map for cactus)\n";
    if (kinds.AnyBarkTree()) text += "bark.jpg (texture map for deadtree1, deadtree2, evergreen & fir)\n";
    if (kinds.AnyRock())
        text += "rocktex.jpg (texture map for flatrocks, boulders, pebbles & rocks)\n"
                "rockbump.jpg (bump map for flatrocks, boulders, pebbles & rocks)\n";
    return text + glbLine;
}

}  // namespace kv
