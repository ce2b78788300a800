#pragma once
// Small synthetic inputs for the texture tests: heightfields, pattern
// pictures, the rasters built from them by the program and by the test-only
// reference, and a sink that keeps the synthesised images in memory.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TextureReference.h"
#include "core/inputs/Bitmap24.h"
#include "core/inputs/HeightGrid.h"
#include "core/basics/JobControl.h"
#include "core/basics/Messages.h"
#include "core/textures/ImageRows.h"
#include "core/textures/PatternBitmap.h"
#include "core/textures/TerrainSynthesis.h"

namespace kv::test {

// A deterministic hash of (x, y, seed) to 0..255.
int Hash(int x, int y, int seed);

// A grey picture of hashed values, smoothed a little so patterns have structure.
Bitmap24 GreyPicture(int width, int height, int seed);
// A heightfield picture of hills (n x n), as the loader would return it.
Bitmap24 HillsPicture(int n, int seed);

// The rasters of one small synthesis built by the program, and the same
// built by the reference.
struct SmallInputs {
    int size = 0;
    HeightGrid grid;
    Bitmap24 rcPicture, emPicture, raPicture;
    std::uint32_t randomState = 1;
};
SmallInputs MakeInputs(int textureSize, int gridSize, int seed);
TerrainSources ProgramSources(const SmallInputs& inputs);
ref::Textures ReferenceTextures(const SmallInputs& inputs);

// Keeps the images by name, as RGB bytes.
class CollectingSink final : public TextureSink {
public:
    explicit CollectingSink(PatternRaster ra) : ra_(std::move(ra)) {}
    PatternRaster LoadRaPattern(const RowCheck&) override
    {
        ++raLoads;
        return ra_;
    }
    void Write(const std::string& fileName, std::unique_ptr<ImageRows> image) override
    {
        order.push_back(fileName);
        images[fileName] = ToRgbImage(*image).rgb;
    }
    void Finish() override { ++finishes; }

    std::map<std::string, std::vector<std::uint8_t>> images;
    std::vector<std::string> order;
    int raLoads = 0;
    int finishes = 0;

private:
    PatternRaster ra_;
};

// Records the progress values.
class RecordingControl final : public JobControl {
public:
    void SetProgress(int percent) override { values.push_back(percent); }
    void CheckStop() override
    {
        ++checks;
        if (stopAfter >= 0 && checks > stopAfter) throw JobStopped{};
    }
    std::vector<int> values;
    long long checks = 0;
    long long stopAfter = -1;  // throw JobStopped at the check after this many
};

// Runs the program's synthesis on small inputs and returns the images.
std::map<std::string, std::vector<std::uint8_t>> ProgramImages(const ProjectSettings& settings,
                                                               const SmallInputs& inputs, bool rocks);

// Grey value of pixel (x, y) of an RGB image whose three channels are equal.
int GreyAt(const std::vector<std::uint8_t>& rgb, int size, int x, int y);

}  // namespace kv::test
