#pragma once
// The terrain texture synthesis: base material, cover layers, colour and bump
// images of the terrain detail and its flat surround, and the rock textures.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/basics/JobControl.h"
#include "core/inputs/ProjectSettings.h"
#include "core/textures/Covers.h"
#include "core/textures/ImageRows.h"
#include "core/textures/PatternBitmap.h"
#include "core/textures/Raster.h"

namespace kv {

// Nine ascending ramps, each starting at 0: the bands of the strata materials.
constexpr std::array<std::uint8_t, 256> MakeStrataRamp()
{
    struct Ramp {
        int first, last, step;
    };
    constexpr Ramp ramps[] = {{0, 31, 8},     {32, 47, 16},   {48, 111, 4},   {112, 127, 16}, {128, 159, 8},
                              {160, 175, 16}, {176, 207, 8},  {208, 239, 8},  {240, 255, 16}};
    std::array<std::uint8_t, 256> table{};
    for (const Ramp& ramp : ramps)
        for (int i = ramp.first; i <= ramp.last; ++i)
            table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i - ramp.first) * ramp.step);
    return table;
}
inline constexpr std::array<std::uint8_t, 256> StrataRamp = MakeStrataRamp();

// The colour between c1 (v = 0), c2 (v about 128) and c3 (v = 255), channel by
// channel in double precision, truncated:
// v < 128: (128 - v) / 128 * c1 + v / 128 * c2; else (v - 128) / 127 * c3 + (255 - v) / 128 * c2.
RgbColor ColorRamp(RgbColor c1, RgbColor c2, RgbColor c3, int v);

// ColorRamp for every shade, as red, green, blue triples.
struct ColorRampTable {
    std::array<std::uint8_t, 256 * 3> rgb{};
    static ColorRampTable Make(RgbColor c1, RgbColor c2, RgbColor c3);
    const std::uint8_t* At(int v) const { return rgb.data() + 3 * v; }
};

// Base materials: 0 jagged rock, 1 smooth rock, 2 jagged strata, 3 smooth
// strata. An index outside the list is treated as jagged rock.
inline bool IsStrata(int baseindex) { return baseindex == 2 || baseindex == 3; }
inline bool IsSmooth(int baseindex) { return baseindex == 1 || baseindex == 3; }

// The base material's shade of a pixel from its noise n, rc pattern value p
// and height h: rock (n / 2 + p) mod 256; strata S = StrataRamp[h], then
// (S + n) / 2 when S + n < 255, else S.
inline int BaseShade(bool strata, int n, int p, int h)
{
    if (strata) {
        const int s = StrataRamp[static_cast<std::size_t>(h)];
        return s + n < 255 ? (s + n) / 2 : s;
    }
    return (n / 2 + p) & 255;
}

// The rasters the synthesis reads, all of edge `size`, prepared by the terrain
// stage or the preview.
struct TerrainSources {
    int size = 0;
    Raster height;  // 0 lowest to 255 highest
    Raster slope;   // 0 flat to 255
    Raster noise;   // uniform random bytes
    PatternRaster rc;
    PatternRaster em;
};

// Everything the passes derive from the settings once per synthesis.
struct SynthesisPlan {
    bool strata = false;
    bool smooth = false;
    CoverRule cover1;
    CoverRule cover2;
    // Colours by class and shade: [0] base material, [1] cover 1, [2] cover 2.
    std::array<ColorRampTable, 3> ramps;
    // The same colours as one palette, at class * 256 + shade.
    std::shared_ptr<const Palette> palette;
    // Each cover's smallest covering weighted sum for a height h and slope s,
    // at h * 256 + s.
    std::vector<std::uint16_t> threshold1, threshold2;

    static SynthesisPlan Make(const ProjectSettings& settings);
};

// Pixel classes of a pass: which layer lies on top.
enum PixelClass : std::uint8_t { kBare = 0, kCover1 = 1, kCover2 = 2 };

