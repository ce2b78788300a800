#include "scene/CreationJob.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "bitmap/HeightGrid.h"
#include "objects/EnvironmentObjects.h"
#include "objects/Placement.h"
#include "platform/Paths.h"
#include "scene/CreationContext.h"
#include "scene/StockTextures.h"
#include "scene/TerrainObject.h"
#include "texture/AtmosphereTextures.h"
#include "texture/HeightTexture.h"
#include "texture/TerrainTextures.h"

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

private:
    FrontEnd& frontEnd_;
};

// Removes the temporary scene file however the job ends.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile()
    {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Free-space check before a copy: a failed query skips it.
void RequireFreeSpace(const FreeSpaceQuery& query, const std::string& directory, std::uint64_t needed)
{
    const std::optional<std::uint64_t> free = query ? query(directory) : std::nullopt;
    if (free && *free < needed) throw Failure("Not enough free disk space.", kErrorTitle);
}

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
        if (directory == programDirectory_) {
            frontEnd_.ShowMessage(Message{
                "You must choose a directory other than the executable directory for your scene directory.",
                kMessageTitle, MessageIcon::Error, Modality::Modal});
            continue;
        }
        session_.sceneDirectory = directory;
        session_.sceneFileName = SceneFileNameFor(choice->title);
        return true;
    }
}

void CreationJob::WriteScene(const std::string& temporaryPath)
{
    FrontEndControl control(frontEnd_);
    SceneWriter writer(session_);
    CreationContext ctx{settings_, session_, control, writer, programDirectory_, session_.sceneDirectory};
    ctx.freeSpace = freeSpace_;

    // The scene stage, into the temporary file.
    if (!writer.Open(temporaryPath)) throw Failure(FormatMessage("Error opening %s.", {temporaryPath}));
    ctx.sceneId = writer.WriteSceneHeaderChunks();
    WriteAtmosObject(ctx);
    control.CheckStop();
    WriteFogObject(ctx);
    control.CheckStop();
    if (settings_.oceanindex != 0) {
        WriteOceanObject(ctx);
        control.CheckStop();
    }
    WriteLightsGroup(ctx);
    WriteSunLight(ctx);
    WriteCamera(ctx);
    control.CheckStop();
    WriteEarthGroup(ctx);
    control.SetProgress(3);

    // The terrain stage.
    {
        const Bitmap24 picture = LoadHeightfield(settings_.basedir, settings_.basebmp);
        control.CheckStop();
        ctx.heights = BuildHeightGrid(picture);
    }
    // A heightfield with more pixels a side than the textures is refused
    // before anything of the terrain is written.
    CheckHeightfieldFits(ctx.heights, TextureSizeForResolution(settings_.resolution),
                         JoinPath(settings_.basedir, settings_.basebmp));
    control.CheckStop();
    WriteTerrainObject(writer, ctx.heights, ctx.earthId, ctx.sceneDirectory, control);
    control.SetProgress(6);
    WriteRocksGroup(ctx);
    WriteTreesGroup(ctx);
    PlaceObjects(ctx);
    MakeTerrainTextures(ctx);

    writer.Close();
    control.CheckStop();

    // Into the scene directory.
    const std::uint64_t size = FileSize(temporaryPath).value_or(0);
    RequireFreeSpace(freeSpace_, ctx.sceneDirectory, size);
    const std::string scenePath = JoinPath(ctx.sceneDirectory, session_.sceneFileName);
    if (!CopyFileReplacing(temporaryPath, scenePath)) {
        frontEnd_.ShowMessage(Message{"Error copying scene file from temp directory.", kMessageTitle,
                                      MessageIcon::Error, Modality::SystemModal});
    }

    // The post-scene stage.
    InstallStockTextures(ctx);
    control.CheckStop();
    control.CheckStop();
    WriteFogTga(ctx);
    control.CheckStop();
    control.CheckStop();
    WriteAtmosJpeg(ctx);
    control.CheckStop();

    control.SetProgress(100);
    frontEnd_.ShowMessage(Message{ReportText(ctx.sceneDirectory, session_.sceneFileName, settings_, ctx.kindsUsed),
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
            const std::string temporaryPath = CreateUniqueTemporaryFile("kv");
            if (temporaryPath.empty())
                throw Failure(FormatMessage("Error opening %s.", {JoinPath(TemporaryDirectory(), "kv.tmp")}));
            const TemporaryFile temporary(temporaryPath);
            WriteScene(temporary.path());
        }
    } catch (const JobStopped&) {
        outcome = JobOutcome::Stopped;
    } catch (const JobFailure& failure) {
        frontEnd_.ShowMessage(failure.message);
        outcome = JobOutcome::Failed;
    } catch (const std::bad_alloc&) {
        frontEnd_.ShowMessage(Message{"Not enough memory to create the scene.", kErrorTitle, MessageIcon::Error,
                                      Modality::SystemModal});
        outcome = JobOutcome::Failed;
    }
    // End routine: the writer, the temporary file and every buffer of the
    // creation are gone with the stack frames above; restore the front end.
    frontEnd_.ClearStopRequest();
    frontEnd_.LeaveBusy();
    return outcome;
}

std::string CreationJob::ReportText(const std::string& sceneDirectory, const std::string& sceneFileName,
                                    const ProjectSettings& settings, const KindsUsed& kinds)
{
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
    return text;
}

}  // namespace kv
