#include "core/textures/AtmospherePreview.h"

#include <algorithm>
#include <cmath>

#include "core/inputs/Bitmap24.h"
#include "core/platform/Paths.h"
#include "core/textures/AtmosColor.h"

namespace kv {

namespace {

// One channel faded toward the fog colour for row y of a bitmap H rows high.
// For the 118-row preview bitmaps the top row is the unfogged colour and the
// bottom row nearly the fog colour.
std::uint8_t Fade(int y, int H, std::uint8_t fog, std::uint8_t colour)
{
    const double value = static_cast<double>(y - H + kAtmosPreviewHeight) * static_cast<double>(fog) /
                             static_cast<double>(kAtmosPreviewHeight) +
                         static_cast<double>(H - y) * static_cast<double>(colour) /
                             static_cast<double>(kAtmosPreviewHeight);
    // Outside 0..255 only for bitmaps of another height; the low 8 bits are kept.
    const std::int64_t truncated = static_cast<std::int64_t>(std::trunc(value));
    return static_cast<std::uint8_t>(truncated & 0xff);
}

}  // namespace

AtmosPreviewPicture ComputeAtmospherePreview(const std::string& programDirectory, int atmosphereindex,
                                             const RgbColor& sky, const RgbColor& cloud, const RgbColor& fog)
{
    const std::string path = JoinPath(programDirectory, CloudPreviewBitmapFile(atmosphereindex));
    const BitmapWording wording = BitmapWording::AtmosPreview();
    const Bitmap24 clouds = LoadBitmap24(path, wording, CloudSizeLimit(wording));

    AtmosPreviewPicture picture;
    picture.rgb.assign(static_cast<std::size_t>(picture.width) * picture.height * 3, 0);
    // A bitmap smaller than the preview fills only what it has.
    const int rows = std::min(clouds.height, kAtmosPreviewHeight);
    const int columns = std::min(clouds.width, kAtmosPreviewWidth);
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* out = picture.rgb.data() + static_cast<std::size_t>(y) * picture.width * 3;
        for (int x = 0; x < columns; ++x) {
            const std::uint8_t* bgr = clouds.Pixel(x, y);
            const RgbColor c = AtmosColor(bgr[2], bgr[1], bgr[0], sky, cloud);
            out[3 * x + 0] = Fade(y, clouds.height, fog.r, c.r);
            out[3 * x + 1] = Fade(y, clouds.height, fog.g, c.g);
            out[3 * x + 2] = Fade(y, clouds.height, fog.b, c.b);
        }
    }
    return picture;
}

std::optional<Message> AtmospherePreview::Recompute(const std::string& programDirectory,
                                                    const ProjectSettings& settings)
{
    picture_.reset();
    try {
        picture_ = ComputeAtmospherePreview(programDirectory, settings.atmosphereindex, settings.sky, settings.cloud,
                                            settings.fog);
    } catch (const JobFailure& failure) {
        return failure.message;
    }
    return std::nullopt;
}

}  // namespace kv
