#include "core/textures/TerrainTextures.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "core/platform/Paths.h"
#include "core/textures/HeightTexture.h"
#include "core/textures/NoiseTexture.h"
#include "core/textures/OrderedJpegWriter.h"
#include "core/textures/PatternBitmap.h"
#include "core/textures/TerrainRelief.h"
#include "core/textures/TerrainSynthesis.h"
#include "core/basics/WorkerThread.h"

namespace kv {

namespace {


// Sets the flag when the stage ends, so that work still running on the helper
// thread (after a stop or a failure) stops within a row.
class AbandonOnExit {
public:
    explicit AbandonOnExit(std::atomic<bool>& flag) : flag_(flag) {}
    ~AbandonOnExit() { flag_ = true; }
    AbandonOnExit(const AbandonOnExit&) = delete;
    AbandonOnExit& operator=(const AbandonOnExit&) = delete;

private:
    std::atomic<bool>& flag_;
};

// Images go to the ordered JPEG writer; the ra pattern comes from the program directory.
class CreationSink final : public TextureSink {
public:
    CreationSink(OrderedJpegWriter& writer, const std::string& programDirectory, int resolution,
                 const std::string& outputDirectory, int textureSize)
        : writer_(writer),
          programDirectory_(programDirectory),
          resolution_(resolution),
          outputDirectory_(outputDirectory),
          textureSize_(textureSize)
    {
    }
    PatternRaster LoadRaPattern(const RowCheck& check) override
    {
        const std::string path =
            PatternFilePath(programDirectory_, PatternFamily::Ra, resolution_, false);
        try {
            return LoadPatternBitmap(path, textureSize_, check);
        } catch (const JobFailure&) {
            // tex1.jpg is written before the ra pattern is read: finish it
            // (or report its own failure) before reporting this one.
            writer_.Drain();
            throw;
        }
    }
    void Write(const std::string& fileName, std::unique_ptr<ImageRows> image) override
    {
        writer_.Submit(JoinPath(outputDirectory_, fileName), std::move(image));
    }
    void Finish() override { writer_.Finish(); }

private:
    OrderedJpegWriter& writer_;
    const std::string& programDirectory_;
    int resolution_;
    const std::string& outputDirectory_;
    int textureSize_;
};

void Step(JobControl& control, int progress)
{
    control.SetProgress(progress);
    control.CheckStop();
}

}  // namespace

void MakeTerrainTextures(const ProjectSettings& settings, const HeightGrid& heights, bool rocks, Random& random,
                         const std::string& programDirectory, const OutputDirectory& output, JobControl& control,
                         const TerrainImageUse& use)
{
    const int t = TextureSizeForResolution(settings.resolution);
    CheckHeightfieldFits(heights, t, JoinPath(settings.basedir, settings.basebmp));

    // Declared before the helper thread, which is joined before they go.
    TerrainSources sources;
    sources.size = t;
    sources.noise = Raster(t);
    const std::uint32_t noiseStart = random.State();
    std::atomic<bool> abandon{false};
    const std::thread::id jobThread = std::this_thread::get_id();
    // Work that always runs on the job's thread makes stop checks; the tasks
    // below run on whichever thread gets to them first, so on the job's
    // thread they only poll the stop request, and on the helper they look
    // for the end of the stage.
    const RowCheck check = [&] { control.CheckStop(); };
    const RowCheck taskCheck = [&] {
        if (std::this_thread::get_id() == jobThread)
            control.PollStop();
        else if (abandon.load(std::memory_order_relaxed))
            throw WorkerThread::Abandoned{};
    };

    WorkerThread worker;
    AbandonOnExit abandonOnExit(abandon);

    // The noise, the rc and the em pattern do not depend on the height
    // texture: the helper starts on them at once, and the job thread takes
    // over whatever it has not started when their turn comes. The noise is
    // drawn from a copy of the generator in two halves, the second half's
    // generator moved on by the draws of the first; the program's generator
    // moves on only when the noise has its turn.
    const int half = t / 2;
    auto noiseTop = worker.Post([&, noiseStart] {
        Random random;
        random.SetState(noiseStart);
        FillNoiseRows(sources.noise, 0, half, random, taskCheck);
    });
    auto noiseBottom = worker.Post([&, noiseStart] {
        Random random;
        random.SetState(
            AdvanceRandomState(noiseStart, static_cast<std::uint64_t>(half) * static_cast<std::uint64_t>(t)));
        FillNoiseRows(sources.noise, half, t, random, taskCheck);
    });
    auto rc = worker.Post([&] {
        sources.rc = LoadPatternBitmap(
            PatternFilePath(programDirectory, PatternFamily::Rc, settings.resolution, false), t, taskCheck);
    });
    auto em = worker.Post([&] {
        sources.em = LoadPatternBitmap(
            PatternFilePath(programDirectory, PatternFamily::Em, settings.resolution, false), t, taskCheck);
    });
    const std::function<void()> poll = [&] { control.PollStop(); };

    TerrainRelief relief = BuildTerrainRelief(heights, t, check, [&] {
        control.CheckStop();
        control.SetProgress(8);
    });
    sources.height = std::move(relief.height);
    sources.slope = std::move(relief.slope);
    Step(control, 10);
    worker.Await(rc, poll);
    Step(control, 12);
    worker.Await(em, poll);
    Step(control, 14);
    worker.Await(noiseTop, poll);
    worker.Await(noiseBottom, poll);
    random.SetState(
        AdvanceRandomState(noiseStart, static_cast<std::uint64_t>(t) * static_cast<std::uint64_t>(t)));
    Step(control, 16);

    std::vector<std::string> files;
    for (const char* name : {"tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg", "rockbump.jpg", "rocktex.jpg"})
        if (rocks || std::string(name).rfind("rock", 0) != 0) files.push_back(JoinPath(output.path, name));
    OrderedJpegWriter writer(worker, files, output.path, output.freeSpace, poll, output.temporaryFiles);
    writer.SetWriteFiles(use.writeFiles);
    writer.SetKeepBytes(use.keep != nullptr);
    if (use.keep) {
        // The normal maps of the bump maps, made on whichever thread is free
        // while the images are encoded.
        for (const auto& [name, amplitude] : use.normalMaps) {
            const std::string path = JoinPath(output.path, name);
            if (std::find(files.begin(), files.end(), path) == files.end()) continue;
            SceneImages* keep = use.keep;
            const double a = amplitude;
            writer.SetDerivation(path, [keep, name = name, a](const ImageRows& image, const RowCheck& rowCheck) {
                keep->AddNormalMap(name, EncodeNormalMap(HeightsOfRows(image), a, rowCheck));
            });
        }
    }
    CreationSink sink(writer, programDirectory, settings.resolution, output.path, t);
    const RowCheck jobCheck = [&] {
        control.CheckStop();
        writer.ThrowIfFailed();
    };
    SynthesizeTerrainTextures(settings, sources, rocks, sink, control, jobCheck);
    if (use.keep)
        for (auto& [name, bytes] : writer.TakeKeptBytes()) use.keep->AddPicture(name, {ImageEncoding::Jpeg, std::move(bytes)});
}

}  // namespace kv
