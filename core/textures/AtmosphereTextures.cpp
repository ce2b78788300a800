// atmos.jpg and fog.tga, the images of the sky and fog domes.

#include "core/basics/MessageTexts.h"
#include "core/textures/AtmosphereTextures.h"

#include <array>
#include <vector>

#include "core/basics/FreeSpaceCheck.h"
#include "core/inputs/Bitmap24.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/ReplacementFile.h"
#include "core/basics/Messages.h"
#include "core/textures/AtmosColor.h"
#include "core/textures/ImageOutput.h"

namespace kv {

namespace {

// Opacity of the fog strip from its bottom pixel (0) to its top (255): dense
// at the horizon, gone overhead.
constexpr std::array<std::uint8_t, 256> FogAlphaRamp = {
    255, 255, 255, 255, 254, 254, 254, 254, 253, 253, 252, 252, 252, 252, 252, 251,  //
    251, 250, 250, 250, 250, 249, 249, 249, 248, 248, 248, 248, 247, 247, 246, 246,  //
    246, 246, 245, 245, 245, 244, 244, 244, 244, 243, 243, 242, 242, 242, 242, 241,  //
    241, 240, 240, 240, 239, 239, 239, 239, 238, 238, 237, 237, 237, 236, 236, 236,  //
    236, 235, 235, 234, 234, 233, 233, 233, 233, 232, 232, 232, 232, 231, 231, 230,  //
    230, 229, 229, 229, 229, 228, 228, 228, 228, 227, 227, 226, 226, 226, 226, 225,  //
    225, 224, 224, 224, 223, 223, 223, 222, 222, 222, 222, 221, 221, 221, 220, 220,  //
    219, 219, 219, 219, 218, 218, 217, 217, 217, 217, 216, 216, 215, 215, 214, 214,  //
    214, 214, 213, 213, 212, 212, 211, 211, 211, 209, 209, 209, 209, 208, 207, 207,  //
    207, 207, 206, 205, 205, 204, 204, 204, 202, 202, 202, 201, 201, 200, 199, 199,  //
    199, 197, 197, 197, 196, 195, 194, 194, 193, 193, 191, 191, 191, 190, 189, 188,  //
    187, 187, 186, 185, 184, 183, 183, 181, 181, 180, 179, 179, 177, 177, 175, 175,  //
    173, 172, 171, 170, 169, 168, 167, 166, 165, 163, 163, 161, 160, 159, 158, 156,  //
    155, 153, 153, 151, 150, 149, 147, 146, 144, 143, 141, 139, 137, 135, 134, 132,  //
    131, 130, 127, 126, 124, 122, 120, 119, 116, 114, 112, 110, 107, 106, 101, 99,   //
    96,  90,  87,  80,  76,  68,  64,  55,  50,  45,  40,  35,  24,  18,  6,   0,    //
};

constexpr int kFogHeight = 256;
constexpr std::uint64_t kFogTgaSize = 18 + 4 * kFogHeight;

}  // namespace

std::vector<std::uint8_t> WriteFogTga(const RgbColor& fog, const OutputDirectory* destination)
{
    std::vector<std::uint8_t> bytes(kFogTgaSize);
    TgaHeader32(bytes.data(), 1, kFogHeight);
    for (int i = 0; i < kFogHeight; ++i) {
        std::uint8_t* pixel = bytes.data() + 18 + 4 * i;  // pixel 0 is the bottom of the strip
        pixel[0] = fog.b;
        pixel[1] = fog.g;
        pixel[2] = fog.r;
        pixel[3] = FogAlphaRamp[static_cast<std::size_t>(i)];
    }

    if (!destination) return bytes;
    const OutputDirectory& output = *destination;
    RequireFreeSpace(output, kFogTgaSize);
    // Written whole under a temporary name beside fog.tga, then renamed over it.
    const std::string path = JoinPath(output.path, "fog.tga");
    ReplacementFile file(path, output.temporaryFiles);
    if (const FileOutcome created = file.Create(); !created.ok())
        throw FailureBecause(FormatMessage(text::kErrorOpening, {path}), created.Reason());
    if (const FileOutcome written = file.Write(bytes.data(), bytes.size()); !written.ok())
        throw FailureBecause(FormatMessage(text::kErrorWriting, {path}), written.Reason());
    if (const FileOutcome closed = file.Close(); !closed.ok())
        throw FailureBecause(FormatMessage(text::kErrorWriting, {path}), closed.Reason());
    if (const FileOutcome placed = file.PutInPlace(); !placed.ok())
        throw FailureBecause(text::kErrorCopyingFog, placed.Reason());
    return bytes;
}

std::vector<std::uint8_t> WriteAtmosJpeg(const ProjectSettings& settings, const std::string& programDirectory,
                                         const OutputDirectory* output)
{
    const std::string source = JoinPath(programDirectory, CloudBitmapFile(settings.atmosphereindex));
    const BitmapWording wording = BitmapWording::ForPath(source);
    const Bitmap24 clouds = LoadBitmap24(source, wording, CloudSizeLimit(wording));

    const int width = clouds.width;
    const int height = clouds.height;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    std::uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* bgr = clouds.Pixel(x, y);
            const RgbColor c = AtmosColor(bgr[2], bgr[1], bgr[0], settings.sky, settings.cloud);
            *out++ = c.r;
            *out++ = c.g;
            *out++ = c.b;
        }
    }
    const std::string directory = output ? output->path : std::string();
    const std::string path = JoinPath(directory, "atmos.jpg");
    JpegBytes bytes;
    switch (EncodeJpegToMemory(RgbViewRows(rgb.data(), width, height), 100, bytes)) {
    case JpegEncodeResult::Done: break;
    case JpegEncodeResult::OutOfMemory: throw OutOfMemoryFailure();
    case JpegEncodeResult::LibraryError:
    case JpegEncodeResult::Cancelled:
        throw JpegWriteFailure(JpegStatus::LibraryError, path, directory, output ? output->freeSpace : FreeSpaceQuery{});
    }
    if (output) {
        int error = 0;
        const JpegStatus status = WriteJpegBytes(path, bytes, output->temporaryFiles, &error);
        if (status != JpegStatus::Ok) throw JpegWriteFailure(status, path, directory, output->freeSpace, error);
    }
    std::vector<std::uint8_t> kept;
    kept.reserve(bytes.Size());
    bytes.ForEachBlock([&](const std::uint8_t* data, std::size_t size) {
        kept.insert(kept.end(), data, data + size);
        return true;
    });
    return kept;
}

}  // namespace kv