// Reports a run of progress values spread over the rows of a combined pass.
class PassProgress {
public:
    PassProgress(JobControl* control, int first, int step, int count, int rows)
        : control_(control), first_(first), step_(step), count_(count), rows_(rows)
    {
    }
    void RowDone(int y);

private:
    JobControl* control_;
    int first_, step_, count_, rows_;
    int reported_ = 0;
};

// A colour image of a pass: the class of every pixel and its shade within
// the class's colours (the mirrored noise under a cover, the base shade on
// bare ground). The plan's palette gives the colour at class * 256 + shade.
// Without covers every pixel is bare and there are no classes.
struct ShadedImage {
    std::shared_ptr<Raster> classes;
    Raster shades;
};

// One pass over the texture: cover 1 and cover 2 from the height and slope
// bands (the surround pass uses height 0 and slope 0 everywhere) and their
// patterns, the base shade, and the class and shade of every pixel. `check`
// runs after every row.
ShadedImage ComposeColourImage(const SynthesisPlan& plan, const TerrainSources& sources, bool surround,
                               const RowCheck& check, PassProgress* progress = nullptr);

// Rows [firstRow, endRow) of that pass into `classes` and `shades`
// (`classes` is left alone when neither cover is active).
void ComposeColourRows(const SynthesisPlan& plan, const TerrainSources& sources, bool surround, Raster& classes,
                       Raster& shades, int firstRow, int endRow, const RowCheck& check,
                       PassProgress* progress = nullptr);

// The colour image as the JPEG writer takes it.
std::unique_ptr<ImageRows> ColourRows(const SynthesisPlan& plan, ShadedImage image);

// The bump map of a pass: cover 2 ra + 25, cover 1 ra, bare ground ra - 25 for
// the smooth materials and em for the jagged ones, modulo 256. No classes:
// bare ground everywhere.
Raster ComposeBumpImage(const SynthesisPlan& plan, const Raster* classes, const PatternRaster& ra,
                        const PatternRaster& em, const RowCheck& check);

// The shades of the rock colour texture (coloured with the base colours):
// the rock shade read upside down. The rock shade is the base shade of the
// rock materials, or for the strata materials StrataRamp[(y / 4) mod 256]
// roughened by the noise, so the stripes follow the image rows.
Raster ComposeRockShades(const SynthesisPlan& plan, const Raster& noise, const PatternRaster& rc,
                         const RowCheck& check);

// Where the synthesis gets the ra pattern and sends its images.
class TextureSink {
public:
    virtual ~TextureSink() = default;
    // The ra pattern at the sources' size.
    virtual PatternRaster LoadRaPattern(const RowCheck& check) = 0;
    // Takes a finished image: "tex1.jpg", "bump1.jpg", "tex2.jpg", "bump2.jpg",
    // and with rocks "rockbump.jpg" and "rocktex.jpg". The files are written in
    // that order; the rock images, which depend on neither pass, are handed
    // over early (rockbump.jpg first, rocktex.jpg after bump1.jpg).
    virtual void Write(const std::string& fileName, std::unique_ptr<ImageRows> image) = 0;
    // Returns when every image taken has been written.
    virtual void Finish() = 0;
};

// The synthesis of a creation: tex1 and bump1 over the terrain, tex2 and bump2
// over the surround and, with `rocks`, rockbump and rocktex, handed to `sink`,
// with the progress values 19 to 97 in the order of the files. The height and
// slope rasters are released once the terrain pass no longer needs them.
// `check` runs after every row of every pass.
void SynthesizeTerrainTextures(const ProjectSettings& settings, TerrainSources& sources, bool rocks, TextureSink& sink,
                               JobControl& control, const RowCheck& check);

// The preview's share of the synthesis: the terrain colour image alone.
RgbImage SynthesizePreviewImage(const ProjectSettings& settings, const TerrainSources& sources);

}  // namespace kv
