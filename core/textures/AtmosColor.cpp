#include "core/textures/AtmosColor.h"

#include <stdexcept>

#include "core/basics/Messages.h"

namespace kv {

namespace {

// Dense cloud: the cloud colour at the pixel's brightness.
std::uint8_t Cloud(std::uint8_t v, std::uint8_t cloud)
{
    const double value = static_cast<double>(v) / 255.0 * static_cast<double>(cloud);
    return static_cast<std::uint8_t>(value);  // 0 <= value <= cloud: truncation fits
}

// Thin cloud: the sky fading out as the cloud fades in. The order of the
// operations is part of the result: it decides on which side of an integer
// a sum like 110.99999999999999 falls before truncation.
std::uint8_t Mix(std::uint8_t v, std::uint8_t sky, std::uint8_t cloud)
{
    const double skyShare = (192.0 - static_cast<double>(v)) / 192.0 * static_cast<double>(sky);
    const double cloudShare = static_cast<double>(v) / 255.0 * static_cast<double>(cloud);
    const double value = skyShare + cloudShare;
    // For a component above 191 (possible in green or blue of a pixel whose
    // red decides "thin"), the sky share turns negative; clamp to the
    // channel's range rather than convert an out-of-range double.
    if (value <= 0.0) return 0;
    if (value >= 255.0) return 255;
    return static_cast<std::uint8_t>(value);
}

}  // namespace

RgbColor AtmosColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, const RgbColor& sky, const RgbColor& cloud)
{
    if (r == 0) return sky;
    if (r > 191) return {Cloud(r, cloud.r), Cloud(g, cloud.g), Cloud(b, cloud.b)};
    return {Mix(r, sky.r, cloud.r), Mix(g, sky.g, cloud.g), Mix(b, sky.b, cloud.b)};
}

}  // namespace kv

#include <stdexcept>

namespace kv {

namespace {

struct CloudFiles {
    const char* picture;
    const char* preview;
};

constexpr CloudFiles kCloudFiles[4] = {
    {"clear.bmp", "~clear.bmp"},
    {"cloudy.bmp", "~cloudy.bmp"},
    {"ominous.bmp", "~ominous.bmp"},
    {"puff.bmp", "~puff.bmp"},  // "puffy" in the clouds list
};

const CloudFiles& FilesFor(int atmosphereindex)
{
    if (atmosphereindex < 0 || atmosphereindex > 3) throw std::out_of_range("atmosphere index");
    return kCloudFiles[atmosphereindex];
}

}  // namespace

const char* CloudBitmapFile(int atmosphereindex) { return FilesFor(atmosphereindex).picture; }
const char* CloudPreviewBitmapFile(int atmosphereindex) { return FilesFor(atmosphereindex).preview; }

DeclaredSizeCheck CloudSizeLimit(const BitmapWording& wording)
{
    return [wording](std::int32_t width, std::int32_t height) {
        if (width > kMaxCloudSide || height > kMaxCloudSide)
            throw Failure(FormatMessage(wording.tooLarge, {wording.subject}));
    };
}

}  // namespace kv
