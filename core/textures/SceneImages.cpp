#include "core/textures/SceneImages.h"

#include <exception>

#include <algorithm>
#include <cstdio>

#include "core/basics/MessageTexts.h"
#include "core/basics/Messages.h"
#include "core/platform/Paths.h"
#include "core/platform/RegularFile.h"
#include "core/platform/SystemReason.h"
#include "core/textures/ImageOutput.h"
#include "core/textures/JpegDecoder.h"
#include "core/textures/NormalMap.h"
#include "core/textures/PngEncoder.h"

namespace kv {

namespace {

bool EndsWith(const std::string& name, const char* ending)
{
    const std::string e = ending;
    return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    int error = 0;
    std::uint64_t size = 0;
    std::FILE* file = OpenRegularFileStream(path, error, &size);
    if (!file) throw FailureBecause(FormatMessage(text::kErrorOpening, {path}), SystemReason(error));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    const std::size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0 || got != bytes.size();
    std::fclose(file);
    if (failed) throw Failure(FormatMessage(text::kErrorOpening, {path}));
    return bytes;
}

}  // namespace

void SceneImages::AddPicture(const std::string& name, EncodedImage image)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pictures_[name] = std::move(image);
}

void SceneImages::AddNormalMap(const std::string& bumpName, EncodedImage image)
{
    std::lock_guard<std::mutex> lock(mutex_);
    normalMaps_[bumpName] = std::move(image);
}

const EncodedImage* SceneImages::Picture(const std::string& name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = pictures_.find(name);
    return found == pictures_.end() ? nullptr : &found->second;
}

const EncodedImage* SceneImages::NormalMap(const std::string& bumpName) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = normalMaps_.find(bumpName);
    return found == normalMaps_.end() ? nullptr : &found->second;
}

GreyImage NormalMapHeights(const GreyImage& heights)
{
    if (heights.width <= kNormalMapFullSizeLimit || heights.height <= kNormalMapFullSizeLimit) return heights;
    GreyImage half((heights.width + 1) / 2, (heights.height + 1) / 2);
    for (int y = 0; y < half.height; ++y) {
        const std::uint8_t* upper = heights.Row(2 * y);
        const std::uint8_t* lower = heights.Row(std::min(2 * y + 1, heights.height - 1));
        std::uint8_t* out = half.Row(y);
        for (int x = 0; x < half.width; ++x) {
            const int left = 2 * x, right = std::min(2 * x + 1, heights.width - 1);
            out[x] = static_cast<std::uint8_t>((upper[left] + upper[right] + lower[left] + lower[right] + 2) / 4);
        }
    }
    return half;
}

EncodedImage EncodeNormalMap(const GreyImage& picture, double amplitude, const RowCheck& check)
{
    // Each row goes straight into the encoder: no picture of the normals is
    // ever held whole.
    const GreyImage heights = NormalMapHeights(picture);
    const NormalMapRows normals(heights, amplitude);
    JpegBytes bytes;
    // A stop asked for while rows are encoded ends the encoding there; the
    // check then throws it.
    std::exception_ptr stopped;
    const auto cancelled = [&check, &stopped]() noexcept {
        if (!check) return false;
        try {
            check();
            return false;
        } catch (...) {
            stopped = std::current_exception();
            return true;
        }
    };
    const JpegEncodeResult result = EncodeJpegToMemory(normals, kNormalMapQuality, bytes, cancelled);
    if (stopped) std::rethrow_exception(stopped);
    if (result != JpegEncodeResult::Done) throw std::bad_alloc();
    EncodedImage image;
    image.encoding = ImageEncoding::Jpeg;
    image.bytes.reserve(bytes.Size());
    bytes.ForEachBlock([&](const std::uint8_t* data, std::size_t size) {
        image.bytes.insert(image.bytes.end(), data, data + size);
        return true;
    });
    return image;
}

GreyImage HeightsOfRows(const ImageRows& image)
{
    GreyImage grey(image.Width(), image.Height());
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(image.Width()) * 3 + 1);
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.Row(y, scratch.data());
        std::uint8_t* out = grey.Row(y);
        for (int x = 0; x < image.Width(); ++x) out[x] = row[3 * x];
    }
    return grey;
}

std::map<std::string, double> BumpAmplitudes(const Scene& scene)
{
    std::map<std::string, double> amplitudes;
    for (const Material& m : scene.materials())
        if (m.bump) amplitudes.emplace(scene.images()[static_cast<std::size_t>(m.bump->image)].name, m.bump->amplitude);
    return amplitudes;
}

void AddStockImages(const Scene& scene, const std::string& programDirectory, SceneImages& images)
{
    const std::map<std::string, double> amplitudes = BumpAmplitudes(scene);
    for (const ImageFile& file : scene.images()) {
        if (file.source != ImageSource::Stock) continue;
        const std::string path = JoinPath(programDirectory, file.name);
        std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        if (const auto bump = amplitudes.find(file.name); bump != amplitudes.end()) {
            try {
                images.AddNormalMap(file.name, EncodeNormalMap(DecodeJpegGrey(bytes.data(), bytes.size()), bump->second));
            } catch (const JpegDecodeError& error) {
                throw FailureBecause(FormatMessage(text::kErrorOpening, {path}), error.what());
            }
        }
        if (EndsWith(file.name, ".tga")) {
            try {
                images.AddPicture(file.name, {ImageEncoding::Png, TgaToPng(bytes.data(), bytes.size())});
            } catch (const PngEncodeError& error) {
                throw FailureBecause(FormatMessage(text::kErrorOpening, {path}), error.what());
            }
        } else {
            images.AddPicture(file.name, {ImageEncoding::Jpeg, std::move(bytes)});
        }
    }
}

}  // namespace kv
